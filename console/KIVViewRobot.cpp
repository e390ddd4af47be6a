// The robot's side of the control view: opening the link, carrying out the
// sensor-frame parser's events, the command byte.
#include "console/BoiteTrafic.h"
#include "console/CaractereRecu.h"
#include "console/ConsoleState.h"
#include "console/EstimateurLien.h"
#include "console/JournalSession.h"
#include "console/KIVView.h"
#include "console/NiveauBarre.h"
#include "console/PorteAffichage.h"
#include "console/ReconnexionLien.h"
#include "console/ReglageSilence.h"
#include "core/Platform.h"
#include "core/StringTable.h"
#include "link/ComDevices.h"
#include "link/protocol/RobotProtocol.h"
#include "link/recorder/FormatJournal.h"
#include "link/settings/Port.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "world/EditionsMonde.h"
#include "world/TerrainMonde.h"
#include "world/WorldState.h"

#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <utility>

namespace {

/** " %i" of the byte as a signed 8-bit value, for each of the 128 command bytes, made once. */
const QString& texteCommande(std::uint8_t octet)
{
    static const std::array<QString, 256> textes = [] {
        std::array<QString, 256> t;
        for (int k = 0; k < 256; ++k) {
            t[static_cast<std::size_t>(k)] =
                QString::asprintf(" %i", static_cast<int>(static_cast<std::int8_t>(k)));
        }
        return t;
    }();
    return textes[octet];
}

} // namespace

int CKIVView::OpenRobotPort()
{
    Port lecteur;
    lecteur.lire();
    return ouvrirLien(lecteur.reglages(), false);
}

int CKIVView::ouvrirLien(const PortSettings& reglages, bool silencieux)
{
    if (m_serialPort && m_serialPort->threadAlive()) {
        // The old engine (and its port) goes before the new one is made.
        m_serialPort->SuspendMonitor();
        m_serialPort.reset();
        m_serialPort = m_fabriqueLien();
    }
    if (!m_serialPort) {
        m_serialPort = m_fabriqueLien();
    }
    if (m_serialPort->Configure(this, reglages.port, reglages.baud, 'N', 8, 1, LinkRxChar | LinkCts,
                                512)) {
        g_portOpen = 1;
        // The robot at the other end may be another one, or moved while the
        // line was down: its heading is probed again before it is steered.
        fixerCap(0);
        const protocole::Instant seuil = seuilSilenceReglage(reglages.baud);
        m_chaine.demarrer(seuil);
        // The link's thread answers each status byte itself when it can;
        // this view then shows what became of each byte.
        m_estimateur->suivre(m_reseaux->reseau());
        auto enLigne = std::make_shared<protocole::ChaineEnLigne>(
            protocole::ChaineTrames::Branchements{
                [estimateur = m_estimateur](double t1, double t2, double t3) {
                    return estimateur->estimer(t1, t2, t3);
                },
                true,
                // The engine lives until the monitor is suspended.
                [lien = m_serialPort.get()](int brutX, int brutY, int x, int y) {
                    lien->notePosition({brutX, brutY, x, y});
                }},
            seuil);
        const bool reflexe = m_serialPort->installerReflexe(
            {[enLigne](int octet, std::int64_t arrivee, std::string& reponse) {
                 enLigne->recevoir(octet, arrivee, reponse);
             },
             [enLigne](std::int64_t instant) { enLigne->noterEmission(instant); }});
        m_enLigne = reflexe ? std::move(enLigne) : nullptr;
        m_numeroOctet = 0;
        m_serialPort->StartMonitor();
        // Opened, by the operator or by the watch for a device that went:
        // nothing more to wait for.
        m_reglagesOuverts = reglages;
        m_reconnexion->abandonner();
        emit lienRemplace();
        return 0;
    }
    g_portOpen = 0;
    emit lienRemplace();
    if (silencieux) {
        return 1;
    }
    // The engine knows why (a device held by another program, a missing
    // one, no permission): the operator reads it under the message.
    std::string texte = "Le port sélectionné ne peut-être utilisé.";
    if (const std::string raison = m_serialPort->openError(); !raison.empty()) {
        texte += "\n\n" + raison;
    }
    platform().messageBox(texte, "Attention", MessageButtons::Ok, MessageIcon::Exclamation);
    return 1;
}

