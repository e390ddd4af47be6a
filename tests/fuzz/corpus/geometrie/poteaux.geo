# A field whose beacons stand on posts a little outside its corners, fired
# 183 ms apart, on a warm day. Used by the tests and bench_calibration as a
# field that is not the bundled one.
balise -20 -20
balise 520 -10
balise 515 520
balise -10 510
intervalle 183
son 34700
