# The bundled beacon model, stated in full: the same as no geometry at all.
balise 0 0        # B1, fires first
balise 500 0      # B2
balise 500 500    # B3
balise 0 500      # B4
intervalle 150    # ms between two beacons' pings
horloge 2000000   # Hz: the robot's counter ticks every 0.5 us
son 34300         # cm/s
