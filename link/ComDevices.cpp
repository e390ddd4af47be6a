#include "link/ComDevices.h"

#include "core/CatalogueReglages.h"

#include <QSettings>
#include <QtGlobal>

namespace comdevices {

namespace {

bool valide(int port)
{
    return port >= PremierPort && port <= DernierPort;
}

QString cle(int port)
{
    return QString::fromLatin1(reglages::PeripheriquePort.nom) + QString::number(port);
}

} // namespace

QString environmentDevice(int port)
{
    if (!valide(port)) {
        return {};
    }
    return qEnvironmentVariable(qPrintable(QStringLiteral("KIV_COM%1").arg(port)));
}

QString defaultDevice(int port)
{
    if (!valide(port)) {
        return {};
    }
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

QString assignedDevice(int port)
{
    if (!valide(port)) {
        return {};
    }
    return QSettings().value(cle(port)).toString();
}

void assignDevice(int port, const QString& device)
{
    if (!valide(port)) {
        return;
    }
    QSettings reglages;
    if (device.isEmpty()) {
        reglages.remove(cle(port));
    } else {
        reglages.setValue(cle(port), device);
    }
}

QString comDevice(int port)
{
    if (!valide(port)) {
        return {};
    }
    if (QString d = environmentDevice(port); !d.isEmpty()) {
        return d;
    }
    if (QString d = assignedDevice(port); !d.isEmpty()) {
        return d;
    }
    return defaultDevice(port);
}

} // namespace comdevices
