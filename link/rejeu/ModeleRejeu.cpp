#include "link/rejeu/ModeleRejeu.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace {

std::uint64_t horlogeSysteme()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

std::int64_t instantSysteme()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

bool vitesseValide(double vitesse)
{
    return std::isfinite(vitesse) && vitesse > 0.0;
}

} // namespace

ModeleRejeu::ModeleRejeu(OptionsRejeu options)
    : m_options(std::move(options))
{
    if (!m_options.horloge) {
        m_options.horloge = horlogeSysteme;
    }
    if (!m_options.horlogeTravail) {
        m_options.horlogeTravail = instantSysteme;
    }
    if (m_options.pasInstantanes == 0) {
        m_options.pasInstantanes = 1;
    }
    m_vitesse = vitesseValide(m_options.vitesse) ? m_options.vitesse : 1.0;
}

ModeleRejeu::~ModeleRejeu() = default;

bool ModeleRejeu::ouvrirLecteur(Lecteur& lecteur)
{
    // Never blocking, and a regular file only: a FIFO named as the log
    // would hold the window (and the console) in open() for good.
    if (!lecteur.fichier.ouvrir(m_options.fichier)) {
        m_erreur = "Le journal " + m_options.fichier +
                   " ne peut pas être ouvert : " + lecteur.fichier.raison();
        return false;
    }
    lecteur.session = std::make_unique<journal::LecteurSession>(lecteur.fichier, m_options.fichier);
    if (!lecteur.session->lireEntete()) {
        m_erreur = "Le journal " + m_options.fichier +
                   " ne peut pas être lu : " + lecteur.session->erreur();
        lecteur.session.reset();
        return false;
    }
    return true;
}

bool ModeleRejeu::ouvrir()
{
    m_erreur.clear();
    if (!ouvrirLecteur(m_index) || !ouvrirLecteur(m_lecture)) {
        m_index.session.reset();
        m_lecture.session.reset();
        return false;
    }
    m_debutSession = m_index.session->debutUnixUs();
    m_versionJournal = m_index.session->version();
    const auto position = m_index.session->position();
    if (!position) {
        m_erreur = "Le journal " + m_options.fichier + " ne peut pas être lu : position inconnue";
        m_index.session.reset();
        m_lecture.session.reset();
        return false;
    }
    // Seeking before the first record comes back here.
    m_instantanes.push_back({0, 0, m_etatIndex, *position});
    lireSuivant(m_lecture);
    return true;
}

void ModeleRejeu::lireSuivant(Lecteur& lecteur)
{
    const journal::Lecture r = lecteur.session->suivant(lecteur.prochain);
    lecteur.aProchain = r == journal::Lecture::Enregistrement;
    if (!lecteur.aProchain) {
        lecteur.fin = r;
    }
}

bool ModeleRejeu::tourPlein(std::int64_t debutTour, int appliques) const
{
    return m_options.dureeTourMaxUs > 0 && appliques > 0 &&
           m_options.horlogeTravail() - debutTour >= m_options.dureeTourMaxUs;
}

bool ModeleRejeu::lirePremiereFois(std::int64_t debutTour, int& appliques)
{
    journal::Enregistrement& e = m_index.prochain;
    while (!m_lu) {
        if (tourPlein(debutTour, appliques)) {
            ++m_changements; // the part read so far is shown
            return true;
        }
        const journal::Lecture r = m_index.session->suivant(e);
        if (r != journal::Lecture::Enregistrement) {
            m_lu = true;
            m_finJournal = r;
            if (r != journal::Lecture::Fin) {
                m_raisonFin = m_index.session->erreur();
            }
            m_index.session.reset();
            m_index.fichier.fermer();
            ++m_changements;
            // The replay shows the session's first moment, or the time
            // already sought, now that the log's bounds are known.
            chercher(m_cible.value_or(m_tempsDebut));
            break;
        }
        if (!m_premierTrouve) {
            m_premierTrouve = true;
            m_tempsDebut = e.tempsUs;
        }
        m_tempsFin = e.tempsUs;
        if (e.genre == journal::Genre::Terrain) {
            ++m_terrains;
        }
        m_etatIndex.appliquer(e, m_options.estimateur);
        ++m_nombreIndex;
        ++appliques;
        if (m_nombreIndex % m_options.pasInstantanes == 0) {
            if (const auto position = m_index.session->position()) {
                m_instantanes.push_back({e.tempsUs, m_nombreIndex, m_etatIndex, *position});
            }
        }
    }
    return false;
}

void ModeleRejeu::restaurer(const PointReprise& point)
{
    m_etat = point.etat;
    m_appliques = point.nombre;
    m_tempsApplique = point.temps;
    ++m_changements;
    if (m_lecture.session->reprendre(point.position)) {
        lireSuivant(m_lecture);
    } else {
        // The file went meanwhile (the folder's cap): the replay stops there and says why.
        m_lecture.aProchain = false;
        m_lecture.fin = journal::Lecture::Tronque;
        m_raisonFin = m_lecture.session->erreur();
    }
}

