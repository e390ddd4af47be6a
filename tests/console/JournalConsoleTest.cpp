// The flight recorder in the console: a session through a recorded link
// writes a log that replays to the same positions and battery levels, across
// the files it was continued in; a log cut short replays up to its last
// whole record; the File menu plays a chosen log without sending anything;
// a recorder that stops is told once and the console goes on; a replay
// names its log and restores the destinations, map edits and wheel codes.
#include "ConsoleFixture.h"

#include "console/JournalSession.h"
#include "console/KIVApp.h"
#include "console/KIVDoc.h"
#include "console/Menu128.h"
#include "console/VoletJournal.h"
#include "console/VoletLien.h"
#include "link/LienEnregistre.h"
#include "link/LienRejoue.h"
#include "link/recorder/DossierJournaux.h"
#include "link/recorder/Enregistreur.h"
#include "link/recorder/LecteurJournal.h"
#include "support/RepertoireTemporaire.h"
#include "world/BeaconModel.h"
#include "world/GridEdits.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string trame(balises::Position p, std::uint32_t phase, int batterie)
{
    std::string octets;
    for (const std::int16_t t : balises::horodatages(p, phase)) {
        const auto mot = static_cast<std::uint16_t>(t);
        octets += static_cast<char>(mot & 0xFF);
        octets += static_cast<char>(mot >> 8);
    }
    octets += '\0';
    octets += static_cast<char>(batterie);
    return octets;
}

struct Vu {
    Point position;
    int batterie;
};

class JournalConsoleTest : public ConsoleTest {
protected:
    Vu vu() const { return {g_robotPos.get(), controle<QProgressBar>(1019)->value()}; }

    /**
     * Starts a console on a replay of `fichier` driven by `horloge`; a turn
     * hands over at most `dureeTourUs` of work (0: all that is due).
     */
    LienRejoue* rejouer(const std::string& fichier, std::uint64_t& horloge,
                        std::int64_t dureeTourUs = 0)
    {
        travail = 0;
        LienRejoue* rejeu = nullptr;
        demarrerAvec([&] {
            OptionsRejeu options;
            options.fichier = fichier;
            options.horloge = [&horloge] { return horloge; };
            options.minuterie = false;
            options.dureeTourMaxUs = dureeTourUs;
            // Each look at the work done finds 10 us more.
            options.horlogeTravail = [this] { return travail += 10; };
            auto lien = std::make_unique<LienRejoue>(std::move(options));
            rejeu = lien.get();
            return lien;
        });
        return rejeu;
    }

    kiv_test::RepertoireTemporaire dossier;
    std::int64_t travail = 0;
};

} // namespace

