#include "link/SerialShared.h"

#include <QCoreApplication>

#include <chrono>

namespace {

QEvent::Type enregistrer()
{
    return static_cast<QEvent::Type>(QEvent::registerEventType());
}

} // namespace

std::int64_t instantLien()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

QEvent::Type evenementReveil()
{
    static const QEvent::Type type = enregistrer();
    return type;
}

QEvent::Type evenementRemise()
{
    static const QEvent::Type type = enregistrer();
    return type;
}

QEvent::Type evenementRapport()
{
    static const QEvent::Type type = enregistrer();
    return type;
}

void poster(QObject* cible, QEvent::Type type)
{
    QCoreApplication::postEvent(cible, new QEvent(type));
}

void posterRemise(PartageLien& etat)
{
    if (!etat.remisePostee && !etat.suspendu && etat.courrier != nullptr && !etat.file.vide()) {
        etat.remisePostee = true;
        poster(etat.courrier, evenementRemise());
    }
}
