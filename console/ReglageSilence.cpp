#include "console/ReglageSilence.h"

#include "core/qt/LireReglage.h"

// The key's range ends at the parser's longest silence.
static_assert(reglages::SilenceResynchro.plage.max * 1000 == protocole::SilenceMax);

protocole::Instant seuilSilenceReglage(int baud)
{
    // Read within its range before it is turned into us: a huge number of
    // ms overflowed the product and cut every frame, or wrapped negative
    // and turned resynchronisation off.
    if (const auto ms = lireReglagePresent(reglages::SilenceResynchro)) {
        return static_cast<protocole::Instant>(*ms) * 1000;
    }
    return protocole::seuilSilence(baud);
}
