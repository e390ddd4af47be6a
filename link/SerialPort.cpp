#include "link/SerialPort.h"

#include "core/Platform.h"
#include "link/ComDevices.h"
#include "link/SerialCourier.h"
#include "link/SerialMonitor.h"
#include "link/SerialReport.h"
#include "link/SerialSetup.h"
#include "link/SerialShared.h"

#include <QSerialPort>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <utility>

namespace {

void trace(const std::string& ligne)
{
    platform().trace(TraceChannel::Serial, ligne);
}

} // namespace

SerialPort::SerialPort()
    : m_etat(std::make_shared<PartageLien>())
{}

SerialPort::~SerialPort()
{
    // A suspended monitor is released by the shutdown itself; the wait is
    // for its thread to end, never a spin on the alive flag.
    arreterMoniteur();
    m_port.reset();
    {
        std::lock_guard verrou(m_etat->verrou);
        m_etat->courrier = nullptr;
        m_etat->owner = nullptr;
    }
    if (m_courrier != nullptr) {
        // Destroyed from inside the courier's own call (the owner's handler,
        // a message box): it finishes that call first.
        if (m_courrier->occupe()) {
            m_courrier->deleteLater();
        } else {
            delete m_courrier;
        }
    }
    trace("Thread ended\n");
}

void SerialPort::arreterMoniteur()
{
    if (!m_monitor.joinable()) {
        return;
    }
    {
        std::lock_guard verrou(m_etat->verrou);
        m_etat->arret = true;
        m_etat->suspendu = false;
        if (m_etat->moniteur != nullptr) {
            m_etat->reveilPoste = true;
            poster(m_etat->moniteur, evenementReveil());
        }
    }
    // The monitor never waits for this thread: it sees the request and ends.
    m_monitor.join();
    std::lock_guard verrou(m_etat->verrou);
    m_etat->arret = false;
    m_etat->reveilPoste = false;
    // What the monitor read and nobody took goes with it.
    ++m_etat->generation;
    m_etat->file.vider();
}

bool SerialPort::Configure(RobotLinkOwner* owner, int port, int baud, char parity, int dataBits,
                           int stopBits, unsigned eventMask, int bufferSize)
{
    if (m_monitor.joinable()) {
        const bool vivait = threadAlive();
        arreterMoniteur();
        if (vivait) {
            trace("Thread ended\n");
        }
    }
    m_port.reset();
    m_openError.clear();
    m_dcb = LineSettings{};
    m_portNumber = port;
    m_eventMask = eventMask;
    m_bufferSize = bufferSize;
    m_device = comdevices::comDevice(port);
    {
        std::lock_guard verrou(m_etat->verrou);
        m_etat->ouvert = false;
        m_etat->suspendu = false;
        m_etat->sortie.clear();
        m_etat->owner = owner;
        m_etat->port = port;
        m_etat->raisonPerte.clear();
        ++m_etat->generation;
        m_etat->file.vider();
    }
    // Caller errors: refused like a device that cannot be opened.
    if (port < comdevices::PremierPort || port > comdevices::DernierPort) {
        m_openError =
            "COM" + std::to_string(port) + " n'existe pas : les ports vont de COM1 à COM4.";
        return false;
    }
    if (owner == nullptr) {
        m_openError =
            "Aucune fenêtre ne recevrait les octets du port COM" + std::to_string(port) + ".";
        return false;
    }
    if (m_courrier == nullptr) {
        m_courrier = new CourrierLien(m_etat);
        std::lock_guard verrou(m_etat->verrou);
        m_etat->courrier = m_courrier;
    }

    auto p = std::make_unique<QSerialPort>(m_device);
    if (!p->open(QIODevice::ReadWrite)) {
        m_openError = texteEchecOuverture(port, m_device, *p);
        trace(m_openError + "\n");
        return false;
    }
    const ResultatReglage r =
        reglerLigne(*p, DefinitionLigne{baud, parity, dataBits, stopBits}, eventMask, m_dcb);
    if (r.echec) {
        ReportError(r.echec->etape, r.echec->texteSysteme);
    }
    if (!r.lignesModem) {
        trace("No modem lines on " + m_device.toStdString() + ", RTS not raised: " + r.texteModem +
              "\n");
    }
    // A clean start: what the device held before this opening goes.
    p->clear(QSerialPort::AllDirections);
    m_port = std::move(p);
    {
        std::lock_guard verrou(m_etat->verrou);
        m_etat->ouvert = true;
    }
    char ligne[128];
    std::snprintf(ligne, sizeof ligne,
                  "Initialisation for communicationport %d completed.\nUse Startmonitor to "
                  "communicate.\n",
                  port);
    trace(ligne);
    return true;
}

