# poteaux.geo as its operator measured it with a tape: each post a few cm
# off, and the speed of sound of a cooler day than the test's.
balise -12 -26
balise 528 -4
balise 508 527
balise -3 503
intervalle 183
son 34100
