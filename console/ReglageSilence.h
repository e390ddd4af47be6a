#pragma once

#include "link/protocol/SilenceLigne.h"

/**
 * The silence threshold for a link at `baud`, in us: the settings store's
 * value when it holds a whole number of ms from 0 (frames found by counting
 * alone) to 10000; otherwise the one the rate gives (protocole::seuilSilence),
 * an unusable value told once (core/qt/LireReglage.h).
 */
protocole::Instant seuilSilenceReglage(int baud);
