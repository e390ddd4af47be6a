#include "link/SerialShared.h"

#include <QCoreApplication>

namespace {

QEvent::Type enregistrer()
{
    return static_cast<QEvent::Type>(QEvent::registerEventType());
}

} // namespace

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
