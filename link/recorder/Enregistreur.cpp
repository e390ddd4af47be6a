#include "link/recorder/Enregistreur.h"

#include "link/recorder/DossierJournaux.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <utility>

namespace journal {

namespace {

namespace fs = std::filesystem;

/**
 * The folder is looked at again after every so many bytes written, so that
 * what other programs put there counts too.
 */
constexpr std::uint64_t PasVerification = 1024ULL * 1024;

std::string texteErreur(int code)
{
    char tampon[256];
    return ::strerror_r(code, tampon, sizeof tampon);
}

std::string nomDeFichier(const std::string& chemin)
{
    return fs::path(chemin).filename().string();
}

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
{
    if (m_reglages.periodeSynchroMs > 0) {
        m_minuterie = std::thread([this] { minuterie(); });
    }
}

Enregistreur::~Enregistreur()
{
    {
        std::lock_guard verrou(m_mutexMinuterie);
        m_fin = true;
    }
    m_reveil.notify_all();
    if (m_minuterie.joinable()) {
        m_minuterie.join();
    }
    synchroniser();
    std::lock_guard verrou(m_mutex);
    m_ecrivain.fermer();
}

void Enregistreur::minuterie()
{
    const std::chrono::milliseconds periode(m_reglages.periodeSynchroMs);
    std::unique_lock verrou(m_mutexMinuterie);
    while (!m_reveil.wait_for(verrou, periode, [this] { return m_fin; })) {
        verrou.unlock();
        synchroniser();
        verrou.lock();
    }
}

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

void Enregistreur::destination(int x, int y)
{
    std::uint8_t charge[TailleDestination];
    encoderDestination(charge, x, y);
    noter(Genre::Destination, charge, sizeof charge);
}

void Enregistreur::edition(EditionCarte genre, int colonne, int ligne)
{
    std::uint8_t charge[TailleEditionCarte];
    encoderEdition(charge, genre, colonne, ligne);
    noter(Genre::Carte, charge, sizeof charge);
}

void Enregistreur::calibration(const PointCalibre& point)
{
    std::uint8_t charge[TailleCalibration];
    encoderCalibration(charge, point);
    noter(Genre::Calibration, charge, sizeof charge);
}

void Enregistreur::terrain(const EtatTerrain& terrain)
{
    std::uint8_t charge[TailleTerrain];
    encoderTerrain(charge, terrain);
    noter(Genre::Terrain, charge, sizeof charge);
}

void Enregistreur::position(const PositionFiltree& position)
{
    std::uint8_t charge[TaillePosition];
    encoderPosition(charge, position);
    noter(Genre::Position, charge, sizeof charge);
}

void Enregistreur::fournirTerrain(SourceTerrain source)
{
    std::lock_guard verrou(m_mutex);
    m_sourceTerrain = std::move(source);
}

std::uint64_t Enregistreur::aEcrire(std::uint64_t taille) const
{
    return taille + (m_terrainEnAttente ? tailleEcrite(TailleTerrain) : 0);
}

bool Enregistreur::ecrireTerrainEnAttente()
{
    if (!m_terrainEnAttente) {
        return true;
    }
    m_terrainEnAttente = false;
    std::uint8_t charge[TailleTerrain];
    encoderTerrain(charge, m_sourceTerrain());
    // Not counted among the file's records: a file holding its field alone
    // is not continued.
    if (!m_ecrivain.ecrire(Genre::Terrain, m_dernierTemps, charge, sizeof charge)) {
        arreter(m_ecrivain.chemin(), m_ecrivain.raison());
        return false;
    }
    return true;
}

void Enregistreur::listeCalibration(const EditionListe& edition)
{
    std::uint8_t charge[TailleListeCalibration];
    encoderListeCalibration(charge, edition);
    noter(Genre::ListeCalibration, charge, sizeof charge);
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

bool Enregistreur::arrete() const
{
    std::lock_guard verrou(m_mutex);
    return m_arrete;
}

std::uint64_t Enregistreur::tailleMorceau() const
{
    return m_reglages.tailleMax / 4;
}

void Enregistreur::surArret(RappelArret rappel)
{
    {
        std::lock_guard verrou(m_mutexRappel);
        m_rappel = std::move(rappel);
    }
    prevenir();
}

void Enregistreur::arreter(const std::string& fichier, const std::string& raison)
{
    m_arrete = true;
    m_fichierArret = fichier;
    m_raisonArret = raison;
    m_erreur = fichier + " : " + raison;
    m_ecrivain.fermer();
}

void Enregistreur::prevenir()
{
    std::string fichier;
    std::string raison;
    {
        std::lock_guard verrou(m_mutex);
        if (!m_arrete) {
            return;
        }
        fichier = m_fichierArret;
        raison = m_raisonArret;
    }
    std::lock_guard verrou(m_mutexRappel);
    if (m_prevenu || !m_rappel) {
        return;
    }
    m_prevenu = true;
    m_rappel(fichier, raison);
}

void Enregistreur::regarderDossier(std::uint64_t aEcrire)
{
    const std::uint64_t budget =
        m_reglages.tailleMax > aEcrire ? m_reglages.tailleMax - aEcrire : 0;
    const dossier::BilanLimite bilan = dossier::limiter(m_reglages.dossier, budget, m_chemin);
    const std::uint64_t propre = m_ecrivain.taille();
    m_autres = bilan.total > propre ? bilan.total - propre : 0;
    m_tailleVerifiee = propre;
}

bool Enregistreur::ouvrir()
{
    m_essaye = true;
    std::string raison;
    if (!dossier::preparer(m_reglages.dossier, raison)) {
        arreter(m_reglages.dossier, raison);
        return false;
    }
    m_debut = m_horloges.murale();
    m_origine = m_horloges.stable();
    // Two sessions in the same second get "_2", "_3" ...
    for (int rang = 1; rang <= 100; ++rang) {
        const std::string chemin =
            (fs::path(m_reglages.dossier) / dossier::nomJournal(m_debut, rang)).string();
        if (m_ecrivain.ouvrir(chemin, m_debut)) {
            m_chemin = chemin;
            m_sale = true;
            m_dossierSale = true;
            m_enregistrements = 0;
            m_terrainEnAttente = static_cast<bool>(m_sourceTerrain);
            regarderDossier(0);
            return true;
        }
        if (m_ecrivain.codeErreur() != EEXIST) {
            break;
        }
    }
    arreter(m_ecrivain.chemin(), m_ecrivain.raison());
    return false;
}

bool Enregistreur::continuer()
{
    const std::string ancien = m_chemin;
    EcrivainJournal suivant;
    for (int essai = 1; essai <= 100; ++essai) {
        const std::string nom = dossier::nomSuite(nomDeFichier(ancien), m_horloges.murale(), essai);
        if (suivant.ouvrir((fs::path(m_reglages.dossier) / nom).string(), m_debut) ||
            suivant.codeErreur() != EEXIST) {
            break;
        }
    }
    if (!suivant.ouvert()) {
        arreter(suivant.chemin(), suivant.raison());
        return false;
    }
    const std::string chemin = suivant.chemin();
    if (!m_ecrivain.ecrire(Genre::Lien, m_dernierTemps,
                           std::string(EvenementSuite) + " " + nomDeFichier(chemin))) {
        // Nothing names the new file: it goes.
        suivant.fermer();
        ::unlink(chemin.c_str());
        arreter(ancien, m_ecrivain.raison());
        return false;
    }
    if (!suivant.ecrire(Genre::Lien, m_dernierTemps,
                        std::string(EvenementReprise) + " " + nomDeFichier(ancien))) {
        arreter(chemin, suivant.raison());
        return false;
    }
    // The full file is synced by the recording's thread, never here: this
    // may run inside the hand-over of a received byte.
    if (const int fd = ::dup(m_ecrivain.descripteur()); fd >= 0) {
        m_aSynchroniser.push_back(fd);
    } else if (!m_ecrivain.synchroniser()) {
        arreter(ancien, m_ecrivain.raison());
        return false;
    }
    m_autres += m_ecrivain.taille();
    m_ecrivain = std::move(suivant);
    m_chemin = chemin;
    m_enregistrements = 0;
    m_terrainEnAttente = static_cast<bool>(m_sourceTerrain);
    m_sale = true;
    m_dossierSale = true;
    m_tailleVerifiee = m_ecrivain.taille();
    return true;
}

bool Enregistreur::preparer(std::uint64_t taille)
{
    // A new file needs a record in the current one, and a frame's start.
    const bool possible = m_enregistrements > 0 &&
                          (m_reglages.alignement <= 1 || m_recus % m_reglages.alignement == 0);
    if (possible && m_ecrivain.taille() + taille > tailleMorceau() && !continuer()) {
        return false;
    }
    // A file just begun takes its field before the record.
    const auto depasse = [&] {
        return m_autres + m_ecrivain.taille() + aEcrire(taille) > m_reglages.tailleMax;
    };
    if (depasse()) {
        regarderDossier(aEcrire(taille));
        // The session's own file is all that is left to cut: it is continued
        // in a new one, and the full one can go.
        if (depasse() && possible) {
            if (!continuer()) {
                return false;
            }
            regarderDossier(aEcrire(taille));
        }
    }
    return true;
}

void Enregistreur::noter(Genre genre, const std::uint8_t* octets, std::size_t n,
                         std::optional<std::uint64_t> instant)
{
    bool arret = false;
    {
        std::lock_guard verrou(m_mutex);
        if (m_arrete || (!m_ecrivain.ouvert() && (m_essaye || !ouvrir()))) {
            arret = m_arrete;
        } else {
            // Never backwards, whatever the clock does. A byte keeps the
            // time it arrived, when the line tells it.
            const std::uint64_t maintenant = instant ? *instant : m_horloges.stable();
            const std::uint64_t temps = maintenant > m_origine ? maintenant - m_origine : 0;
            m_dernierTemps = std::max(m_dernierTemps, temps);
            if (genre == Genre::Terrain) {
                m_terrainEnAttente = false; // this record is the field
            }
            if (!preparer(tailleEcrite(n)) || !ecrireTerrainEnAttente()) {
                arret = true;
            } else if (!m_ecrivain.ecrire(genre, m_dernierTemps, octets, n)) {
                arreter(m_ecrivain.chemin(), m_ecrivain.raison());
                arret = true;
            } else {
                m_sale = true;
                ++m_enregistrements;
                if (genre == Genre::Recu) {
                    m_recus += n;
                } else if (genre == Genre::Lien &&
                           std::string_view(reinterpret_cast<const char*>(octets), n)
                               .starts_with(EvenementOuvert)) {
                    m_recus = 0;
                }
                if (m_ecrivain.taille() - m_tailleVerifiee >= PasVerification) {
                    regarderDossier(0);
                }
            }
        }
    }
    if (arret) {
        prevenir();
    }
}

bool Enregistreur::synchroniser()
{
    std::vector<int> descripteurs;
    bool dossierAussi = false;
    std::string chemin;
    int code = 0;
    {
        std::lock_guard verrou(m_mutex);
        if (m_ecrivain.ouvert() && m_sale) {
            m_sale = false;
            // A copy of the descriptor is synced without the lock, so that
            // recording goes on meanwhile.
            if (const int fd = ::dup(m_ecrivain.descripteur()); fd >= 0) {
                descripteurs.push_back(fd);
            } else if (!m_ecrivain.synchroniser()) {
                code = m_ecrivain.codeErreur();
            }
        }
        descripteurs.insert(descripteurs.end(), m_aSynchroniser.begin(), m_aSynchroniser.end());
        m_aSynchroniser.clear();
        dossierAussi = std::exchange(m_dossierSale, false);
        chemin = m_chemin;
    }
    for (const int fd : descripteurs) {
        if (::fsync(fd) != 0 && code == 0) {
            code = errno;
        }
        ::close(fd);
    }
    if (dossierAussi) {
        const int fd = ::open(m_reglages.dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS && code == 0) {
                code = errno;
            }
            ::close(fd);
        }
    }
    if (code == 0) {
        return true;
    }
    {
        std::lock_guard verrou(m_mutex);
        if (!m_arrete) {
            arreter(chemin, "synchronisation du journal impossible : " + texteErreur(code));
        }
    }
    prevenir();
    return false;
}

} // namespace journal