void CKIVView::viderTrafic()
{
    m_reception->vider();
    m_transmission->vider();
}

void CKIVView::SendWheelCommand(int gauche, int droite, int virage)
{
    envoyerCommande(protocole::octetCommande(gauche, droite, virage));
}

void CKIVView::envoyerCommande(std::uint8_t octet)
{
    const char message[2] = {static_cast<char>(octet), '\0'};
    if (m_serialPort) {
        m_serialPort->QueueWrite(message);
    }
    m_transmission->ajouter(texteCommande(octet));
}

void CKIVView::noterEdition(const EditionMonde& edition)
{
    if (!m_serialPort) {
        return;
    }
    journal::EditionCarte genre = journal::EditionCarte::Peinte;
    switch (edition.genre) {
    case GenreEditionMonde::Destination:
        m_serialPort->noteDestination(edition.x, edition.y);
        return;
    case GenreEditionMonde::Terrain:
        m_serialPort->noteTerrain(etatTerrain(terrainDuMonde()));
        return;
    case GenreEditionMonde::Peinte:
        genre = journal::EditionCarte::Peinte;
        break;
    case GenreEditionMonde::Effacee:
        genre = journal::EditionCarte::Effacee;
        break;
    case GenreEditionMonde::Trouvee:
        genre = journal::EditionCarte::Trouvee;
        break;
    case GenreEditionMonde::Retiree:
        genre = journal::EditionCarte::Retiree;
        break;
    }
    m_serialPort->noteMapEdit({genre, edition.x, edition.y});
}

void CKIVView::OnRobotByte(int octet, int)
{
    traiterOctet(octet, protocole::InstantInconnu);
}

void CKIVView::OnRobotByteAt(int octet, int, std::int64_t arrivee)
{
    traiterOctet(octet, arrivee);
}

void CKIVView::OnLinkWrite(std::int64_t instant)
{
    if (!m_enLigne) {
        m_chaine.noterEmission(instant);
    }
}

void CKIVView::OnLinkLost(const std::string& raison)
{
    platform().trace(TraceChannel::App, "link lost: " + raison);
    // The device went away: the console opens it again by itself once it
    // is back (a replug, a restarted robot), unless told not to.
    if (m_reglagesOuverts && reconnexionPermise()) {
        m_reconnexion->attendre();
    }
}

void CKIVView::preparerReconnexion()
{
    m_reconnexion = new ReconnexionLien(
        [this] {
            return m_reglagesOuverts ? comdevices::comDevice(m_reglagesOuverts->port) : QString();
        },
        [this] { return m_reglagesOuverts && ouvrirLien(*m_reglagesOuverts, true) == 0; }, this);
    connect(m_reconnexion, &ReconnexionLien::reconnecte, this, [this](const QString& peripherique) {
        const std::string texte = "reconnecté : " + peripherique.toStdString() + " est revenu";
        platform().trace(TraceChannel::App, "link " + texte);
        if (m_serialPort) {
            m_serialPort->noteLinkEvent(texte);
        }
    });
}

