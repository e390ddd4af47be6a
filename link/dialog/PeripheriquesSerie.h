#pragma once

#include <QList>
#include <QString>

#include <functional>

/** A serial device found on the machine, as the port dialog offers it. */
struct PeripheriqueSerie {
    QString nom;          ///< "ttyUSB0"
    QString description;  ///< "FT232R USB UART"; may be empty
    QString fabricant;    ///< "FTDI"; may be empty
    QString chemin;       ///< "/dev/ttyUSB0"
    QString cheminStable; ///< "/dev/serial/by-id/usb-FTDI_...-port0"; empty when none

    /**
     * What an assignment stores: the stable path when there is one, since
     * it names the same adapter after it is plugged in again (even into
     * another socket, where it may get another ttyUSB number).
     */
    QString reference() const { return cheminStable.isEmpty() ? chemin : cheminStable; }

    /** One line for a list: name, description, manufacturer. */
    QString libelle() const;
    /** Every detail on separate lines, for a tooltip. */
    QString details() const;
};

/** Where the system keeps one stable link per plugged serial adapter. */
inline const QString DossierSerieParId = QStringLiteral("/dev/serial/by-id");

/**
 * The serial devices of the machine (QSerialPortInfo::availablePorts), each
 * with the stable path of `dossierParId` that leads to it, if any.
 */
QList<PeripheriqueSerie> peripheriquesDetectes(const QString& dossierParId = DossierSerieParId);

/**
 * Gives each device the path of the link in `dossierParId` that resolves to
 * it (links are followed to the end, relative ones included); a device
 * without one keeps an empty stable path.
 */
void associerCheminsStables(QList<PeripheriqueSerie>& peripheriques, const QString& dossierParId);

/** The device `chemin` leads to now (links followed); empty when it leads nowhere. */
QString peripheriqueReel(const QString& chemin);

/** Gives the devices to offer; replaced in tests and demonstrations. */
using SourcePeripheriques = std::function<QList<PeripheriqueSerie>()>;
