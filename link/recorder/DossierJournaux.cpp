#include "link/recorder/DossierJournaux.h"

#include "link/recorder/FormatJournal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace journal::dossier {

namespace fs = std::filesystem;

namespace {

/** The name's time part ("kiv-2026-12-07_20-38-36") and its rank (1 without "_N"). */
std::pair<std::string, long> cle(const std::string& nom)
{
    const std::string extension = Extension;
    std::string base = nom;
    if (base.size() >= extension.size() &&
        base.compare(base.size() - extension.size(), extension.size(), extension) == 0) {
        base.resize(base.size() - extension.size());
    }
    const std::size_t barre = base.rfind('_');
    if (barre == std::string::npos || barre + 1 == base.size() || base.size() - barre > 9 ||
        !std::all_of(base.begin() + static_cast<std::ptrdiff_t>(barre) + 1, base.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        return {base, 1};
    }
    return {base.substr(0, barre), std::stol(base.substr(barre + 1))};
}

std::string nomDe(const std::string& base, long rang)
{
    return base + (rang > 1 ? "_" + std::to_string(rang) : std::string()) + Extension;
}

std::string texteErreur(int code)
{
    char tampon[256];
    return ::strerror_r(code, tampon, sizeof tampon);
}

} // namespace

std::string nomJournal(std::int64_t debutUnixUs, int rang)
{
    const auto secondes = static_cast<std::time_t>(debutUnixUs / 1000000);
    std::tm local{};
    localtime_r(&secondes, &local);
    char texte[64];
    std::strftime(texte, sizeof texte, "kiv-%Y-%m-%d_%H-%M-%S", &local);
    return nomDe(texte, rang);
}

bool estNomJournal(const std::string& nom)
{
    const std::string extension = Extension;
    return nom.size() > 4 + extension.size() && nom.compare(0, 4, "kiv-") == 0 &&
           nom.compare(nom.size() - extension.size(), extension.size(), extension) == 0 &&
           nom.find('/') == std::string::npos;
}

bool avant(const std::string& a, const std::string& b)
{
    return cle(a) < cle(b);
}

std::string nomSuite(const std::string& courant, std::int64_t debutUnixUs, int essai)
{
    const auto [base, rang] = cle(courant);
    const std::string maintenant = cle(nomJournal(debutUnixUs)).first;
    if (maintenant > base) {
        return nomDe(maintenant, essai);
    }
    // Same second, or a clock that went back: the next ranks of the same time.
    return nomDe(base, rang + essai);
}

std::vector<fs::path> journaux(const fs::path& dossier)
{
    std::vector<fs::path> trouves;
    std::error_code erreur;
    for (fs::directory_iterator it(dossier, erreur), fin; !erreur && it != fin;
         it.increment(erreur)) {
        if (it->is_regular_file(erreur) && estNomJournal(it->path().filename().string())) {
            trouves.push_back(it->path());
        }
    }
    std::sort(trouves.begin(), trouves.end(), [](const fs::path& a, const fs::path& b) {
        return avant(a.filename().string(), b.filename().string());
    });
    return trouves;
}

BilanLimite limiter(const fs::path& dossier, std::uint64_t tailleMax, const fs::path& garde)
{
    const std::vector<fs::path> liste = journaux(dossier);
    std::vector<std::uint64_t> tailles;
    tailles.reserve(liste.size());
    BilanLimite bilan;
    for (const fs::path& p : liste) {
        std::error_code erreur;
        const std::uintmax_t t = fs::file_size(p, erreur);
        tailles.push_back(erreur ? 0 : t);
        bilan.total += tailles.back();
    }
    std::error_code ignore;
    for (std::size_t k = 0; k < liste.size() && bilan.total > tailleMax; ++k) {
        if (!garde.empty() && fs::equivalent(liste[k], garde, ignore)) {
            continue;
        }
        std::error_code erreur;
        if (fs::remove(liste[k], erreur)) {
            bilan.total -= tailles[k];
            ++bilan.supprimes;
        }
    }
    return bilan;
}

bool preparer(const fs::path& dossier, std::string& raison)
{
    // Every missing folder on the way is made private, as the last one.
    fs::path chemin;
    for (const fs::path& partie : dossier) {
        chemin /= partie;
        if (partie.empty() || partie == "/") {
            continue;
        }
        if (::mkdir(chemin.c_str(), 0700) != 0 && errno != EEXIST) {
            raison = "dossier des journaux impossible à créer : " + texteErreur(errno);
            return false;
        }
    }
    struct stat etat {};
    const bool lu = ::stat(dossier.c_str(), &etat) == 0;
    if (!lu || !S_ISDIR(etat.st_mode)) {
        raison = "dossier des journaux impossible à créer : " + texteErreur(lu ? ENOTDIR : errno);
        return false;
    }
    if (etat.st_uid == ::geteuid() && (etat.st_mode & 077) != 0 &&
        ::chmod(dossier.c_str(), etat.st_mode & 0700) != 0) {
        raison = "dossier des journaux impossible à protéger : " + texteErreur(errno);
        return false;
    }
    return true;
}

} // namespace journal::dossier