TEST_F(JournalConsoleTest, ARecordedSessionReplaysToTheSamePositionsAndBattery)
{
    std::uint64_t horloge = 0;
    auto session = std::make_shared<journal::Enregistreur>(
        journal::ReglagesJournal{dossier / "journaux"},
        journal::Horloges{[&horloge] { return horloge; },
                          [] { return std::int64_t{1765139916000000}; }});
    demarrerAvec([this, session] {
        auto lien = std::make_unique<FakeLink>(true, journal);
        liens.push_back(lien.get());
        return enregistrer(std::move(lien), session);
    });
    ASSERT_EQ(liens.size(), 1u);
    RobotLinkOwner* robot = liens[0]->proprietaire;
    ASSERT_NE(robot, nullptr);

    const balises::Position chemin[] = {{300, 200}, {100, 400}, {450, 50}, {120, 130}};
    std::vector<Vu> vus;
    std::vector<std::uint64_t> fins;
    for (int k = 0; k < 4; ++k) {
        horloge += 100000;
        for (const char c : trame(chemin[k], 977 * k, 220 - 40 * k)) {
            robot->OnRobotByte(static_cast<unsigned char>(c), 1);
            horloge += 1000;
        }
        fins.push_back(horloge - 1000);
        vus.push_back(vu());
    }
    cliquer(1027); // "Arrêt": a navigation event and a command byte
    EXPECT_EQ(liens[0]->ecrit, std::string(5, '\x80'));
    frame.reset(); // the link closes with the frame
    const std::string fichier = session->chemin();
    ASSERT_FALSE(fichier.empty());
    EXPECT_EQ(session->erreur(), "");

    // Positions and battery come back frame by frame at their recorded times.
    std::uint64_t t = 0;
    LienRejoue* rejeu = rejouer(fichier, t);
    ASSERT_NE(rejeu, nullptr);
    ASSERT_TRUE(rejeu->threadAlive());
    for (std::size_t k = 0; k < vus.size(); ++k) {
        t = fins[k] - 1;
        rejeu->avancer();
        EXPECT_NE(vu().batterie, vus[k].batterie) << "frame " << k << " not yet complete";
        t = fins[k];
        rejeu->avancer();
        EXPECT_EQ(vu().position.x, vus[k].position.x) << k;
        EXPECT_EQ(vu().position.y, vus[k].position.y) << k;
        EXPECT_EQ(vu().batterie, vus[k].batterie) << k;
    }
    t += 10000000;
    rejeu->avancer();
    EXPECT_FALSE(rejeu->threadAlive());
    EXPECT_EQ(rejeu->fin(), journal::Lecture::Fin);
    // The console answered every status byte; none of it went anywhere.
    EXPECT_EQ(rejeu->octetsIgnores(), 4u);

    // However far behind the replay is, a turn hands over one turn's work
    // (here 15 us, which two records fill), the rest at the next turns.
    frame.reset();
    t = 0;
    rejeu = rejouer(fichier, t, 15);
    t = fins.back() + 1000000;
    std::vector<int> tours;
    while (rejeu->threadAlive()) {
        tours.push_back(rejeu->avancer());
    }
    ASSERT_GT(tours.size(), 10u);
    for (std::size_t k = 0; k + 1 < tours.size(); ++k) {
        EXPECT_EQ(tours[k], 2) << k;
    }
    EXPECT_EQ(vu().position.x, vus[3].position.x);
    EXPECT_EQ(vu().batterie, vus[3].batterie);

    // Damaged on the way (a record whose time goes back): the replay stops
    // there and says so, after the hand-over.
    {
        std::ifstream source(fichier, std::ios::binary);
        std::string octets((std::istreambuf_iterator<char>(source)),
                           std::istreambuf_iterator<char>());
        std::string recul(journal::TailleEnteteEnregistrement, '\0');
        journal::encoderEnregistrement(reinterpret_cast<std::uint8_t*>(recul.data()), 1,
                                       journal::Genre::Recu, 0);
        std::ofstream(dossier / "abime.kivlog", std::ios::binary) << octets << recul;
    }
    frame.reset();
    t = 0;
    rejeu = rejouer(dossier / "abime.kivlog", t);
    scripted().clear();
    t = fins.back() + 1000000;
    rejeu->avancer();
    EXPECT_EQ(rejeu->fin(), journal::Lecture::Corrompu);
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text, "La relecture du journal " + dossier / "abime.kivlog" +
                                                 " s'arrête là : le temps d'un enregistrement "
                                                 "recule");

    // Cut inside the last frame's reply: its battery byte never arrives.
    const auto taille = std::filesystem::file_size(fichier);
    std::filesystem::resize_file(fichier, taille - 17 - 12 - 17 - 12 - 5);
    frame.reset();
    t = 0;
    rejeu = rejouer(fichier, t);
    t = fins.back() + 1000000;
    rejeu->avancer();
    EXPECT_EQ(rejeu->fin(), journal::Lecture::Tronque);
    EXPECT_EQ(vu().batterie, vus[2].batterie);
    EXPECT_EQ(vu().position.x, vus[3].position.x);
}

