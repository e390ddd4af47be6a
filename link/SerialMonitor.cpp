#include "link/SerialMonitor.h"

#include "core/Platform.h"
#include "link/RobotLink.h"
#include "link/SerialReport.h"

#include <QEventLoop>
#include <QSerialPort>
#include <QThread>

#include <cstdio>
#include <exception>

namespace {

/** Notifications of a line event, in the order they reach the owner (before the bytes). */
constexpr struct {
    unsigned flag;
    unsigned message;
} NotificationsLigne[] = {
    {LinkCts, WM_SERIAL_CTS},   {LinkRxFlag, WM_SERIAL_EVENTCHAR}, {LinkBreak, WM_SERIAL_BREAK},
    {LinkErr, WM_SERIAL_ERROR}, {LinkRing, WM_SERIAL_RING},
};

/** The monitor's receiver, on the monitor thread: the port's signals and the wake-ups. */
class Moniteur : public QObject {
public:
    Moniteur(DepartMoniteur& depart, QEventLoop& boucle)
        : m_etat(*depart.etat)
        , m_port(*depart.port)
        , m_boucle(boucle)
        , m_device(depart.device.toStdString())
        , m_portNumber(depart.portNumber)
        , m_masque(depart.eventMask)
    {
        m_ecriture.reserve(64);
    }

    /** New bytes in the port's buffer: a line event. */
    void surDonnees()
    {
        proteger([this] { evenementLigne(); });
    }

    void surErreur(QSerialPort::SerialPortError erreur)
    {
        proteger([this, erreur] { erreurPort(erreur); });
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == evenementReveil()) {
            proteger([this] { reveil(); });
            return true;
        }
        return QObject::event(e);
    }

private:
    template <class Fn>
    void proteger(Fn fn)
    {
        // Nothing thrown may cross the event loop: the monitor reports it and ends.
        try {
            fn();
        } catch (const std::exception& ex) {
            signaler("WaitCommEvent()", ex.what());
            terminer();
        } catch (...) {
            signaler("WaitCommEvent()", "Unknown exception");
            terminer();
        }
    }

    void reveil()
    {
        bool arret;
        bool suspendu;
        {
            std::lock_guard verrou(m_etat.verrou);
            m_etat.reveilPoste = false;
            arret = m_etat.arret;
            suspendu = m_etat.suspendu;
        }
        if (arret) {
            terminer();
            return;
        }
        if (suspendu) {
            return;
        }
        ecrire();
        // Bytes kept while the monitor was suspended, or read before it started.
        if (m_ligneEnAttente && m_port.bytesAvailable() > 0) {
            evenementLigne();
        }
    }

    void evenementLigne()
    {
        if (m_fini) {
            return;
        }
        if (suspendu()) {
            m_ligneEnAttente = true;
            return;
        }
        m_ligneEnAttente = false;
        for (const auto& n : NotificationsLigne) {
            if ((m_masque & n.flag) == 0) {
                continue;
            }
            if (!remettre(n.message, 0)) {
                return;
            }
            ecrire();
        }
        if ((m_masque & LinkRxChar) == 0) {
            return;
        }
        char octet = 0;
        while (!m_fini && m_port.bytesAvailable() > 0) {
            if (suspendu()) {
                m_ligneEnAttente = true;
                return;
            }
            m_port.getChar(&octet);
            if (!remettre(WM_SERIAL_RXCHAR, static_cast<unsigned char>(octet))) {
                return;
            }
            // The owner's answer to this byte leaves at once.
            ecrire();
        }
    }

    bool suspendu()
    {
        std::lock_guard verrou(m_etat.verrou);
        return m_etat.suspendu;
    }

    /**
     * Hands one notification to the owner on its thread and waits until it
     * is handled. False when a shutdown came first (the monitor then ends).
     */
    bool remettre(unsigned message, int octet)
    {
        std::unique_lock verrou(m_etat.verrou);
        if (m_etat.arret || m_etat.courrier == nullptr) {
            terminer();
            return false;
        }
        ++m_etat.remiseNumero;
        m_etat.remiseEnCours = true;
        m_etat.remisePrise = false;
        m_etat.remiseMessage = message;
        m_etat.remiseOctet = octet;
        poster(m_etat.courrier, evenementRemise());
        m_etat.remiseFaite.wait(verrou, [this] { return !m_etat.remiseEnCours || m_etat.arret; });
        if (m_etat.arret) {
            // Abandoned: a late event finds nothing to hand over.
            m_etat.remiseEnCours = false;
            terminer();
            return false;
        }
        return true;
    }

