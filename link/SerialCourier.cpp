#include "link/SerialCourier.h"

#include "core/Platform.h"
#include "link/RobotLink.h"
#include "link/SerialReport.h"

#include <exception>

CourrierLien::CourrierLien(std::shared_ptr<PartageLien> etat)
    : m_etat(std::move(etat))
{}

bool CourrierLien::event(QEvent* e)
{
    if (e->type() == evenementRemise()) {
        livrer();
        return true;
    }
    if (e->type() == evenementRapport()) {
        montrerRapports();
        return true;
    }
    return QObject::event(e);
}

void CourrierLien::livrer()
{
    // Inside a hand-over (a nested event loop in the owner's handler): the
    // hand-over under way takes what came meanwhile when the handler returns.
    if (m_enLivraison) {
        return;
    }
    // A local reference: the engine may go away during the owner's call.
    const std::shared_ptr<PartageLien> etat = m_etat;
    m_enLivraison = true;
    ++m_profondeur;
    for (;;) {
        {
            std::lock_guard verrou(etat->verrou);
            etat->remisePostee = false;
            if (etat->arret || etat->suspendu || etat->owner == nullptr || etat->arrivees.empty()) {
                break;
            }
            // The queues trade places with the courier's: no allocation once grown.
            m_arrivees.clear();
            m_recus.clear();
            m_reponses.clear();
            m_arrivees.swap(etat->arrivees);
            m_recus.swap(etat->recus);
            m_reponses.swap(etat->reponses);
            m_prochaine = 0;
            m_prochainOctet = 0;
            m_prochaineReponse = 0;
            m_generation = etat->generation;
        }
        if (!livrerLot(etat)) {
            break;
        }
    }
    m_enLivraison = false;
    --m_profondeur;
}

bool CourrierLien::livrerLot(const std::shared_ptr<PartageLien>& etat)
{
    while (m_prochaine < m_arrivees.size()) {
        RobotLinkOwner* owner = nullptr;
        int port = 0;
        std::string raison;
        {
            std::lock_guard verrou(etat->verrou);
            if (etat->arret || etat->suspendu || etat->owner == nullptr ||
                etat->generation != m_generation) {
                if (etat->suspendu && !etat->arret && etat->generation == m_generation) {
                    remettreEnTete(*etat);
                }
                return false;
            }
            owner = etat->owner;
            port = etat->port;
            if (m_arrivees[m_prochaine].genre == ArriveeLien::Genre::Perte) {
                raison = etat->raisonPerte;
            }
        }
        ArriveeLien& a = m_arrivees[m_prochaine];
        std::string echec;
        try {
            switch (a.genre) {
            case ArriveeLien::Genre::Notification:
                ++m_prochaine;
                owner->OnLinkEvent(a.message, port);
                break;
            case ArriveeLien::Genre::Ecriture:
                ++m_prochaine;
                owner->OnLinkWrite(a.instant);
                break;
            case ArriveeLien::Genre::Reponse: {
                ++m_prochaine;
                const std::string octets = m_reponses.substr(m_prochaineReponse, a.longueur);
                m_prochaineReponse += a.longueur;
                owner->OnLinkAnswered(octets, a.instant);
                break;
            }
            case ArriveeLien::Genre::Perte:
                ++m_prochaine;
                owner->OnLinkLost(raison);
                break;
            case ArriveeLien::Genre::Octets: {
                if (a.longueur == 0) {
                    ++m_prochaine;
                    break;
                }
                const auto octet = static_cast<unsigned char>(m_recus[m_prochainOctet++]);
                // The bytes after this one in the same read were on the wire
                // after it: it came at least their time before the read.
                const std::int64_t instant =
                    instantOctet(a.instant, a.longueur - 1, a.pasUs, m_dernierOctet);
                m_dernierOctet = instant;
                if (--a.longueur == 0) {
                    ++m_prochaine;
                }
                owner->OnRobotByteAt(octet, port, instant);
                break;
            }
            }
        } catch (const std::exception& ex) {
            echec = ex.what();
        } catch (...) {
            echec = "Unknown exception";
        }
        // The owner's failure never crosses the event loop, and its box is
        // shown after the hand-over: the link goes on meanwhile.
        if (!echec.empty()) {
            platform().trace(TraceChannel::Serial,
                             "Owner failed to handle a notification: " + echec + "\n");
            std::lock_guard verrou(etat->verrou);
            etat->rapports.push_back(std::move(echec));
            if (!etat->rapportPoste && etat->courrier != nullptr) {
                etat->rapportPoste = true;
                poster(etat->courrier, evenementRapport());
            }
        }
    }
    return true;
}

void CourrierLien::remettreEnTete(PartageLien& etat)
{
    // Suspended in the middle of a batch: the rest waits, ahead of what came since.
    etat.arrivees.insert(etat.arrivees.begin(),
                         m_arrivees.begin() + static_cast<std::ptrdiff_t>(m_prochaine),
                         m_arrivees.end());
    etat.recus.insert(0, m_recus, m_prochainOctet, std::string::npos);
    etat.reponses.insert(0, m_reponses, m_prochaineReponse, std::string::npos);
    m_arrivees.clear();
    m_recus.clear();
    m_reponses.clear();
    m_prochaine = 0;
    m_prochainOctet = 0;
    m_prochaineReponse = 0;
}

void CourrierLien::montrerRapports()
{
    const std::shared_ptr<PartageLien> etat = m_etat;
    ++m_profondeur;
    for (;;) {
        std::string texte;
        {
            std::lock_guard verrou(etat->verrou);
            if (etat->rapports.empty()) {
                etat->rapportPoste = false;
                break;
            }
            texte = std::move(etat->rapports.front());
            etat->rapports.pop_front();
        }
        // A modal box: hand-overs go on meanwhile, in its event loop.
        ShowReport(texte);
    }
    --m_profondeur;
}