TEST_F(JournalConsoleTest, AReplayNamesItsLogAndRestoresTheMapEditsAndWheelCodesInOrder)
{
    std::uint64_t horloge = 0;
    auto session = std::make_shared<journal::Enregistreur>(
        journal::ReglagesJournal{dossier / "journaux"},
        journal::Horloges{[&horloge] { return horloge; },
                          [] { return std::int64_t{1765139916000000}; }});
    demarrerAvec([this, session] {
        auto lien = std::make_unique<FakeLink>(true, journal);
        liens.push_back(lien.get());
        return enregistrer(std::move(lien), session);
    });
    // What the operator and the robot did, 1 ms apart.
    const std::vector<std::function<void()>> faits = {
        [] { SetDestination(300, 400); },
        [] { PlaceObstacle(5, 4); }, // cell (3, 4)
        [] { EraseObstacle(3 * 25 + 12, 4 * 25 + 12); },
        [] { MarkObstacle(10, 10); }, // cell (9, 9), a bumper mark
        [] { ClearObstacle(10, 10); },
        [this] { view->SendWheelCommand(2, 3, 0); }};
    for (const auto& fait : faits) {
        horloge += 1000;
        fait();
    }
    frame.reset();
    const std::string fichier = session->chemin();
    ASSERT_FALSE(fichier.empty());
    const std::string nom = std::filesystem::path(fichier).filename().string();

    std::uint64_t t = 0;
    LienRejoue* rejeu = rejouer(fichier, t);
    ASSERT_NE(rejeu, nullptr);
    CKIVDoc document;
    ASSERT_TRUE(document.OnNewDocument());
    frame->attacherDocument(&document);
    EXPECT_EQ(frame->windowTitle().toStdString(),
              "KIV-ZUL - " + document.GetTitle() + " - Rejeu : " + nom);
    std::int64_t ms = 0;
    VoletLien volet(view, 2000, [&ms] { return ms; });
    volet.actualiser();
    EXPECT_EQ(volet.text().toStdString(), "Rejeu : " + nom + ", ouvert, en attente de données");
    EXPECT_EQ(volet.toolTip().toStdString(), fichier);

    // Each edit comes back at its time, after the one before it.
    const auto a = [&](std::uint64_t ms) {
        t = ms * 1000 - 1;
        rejeu->avancer();
    };
    a(1);
    EXPECT_EQ(g_navActive, 0);
    a(2);
    EXPECT_EQ(g_navActive, 1);
    EXPECT_EQ(g_destPos.get().x, 300);
    EXPECT_EQ(controle<QLineEdit>(1012)->text(), QStringLiteral("400 cm"));
    EXPECT_EQ(g_grid[5][4], 0);
    a(3);
    EXPECT_EQ(g_grid[5][4], 1);
    a(4);
    EXPECT_EQ(g_grid[5][4], 0);
    EXPECT_EQ(g_grid[10][10], 0);
    a(5);
    EXPECT_EQ(g_grid[10][10], 3);
    a(6);
    EXPECT_EQ(g_grid[10][10], 0);
    EXPECT_EQ(transmission(), QString());
    a(7);
    // The recorded byte 0x8E, its codes in the wheel boxes (left 2, right 3).
    EXPECT_EQ(transmission(), QStringLiteral(" -114"));
    EXPECT_EQ(controle<QLineEdit>(1008)->text(), QStringLiteral("2"));
    EXPECT_EQ(controle<QLineEdit>(1017)->text(), QStringLiteral("3"));
    view->ShowWheelSpeeds(); // the world's own codes do not replace them
    EXPECT_EQ(controle<QLineEdit>(1008)->text(), QStringLiteral("2"));

    t += 1000000;
    rejeu->avancer();
    ASSERT_FALSE(rejeu->threadAlive());
    EXPECT_EQ(rejeu->fin(), journal::Lecture::Fin);
    volet.actualiser();
    EXPECT_EQ(volet.text().toStdString(), "Rejeu terminé : " + nom);
    frame->attacherDocument(nullptr);
}

