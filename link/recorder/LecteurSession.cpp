#include "link/recorder/LecteurSession.h"

#include "link/recorder/DossierJournaux.h"
#include "link/recorder/Enregistreur.h"

#include <cerrno>
#include <filesystem>
#include <optional>

namespace journal {

namespace {

namespace fs = std::filesystem;

/**
 * The name a "suite NAME" event gives, or nothing for any other record. An
 * empty NAME is still a continuation announced, and refused when followed.
 */
std::optional<std::string> suiteNommee(const Enregistrement& e)
{
    const std::string prefixe = std::string(EvenementSuite) + " ";
    if (e.genre != Genre::Lien || !e.texte().starts_with(prefixe)) {
        return std::nullopt;
    }
    return std::string(e.texte().substr(prefixe.size()));
}

} // namespace

LecteurSession::LecteurSession(std::istream& entree, const std::string& chemin)
    : m_premier(entree)
    , m_lecteur(std::make_unique<LecteurJournal>(entree))
{
    if (!chemin.empty()) {
        const fs::path p(chemin);
        m_dossier = p.has_parent_path() ? p.parent_path().string() : std::string(".");
        m_nom = p.filename().string();
    }
}

std::optional<PositionSession> LecteurSession::position()
{
    if (m_arrete) {
        return std::nullopt;
    }
    std::istream& flux = m_fichiers == 1 ? m_premier : m_suite;
    const std::streamoff decalage = flux.tellg();
    if (decalage < 0) {
        return std::nullopt;
    }
    return PositionSession{m_nom, m_fichiers, decalage, m_dernierTemps, m_nombre, m_nomSuite};
}

bool LecteurSession::reprendre(const PositionSession& p)
{
    std::istream* flux = &m_premier;
    std::string chemin = m_nom;
    if (p.fichiers > 1) {
        // A continuation: a log's name beside the first file, as ouvrirSuite wants it.
        if (m_dossier.empty() || !dossier::estNomJournal(p.nom)) {
            arret(Lecture::Corrompu, "suite invalide : " + p.nom);
            return false;
        }
        chemin = (fs::path(m_dossier) / p.nom).string();
        if (!ouvrirFichierSuite(chemin)) {
            return false;
        }
        flux = &m_suite;
    }
    flux->clear();
    flux->seekg(0);
    m_lecteur = std::make_unique<LecteurJournal>(*flux);
    if (!m_lecteur->lireEntete() || m_lecteur->debutUnixUs() != m_debut ||
        !flux->seekg(p.decalage)) {
        arret(Lecture::Corrompu, chemin + " n'est plus le journal lu");
        return false;
    }
    m_nom = p.nom;
    m_fichiers = p.fichiers;
    m_dernierTemps = p.dernierTemps;
    m_nombre = p.nombre;
    m_nomSuite = p.nomSuite;
    m_arrete = false;
    m_raison = Lecture::Fin;
    m_erreur.clear();
    return true;
}

bool LecteurSession::lireEntete()
{
    if (!m_lecteur->lireEntete()) {
        arret(Lecture::Corrompu, m_lecteur->erreur());
        return false;
    }
    m_debut = m_lecteur->debutUnixUs();
    return true;
}

Lecture LecteurSession::arret(Lecture raison, std::string texte)
{
    m_arrete = true;
    m_raison = raison;
    m_erreur = std::move(texte);
    return raison;
}

bool LecteurSession::ouvrirFichierSuite(const std::string& chemin)
{
    // The recorder makes its files itself, never as links: a link in the
    // folder may lead anywhere, a FIFO would block the reader for good.
    if (m_suite.ouvrir(chemin, false)) {
        return true;
    }
    if (m_suite.erreur() == ENOENT) {
        arret(Lecture::Tronque, "suite introuvable : " + chemin);
    } else {
        arret(Lecture::Corrompu, "suite refusée : " + chemin + " : " + m_suite.raison());
    }
    return false;
}

Lecture LecteurSession::ouvrirSuite()
{
    const std::string nom = std::move(*m_nomSuite);
    m_nomSuite.reset();
    if (!dossier::estNomJournal(nom) || !dossier::avant(m_nom, nom)) {
        return arret(Lecture::Corrompu, "suite invalide : " + nom);
    }
    const std::string chemin = (fs::path(m_dossier) / nom).string();
    if (!ouvrirFichierSuite(chemin)) {
        return m_raison;
    }
    m_lecteur = std::make_unique<LecteurJournal>(m_suite);
    if (!m_lecteur->lireEntete()) {
        return arret(Lecture::Corrompu, chemin + " : " + m_lecteur->erreur());
    }
    if (m_lecteur->debutUnixUs() != m_debut) {
        return arret(Lecture::Corrompu, chemin + " n'est pas la suite de cette session");
    }
    m_nom = nom;
    ++m_fichiers;
    return Lecture::Enregistrement;
}

Lecture LecteurSession::suivant(Enregistrement& e)
{
    while (!m_arrete) {
        const Lecture r = m_lecteur->suivant(e);
        if (r == Lecture::Enregistrement) {
            if (e.tempsUs < m_dernierTemps) {
                return arret(Lecture::Corrompu, "le temps d'un enregistrement recule");
            }
            m_dernierTemps = e.tempsUs;
            ++m_nombre;
            // Only a file's last record names its continuation.
            m_nomSuite = suiteNommee(e);
            return r;
        }
        if (r != Lecture::Fin || !m_nomSuite || m_dossier.empty()) {
            return arret(r, m_lecteur->erreur());
        }
        ouvrirSuite();
    }
    return m_raison;
}

} // namespace journal
