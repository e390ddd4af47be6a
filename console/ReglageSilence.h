#pragma once

#include "link/protocol/SilenceLigne.h"

#include <cstdint>

/** Settings-store key of the silence that starts a new frame, in ms (0: counting only). */
inline constexpr const char* CleSilenceResynchro = "Lien/SilenceResynchroMs";
/** Its range's top, ms: protocole::SilenceMax. */
inline constexpr std::int64_t SilenceResynchroMaxMs = protocole::SilenceMax / 1000;

/**
 * The silence threshold for a link at `baud`, in us: the settings store's
 * value when it holds a whole number of ms from 0 (frames found by counting
 * alone) to 10000; otherwise the one the rate gives (protocole::seuilSilence),
 * an unusable value told once (core/qt/LireReglage.h).
 */
protocole::Instant seuilSilenceReglage(int baud);