bool SerialPort::StartMonitor()
{
    if (m_monitor.joinable()) {
        if (threadAlive()) {
            return true;
        }
        // Ended by itself (the device went away): its port is closed.
        arreterMoniteur();
    }
    if (!m_port) {
        return false;
    }
    auto depart = std::make_shared<DepartMoniteur>();
    depart->etat = m_etat;
    depart->device = m_device;
    depart->portNumber = m_portNumber;
    depart->eventMask = m_eventMask;
    depart->reflexe = m_reflexe;
    std::future<QThread*> ici = depart->ici.get_future();
    std::promise<void> feu;
    depart->feu = feu.get_future();
    QSerialPort* port = m_port.get();
    depart->port = std::move(m_port);
    m_etat->vivant.store(true, std::memory_order_release);
    try {
        m_monitor =
            platform().startThread([depart] { MonitorThread(*depart); }, ThreadPriority::Normal);
    } catch (const std::exception& ex) {
        m_etat->vivant.store(false, std::memory_order_release);
        m_port = std::move(depart->port);
        trace(std::string("Monitor thread not started: ") + ex.what() + "\n");
        return false;
    }
    // The port goes to the monitor's thread before the monitor touches it.
    port->moveToThread(ici.get());
    feu.set_value();
    trace("Thread started\n");
    return true;
}

bool SerialPort::SuspendMonitor()
{
    if (!m_monitor.joinable()) {
        return false;
    }
    {
        std::lock_guard verrou(m_etat->verrou);
        m_etat->suspendu = true;
    }
    trace("Thread suspended\n");
    return true;
}

bool SerialPort::ResumeMonitor()
{
    if (!m_monitor.joinable()) {
        return false;
    }
    {
        std::lock_guard verrou(m_etat->verrou);
        m_etat->suspendu = false;
        // What came meanwhile is handed over, what was queued is written.
        posterRemise(*m_etat);
        if (m_etat->moniteur != nullptr && !m_etat->reveilPoste) {
            m_etat->reveilPoste = true;
            poster(m_etat->moniteur, evenementReveil());
        }
    }
    trace("Thread resumed\n");
    return true;
}

void SerialPort::QueueWrite(const char* octets)
{
    if (octets == nullptr || m_bufferSize < 2) {
        return;
    }
    const std::size_t longueur = strnlen(octets, static_cast<std::size_t>(m_bufferSize - 1));
    std::lock_guard verrou(m_etat->verrou);
    // Nothing leaves without an open port (never opened, failed, or lost).
    if (!m_etat->ouvert) {
        return;
    }
    m_etat->sortie.append(octets, longueur);
    // The monitor is woken once for everything queued meanwhile, and writes
    // at once: a reply leaves while the owner goes on with the next bytes.
    if (m_etat->moniteur != nullptr && !m_etat->reveilPoste) {
        m_etat->reveilPoste = true;
        poster(m_etat->moniteur, evenementReveil());
    }
}

bool SerialPort::installerReflexe(const ReflexeLien& reflexe)
{
    m_reflexe = reflexe;
    return true;
}

void SerialPort::reglerCapaciteRemise(std::size_t octets)
{
    std::lock_guard verrou(m_etat->verrou);
    m_etat->file.reglerCapacite(octets);
}

std::size_t SerialPort::capaciteRemise() const
{
    std::lock_guard verrou(m_etat->verrou);
    return m_etat->file.capacite();
}

std::string SerialPort::lossReason() const
{
    std::lock_guard verrou(m_etat->verrou);
    return m_etat->raisonPerte;
}

bool SerialPort::threadAlive() const
{
    return m_etat->vivant.load(std::memory_order_acquire);
}

void SerialPort::ReportError(const char* step, const std::string& systemText) const
{
    ShowReport(ReportErrorText(step, systemText, m_portNumber));
}

std::unique_ptr<RobotLink> makeSerialPort()
{
    return std::make_unique<SerialPort>();
}