    void ecrire()
    {
        {
            std::lock_guard verrou(m_etat.verrou);
            if (m_etat.suspendu || m_etat.arret || m_etat.sortie.empty()) {
                return;
            }
            // The two buffers trade places: no allocation once both have grown.
            m_ecriture.swap(m_etat.sortie);
        }
        const auto longueur = static_cast<qint64>(m_ecriture.size());
        const qint64 envoyes = m_port.write(m_ecriture.data(), longueur);
        m_ecriture.clear();
        if (envoyes != longueur) {
            char ligne[96];
            std::snprintf(ligne, sizeof ligne,
                          "WARNING: WriteFile() error.. Bytes Sent: %d; Message Length: %d\n",
                          static_cast<int>(envoyes), static_cast<int>(longueur));
            platform().trace(TraceChannel::Serial, ligne);
        }
        // Writes what the device takes now; the rest when it is writable again.
        m_port.flush();
    }

    void erreurPort(QSerialPort::SerialPortError erreur)
    {
        if (erreur == QSerialPort::NoError || m_fini) {
            return;
        }
        const std::string texte = m_port.errorString().toStdString();
        if (erreur == QSerialPort::ReadError || erreur == QSerialPort::WriteError ||
            erreur == QSerialPort::ResourceError) {
            // The device went away (unplugged, other end closed). A read
            // that meets the end of the line carries no system error of its
            // own, so the report names the device instead; the monitor ends
            // and the link counts as not running until it is opened again.
            std::string perte = "Connection to " + m_device + " lost";
            if (erreur != QSerialPort::ReadError) {
                perte += " (" + texte + ")";
            }
            signaler(erreur == QSerialPort::WriteError ? "WriteFile()" : "ReadFile()", perte);
            platform().trace(TraceChannel::Serial, perte + "\n");
            terminer();
            return;
        }
        signaler("WaitCommEvent()", texte);
        m_port.clearError();
    }

    /** Queues a report for the owner's thread; the monitor never waits for a message box. */
    void signaler(const char* etape, const std::string& texteSysteme)
    {
        std::string texte = ReportErrorText(etape, texteSysteme, m_portNumber);
        std::lock_guard verrou(m_etat.verrou);
        for (const std::string& r : m_etat.rapports) {
            if (r == texte) {
                return;
            }
        }
        m_etat.rapports.push_back(std::move(texte));
        if (!m_etat.rapportPoste && m_etat.courrier != nullptr) {
            m_etat.rapportPoste = true;
            poster(m_etat.courrier, evenementRapport());
        }
    }

    void terminer()
    {
        m_fini = true;
        m_boucle.quit();
    }

    EtatLien& m_etat;
    QSerialPort& m_port;
    QEventLoop& m_boucle;
    std::string m_device;
    int m_portNumber;
    unsigned m_masque;
    std::string m_ecriture;
    bool m_fini = false;
    /** Bytes wait that no line event has handed over yet. */
    bool m_ligneEnAttente = true;
};

} // namespace

void MonitorThread(DepartMoniteur& depart)
{
    EtatLien& etat = *depart.etat;
    depart.ici.set_value(QThread::currentThread());
    depart.feu.wait();
    try {
        QEventLoop boucle;
        Moniteur moniteur(depart, boucle);
        QObject::connect(depart.port.get(), &QSerialPort::readyRead, &moniteur,
                         &Moniteur::surDonnees);
        QObject::connect(depart.port.get(), &QSerialPort::errorOccurred, &moniteur,
                         &Moniteur::surErreur);
        bool lancer;
        {
            std::lock_guard verrou(etat.verrou);
            lancer = !etat.arret;
            if (lancer) {
                etat.moniteur = &moniteur;
                // The first look: bytes queued or received before the start.
                etat.reveilPoste = true;
                poster(&moniteur, evenementReveil());
            }
        }
        if (lancer) {
            boucle.exec();
        }
        std::lock_guard verrou(etat.verrou);
        etat.moniteur = nullptr;
        etat.ouvert = false;
        etat.sortie.clear();
    } catch (...) {
        std::lock_guard verrou(etat.verrou);
        etat.moniteur = nullptr;
        etat.ouvert = false;
    }
    // Closes the device (and frees its lock) on the thread that used it.
    depart.port.reset();
    etat.vivant.store(false, std::memory_order_release);
}