bool ModeleRejeu::appliquerJusqua(std::uint64_t temps, std::int64_t debutTour, int& appliques)
{
    while (m_lecture.aProchain && m_lecture.prochain.tempsUs <= temps) {
        if (tourPlein(debutTour, appliques)) {
            return true;
        }
        m_etat.appliquer(m_lecture.prochain, m_options.estimateur);
        m_tempsApplique = m_lecture.prochain.tempsUs;
        ++m_appliques;
        ++appliques;
        ++m_changements;
        lireSuivant(m_lecture);
    }
    return false;
}

bool ModeleRejeu::poursuivreRecherche(std::int64_t debutTour, int& appliques)
{
    const std::uint64_t cible = *m_cible;
    if (!m_departChoisi) {
        m_departChoisi = true;
        // The latest snapshot at or before the time sought.
        const auto apres =
            std::upper_bound(m_instantanes.begin(), m_instantanes.end(), cible,
                             [](std::uint64_t t, const PointReprise& p) { return t < p.temps; });
        const PointReprise& point = *std::prev(apres);
        if (cible < m_tempsApplique || point.nombre > m_appliques) {
            restaurer(point);
        }
    }
    if (appliquerJusqua(cible, debutTour, appliques)) {
        return true;
    }
    m_cible.reset();
    poserPosition(cible);
    if (m_enLecture) {
        demarrerHorloge();
    }
    return false;
}

ModeleRejeu::Tour ModeleRejeu::avancer()
{
    Tour tour;
    if (!m_lecture.session) {
        return tour;
    }
    const std::int64_t debutTour = m_options.dureeTourMaxUs > 0 ? m_options.horlogeTravail() : 0;
    if (!m_lu && lirePremiereFois(debutTour, tour.appliques)) {
        tour.encore = true;
        return tour;
    }
    if (m_cible && poursuivreRecherche(debutTour, tour.appliques)) {
        tour.encore = true;
        return tour;
    }
    if (!m_enLecture) {
        return tour;
    }
    const std::uint64_t maintenant = tempsHorloge();
    if (appliquerJusqua(maintenant, debutTour, tour.appliques)) {
        // Behind the clock: the position is that of the last record applied.
        poserPosition(std::max(m_position, m_tempsApplique));
        tour.encore = true;
        return tour;
    }
    poserPosition(maintenant);
    if (auBout()) {
        // Played to its end (or to where the log is damaged).
        m_enLecture = false;
        ++m_changements;
        return tour;
    }
    const double attente = static_cast<double>(m_lecture.prochain.tempsUs - maintenant) / m_vitesse;
    tour.attenteUs = static_cast<std::int64_t>(std::ceil(std::min(attente, 1e15)));
    return tour;
}

void ModeleRejeu::lire()
{
    if (termine()) {
        chercher(m_tempsDebut);
    }
    m_enLecture = true;
    ++m_changements;
    if (m_lu && !m_cible) {
        demarrerHorloge();
    }
}

void ModeleRejeu::suspendre()
{
    if (m_enLecture) {
        m_enLecture = false;
        ++m_changements;
    }
}

void ModeleRejeu::reglerVitesse(double vitesse)
{
    if (!vitesseValide(vitesse)) {
        return;
    }
    if (m_enLecture && m_lu && !m_cible) {
        // The log time reached so far stays; it runs on at the new pace.
        m_base = tempsHorloge();
        m_depart = m_options.horloge();
    }
    m_vitesse = vitesse;
}

void ModeleRejeu::chercher(std::uint64_t tempsUs)
{
    if (m_lu) {
        tempsUs = std::clamp(tempsUs, m_tempsDebut, std::max(m_tempsDebut, m_tempsFin));
    }
    m_cible = tempsUs;
    m_departChoisi = false;
    ++m_changements;
}

bool ModeleRejeu::auBout() const
{
    // Records written after the first reading (the log of a session still
    // recording) lie beyond the end it found: the replay stops there.
    return !m_lecture.aProchain ||
           (m_position >= m_tempsFin && m_lecture.prochain.tempsUs > m_tempsFin);
}

bool ModeleRejeu::termine() const
{
    return m_lecture.session && m_lu && !m_cible && !m_enLecture && auBout();
}

std::uint64_t ModeleRejeu::tempsHorloge() const
{
    const std::uint64_t maintenant = m_options.horloge();
    const double ecoule = maintenant > m_depart ? static_cast<double>(maintenant - m_depart) : 0.0;
    const double temps = static_cast<double>(m_base) + ecoule * m_vitesse;
    const double fin = static_cast<double>(m_tempsFin);
    return temps >= fin ? m_tempsFin : static_cast<std::uint64_t>(temps);
}

void ModeleRejeu::demarrerHorloge()
{
    m_base = m_position;
    m_depart = m_options.horloge();
}

void ModeleRejeu::poserPosition(std::uint64_t position)
{
    if (position != m_position) {
        m_position = position;
        ++m_changements;
    }
}
