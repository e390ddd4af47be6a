#include "link/LienRejoue.h"

#include "core/Platform.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>

namespace {

std::int64_t instantSysteme()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

std::uint64_t horlogeSysteme()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

LienRejoue::LienRejoue(OptionsRejeu options)
    : m_options(std::move(options))
{
    if (!m_options.horloge) {
        m_options.horloge = horlogeSysteme;
    }
    if (!m_options.horlogeTravail) {
        m_options.horlogeTravail = instantSysteme;
    }
    if (!(std::isfinite(m_options.vitesse) && m_options.vitesse > 0.0)) {
        m_options.vitesse = 1.0;
    }
    m_minuterie.setSingleShot(true);
    QObject::connect(&m_minuterie, &QTimer::timeout, [this] { avancer(); });
}

LienRejoue::~LienRejoue() = default;

bool LienRejoue::Configure(RobotLinkOwner* owner, int port, int, char, int, int, unsigned, int)
{
    m_owner = owner;
    m_port = port;
    m_enCours = false;
    m_minuterie.stop();
    m_erreur.clear();
    m_ouvertures = 0;
    m_base = 0;
    m_fichier = std::ifstream(m_options.fichier, std::ios::binary);
    if (!m_fichier) {
        m_erreur = "Le journal " + m_options.fichier +
                   " ne peut pas être ouvert : " + std::strerror(errno);
        return false;
    }
    m_lecteur = std::make_unique<journal::LecteurSession>(m_fichier, m_options.fichier);
    if (!m_lecteur->lireEntete()) {
        m_erreur =
            "Le journal " + m_options.fichier + " ne peut pas être lu : " + m_lecteur->erreur();
        return false;
    }
    m_aProchain = lireSuivant();
    return true;
}

bool LienRejoue::lireSuivant()
{
    const journal::Lecture r = m_lecteur->suivant(m_prochain);
    if (r != journal::Lecture::Enregistrement) {
        m_fin = r;
        return false;
    }
    return true;
}

bool LienRejoue::StartMonitor()
{
    if (!m_lecteur) {
        return false;
    }
    m_enCours = true;
    m_suspendu = false;
    m_depart = m_options.horloge();
    programmer();
    return true;
}

bool LienRejoue::SuspendMonitor()
{
    if (m_enCours && !m_suspendu) {
        m_base = tempsJournal();
        m_suspendu = true;
        m_minuterie.stop();
    }
    return true;
}

bool LienRejoue::ResumeMonitor()
{
    if (m_enCours && m_suspendu) {
        m_suspendu = false;
        m_depart = m_options.horloge();
        programmer();
    }
    return true;
}

void LienRejoue::QueueWrite(const char* octets)
{
    m_ignores += std::strlen(octets);
}

std::uint64_t LienRejoue::tempsJournal() const
{
    if (m_suspendu) {
        return m_base;
    }
    const std::uint64_t maintenant = m_options.horloge();
    const double ecoule = maintenant > m_depart ? static_cast<double>(maintenant - m_depart) : 0.0;
    return m_base + static_cast<std::uint64_t>(ecoule * m_options.vitesse);
}

bool LienRejoue::remettre(const journal::Enregistrement& e)
{
    const std::weak_ptr<bool> vivant = m_vivant;
    switch (e.genre) {
    case journal::Genre::Recu:
        // At their recorded times: the owner measures the line's silences
        // as it did when the session was live.
        for (const std::uint8_t octet : e.charge) {
            m_owner->OnRobotByteAt(octet, m_port, static_cast<std::int64_t>(e.tempsUs));
            if (vivant.expired()) {
                return false;
            }
        }
        break;
    case journal::Genre::Emis:
        m_owner->OnLinkWrite(static_cast<std::int64_t>(e.tempsUs));
        for (const std::uint8_t octet : e.charge) {
            if (vivant.expired()) {
                return false;
            }
            m_owner->OnReplayedCommand(octet);
        }
        return !vivant.expired();
    case journal::Genre::Destination:
        if (journal::Destination d;
            journal::decoderDestination(e.charge.data(), e.charge.size(), d)) {
            m_owner->OnReplayedDestination(d);
        }
        return !vivant.expired();
    case journal::Genre::Carte:
        if (journal::Edition edition;
            journal::decoderEdition(e.charge.data(), e.charge.size(), edition)) {
            m_owner->OnReplayedMapEdit(edition);
        }
        return !vivant.expired();
    case journal::Genre::Lien:
        // The first opening is the one the owner just made.
        if (e.texte().starts_with(journal::EvenementOuvert) && ++m_ouvertures > 1) {
            m_owner->OnLinkRestart();
            return !vivant.expired();
        }
        break;
    case journal::Genre::Navigation:
    case journal::Genre::Calibration:
    case journal::Genre::ListeCalibration:
        break;
    }
    return true;
}

int LienRejoue::avancer()
{
    if (!m_enCours || m_suspendu || m_dansAvancer || !m_owner) {
        return 0;
    }
    m_dansAvancer = true;
    const std::weak_ptr<bool> vivant = m_vivant;
    int remis = 0;
    const std::uint64_t maintenant = tempsJournal();
    const std::int64_t debutTour = m_options.dureeTourMaxUs > 0 ? m_options.horlogeTravail() : 0;
    bool tourPlein = false;
    while (m_aProchain && m_prochain.tempsUs <= maintenant) {
        if (m_options.dureeTourMaxUs > 0 && remis > 0 &&
            m_options.horlogeTravail() - debutTour >= m_options.dureeTourMaxUs) {
            tourPlein = true;
            break;
        }
        // The payload moves out: the owner may make us read the next one.
        const journal::Enregistrement courant = std::move(m_prochain);
        m_aProchain = lireSuivant();
        if (!remettre(courant)) {
            return remis; // destroyed from inside the hand-over
        }
        ++remis;
        if (m_suspendu || !m_enCours) {
            break;
        }
    }
    m_dansAvancer = false;
    if (!m_aProchain) {
        m_enCours = false;
        m_minuterie.stop();
        signalerFin();
    } else if (tourPlein) {
        // The rest at the next turn, after what else waits in the event loop.
        if (m_options.minuterie) {
            m_minuterie.start(0);
        }
    } else {
        programmer();
    }
    return remis;
}

void LienRejoue::signalerFin() const
{
    // A log damaged on the way: the operator learns where the replay stopped
    // and why (a record cut by a crash at the very end is no damage).
    if (m_fin == journal::Lecture::Corrompu && m_lecteur) {
        platform().messageBox("La relecture du journal " + m_options.fichier +
                                  " s'arrête là : " + m_lecteur->erreur(),
                              "Rejouer un journal", MessageButtons::Ok, MessageIcon::Exclamation);
    }
}

void LienRejoue::programmer()
{
    if (!m_options.minuterie || !m_enCours || m_suspendu || !m_aProchain) {
        return;
    }
    const std::uint64_t maintenant = tempsJournal();
    const double attente =
        m_prochain.tempsUs > maintenant
            ? static_cast<double>(m_prochain.tempsUs - maintenant) / m_options.vitesse / 1000.0
            : 0.0;
    // Long gaps are waited in steps, so that a suspension takes effect soon.
    m_minuterie.start(static_cast<int>(std::min(std::ceil(attente), 1000.0)));
}
