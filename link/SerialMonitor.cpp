#include "link/SerialMonitor.h"

#include "core/Platform.h"
#include "link/RobotLink.h"
#include "link/SerialReport.h"
#include "link/SerialShared.h"

#include <QEventLoop>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

/** Notifications of a line event, in the order they reach the owner (before the bytes). */
constexpr struct {
    unsigned flag;
    unsigned message;
} NotificationsLigne[] = {
    {LinkCts, WM_SERIAL_CTS},   {LinkRxFlag, WM_SERIAL_EVENTCHAR}, {LinkBreak, WM_SERIAL_BREAK},
    {LinkErr, WM_SERIAL_ERROR}, {LinkRing, WM_SERIAL_RING},
};

/**
 * With a reflex, the shortest time between two hand-overs to the owner, us:
 * what it shows follows the line at 100 a second, whatever the line's rate.
 */
constexpr std::int64_t IntervalleRemiseUs = 10'000;

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
        , m_reflexe(depart.reflexe)
    {
        m_ecriture.reserve(64);
        m_lecture.reserve(4096);
        m_reponse.reserve(64);
        m_coupures.reserve(64);
        m_remiseDifferee.setSingleShot(true);
        QObject::connect(&m_remiseDifferee, &QTimer::timeout, this, [this] {
            std::lock_guard verrou(m_etat.verrou);
            remettre(instantLien());
        });
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
        {
            std::lock_guard verrou(m_etat.verrou);
            m_etat.reveilPoste = false;
            arret = m_etat.arret;
        }
        if (arret) {
            terminer();
            return;
        }
        ecrire();
        // Bytes read before the monitor started.
        if (!m_premierRegard) {
            m_premierRegard = true;
            if (m_port.bytesAvailable() > 0) {
                evenementLigne();
            }
        }
    }

    /**
     * What the line brought, with the time it was read: the notifications
     * of the event mask, then the bytes, each answer of the reflex after the
     * byte that called for it. Queued for the owner's thread; the monitor
     * never waits for the owner, so the times are those of the line.
     */
    void evenementLigne()
    {
        if (m_fini) {
            return;
        }
        const std::int64_t instant = instantLien();
        m_lecture.clear();
        if ((m_masque & LinkRxChar) != 0) {
            const qint64 n = m_port.bytesAvailable();
            if (n > 0) {
                m_lecture.resize(static_cast<std::size_t>(n));
                const qint64 lus = m_port.read(m_lecture.data(), n);
                m_lecture.resize(lus > 0 ? static_cast<std::size_t>(lus) : 0);
            }
        }
        const qint32 debit = m_port.baudRate();
        const std::uint32_t pas = debit > 0 ? static_cast<std::uint32_t>(10'000'000 / debit) : 0U;
        m_reponse.clear();
        m_coupures.clear();
        if (m_reflexe.recevoir && !m_lecture.empty()) {
            repondre(instant, pas);
        }
        std::lock_guard verrou(m_etat.verrou);
        if (m_etat.arret) {
            return;
        }
        for (const auto& n : NotificationsLigne) {
            if ((m_masque & n.flag) != 0) {
                m_etat.file.ajouter({ArriveeLien::Genre::Notification, n.message, instant, 0});
            }
        }
        if (!m_lecture.empty()) {
            std::size_t debut = 0;
            for (const Coupure& c : m_coupures) {
                noterOctets(debut, c.fin, instant, pas);
                m_etat.file.ajouter({ArriveeLien::Genre::Reponse, 0, m_instantReponse,
                                     static_cast<std::uint32_t>(c.longueur)});
                debut = c.fin;
            }
            noterOctets(debut, m_lecture.size(), instant, pas);
            m_etat.file.ajouterRecus(m_lecture);
            m_etat.file.ajouterReponses(m_reponse);
        }
        // What waits for the owner is bounded: beyond the cap the oldest
        // goes (counted, and told to the owner ahead of what is left).
        m_etat.file.borner();
        if (!m_reflexe.recevoir) {
            posterRemise(m_etat);
            return;
        }
        // The reflex has answered already: the owner only shows what came,
        // and is woken at most every IntervalleRemiseUs for it.
        const std::int64_t attente = m_derniereRemise + IntervalleRemiseUs - instant;
        if (attente <= 0) {
            remettre(instant);
        } else if (!m_remiseDifferee.isActive()) {
            m_remiseDifferee.start(static_cast<int>((attente + 999) / 1000));
        }
    }

    /** Under the state's mutex: the courier is told of what came. */
    void remettre(std::int64_t instant)
    {
        m_derniereRemise = instant;
        posterRemise(m_etat);
    }

    /**
     * Under the state's mutex: the bytes [debut, fin) of the read, dated as
     * if the read had ended with them (the courier dates each by those after
     * it in its entry).
     */
    void noterOctets(std::size_t debut, std::size_t fin, std::int64_t lecture, std::uint32_t pas)
    {
        if (fin <= debut) {
            return;
        }
        const auto apres = static_cast<std::int64_t>(m_lecture.size() - fin);
        m_etat.file.ajouter({ArriveeLien::Genre::Octets, WM_SERIAL_RXCHAR,
                             lecture - apres * static_cast<std::int64_t>(pas),
                             static_cast<std::uint32_t>(fin - debut), pas});
    }

    /**
     * Each byte of the read through the reflex, dated as the courier dates
     * it; what it answers is written at once, in one write.
     */
    void repondre(std::int64_t lecture, std::uint32_t pas)
    {
        const std::size_t n = m_lecture.size();
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t avant = m_reponse.size();
            const std::int64_t date =
                instantOctet(lecture, static_cast<std::uint32_t>(n - 1 - k), pas, m_dernierOctet);
            m_dernierOctet = date;
            m_reflexe.recevoir(static_cast<unsigned char>(m_lecture[k]), date, m_reponse);
            if (m_reponse.size() > avant) {
                m_coupures.push_back({k + 1, m_reponse.size() - avant});
            }
        }
        if (m_reponse.empty()) {
            return;
        }
        ecrirePort(m_reponse);
        m_instantReponse = instantLien();
        if (m_reflexe.emission) {
            m_reflexe.emission(m_instantReponse);
        }
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
        ecrirePort(m_ecriture);
        m_ecriture.clear();
        // The owner measures the line's silences from here too; it learns of
        // it with the next bytes, in order (no wake-up of its own).
        const std::int64_t instant = instantLien();
        if (m_reflexe.emission) {
            m_reflexe.emission(instant);
        }
        std::lock_guard verrou(m_etat.verrou);
        m_etat.file.ajouter({ArriveeLien::Genre::Ecriture, 0, instant, 0});
        m_etat.file.borner();
    }

    /**
     * Writes `octets`: what the device takes now goes at once, the rest as
     * soon as it is writable again, in order.
     *
     * The monitor writes to the device itself and keeps what the device
     * cannot take yet (a robot that holds the line, a full pseudo-terminal).
     * Through QSerialPort, each reply turned its write notifier on and off,
     * waking this thread's event loop twice more, and a full device
     * (EAGAIN) counted as a failed write: the link stopped as if the robot
     * had gone. A device that refuses the bytes (EIO, ...) gets them through
     * the port, which reports its error as before.
     */
    void ecrirePort(const std::string& octets)
    {
        if (octets.empty()) {
            return;
        }
        if (!m_enSouffrance.empty()) {
            m_enSouffrance += octets; // after what waits: the order holds
            return;
        }
        const auto longueur = static_cast<qint64>(octets.size());
        bool plein = false;
        const qint64 ecrits = ecrireDirect(octets.data(), longueur, plein);
        if (ecrits == longueur) {
            return;
        }
        if (plein) {
            m_enSouffrance.assign(octets, static_cast<std::size_t>(ecrits));
            surveillerEcriture(true);
            return;
        }
        confierAuPort(octets.data() + ecrits, longueur - ecrits);
    }

    /** The device is writable again: what waits goes, as much as it takes. */
    void surEcrivable()
    {
        const char* reste = m_enSouffrance.data() + m_dejaPartis;
        const auto longueur = static_cast<qint64>(m_enSouffrance.size() - m_dejaPartis);
        bool plein = false;
        const qint64 ecrits = ecrireDirect(reste, longueur, plein);
        m_dejaPartis += static_cast<std::size_t>(ecrits);
        if (ecrits == longueur || !plein) {
            surveillerEcriture(false);
            const std::string refuses = m_enSouffrance.substr(m_dejaPartis);
            m_enSouffrance.clear();
            m_dejaPartis = 0;
            if (!refuses.empty()) {
                confierAuPort(refuses.data(), static_cast<qint64>(refuses.size()));
            }
            return;
        }
        // What has left is cut from the front now and then, not at each write.
        if (m_dejaPartis > m_enSouffrance.size() / 2) {
            m_enSouffrance.erase(0, m_dejaPartis);
            m_dejaPartis = 0;
        }
    }

    void surveillerEcriture(bool oui)
    {
        if (!m_ecrivable) {
            m_ecrivable =
                std::make_unique<QSocketNotifier>(m_port.handle(), QSocketNotifier::Write);
            QObject::connect(m_ecrivable.get(), &QSocketNotifier::activated, this,
                             [this] { proteger([this] { surEcrivable(); }); });
        }
        m_ecrivable->setEnabled(oui);
    }

    /**
     * What the device takes of `longueur` bytes now, without waiting;
     * `plein` tells that it stopped because the device is full (EAGAIN),
     * not because it failed.
     */
    qint64 ecrireDirect(const char* donnees, qint64 longueur, bool& plein)
    {
        const int fd = m_port.handle();
        qint64 ecrits = 0;
        plein = false;
        while (fd >= 0 && ecrits < longueur) {
            const ssize_t n =
                ::write(fd, donnees + ecrits, static_cast<std::size_t>(longueur - ecrits));
            if (n > 0) {
                ecrits += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                plein = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
                break;
            }
        }
        return ecrits;
    }

    /** Bytes the device refused: the port tries them and reports its error. */
    void confierAuPort(const char* donnees, qint64 longueur)
    {
        const qint64 envoyes = m_port.write(donnees, longueur);
        if (envoyes != longueur) {
            char ligne[96];
            std::snprintf(ligne, sizeof ligne,
                          "WARNING: WriteFile() error.. Bytes Sent: %d; Message Length: %d\n",
                          static_cast<int>(envoyes), static_cast<int>(longueur));
            platform().trace(TraceChannel::Serial, ligne);
        }
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
            // Whatever was read before goes to the owner first.
            evenementLigne();
            {
                std::lock_guard verrou(m_etat.verrou);
                m_etat.raisonPerte =
                    "le périphérique " + m_device + " ne répond plus (" +
                    (erreur == QSerialPort::ReadError ? std::string("fin de ligne") : texte) + ")";
                m_etat.file.ajouter({ArriveeLien::Genre::Perte, 0, instantLien(), 0});
                posterRemise(m_etat);
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

    PartageLien& m_etat;
    QSerialPort& m_port;
    QEventLoop& m_boucle;
    std::string m_device;
    int m_portNumber;
    unsigned m_masque;
    std::string m_ecriture;
    /** What the device could not take yet, oldest first; written when it is writable. */
    std::string m_enSouffrance;
    /** The bytes at the front of `m_enSouffrance` the device has taken already. */
    std::size_t m_dejaPartis = 0;
    std::unique_ptr<QSocketNotifier> m_ecrivable;
    std::string m_lecture;
    ReflexeLien m_reflexe;
    /** Where the reflex answered in the read: after `fin` bytes, `longueur` bytes. */
    struct Coupure {
        std::size_t fin;
        std::size_t longueur;
    };
    std::vector<Coupure> m_coupures;
    /** The reflex's answers to the read, written together. */
    std::string m_reponse;
    std::int64_t m_instantReponse = 0;
    /** When the courier was last told of what came (with a reflex), and the next telling. */
    std::int64_t m_derniereRemise = 0;
    QTimer m_remiseDifferee;
    /** The time given to the last byte the reflex saw. */
    std::int64_t m_dernierOctet = 0;
    bool m_fini = false;
    /** The bytes that came before the start have been looked at. */
    bool m_premierRegard = false;
};

} // namespace

void MonitorThread(DepartMoniteur& depart)
{
    PartageLien& etat = *depart.etat;
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