TEST_F(JournalConsoleTest, TheFileMenuReplaysAChosenLogAndTheNextOpeningUsesThePortAgain)
{
    demarrer(true);
    ajouterMenuRejeu(*frame);
    QMenu* fichier = frame->menuBar()->actions().front()->menu();
    const QList<QAction*> elements = fichier->actions();
    const auto k = elements.indexOf(frame->findChild<QAction*>(QStringLiteral("rejouerJournal")));
    ASSERT_GT(k, 0);
    EXPECT_EQ(elements.at(k)->text(), QStringLiteral("Re&jouer un journal..."));
    EXPECT_EQ(elements.at(k + 1)->text(), QStringLiteral("Ouvrir le &dossier des journaux"));
    EXPECT_TRUE(elements.at(k + 2)->isSeparator());
    EXPECT_EQ(elements.at(k + 3), frame->action(cmd::Quitter));

    // The logs live in a folder of the product's name, which the menu shows
    // (made private first when no session was recorded yet).
    const std::string journaux = dossierJournaux().toStdString();
    EXPECT_TRUE(journaux.ends_with("/kiv-zul/journaux")) << journaux;
    std::filesystem::remove_all(journaux);
    elements.at(k + 1)->trigger();
    EXPECT_EQ(scripted().openedFolders(), std::vector<std::string>{journaux});
    EXPECT_EQ(std::filesystem::status(journaux).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);

    // The dialog starts there; then the speed is asked, the last one first.
    QSettings().setValue(QString::fromLatin1(CleVitesseRejeu), 3);
    scripted().queueFile(std::nullopt);
    elements.at(k)->trigger();
    ASSERT_EQ(scripted().fileRequests().size(), 1u);
    EXPECT_EQ(scripted().fileRequests()[0].dossier, journaux);
    EXPECT_TRUE(scripted().itemRequests().empty()) << "no speed for a cancelled dialog";

    // A file that is no log: the operator is told why, the console goes on.
    const std::string faux = dossier / "faux.kivlog";
    std::ofstream(faux) << "rien";
    scripted().queueFile(faux);
    scripted().queueItem(std::nullopt); // the speed cancelled: nothing plays
    RobotLink* avant = view->lien();
    elements.at(k)->trigger();
    ASSERT_EQ(scripted().itemRequests().size(), 1u);
    const auto demande = scripted().itemRequests()[0];
    EXPECT_EQ(demande.caption, "Rejouer un journal");
    EXPECT_EQ(demande.label, "Vitesse du rejeu :");
    EXPECT_EQ(demande.choix, (std::vector<std::string>{"1 × (temps réel)", "2 ×", "5 ×", "10 ×",
                                                       "1000 × (au plus vite)"}));
    EXPECT_EQ(demande.courant, 3);
    EXPECT_TRUE(scripted().messages().empty());
    EXPECT_EQ(view->lien(), avant);
    scripted().queueFile(faux);
    scripted().queueItem(1);
    elements.at(k)->trigger();
    EXPECT_EQ(QSettings().value(QString::fromLatin1(CleVitesseRejeu)).toInt(), 1);
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text,
              "Le port sélectionné ne peut-être utilisé.\n\nLe journal " + faux +
                  " ne peut pas être lu : journal trop court pour son en-tête");
    EXPECT_EQ(journal, (std::vector<std::string>{"suspendu", "detruit"}));

    // The next opening of the port makes the usual engine again.
    ASSERT_EQ(view->OpenRobotPort(), 0);
    EXPECT_EQ(liens.size(), 2u);
    EXPECT_TRUE(view->lien()->threadAlive());
}

TEST(LigneCommandeRejeu, ReplayAndSpeedOptions)
{
    const auto lire = [](std::initializer_list<const char*> mots) {
        QStringList arguments{QStringLiteral("kiv")};
        for (const char* m : mots) {
            arguments << QString::fromUtf8(m);
        }
        return analyserLigneCommande(arguments);
    };
    const LigneCommande bonne = lire({"--replay", "s.kivlog", "--speed", "4"});
    EXPECT_EQ(bonne.erreur, "");
    EXPECT_EQ(bonne.rejeu, "s.kivlog");
    EXPECT_EQ(bonne.vitesse, 4.0);
    EXPECT_EQ(lire({"--replay", "s.kivlog"}).vitesse, 1.0);
    EXPECT_TRUE(lire({"--version"}).version);
    EXPECT_TRUE(std::filesystem::is_regular_file(lire({"--bundled"}).poids));
    EXPECT_EQ(lire({"--replay"}).erreur, "--replay attend un nom de journal");
    for (const char* vitesse : {"0", "-1", "nan", "inf", "1001", "vite"}) {
        EXPECT_EQ(lire({"--speed", vitesse}).erreur, "--speed attend un nombre de 0.01 à 1000")
            << vitesse;
    }
    EXPECT_EQ(lire({"--speed"}).erreur, "--speed attend un nombre de 0.01 à 1000");
}

