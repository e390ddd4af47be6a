#pragma once

#include "link/RobotLink.h"

#include <memory>

namespace journal {
class Enregistreur;
}

/**
 * A link that records what passes through another one: every byte received
 * and queued for sending, the openings and closings, the events the
 * console notes and, once it has opened, the settings refused in the run
 * (reglages::journaliserAvertissements), into the session's log. It stands between the engine and
 * the owner; everything else is passed on unchanged.
 */
class LienEnregistre : public RobotLink, public RobotLinkOwner {
public:
    LienEnregistre(std::unique_ptr<RobotLink> lien, std::shared_ptr<journal::Enregistreur> journal);
    ~LienEnregistre() override;
    LienEnregistre(const LienEnregistre&) = delete;
    LienEnregistre& operator=(const LienEnregistre&) = delete;

    bool Configure(RobotLinkOwner* owner, int port, int baud, char parity, int dataBits,
                   int stopBits, unsigned eventMask, int bufferSize) override;
    bool StartMonitor() override { return m_lien->StartMonitor(); }
    bool SuspendMonitor() override { return m_lien->SuspendMonitor(); }
    bool ResumeMonitor() override { return m_lien->ResumeMonitor(); }
    void QueueWrite(const char* octets) override;
    bool threadAlive() const override { return m_lien->threadAlive(); }
    bool installerReflexe(const ReflexeLien& reflexe) override
    {
        return m_lien->installerReflexe(reflexe);
    }
    LineSettings lineSettings() const override { return m_lien->lineSettings(); }
    unsigned eventMask() const override { return m_lien->eventMask(); }
    int bufferSize() const override { return m_lien->bufferSize(); }
    std::string openError() const override { return m_lien->openError(); }
    void noteEvent(const std::string& texte) override;
    void noteLinkEvent(const std::string& texte) override;
    std::string lossReason() const override { return m_lien->lossReason(); }
    void noteDestination(int x, int y) override;
    void noteMapEdit(const journal::Edition& edition) override;
    void noteCalibration(const journal::PointCalibre& point) override;
    void noteTerrain(const journal::EtatTerrain& terrain) override;
    void noteCalibrationEdit(const journal::EditionListe& edition) override;
    void notePosition(const journal::PositionFiltree& position) override;

    void OnRobotByte(int octet, int port) override;
    void OnRobotByteAt(int octet, int port, std::int64_t arrivee) override;
    void OnLinkWrite(std::int64_t instant) override;
    void OnLinkAnswered(const std::string& octets, std::int64_t instant) override;
    void OnLinkLost(const std::string& raison) override;
    void OnLinkEvent(unsigned message, int port) override;
    void OnLinkRestart() override;
    void surDebordement(std::uint64_t octets) override;

    RobotLink& interne() const { return *m_lien; }

private:
    std::unique_ptr<RobotLink> m_lien;
    std::shared_ptr<journal::Enregistreur> m_journal;
    RobotLinkOwner* m_owner = nullptr;
    bool m_ouvert = false;
};

/** Wraps `lien` so that it records into `journal`; `lien` itself when there is no journal. */
std::unique_ptr<RobotLink> enregistrer(std::unique_ptr<RobotLink> lien,
                                       std::shared_ptr<journal::Enregistreur> journal);
