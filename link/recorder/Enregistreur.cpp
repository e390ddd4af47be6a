#include "link/recorder/Enregistreur.h"

#include "link/recorder/DossierJournaux.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>

namespace journal {

namespace {

/** The folder is cut back to its cap after every so many bytes written. */
constexpr std::uint64_t PasVerification = 1024ULL * 1024;

} // namespace

Horloges horlogesSysteme()
{
    using namespace std::chrono;
    return {[] {
                return static_cast<std::uint64_t>(
                    duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
            },
            [] {
                return static_cast<std::int64_t>(
                    duration_cast<microseconds>(system_clock::now().time_since_epoch()).count());
            }};
}

Enregistreur::Enregistreur(ReglagesJournal reglages, Horloges horloges)
    : m_reglages(std::move(reglages))
    , m_horloges(std::move(horloges))
{}

void Enregistreur::recu(const std::uint8_t* octets, std::size_t n)
{
    noter(Genre::Recu, octets, n);
}

void Enregistreur::recu(const std::uint8_t* octets, std::size_t n, std::uint64_t lu)
{
    noter(Genre::Recu, octets, n, lu);
}

void Enregistreur::emis(const std::uint8_t* octets, std::size_t n)
{
    noter(Genre::Emis, octets, n);
}

void Enregistreur::lien(std::string_view texte)
{
    noter(Genre::Lien, reinterpret_cast<const std::uint8_t*>(texte.data()), texte.size());
}

void Enregistreur::navigation(std::string_view texte)
{
    noter(Genre::Navigation, reinterpret_cast<const std::uint8_t*>(texte.data()), texte.size());
}

std::string Enregistreur::chemin() const
{
    std::lock_guard verrou(m_mutex);
    return m_chemin;
}

std::string Enregistreur::erreur() const
{
    std::lock_guard verrou(m_mutex);
    return m_erreur;
}

bool Enregistreur::ouvrir()
{
    m_essaye = true;
    namespace fs = std::filesystem;
    std::error_code erreur;
    fs::create_directories(m_reglages.dossier, erreur);
    if (erreur) {
        m_erreur = "dossier des journaux impossible à créer (" + m_reglages.dossier +
                   ") : " + erreur.message();
        return false;
    }
    const std::int64_t debut = m_horloges.murale();
    m_origine = m_horloges.stable();
    // Two sessions in the same second get "_2", "_3" ...
    for (int rang = 1; rang <= 100; ++rang) {
        const std::string chemin =
            (fs::path(m_reglages.dossier) / dossier::nomJournal(debut, rang)).string();
        if (m_ecrivain.ouvrir(chemin, debut)) {
            m_chemin = chemin;
            m_tailleVerifiee = m_ecrivain.taille();
            dossier::limiter(m_reglages.dossier, m_reglages.tailleMax, m_chemin);
            return true;
        }
        if (m_ecrivain.codeErreur() != EEXIST) {
            break;
        }
    }
    m_erreur = m_ecrivain.erreur();
    return false;
}

void Enregistreur::noter(Genre genre, const std::uint8_t* octets, std::size_t n,
                         std::optional<std::uint64_t> instant)
{
    std::lock_guard verrou(m_mutex);
    if (!m_ecrivain.ouvert()) {
        if (m_essaye || !ouvrir()) {
            return;
        }
    }
    // Never backwards, whatever the clock does.
    const std::uint64_t maintenant = instant ? *instant : m_horloges.stable();
    const std::uint64_t temps = maintenant > m_origine ? maintenant - m_origine : 0;
    m_dernierTemps = std::max(m_dernierTemps, temps);
    if (!m_ecrivain.ecrire(genre, m_dernierTemps, octets, n)) {
        m_erreur = m_ecrivain.erreur();
        return;
    }
    if (m_ecrivain.taille() - m_tailleVerifiee >= PasVerification) {
        m_tailleVerifiee = m_ecrivain.taille();
        dossier::limiter(m_reglages.dossier, m_reglages.tailleMax, m_chemin);
    }
}

} // namespace journal
