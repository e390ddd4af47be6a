#include "core/qt/DossiersFichiers.h"

#include "core/CatalogueReglages.h"
#include "core/DossierDonnees.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace dossiers {

namespace {

QString cle(const std::string& genreFichier)
{
    return QString::fromLatin1(reglages::DossierFichiers.nom) +
           QString::fromStdString(genreFichier);
}

} // namespace

std::string genre(const std::string& filtre)
{
    // "Label (*.a;*.b)|*.a;*.b||": the pattern after the first '|'.
    const std::size_t barre = filtre.find('|');
    if (barre == std::string::npos) {
        return {};
    }
    const std::size_t fin = filtre.find_first_of("|;", barre + 1);
    const std::string motif =
        filtre.substr(barre + 1, fin == std::string::npos ? std::string::npos : fin - barre - 1);
    const std::size_t point = motif.rfind('.');
    if (point == std::string::npos || motif.find_first_of("*?[", point) != std::string::npos) {
        return {};
    }
    return motif.substr(point + 1);
}

QString documents()
{
    const QString dossier = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !dossier.isEmpty() && QFileInfo(dossier).isDir() ? dossier : QDir::homePath();
}

bool dansDonneesFournies(const QString& dossier)
{
    const QFileInfo reseau(QFile::decodeName(donnees::chemin("beacons.wgh").c_str()));
    const QString fournies = QFileInfo(reseau.absolutePath()).canonicalFilePath();
    const QString lui = QFileInfo(dossier).canonicalFilePath();
    if (fournies.isEmpty() || lui.isEmpty()) {
        return false;
    }
    return lui == fournies || lui.startsWith(fournies + QLatin1Char('/'));
}

QString depart(const std::string& filtre, FileDialogKind kind)
{
    const bool enregistrer = kind == FileDialogKind::Save;
    const std::string g = genre(filtre);
    if (!g.empty()) {
        QString retenu = QSettings().value(cle(g)).toString();
        if (!retenu.isEmpty() && QFileInfo(retenu).isDir() &&
            !(enregistrer && dansDonneesFournies(retenu))) {
            return retenu;
        }
        if (!enregistrer && (g == "wgh" || g == "dat" || g == "prm")) {
            const QFileInfo reseau(QFile::decodeName(donnees::chemin("beacons.wgh").c_str()));
            if (reseau.exists()) {
                return reseau.absolutePath();
            }
        }
    }
    return documents();
}

void retenir(const std::string& filtre, const QString& fichier)
{
    const std::string g = genre(filtre);
    if (g.empty() || fichier.isEmpty()) {
        return;
    }
    QSettings().setValue(cle(g), QFileInfo(fichier).absolutePath());
}

} // namespace dossiers
