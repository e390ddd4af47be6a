#pragma once

// A main frame with its control view, offscreen, on the scripted platform,
// with a link engine the test controls.

#include "ControlesVue.h"

#include "console/ConsoleState.h"
#include "console/KIVView.h"
#include "console/MainFrame.h"
#include "console/ReglageFiltre.h"
#include "console/VueReception.h"
#include "core/CatalogueReglages.h"
#include "core/ReglageNumerique.h"
#include "core/scripted/ScriptedPlatform.h"
#include "link/RobotLink.h"
#include "world/WorldState.h"
#include "world/WorldThreads.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

/** A link that opens or not as told and keeps what is written to it. */
class FakeLink : public RobotLink {
public:
    FakeLink(bool ouvre, std::vector<std::string>& journal)
        : m_ouvre(ouvre)
        , m_journal(journal)
    {}
    ~FakeLink() override { m_journal.push_back("detruit"); }
    bool Configure(RobotLinkOwner* owner, int port, int baud, char parity, int dataBits,
                   int stopBits, unsigned eventMask, int bufferSize) override
    {
        proprietaire = owner;
        reglages = {port, baud};
        parite = parity;
        bits = dataBits;
        arret = stopBits;
        masque = eventMask;
        taille = bufferSize;
        return m_ouvre;
    }
    bool StartMonitor() override
    {
        vivant = m_ouvre;
        return vivant;
    }
    bool SuspendMonitor() override
    {
        m_journal.push_back("suspendu");
        return true;
    }
    void QueueWrite(const char* octets) override { ecrit += octets; }
    bool threadAlive() const override { return vivant; }
    std::string openError() const override { return m_ouvre ? std::string() : raison; }
    std::string lossReason() const override { return perte; }
    void noteCalibration(const journal::PointCalibre& point) override { calibres.push_back(point); }
    /** The calibration points noted for the session's log. */
    std::vector<journal::PointCalibre> calibres;
    void noteCalibrationEdit(const journal::EditionListe& edition) override
    {
        editionsListe.push_back(edition);
    }
    /** The calibration list's edits noted for the session's log. */
    std::vector<journal::EditionListe> editionsListe;
    void noteLinkEvent(const std::string& texte) override { evenementsLien.push_back(texte); }
    /** The link events noted for the session's log. */
    std::vector<std::string> evenementsLien;

    RobotLinkOwner* proprietaire = nullptr;
    PortSettings reglages;
    char parite = 0;
    int bits = 0;
    int arret = 0;
    unsigned masque = 0;
    int taille = 0;
    bool vivant = false;
    std::string ecrit;
    /** Why an opening fails, as the engine would say. */
    std::string raison;
    /** Why the device went away, as the engine would say. */
    std::string perte;

private:
    bool m_ouvre;
    std::vector<std::string>& m_journal;
};

class ConsoleTest : public ::testing::Test {
protected:
    /**
     * The position filter, set before the frame is built. Off: most tests
     * carry the robot from place to place between two frames, and hold the
     * frame chain to its specified rules; the filter's tests turn it on.
     */
    bool filtre = false;

    static ScriptedPlatform& scripted() { return static_cast<ScriptedPlatform&>(platform()); }

    /** Builds and shows the frame; `ouvre` says whether the link opens. */
    void demarrer(bool ouvre, std::string poids = KIV_DATA_DIR "/beacons.wgh")
    {
        demarrerAvec(
            [this, ouvre] {
                auto lien = std::make_unique<FakeLink>(ouvre, journal);
                liens.push_back(lien.get());
                return lien;
            },
            std::move(poids));
    }

    /** Builds and shows the frame with the link engines `fabrique` makes. */
    void demarrerAvec(RobotLinkFactory fabrique, std::string poids = KIV_DATA_DIR "/beacons.wgh")
    {
        scripted().clear();
        liens.clear();
        journal.clear();
        ResetWorld();
        QSettings().setValue(QString::fromLatin1(reglages::Filtre.nom), filtre);
        OptionsConsole options;
        options.poids = std::move(poids);
        options.lien = std::move(fabrique);
        frame = std::make_unique<CMainFrame>(std::move(options));
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        view = frame->view();
    }

    void TearDown() override
    {
        frame.reset();
        ResetWorld();
        // A setting refused in one test is no warning of the next one's log.
        reglages::oublierAvertissements();
    }

    template <class T>
    T* controle(int id) const
    {
        return view->findChild<T*>(QStringLiteral("id%1").arg(id));
    }
    void cliquer(int id) { controle<QPushButton>(id)->click(); }
    /** The traffic boxes, with what is pending written into them. */
    QPlainTextEdit* boite(int id) const
    {
        view->viderTrafic();
        return controle<QPlainTextEdit>(id);
    }
    VueReception* reception() const
    {
        view->viderTrafic();
        return controle<VueReception>(ctrl::Reception);
    }
    QString transmission() const { return boite(ctrl::Transmission)->toPlainText(); }

    std::unique_ptr<CMainFrame> frame;
    CKIVView* view = nullptr;
    /** Engines made, in order; only the last one may still exist. */
    std::vector<FakeLink*> liens;
    /** What happened to the engines ("suspendu", "detruit"). */
    std::vector<std::string> journal;
};
