#include "link/SerialCourier.h"

#include "core/Platform.h"
#include "link/RobotLink.h"
#include "link/SerialReport.h"

#include <exception>

CourrierLien::CourrierLien(std::shared_ptr<EtatLien> etat)
    : m_etat(std::move(etat))
{}

bool CourrierLien::event(QEvent* e)
{
    if (e->type() == evenementRemise()) {
        remettre();
        return true;
    }
    if (e->type() == evenementRapport()) {
        montrerRapports();
        return true;
    }
    return QObject::event(e);
}

void CourrierLien::remettre()
{
    // A local reference: the engine may go away during the owner's call.
    const std::shared_ptr<EtatLien> etat = m_etat;
    RobotLinkOwner* owner = nullptr;
    unsigned message = 0;
    int octet = 0;
    int port = 0;
    std::uint64_t numero = 0;
    {
        std::lock_guard verrou(etat->verrou);
        // Nothing pending, already taken by an earlier event (a nested event
        // loop in the owner's handler), or abandoned by a shutdown.
        if (!etat->remiseEnCours || etat->remisePrise || etat->arret || etat->owner == nullptr) {
            return;
        }
        etat->remisePrise = true;
        owner = etat->owner;
        message = etat->remiseMessage;
        octet = etat->remiseOctet;
        port = etat->port;
        numero = etat->remiseNumero;
    }
    ++m_profondeur;
    std::string echec;
    try {
        if (message == WM_SERIAL_RXCHAR) {
            owner->OnRobotByte(octet, port);
        } else {
            owner->OnLinkEvent(message, port);
        }
    } catch (const std::exception& ex) {
        echec = ex.what();
    } catch (...) {
        echec = "Unknown exception";
    }
    {
        std::lock_guard verrou(etat->verrou);
        if (etat->remiseNumero == numero) {
            etat->remiseEnCours = false;
            etat->remisePrise = false;
        }
    }
    etat->remiseFaite.notify_all();
    // The owner's failure never crosses the event loop; the link goes on.
    if (!echec.empty()) {
        platform().trace(TraceChannel::Serial,
                         "Owner failed to handle a notification: " + echec + "\n");
        platform().messageBox(echec, LegendeRapportSerie, MessageButtons::Ok, MessageIcon::Stop);
    }
    --m_profondeur;
}

void CourrierLien::montrerRapports()
{
    const std::shared_ptr<EtatLien> etat = m_etat;
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
