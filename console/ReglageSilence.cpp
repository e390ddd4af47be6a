#include "console/ReglageSilence.h"

#include <QSettings>

protocole::Instant seuilSilenceReglage(int baud)
{
    bool lu = false;
    const qlonglong ms = QSettings().value(QString::fromLatin1(CleSilenceResynchro)).toLongLong(&lu);
    if (lu && ms >= 0 && ms * 1000 <= protocole::SilenceMax) {
        return static_cast<protocole::Instant>(ms) * 1000;
    }
    return protocole::seuilSilence(baud);
}
