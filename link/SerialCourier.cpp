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
    // A local reference: the engine may go away during the owner's call.
    const std::shared_ptr<PartageLien> etat = m_etat;
    {
        // This event is being handled: the next arrival posts another.
        std::lock_guard verrou(etat->verrou);
        etat->remisePostee = false;
    }
    // Inside a hand-over (a nested event loop in the owner's handler): the
    // hand-over under way takes what came meanwhile when the handler returns.
    if (m_enLivraison) {
        return;
    }
    m_enLivraison = true;
    ++m_profondeur;
    const std::int64_t finTranche = instantLien() + TrancheUs;
    for (;;) {
        if (m_lot.fini()) {
            std::lock_guard verrou(etat->verrou);
            if (etat->arret || etat->suspendu || etat->owner == nullptr || etat->file.vide()) {
                break;
            }
            etat->file.prendre(m_lot, MorceauOctets, MorceauEntrees);
            m_generation = etat->generation;
        }
        const Suite suite = livrerLot(etat, finTranche);
        if (suite == Suite::Arret) {
            break;
        }
        if (suite == Suite::Tranche) {
            // The rest at the next turn of the event loop, after what waits there.
            std::lock_guard verrou(etat->verrou);
            if (!etat->remisePostee && !etat->arret && etat->courrier != nullptr) {
                etat->remisePostee = true;
                poster(etat->courrier, evenementRemise());
            }
            break;
        }
    }
    m_enLivraison = false;
    --m_profondeur;
}

CourrierLien::Suite CourrierLien::livrerLot(const std::shared_ptr<PartageLien>& etat,
                                            std::int64_t finTranche)
{
    bool premiere = true;
    while (!m_lot.fini()) {
        RobotLinkOwner* owner = nullptr;
        int port = 0;
        std::string raison;
        {
            std::lock_guard verrou(etat->verrou);
            if (etat->generation != m_generation) {
                // A lot of an earlier opening is never handed over.
                m_lot.vider();
                break;
            }
            if (etat->arret || etat->suspendu || etat->owner == nullptr) {
                if (etat->suspendu && !etat->arret) {
                    // Suspended in the middle of a lot: the rest waits, ahead of what came since.
                    etat->file.remettreEnTete(m_lot);
                }
                m_lot.vider();
                return Suite::Arret;
            }
            owner = etat->owner;
            port = etat->port;
            if (m_lot.debordes == 0 &&
                m_lot.arrivees[m_lot.prochaine].genre == ArriveeLien::Genre::Perte) {
                raison = etat->raisonPerte;
            }
        }
        // At least one notification a turn, so the hand-over always moves on.
        if (!premiere && instantLien() >= finTranche) {
            return Suite::Tranche;
        }
        premiere = false;
        std::string echec;
        try {
            if (m_lot.debordes > 0) {
                // The bytes the queue dropped came before the lot's first entry.
                const std::uint64_t perdus = m_lot.debordes;
                m_lot.debordes = 0;
                owner->surDebordement(perdus);
            } else {
                remettreArrivee(*owner, port, raison);
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
    return Suite::Fini;
}

void CourrierLien::remettreArrivee(RobotLinkOwner& owner, int port, const std::string& raison)
{
    ArriveeLien& a = m_lot.arrivees[m_lot.prochaine];
    switch (a.genre) {
    case ArriveeLien::Genre::Notification:
        ++m_lot.prochaine;
        owner.OnLinkEvent(a.message, port);
        break;
    case ArriveeLien::Genre::Ecriture:
        ++m_lot.prochaine;
        owner.OnLinkWrite(a.instant);
        break;
    case ArriveeLien::Genre::Reponse: {
        ++m_lot.prochaine;
        const std::string octets = m_lot.reponses.substr(m_lot.prochaineReponse, a.longueur);
        m_lot.prochaineReponse += a.longueur;
        owner.OnLinkAnswered(octets, a.instant);
        break;
    }
    case ArriveeLien::Genre::Perte:
        ++m_lot.prochaine;
        owner.OnLinkLost(raison);
        break;
    case ArriveeLien::Genre::Octets: {
        if (a.longueur == 0) {
            ++m_lot.prochaine;
            break;
        }
        const auto octet = static_cast<unsigned char>(m_lot.recus[m_lot.prochainOctet++]);
        // The bytes after this one in the same read were on the wire
        // after it: it came at least their time before the read.
        const std::int64_t instant =
            instantOctet(a.instant, a.longueur - 1, a.pasUs, m_dernierOctet);
        m_dernierOctet = instant;
        if (--a.longueur == 0) {
            ++m_lot.prochaine;
        }
        owner.OnRobotByteAt(octet, port, instant);
        break;
    }
    }
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
