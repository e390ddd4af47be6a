#include "console/FichiersReglages.h"

#include "core/FichierLecture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QStandardPaths>

std::vector<std::string> fichiersReglages()
{
    const QString organisation = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    QStringList dossiers{QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                         QLibraryInfo::path(QLibraryInfo::SettingsPath)};
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_DIRS");
    for (const QString& d : xdg.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        dossiers << d;
    }
    std::vector<std::string> fichiers;
    for (const QString& dossier : dossiers) {
        if (dossier.isEmpty()) {
            continue;
        }
        for (const QString& nom : {organisation + QLatin1Char('/') + application, organisation}) {
            const QString chemin = dossier + QLatin1Char('/') + nom + QStringLiteral(".conf");
            fichiers.push_back(QFile::encodeName(QDir::cleanPath(chemin)).toStdString());
        }
    }
    return fichiers;
}

std::string refusFichiersReglages(const std::vector<std::string>& fichiers)
{
    for (const std::string& chemin : fichiers) {
        if (const int refus = lecture::examiner(chemin); refus != 0) {
            return "Le fichier de réglages « " + chemin + " » n'est pas un fichier ordinaire (" +
                   lecture::raison(refus) +
                   ") : la console ne peut pas le lire. Retirez-le, puis relancez la console.";
        }
    }
    return {};
}
