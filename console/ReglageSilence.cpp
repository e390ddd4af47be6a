#include "console/ReglageSilence.h"

#include "core/qt/LireReglage.h"

protocole::Instant seuilSilenceReglage(int baud)
{
    // Read within its range before it is turned into us: a huge number of
    // ms overflowed the product and cut every frame, or wrapped negative
    // and turned resynchronisation off.
    if (const auto ms = lireReglageEntier(CleSilenceResynchro, 0, SilenceResynchroMaxMs)) {
        return static_cast<protocole::Instant>(*ms) * 1000;
    }
    return protocole::seuilSilence(baud);
}