void CKIVView::traiterOctet(int octet, protocole::Instant arrivee)
{
    octet &= 0xFF;
    // Every received byte on a line of its own, as the character it is.
    m_reception->ajouterLigne(caractereRecu(octet));

    protocole::Etape etape;
    if (m_enLigne) {
        // Done on the link's thread as the byte was read: the world is
        // updated and the reply has left; what is left is to show it.
        etape = m_enLigne->prendre(m_numeroOctet++);
        if (etape.evenement.action == protocole::Action::Position) {
            const auto& t = etape.evenement.intervalles;
            emit intervallesLus(t[0], t[1], t[2]);
            m_estimateur->suivre(m_reseaux->reseau());
            direRefus();
        }
        if (etape.commande >= 0) {
            m_transmission->ajouter(texteCommande(static_cast<std::uint8_t>(etape.commande)));
        }
    } else {
        // No reflex on this link: the reply the chain chose leaves from here.
        etape = m_chaine.recevoir(octet, arrivee);
        if (etape.commande >= 0) {
            envoyerCommande(static_cast<std::uint8_t>(etape.commande));
        }
    }
    const protocole::Evenement& evenement = etape.evenement;
    if (evenement.ecartes > 0) {
        ++m_resynchronisations;
        m_octetsEcartes += static_cast<std::uint64_t>(evenement.ecartes);
    }
    if (evenement.ecartes > 0 && m_serialPort) {
        // The frame the line cut short: counted (the link pane shows it) and recorded.
        char texte[96];
        std::snprintf(texte, sizeof texte, "%s %d octets écartés après %lld ms de silence",
                      journal::EvenementResynchro, evenement.ecartes,
                      static_cast<long long>(evenement.silence / 1000));
        m_serialPort->noteLinkEvent(texte);
    }
    switch (evenement.action) {
    case protocole::Action::Position:
        // The map, the position boxes and the panes follow the world's change
        // (ObservateurMonde), at most 60 times a second.
        break;
    case protocole::Action::Batterie:
        ++m_tramesRecues;
        m_niveauBatterie->poser(std::min(evenement.batterie, m_batterie->maximum()));
        emit batterieRecue();
        break;
    case protocole::Action::Etat:
        // Answered: the display's chores held back for this reply run now,
        // in the gap before the next frame.
        m_porte->apresReponse();
        break;
    case protocole::Action::Aucune:
        break;
    }
    m_octetsTraites->fetch_add(1, std::memory_order_release);
}

void CKIVView::surDebordement(std::uint64_t octets)
{
    // The link's thread saw these bytes, updated the world and answered
    // them; only their display is lost, and their outcomes are skipped.
    m_numeroOctet += octets;
    m_debordement.noter(octets);
    m_octetsTraites->fetch_add(octets, std::memory_order_release);
    noterDebordement();
}

void CKIVView::noterDebordement()
{
    using namespace std::chrono;
    const std::int64_t maintenant =
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    if (const std::optional<std::string> texte = m_debordement.note(maintenant)) {
        platform().trace(TraceChannel::App, "link " + *texte);
        if (m_serialPort) {
            m_serialPort->noteLinkEvent(*texte);
        }
    }
    // What came since is noted a second after this note, even if the line is quiet by then.
    if (const std::optional<std::int64_t> quand = m_debordement.prochaineNote();
        quand && !m_noteDebordement.isActive()) {
        m_noteDebordement.start(static_cast<int>(
            std::clamp<std::int64_t>(*quand - maintenant, 0, DebordementLien::IntervalleNotesMs)));
    }
}

bool CKIVView::attendReponse() const
{
    // The link's thread answers for itself: no reply waits on this one.
    if (m_enLigne) {
        return false;
    }
    const protocole::AnalyseurTrame& a = m_chaine.analyseur();
    return (a.rxState() == 2 && a.rxIndex() > 0) || a.rxState() == 3;
}

void CKIVView::OnLinkRestart()
{
    m_chaine.demarrer(m_chaine.analyseur().seuilSilence());
}

protocole::Estimation CKIVView::estimer(double t1, double t2, double t3)
{
    emit intervallesLus(t1, t2, t3);
    m_estimateur->suivre(m_reseaux->reseau());
    const protocole::Estimation estimation = m_estimateur->estimer(t1, t2, t3);
    direRefus();
    return estimation;
}

void CKIVView::direRefus()
{
    std::string texte = m_estimateur->prendreRefus();
    if (texte.empty() || m_estimationRefusee) {
        return;
    }
    // The operator is told once, not at every frame, and after the byte's
    // handling: the link goes on reading and answering while the box is open.
    m_estimationRefusee = true;
    QTimer::singleShot(0, this, [texte = std::move(texte)] {
        platform().messageBox(texte, platform().loadString(ids::AppTitle), MessageButtons::Ok,
                              MessageIcon::Stop);
    });
}
