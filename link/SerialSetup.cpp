#include "link/SerialSetup.h"

#include <QCoreApplication>
#include <QSerialPort>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace {

EchecEtape echecSysteme(const char* etape, int code)
{
    return {etape, std::strerror(code)};
}

EchecEtape echecPort(const char* etape, QSerialPort& port)
{
    EchecEtape e{etape, port.errorString().toStdString()};
    port.clearError();
    return e;
}

char lettreParite(QSerialPort::Parity p)
{
    switch (p) {
    case QSerialPort::EvenParity:
        return 'E';
    case QSerialPort::OddParity:
        return 'O';
    case QSerialPort::MarkParity:
        return 'M';
    case QSerialPort::SpaceParity:
        return 'S';
    case QSerialPort::NoParity:
        break;
    }
    return 'N';
}

QSerialPort::Parity parite(char lettre)
{
    switch (lettre) {
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

/** The requested settings as the definition-string syntax accepts them, or nothing. */
bool definitionValide(const DefinitionLigne& d, char& lettre)
{
    lettre = static_cast<char>(std::toupper(static_cast<unsigned char>(d.parity)));
    if (std::strchr("NOEMS", lettre) == nullptr || lettre == '\0') {
        return false;
    }
    return d.dataBits >= 5 && d.dataBits <= 8 && (d.stopBits == 1 || d.stopBits == 2);
}

} // namespace

ResultatReglage reglerLigne(QSerialPort& port, const DefinitionLigne& definition,
                            unsigned eventMask, LineSettings& bloc)
{
    ResultatReglage r;

    // "SetCommTimeouts()": the port has no time-outs, it signals what
    // arrives; its read buffer has no bound, so bytes wait for the owner
    // however long it takes to handle the previous one.
    port.setReadBufferSize(0);

    // "SetCommMask()": only the line events the platform knows.
    if ((eventMask & ~static_cast<unsigned>(LinkAllEvents)) != 0) {
        r.echec = echecSysteme("SetCommMask()", EINVAL);
        return r;
    }

    // "GetCommState()": the settings the port has now.
    bloc.baud = port.baudRate();
    bloc.dataBits = port.dataBits();
    bloc.parity = lettreParite(port.parity());
    bloc.stopBits = port.stopBits() == QSerialPort::TwoStop ? 2 : 1;
    bloc.requestToSend = false;
    if (port.error() != QSerialPort::NoError) {
        r.echec = echecPort("GetCommState()", port);
        return r;
    }

    // "BuildCommDCB()": RTS on, then the requested settings.
    bloc.requestToSend = true;
    char lettre = 'N';
    if (!definitionValide(definition, lettre)) {
        r.echec = echecSysteme("BuildCommDCB()", EINVAL);
        return r;
    }
    bloc.baud = definition.baud;
    bloc.parity = lettre;
    bloc.dataBits = definition.dataBits;
    bloc.stopBits = definition.stopBits;

    // "SetCommState()": the settings applied to the device.
    if (!port.setBaudRate(bloc.baud) ||
        !port.setDataBits(static_cast<QSerialPort::DataBits>(bloc.dataBits)) ||
        !port.setParity(parite(bloc.parity)) ||
        !port.setStopBits(bloc.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) ||
        !port.setFlowControl(QSerialPort::NoFlowControl)) {
        r.echec = echecPort("SetCommState()", port);
        return r;
    }
    if (!port.setRequestToSend(true)) {
        if (port.error() != QSerialPort::UnsupportedOperationError) {
            r.echec = echecPort("SetCommState()", port);
            return r;
        }
        // No modem lines on this device (a pseudo-terminal): nothing to raise.
        r.lignesModem = false;
        r.texteModem = port.errorString().toStdString();
        port.clearError();
        bloc.requestToSend = false;
    }
    return r;
}

std::string texteEchecOuverture(int port, const QString& device, const QSerialPort& echoue)
{
    const QString com = QStringLiteral("COM%1 (%2)").arg(port).arg(device);
    // The port's own words when another process holds its lock file, or the
    // device is opened exclusively.
    const QString verrouille =
        QCoreApplication::translate("QSerialPort", "Permission error while locking the device");
    const QString occupe = QString::fromLocal8Bit(std::strerror(EBUSY));
    const QString texte = echoue.errorString();
    QString message;
    switch (echoue.error()) {
    case QSerialPort::PermissionError:
        if (texte == verrouille || texte == occupe) {
            message =
                QStringLiteral("Le port %1 est déjà utilisé par un autre programme.").arg(com);
        } else {
            message = QStringLiteral("Accès refusé au port %1 : %2 ; l'utilisateur doit "
                                     "appartenir au groupe dialout.")
                          .arg(com, texte);
        }
        break;
    case QSerialPort::DeviceNotFoundError:
        message = QStringLiteral("Le périphérique du port %1 n'existe pas.").arg(com);
        break;
    default:
        message = QStringLiteral("Le port %1 ne peut pas être ouvert : %2.").arg(com, texte);
        break;
    }
    return message.toStdString();
}
