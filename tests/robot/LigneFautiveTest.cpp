// The console after a faulty line: the virtual robot in real time (a frame
// every 500 ms), a relay that loses, cuts, garbles or doubles its bytes, the
// console offscreen with its real serial engine. Within two frames of the
// fault the console answers every status byte again, its estimate is back on
// the robot, and nothing is marked that the robot did not touch.
#include "console/ConsoleFixture.h"
#include "core/CatalogueReglages.h"

#include "console/ReglageSilence.h"
#include "link/SerialPort.h"
#include "robot/Liaison.h"
#include "robot/Relais.h"
#include "robot/Session.h"
#include "support/PseudoTerminal.h"
#include "world/WorldChange.h"

#include <QSettings>

#include <atomic>
#include <cmath>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

namespace {

using robotsim::Faute;

/** The frame whose bytes the fault falls on. */
constexpr int TrameFautive = 4;
constexpr int Trames = 12;

/** What the test saw after each of the robot's frames. */
struct Regard {
    double ecart = 0.0; ///< the console's estimate from the truth, cm
    int marques = 0;    ///< cells marked by the bumper on the console's map
};

class LigneFautiveTest : public ConsoleTest {
protected:
    /** Runs `Trames` frames of a standing robot through a relay making `faute`. */
    void executer(const Faute& faute)
    {
        std::string erreur;
        liaison = robotsim::Liaison::creerPty({}, erreur);
        ASSERT_TRUE(liaison) << erreur;
        robotsim::ReglagesRelais reglages;
        reglages.fautes.push_back(faute);
        reglages.graine = 11;
        relais = robotsim::Relais::creer(liaison->nom(), reglages, erreur);
        ASSERT_TRUE(relais) << erreur;
        relais->demarrer();

        Scenario scenario;
        scenario.x = 212.0;
        scenario.y = 187.0;
        scenario.graine = 3;
        robot = std::make_unique<robotsim::RobotVirtuel>(scenario);
        robotsim::OptionsSession options;
        options.delaiReponseMs = 1000;
        options.trace = &trace;
        options.apresPeriode = [this](const robotsim::RobotVirtuel& r) {
            const Point e = monde().robot.position();
            Regard vu;
            vu.ecart = std::hypot(e.x - r.pose().x, e.y - r.pose().y);
            for (int y = 0; y < 20; ++y) {
                for (int x = 0; x < 20; ++x) {
                    vu.marques += valeurCellule(x, y) == 3 ? 1 : 0;
                }
            }
            std::lock_guard verrou(mutex);
            regards.push_back(vu);
            if (regards.size() >= Trames) {
                arret = true;
            }
        };
        qputenv("KIV_COM1", QByteArray::fromStdString(relais->nom()));
        // The threshold of the port's rate (1200 baud here: 100 ms).
        QSettings().remove(QString::fromLatin1(reglages::SilenceResynchro.nom));
        demarrerAvec([] { return makeSerialPort(); });
        ASSERT_TRUE(attendre([this] { return view->lien() && view->lien()->threadAlive(); }));
        fil = std::thread([this, options] {
            bilan = robotsim::executerSession(*robot, *liaison, options, arret);
        });
        ASSERT_TRUE(attendre([this] { return arret.load(); }, 120000));
        fil.join();
    }

    /** The command bytes the robot received in reply to each frame (from its trace). */
    std::vector<std::string> reponses() const
    {
        std::vector<std::string> r;
        std::istringstream lignes(trace.str());
        std::string ligne;
        std::getline(lignes, ligne); // header
        while (std::getline(lignes, ligne)) {
            std::istringstream champs(ligne);
            std::string recu;
            for (int k = 0; k < 8; ++k) {
                std::getline(champs, recu, ',');
            }
            r.push_back(recu);
        }
        return r;
    }

    /** The checks every fault shares. */
    void revenuEnPhase()
    {
        const auto r = reponses();
        ASSERT_EQ(r.size(), static_cast<std::size_t>(Trames));
        for (int k = 0; k < Trames; ++k) {
            if (k < TrameFautive || k >= TrameFautive + 2) {
                // One command byte, the neutral one: the robot stands.
                EXPECT_EQ(r[k], "80") << "frame " << k;
            }
        }
        std::lock_guard verrou(mutex);
        for (int k = TrameFautive + 2; k < Trames; ++k) {
            EXPECT_LT(regards[k].ecart, 50.0) << "frame " << k;
            EXPECT_EQ(regards[k].marques, regards[TrameFautive].marques) << "frame " << k;
        }
        EXPECT_EQ(regards[TrameFautive - 1].marques, 0);
        EXPECT_GE(view->resynchronisations(), 1u);
        EXPECT_EQ(bilan.inattendues, 0);
        EXPECT_EQ(bilan.invalides, 0);
    }

    void TearDown() override
    {
        arret = true;
        if (fil.joinable()) {
            fil.join();
        }
        ConsoleTest::TearDown();
        relais.reset();
        qunsetenv("KIV_COM1");
    }

    std::unique_ptr<robotsim::Liaison> liaison;
    std::unique_ptr<robotsim::Relais> relais;
    std::unique_ptr<robotsim::RobotVirtuel> robot;
    std::ostringstream trace;
    std::atomic<bool> arret{false};
    std::thread fil;
    robotsim::BilanSession bilan;
    std::mutex mutex;
    std::vector<Regard> regards;
};

constexpr std::uint64_t Debut = std::uint64_t{10} * TrameFautive;

} // namespace

TEST_F(LigneFautiveTest, OneLostTimestampByte)
{
    executer({Faute::Genre::Perte, Debut + 3});
    revenuEnPhase();
    // Without its status byte the frame went unanswered; the robot stood still.
    EXPECT_EQ(reponses()[TrameFautive], "");
    EXPECT_EQ(relais->bilan().perdus, 1u);
}

TEST_F(LigneFautiveTest, AFrameCutHalfWay)
{
    // The robot stops after five bytes (and its battery byte never comes).
    executer({Faute::Genre::Perte, Debut + 5, 5});
    revenuEnPhase();
    EXPECT_EQ(relais->bilan().perdus, 5u);
}

TEST_F(LigneFautiveTest, ABurstOfNoiseInsideAFrame)
{
    executer({Faute::Genre::Bruit, Debut + 4, 7});
    revenuEnPhase();
    EXPECT_EQ(relais->bilan().bruit, 7u);
}

TEST_F(LigneFautiveTest, AByteReceivedTwice)
{
    executer({Faute::Genre::Doublon, Debut + 2});
    revenuEnPhase();
    EXPECT_EQ(relais->bilan().doubles, 1u);
}
