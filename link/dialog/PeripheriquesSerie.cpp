#include "link/dialog/PeripheriquesSerie.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

QString PeripheriqueSerie::libelle() const
{
    QString texte = nom;
    if (!description.isEmpty()) {
        texte += QStringLiteral(" - ") + description;
    }
    if (!fabricant.isEmpty()) {
        texte += QStringLiteral(" (") + fabricant + QLatin1Char(')');
    }
    return texte;
}

QString PeripheriqueSerie::details() const
{
    QStringList lignes;
    lignes << QStringLiteral("Nom : ") + nom;
    if (!description.isEmpty()) {
        lignes << QStringLiteral("Description : ") + description;
    }
    if (!fabricant.isEmpty()) {
        lignes << QStringLiteral("Fabricant : ") + fabricant;
    }
    lignes << QStringLiteral("Périphérique : ") + chemin;
    lignes << QStringLiteral("Identifiant stable : ") +
                  (cheminStable.isEmpty() ? QStringLiteral("aucun") : cheminStable);
    return lignes.join(QLatin1Char('\n'));
}

QString peripheriqueReel(const QString& chemin)
{
    return QFileInfo(chemin).canonicalFilePath();
}

void associerCheminsStables(QList<PeripheriqueSerie>& peripheriques, const QString& dossierParId)
{
    const QDir dossier(dossierParId);
    const QFileInfoList liens =
        dossier.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (PeripheriqueSerie& p : peripheriques) {
        const QString reel = peripheriqueReel(p.chemin);
        if (reel.isEmpty()) {
            continue;
        }
        for (const QFileInfo& lien : liens) {
            if (lien.canonicalFilePath() == reel) {
                p.cheminStable = lien.absoluteFilePath();
                break;
            }
        }
    }
}

QList<PeripheriqueSerie> peripheriquesDetectes(const QString& dossierParId)
{
    QList<PeripheriqueSerie> peripheriques;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        peripheriques.append(
            {info.portName(), info.description(), info.manufacturer(), info.systemLocation(), {}});
    }
    associerCheminsStables(peripheriques, dossierParId);
    return peripheriques;
}