TEST_F(JournalConsoleTest, ARecorderThatStopsIsToldOnceAndTheConsoleGoesOn)
{
    // A log folder that cannot be made: its parent is a file.
    std::ofstream(dossier / "fichier") << "x";
    const std::string journaux = dossier / "fichier/journaux";
    auto session =
        std::make_shared<journal::Enregistreur>(journal::ReglagesJournal{journaux, 1 << 20, 0});
    // The port does not open: nothing is recorded until a byte arrives.
    demarrerAvec([this, session] {
        auto lien = std::make_unique<FakeLink>(false, journal);
        liens.push_back(lien.get());
        return enregistrer(std::move(lien), session);
    });
    ajouterVoletJournal(*frame, session);
    auto* volet = frame->findChild<QLabel*>(QStringLiteral("voletJournal"));
    ASSERT_NE(volet, nullptr);
    EXPECT_EQ(volet->text(), QString());
    scripted().clear();

    // The first byte stops the recorder inside its hand-over: the box comes
    // after it, from the event loop, once.
    RobotLinkOwner* robot = liens[0]->proprietaire;
    const std::string octets = trame({250, 250}, 7, 150);
    robot->OnRobotByte(static_cast<unsigned char>(octets[0]), 1);
    EXPECT_TRUE(session->arrete());
    EXPECT_TRUE(scripted().messages().empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text,
              "L'enregistrement de la session est arrêté ; la console continue sans journal.\n\n"
              "Fichier : " +
                  journaux +
                  "\nCause : dossier des journaux impossible à créer : " + std::strerror(ENOTDIR));
    EXPECT_EQ(scripted().messages()[0].caption, "Journal de session");
    EXPECT_EQ(scripted().messages()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(volet->text(), QStringLiteral("Journal arrêté"));
    EXPECT_EQ(volet->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_NE(volet->toolTip().toStdString().find(journaux), std::string::npos);

    // The console goes on with the frame; nothing more is said.
    for (std::size_t k = 1; k < octets.size(); ++k) {
        robot->OnRobotByte(static_cast<unsigned char>(octets[k]), 1);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(vu().batterie, 150);
    EXPECT_EQ(scripted().messages().size(), 1u);
}

TEST_F(JournalConsoleTest, ASessionContinuedInSeveralFilesReplaysWhole)
{
    std::uint64_t horloge = 0;
    // A small cap: the session's log goes on in a new file every 300 bytes,
    // at a frame's start as the console asks.
    auto session = std::make_shared<journal::Enregistreur>(
        journal::ReglagesJournal{dossier / "journaux", 1200, 0, 10},
        journal::Horloges{
            [&horloge] { return horloge; },
            [&horloge] { return std::int64_t{1765139916000000} + std::int64_t(horloge); }});
    demarrerAvec([this, session] {
        auto lien = std::make_unique<FakeLink>(true, journal);
        liens.push_back(lien.get());
        return enregistrer(std::move(lien), session);
    });
    const std::string premier = session->chemin();
    RobotLinkOwner* robot = liens[0]->proprietaire;
    const balises::Position chemin[] = {{300, 200}, {100, 400}, {450, 50}, {120, 130}};
    for (int k = 0; k < 4; ++k) {
        for (const char c : trame(chemin[k], 977 * k, 220 - 40 * k)) {
            horloge += 100000;
            robot->OnRobotByte(static_cast<unsigned char>(c), 1);
        }
    }
    const Vu fin = vu();
    frame.reset();
    ASSERT_GE(journal::dossier::journaux(dossier / "journaux").size(), 2u);

    std::uint64_t t = 0;
    LienRejoue* rejeu = rejouer(premier, t);
    ASSERT_NE(rejeu, nullptr);
    t = horloge + 1000000;
    rejeu->avancer();
    EXPECT_EQ(rejeu->fin(), journal::Lecture::Fin);
    EXPECT_EQ(vu().position.x, fin.position.x);
    EXPECT_EQ(vu().position.y, fin.position.y);
    EXPECT_EQ(vu().batterie, 100);
    EXPECT_EQ(fin.batterie, 100);

    // From the second file, as if the first had been deleted by the cap: it
    // starts on a frame, and its frames replay to the same position and battery.
    frame.reset();
    t = 0;
    const auto fichiers = journal::dossier::journaux(dossier / "journaux");
    rejeu = rejouer(fichiers[1].string(), t);
    ASSERT_NE(rejeu, nullptr);
    t = horloge + 1000000;
    rejeu->avancer();
    EXPECT_EQ(rejeu->fin(), journal::Lecture::Fin);
    EXPECT_EQ(vu().position.x, fin.position.x);
    EXPECT_EQ(vu().position.y, fin.position.y);
    EXPECT_EQ(vu().batterie, 100);
}
