#include "link/LienEnregistre.h"

#include "core/Platform.h"
#include "core/ReglageNumerique.h"
#include "link/recorder/Enregistreur.h"

#include <cstdint>
#include <cstring>
#include <string>

LienEnregistre::LienEnregistre(std::unique_ptr<RobotLink> lien,
                               std::shared_ptr<journal::Enregistreur> journal)
    : m_lien(std::move(lien))
    , m_journal(std::move(journal))
{}

LienEnregistre::~LienEnregistre()
{
    reglages::retirerJournal(this);
    // The engine goes first: no byte can arrive after the closing is noted.
    m_lien.reset();
    if (m_ouvert) {
        m_journal->lien(journal::EvenementFerme);
    }
}

bool LienEnregistre::Configure(RobotLinkOwner* owner, int port, int baud, char parity, int dataBits,
                               int stopBits, unsigned eventMask, int bufferSize)
{
    m_owner = owner;
    const bool ouvert =
        m_lien->Configure(this, port, baud, parity, dataBits, stopBits, eventMask, bufferSize);
    if (ouvert) {
        if (m_ouvert) {
            m_journal->lien(journal::EvenementFerme);
        }
        m_journal->lien(std::string(journal::EvenementOuvert) + " COM" + std::to_string(port) +
                        " " + std::to_string(baud) + " bauds " + std::to_string(dataBits) + parity +
                        std::to_string(stopBits));
        // The settings refused so far, and those refused while it is open,
        // go into the log after its opening, each once in the run.
        reglages::journaliserAvertissements(
            this, [journal = m_journal](const std::string& texte) { journal->lien(texte); });
        // A log that cannot be written never stops the link; it is traced.
        if (const std::string erreur = m_journal->erreur(); !erreur.empty()) {
            platform().trace(TraceChannel::App, "session log not recorded: " + erreur);
        }
    }
    // A port that cannot be opened starts no session: nothing is recorded.
    m_ouvert = m_ouvert || ouvert;
    return ouvert;
}

void LienEnregistre::QueueWrite(const char* octets)
{
    if (m_ouvert) {
        m_journal->emis(reinterpret_cast<const std::uint8_t*>(octets), std::strlen(octets));
    }
    m_lien->QueueWrite(octets);
}

void LienEnregistre::noteEvent(const std::string& texte)
{
    if (m_ouvert) {
        m_journal->navigation(texte);
    }
}

void LienEnregistre::noteLinkEvent(const std::string& texte)
{
    if (m_ouvert) {
        m_journal->lien(texte);
    }
}

void LienEnregistre::noteDestination(int x, int y)
{
    // Only what a log can hold: a point of the field.
    if (m_ouvert && x >= 0 && y >= 0 && x <= journal::CoteTerrainCm &&
        y <= journal::CoteTerrainCm) {
        m_journal->destination(x, y);
    }
}

void LienEnregistre::noteMapEdit(const journal::Edition& edition)
{
    if (m_ouvert && edition.colonne >= 0 && edition.ligne >= 0 &&
        edition.colonne < journal::CellulesTerrain && edition.ligne < journal::CellulesTerrain) {
        m_journal->edition(edition.genre, edition.colonne, edition.ligne);
    }
}

void LienEnregistre::noteCalibration(const journal::PointCalibre& point)
{
    // Only what a log can hold (what a reader takes back).
    std::uint8_t charge[journal::TailleCalibration];
    journal::encoderCalibration(charge, point);
    journal::PointCalibre relu;
    if (m_ouvert && journal::decoderCalibration(charge, sizeof charge, relu)) {
        m_journal->calibration(point);
    }
}

void LienEnregistre::noteTerrain(const journal::EtatTerrain& terrain)
{
    if (m_ouvert) {
        m_journal->terrain(terrain);
    }
}

void LienEnregistre::noteCalibrationEdit(const journal::EditionListe& edition)
{
    std::uint8_t charge[journal::TailleListeCalibration];
    journal::encoderListeCalibration(charge, edition);
    journal::EditionListe relue;
    if (m_ouvert && journal::decoderListeCalibration(charge, sizeof charge, relue)) {
        m_journal->listeCalibration(edition);
    }
}

void LienEnregistre::notePosition(const journal::PositionFiltree& position)
{
    // Only what a log can hold (what a reader takes back).
    std::uint8_t charge[journal::TaillePosition];
    journal::encoderPosition(charge, position);
    journal::PositionFiltree relue;
    if (m_ouvert && journal::decoderPosition(charge, sizeof charge, relue)) {
        m_journal->position(position);
    }
}

void LienEnregistre::OnRobotByte(int octet, int port)
{
    const auto valeur = static_cast<std::uint8_t>(octet & 0xFF);
    m_journal->recu(&valeur, 1);
    if (m_owner) {
        m_owner->OnRobotByte(octet, port);
    }
}

void LienEnregistre::OnRobotByteAt(int octet, int port, std::int64_t arrivee)
{
    const auto valeur = static_cast<std::uint8_t>(octet & 0xFF);
    m_journal->recu(&valeur, 1, arrivee > 0 ? static_cast<std::uint64_t>(arrivee) : 0);
    if (m_owner) {
        m_owner->OnRobotByteAt(octet, port, arrivee);
    }
}

void LienEnregistre::OnLinkWrite(std::int64_t instant)
{
    if (m_owner) {
        m_owner->OnLinkWrite(instant);
    }
}

void LienEnregistre::OnLinkAnswered(const std::string& octets, std::int64_t instant)
{
    // The engine's own answer: recorded as a byte sent, after the byte it answers.
    if (m_ouvert) {
        m_journal->emis(reinterpret_cast<const std::uint8_t*>(octets.data()), octets.size());
    }
    if (m_owner) {
        m_owner->OnLinkAnswered(octets, instant);
    }
}

void LienEnregistre::OnLinkLost(const std::string& raison)
{
    // Recorded at once, with its reason; the owner learns of it after.
    m_journal->lien(std::string(journal::EvenementPerdu) + " : " + raison);
    if (m_owner) {
        m_owner->OnLinkLost(raison);
    }
}

void LienEnregistre::OnLinkEvent(unsigned message, int port)
{
    if (m_owner) {
        m_owner->OnLinkEvent(message, port);
    }
}

void LienEnregistre::OnLinkRestart()
{
    if (m_owner) {
        m_owner->OnLinkRestart();
    }
}

void LienEnregistre::surDebordement(std::uint64_t octets)
{
    // The owner notes it in the log, at most once a second.
    if (m_owner) {
        m_owner->surDebordement(octets);
    }
}

std::unique_ptr<RobotLink> enregistrer(std::unique_ptr<RobotLink> lien,
                                       std::shared_ptr<journal::Enregistreur> journal)
{
    if (!journal) {
        return lien;
    }
    return std::make_unique<LienEnregistre>(std::move(lien), std::move(journal));
}
