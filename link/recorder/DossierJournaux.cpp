#include "link/recorder/DossierJournaux.h"

#include "link/recorder/FormatJournal.h"

#include <algorithm>
#include <ctime>
#include <system_error>

namespace journal::dossier {

namespace fs = std::filesystem;

std::string nomJournal(std::int64_t debutUnixUs, int rang)
{
    const auto secondes = static_cast<std::time_t>(debutUnixUs / 1000000);
    std::tm local{};
    localtime_r(&secondes, &local);
    char texte[64];
    std::strftime(texte, sizeof texte, "kiv-%Y-%m-%d_%H-%M-%S", &local);
    std::string nom = texte;
    if (rang > 1) {
        nom += "_" + std::to_string(rang);
    }
    return nom + Extension;
}

bool estNomJournal(const std::string& nom)
{
    const std::string extension = Extension;
    return nom.size() > 4 + extension.size() && nom.compare(0, 4, "kiv-") == 0 &&
           nom.compare(nom.size() - extension.size(), extension.size(), extension) == 0;
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
    // Same second: the base name ('.' after the time) before "_2", "_3" ...
    std::sort(trouves.begin(), trouves.end());
    return trouves;
}

int limiter(const fs::path& dossier, std::uint64_t tailleMax, const fs::path& garde)
{
    const std::vector<fs::path> liste = journaux(dossier);
    std::vector<std::uint64_t> tailles;
    tailles.reserve(liste.size());
    std::uint64_t total = 0;
    for (const fs::path& p : liste) {
        std::error_code erreur;
        const std::uintmax_t t = fs::file_size(p, erreur);
        tailles.push_back(erreur ? 0 : t);
        total += tailles.back();
    }
    int supprimes = 0;
    std::error_code ignore;
    for (std::size_t k = 0; k < liste.size() && total > tailleMax; ++k) {
        if (!garde.empty() && fs::equivalent(liste[k], garde, ignore)) {
            continue;
        }
        std::error_code erreur;
        if (fs::remove(liste[k], erreur)) {
            total -= tailles[k];
            ++supprimes;
        }
    }
    return supprimes;
}

} // namespace journal::dossier
