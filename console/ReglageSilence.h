#pragma once

#include "link/protocol/SilenceLigne.h"

/** Settings-store key of the silence that starts a new frame, in ms (0: counting only). */
inline constexpr const char* CleSilenceResynchro = "Lien/SilenceResynchroMs";

/**
 * The silence threshold for a link at `baud`, in us: the settings store's
 * value when it holds a whole number of ms from 0 (frames found by counting
 * alone) to 10000; otherwise the one the rate gives (protocole::seuilSilence).
 */
protocole::Instant seuilSilenceReglage(int baud);
