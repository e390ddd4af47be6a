// The flight recorder in the console, and the replay: a session records the
// field at its start and each field put in place whole; a replay plays in a
// window of its own from that field, shows what the live session did (its
// bumper marks, no others) and leaves the live console alone (its field,
// robot, destination and link); the window's controls; the File menu and
// --replay open it without a question or a port-file box; a file continued
// from another replays on its own; a recorder that stops is told once.
#include "ConsoleFixture.h"

#include "console/EstimateurLien.h"
#include "console/FenetreRejeu.h"
#include "console/JournalSession.h"
#include "console/KIVApp.h"
#include "console/KIVDoc.h"
#include "console/Menu128.h"
#include "console/ReglageCalibration.h"
#include "console/ReglageSilence.h"
#include "console/VoletJournal.h"
#include "core/CatalogueReglages.h"
#include "link/LienEnregistre.h"
#include "link/recorder/DossierJournaux.h"
#include "link/recorder/Enregistreur.h"
#include "link/recorder/LecteurSession.h"
#include "support/RepertoireTemporaire.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "world/BeaconModel.h"
#include "world/GridEdits.h"
#include "world/PositionFiltree.h"
#include "world/TerrainMonde.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSlider>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string trame(balises::Position p, std::uint32_t phase, int batterie, int etat = 0)
{
    std::string octets;
    for (const std::int16_t t : balises::horodatages(p, phase)) {
        const auto mot = static_cast<std::uint16_t>(t);
        octets += static_cast<char>(mot & 0xFF);
        octets += static_cast<char>(mot >> 8);
    }
    octets += static_cast<char>(etat);
    octets += static_cast<char>(batterie);
    return octets;
}

GrilleMonde grilleDuMonde()
{
    GrilleMonde g{};
    copierGrille(g);
    return g;
}

/** Every record of a session's log, from its first file. */
std::vector<journal::Enregistrement> lireTout(const std::string& chemin)
{
    std::ifstream entree(chemin, std::ios::binary);
    journal::LecteurSession lecteur(entree, chemin);
    std::vector<journal::Enregistrement> tout;
    EXPECT_TRUE(lecteur.lireEntete());
    journal::Enregistrement e;
    while (lecteur.suivant(e) == journal::Lecture::Enregistrement) {
        tout.push_back(e);
    }
    return tout;
}

class JournalConsoleTest : public ConsoleTest {
protected:
    /** A recorded session on a link of the test's, the field given as the console gives it. */
    std::shared_ptr<journal::Enregistreur> demarrerEnregistre(journal::ReglagesJournal reglages)
    {
        auto session = std::make_shared<journal::Enregistreur>(
            std::move(reglages), journal::Horloges{[this] { return horloge; },
                                                   [this] {
                                                       return std::int64_t{1765139916000000} +
                                                              std::int64_t(horloge);
                                                   }});
        session->fournirTerrain([] { return etatTerrain(terrainDuMonde()); });
        demarrerAvec([this, session] {
            auto lien = std::make_unique<FakeLink>(true, journal);
            liens.push_back(lien.get());
            return enregistrer(std::move(lien), session);
        });
        return session;
    }

    /**
     * A replay window of `fichier` over the frame, driven by the test's
     * clock, the robot placed by the view's network (or by none).
     */
    FenetreRejeu* fenetreRejeu(const std::string& fichier, bool reseau = true)
    {
        auto estimateur = std::make_shared<EstimateurLien>();
        estimateur->suivre(view->reseaux().reseau());
        OptionsRejeu options;
        options.fichier = fichier;
        if (reseau) {
            options.estimateur = [estimateur](double t1, double t2, double t3) {
                return estimateur->estimer(t1, t2, t3);
            };
        }
        options.horloge = [this] { return rejeu; };
        options.dureeTourMaxUs = 0;
        auto* fenetre = new FenetreRejeu(options, frame.get(), false);
        return fenetre;
    }

    template <class T>
    static T* dans(QWidget* fenetre, const char* nom)
    {
        return fenetre->findChild<T*>(QString::fromLatin1(nom));
    }
    static QString texte(QWidget* fenetre, const char* nom)
    {
        return dans<QLabel>(fenetre, nom)->text();
    }

    kiv_test::RepertoireTemporaire dossier;
    std::uint64_t horloge = 0;
    std::uint64_t rejeu = 0;
};

} // namespace

TEST_F(JournalConsoleTest, FieldsPutInPlaceWholeAreRecordedAsTheyStand)
{
    auto session = demarrerEnregistre({dossier / "journaux", 1 << 20, 0});
    horloge = 1000;
    PlaceObstacle(5, 5); // cell (4, 4)
    horloge = 2000;
    // A field opened: its destination, then the whole field.
    Terrain ouvert = terrainInitial();
    for (int y = 9; y <= 11; ++y) {
        for (int x = 2; x <= 4; ++x) {
            ouvert.cellules[y][x] = 2;
        }
    }
    ouvert.cellules[10][3] = 3;
    ouvert.robot = {120, 80};
    ouvert.destination = {450, 460};
    ouvert.quadrillage = true;
    std::ostringstream texte;
    ecrireTerrain(texte, ouvert);
    std::ofstream(dossier / "essai.kiv", std::ios::binary) << texte.str();
    CKIVDoc document;
    ASSERT_TRUE(document.OnOpenDocument(dossier / "essai.kiv"));
    horloge = 3000;
    appliquerTerrain(terrainInitial()); // "Nouveau"

    const auto tout = lireTout(session->chemin());
    std::vector<journal::Genre> genres;
    for (const auto& e : tout) {
        genres.push_back(e.genre);
    }
    using G = journal::Genre;
    ASSERT_EQ(genres, (std::vector<G>{G::Terrain, G::Lien, G::Carte, G::Destination, G::Terrain,
                                      G::Terrain}));
    journal::EtatTerrain t;
    ASSERT_TRUE(journal::decoderTerrain(tout[0].charge.data(), tout[0].charge.size(), t));
    EXPECT_EQ(t.cellules[4][4], 0) << "the field as it stood when the port opened";
    EXPECT_EQ(t.robotX, 25);
    EXPECT_FALSE(t.destinationPlacee);
    EXPECT_EQ(tout[1].texte(), "ouvert COM1 1200 bauds 8N1");
    ASSERT_TRUE(journal::decoderTerrain(tout[4].charge.data(), tout[4].charge.size(), t));
    EXPECT_EQ(tout[4].tempsUs, 2000u);
    EXPECT_EQ(t.cellules[10][3], 3);
    EXPECT_EQ(t.robotX, 120);
    EXPECT_TRUE(t.destinationPlacee);
    EXPECT_EQ(t.destinationX, 450);
    EXPECT_TRUE(t.quadrillage);
    ASSERT_TRUE(journal::decoderTerrain(tout[5].charge.data(), tout[5].charge.size(), t));
    EXPECT_FALSE(t.destinationPlacee);
    EXPECT_EQ(t.cellules[10][3], 0);
}

TEST_F(JournalConsoleTest, RefusedSettingsAreToldOnceInTheLogAfterTheOpening)
{
    QSettings reglages;
    const QString silence = QString::fromLatin1(reglages::SilenceResynchro.nom);
    const QString ecart = QString::fromLatin1(reglages::EcartMaxCalibration.nom);
    // Read before the port opens: kept until a log is there.
    reglages.setValue(ecart, QStringLiteral("loin"));
    EXPECT_EQ(ecartMaxCalibrationCm(), *reglages::EcartMaxCalibration.defaut);
    // 2066035336255469781 ms overflowed to an 8 us threshold: every frame cut.
    reglages.setValue(silence, QStringLiteral("2066035336255469781"));
    EXPECT_EQ(seuilSilenceReglage(9600), protocole::seuilSilence(9600));
    auto session = demarrerEnregistre({dossier / "journaux", 1 << 20, 0});
    // Read again while the port is open: told once already.
    EXPECT_EQ(ecartMaxCalibrationCm(), *reglages::EcartMaxCalibration.defaut);
    reglages.setValue(silence, QStringLiteral("9223372036854776"));
    EXPECT_EQ(seuilSilenceReglage(1200), protocole::seuilSilence(1200));
    reglages.setValue(silence, 250);
    EXPECT_EQ(seuilSilenceReglage(1200), 250000);
    reglages.remove(silence);
    reglages.remove(ecart);

    std::vector<std::string> liens;
    for (const auto& e : lireTout(session->chemin())) {
        if (e.genre == journal::Genre::Lien) {
            liens.emplace_back(e.texte());
        }
    }
    EXPECT_EQ(liens, (std::vector<std::string>{
                         "ouvert COM1 1200 bauds 8N1",
                         "réglage Calibration/EcartMaxCm ignoré : « loin » n'est pas un nombre de "
                         "1 à 1000, valeur par défaut",
                         "réglage Lien/SilenceResynchroMs ignoré : « 2066035336255469781 » est "
                         "hors de la plage de 0 à 10000, valeur par défaut"}));
}

TEST_F(JournalConsoleTest, AReplayShowsWhatHappenedInAWindowOfItsOwnAndLeavesTheLiveConsoleAlone)
{
    auto session = demarrerEnregistre({dossier / "journaux", 1 << 20, 0});
    RobotLinkOwner* robot = liens[0]->proprietaire;
    ASSERT_NE(robot, nullptr);
    const GrilleMonde auDepart = grilleDuMonde();
    // What the operator and the robot did: an obstacle painted, frames, a
    // bumper contact the live console marked, a destination.
    horloge = 1000;
    PlaceObstacle(8, 8);
    const balises::Position chemin[] = {{300, 200}, {100, 400}, {450, 50}, {120, 130}};
    std::vector<Point> vus;
    std::vector<std::uint64_t> fins;
    for (int k = 0; k < 4; ++k) {
        horloge += 100000;
        if (k == 2) {
            fixerCap(3); // heading east: the contact marks a cell
        }
        for (const char c : trame(chemin[k], 977 * k, 220 - 40 * k, k == 2 ? 1 : 0)) {
            robot->OnRobotByte(static_cast<unsigned char>(c), 1);
            horloge += 1000;
        }
        fins.push_back(horloge - 1000);
        vus.push_back(monde().robot.position());
    }
    horloge += 5000;
    SetDestination(400, 100);
    horloge += 5000;
    const GrilleMonde finale = grilleDuMonde();
    int trouvees = 0;
    for (const auto& ligne : finale) {
        trouvees += static_cast<int>(std::count(ligne.begin(), ligne.end(), 3));
    }
    ASSERT_EQ(trouvees, 1) << "the live console marked one cell";

    // The live console as the replay finds it (its map shown meanwhile).
    QCoreApplication::processEvents();
    const Point robotVivant = monde().robot.position();
    const Point destinationVivante = monde().destination.lire().marque;
    const bool navigation = monde().destination.lire().placee;
    RobotLink* lien = view->lien();
    const std::string ecrit = liens[0]->ecrit;
    const std::size_t evenementsLien = journal.size();

    FenetreRejeu* fenetre = fenetreRejeu(session->chemin());
    ASSERT_TRUE(fenetre->ouvrir());
    fenetre->show();
    const std::string nom = std::filesystem::path(session->chemin()).filename().string();
    EXPECT_EQ(fenetre->windowTitle().toStdString(), "Rejeu : " + nom);
    EXPECT_TRUE(fenetre->isWindow());
    EXPECT_EQ(texte(fenetre, "etatRejeu"), QStringLiteral("Lecture du journal…"));
    fenetre->tour();
    EXPECT_EQ(texte(fenetre, "etatRejeu"), QStringLiteral("En lecture"));
    EXPECT_EQ(dans<QPushButton>(fenetre, "lectureRejeu")->text(), QStringLiteral("Pause"));
    EXPECT_FALSE(dans<QLabel>(fenetre, "noteRejeu")->isVisibleTo(fenetre));
    EXPECT_EQ(texte(fenetre, "tempsRejeu"),
              QStringLiteral("0:00:00.0 / ") + FenetreRejeu::texteTemps(horloge - 5000));
    EXPECT_TRUE(texte(fenetre, "heureRejeu").startsWith(QStringLiteral("Session du ")));
    // At the start, the field of the start: not the obstacles made since.
    EXPECT_EQ(fenetre->image().grille, auDepart);

    // Each frame places the robot where the live console placed it.
    for (std::size_t k = 0; k < vus.size(); ++k) {
        rejeu = fins[k];
        fenetre->tour();
        EXPECT_EQ(fenetre->image().robotPos, vus[k]) << k;
        EXPECT_NE(texte(fenetre, "etatRejeu"), QStringLiteral("Rejeu terminé")) << k;
    }
    EXPECT_EQ(texte(fenetre, "robotRejeu"),
              QString::asprintf("x %i cm, y %i cm", vus[3].x, vus[3].y));
    // To the end: what the live console showed, its one mark and no other.
    rejeu += 1000000;
    fenetre->tour();
    EXPECT_EQ(texte(fenetre, "etatRejeu"), QStringLiteral("Rejeu terminé"));
    EXPECT_EQ(dans<QPushButton>(fenetre, "lectureRejeu")->text(), QStringLiteral("Rejouer"));
    EXPECT_EQ(fenetre->image().grille, finale);
    EXPECT_EQ(fenetre->image().destPos, (Point{400, 100}));
    EXPECT_EQ(texte(fenetre, "destinationRejeu"), QStringLiteral("x 400 cm, y 100 cm"));
    EXPECT_GT(fenetre->image().longueurChemin, 0) << "the planner's route to it";

    // The controls: back to the start with the timeline, paused, faster.
    QSlider* chronologie = dans<QSlider>(fenetre, "chronologieRejeu");
    ASSERT_TRUE(chronologie->isEnabled());
    EXPECT_EQ(chronologie->value(), chronologie->maximum());
    chronologie->triggerAction(QAbstractSlider::SliderToMinimum);
    fenetre->tour();
    EXPECT_EQ(fenetre->modele().position(), 0u);
    EXPECT_EQ(fenetre->image().grille, auDepart);
    EXPECT_EQ(texte(fenetre, "etatRejeu"), QStringLiteral("En pause"));
    dans<QPushButton>(fenetre, "lectureRejeu")->click();
    EXPECT_TRUE(fenetre->modele().enLecture());
    auto* vitesse = dans<QComboBox>(fenetre, "vitesseRejeu");
    ASSERT_EQ(vitesse->count(), 5);
    EXPECT_EQ(reglages::VitesseRejeu.plage.max, vitesse->count() - 1); // the key's documented range
    EXPECT_EQ(vitesse->currentText(), QStringLiteral("1 × (temps réel)"));
    vitesse->setCurrentIndex(3);
    emit vitesse->activated(3);
    EXPECT_EQ(fenetre->modele().vitesse(), 10.0);
    EXPECT_EQ(QSettings().value(QString::fromLatin1(reglages::VitesseRejeu.nom)).toInt(), 3);
    rejeu += fins[0] / 10;
    fenetre->tour();
    EXPECT_EQ(fenetre->image().robotPos, vus[0]);
    dans<QPushButton>(fenetre, "lectureRejeu")->click();
    EXPECT_EQ(texte(fenetre, "etatRejeu"), QStringLiteral("En pause"));
    fenetre->close();
    QCoreApplication::processEvents();

    // The live console went on untouched: field, robot, destination, link.
    EXPECT_EQ(grilleDuMonde(), finale);
    EXPECT_EQ(monde().robot.position(), robotVivant);
    EXPECT_EQ(monde().destination.lire().marque, destinationVivante);
    EXPECT_EQ(monde().destination.lire().placee, navigation);
    EXPECT_EQ(view->lien(), lien);
    EXPECT_TRUE(lien->threadAlive());
    EXPECT_EQ(liens[0]->ecrit, ecrit) << "the replay sent nothing";
    EXPECT_EQ(journal.size(), evenementsLien) << "the live link was neither suspended nor closed";
    EXPECT_EQ(g_portOpen, 1);
    EXPECT_TRUE(scripted().messages().empty());
}

TEST_F(JournalConsoleTest, AnOlderLogOrADamagedOneSaysSoInTheWindow)
{
    demarrer(true);
    // Version 2: no field of the start.
    const auto enregistrement = [](std::uint64_t temps, journal::Genre genre,
                                   const std::string& charge) {
        std::string e(journal::TailleEnteteEnregistrement, '\0');
        journal::encoderEnregistrement(reinterpret_cast<std::uint8_t*>(e.data()), temps, genre,
                                       charge.size());
        return e + charge;
    };
    std::string v2(journal::TailleEntete, '\0');
    journal::encoderEntete(reinterpret_cast<std::uint8_t*>(v2.data()), 1765139916000000, 2);
    v2 += enregistrement(0, journal::Genre::Lien, "ouvert COM1 9600 bauds 8N1") +
          enregistrement(2000000, journal::Genre::Carte, std::string("\x03\x02\x02", 3));
    std::ofstream(dossier / "v2.kivlog", std::ios::binary) << v2;
    FenetreRejeu* ancien = fenetreRejeu(dossier / "v2.kivlog");
    ASSERT_TRUE(ancien->ouvrir());
    ancien->tour();
    EXPECT_EQ(texte(ancien, "noteRejeu"),
              QStringLiteral("Le terrain du début de la session n'est pas dans ce journal "
                             "(version 2) : le rejeu part d'un terrain vide."));
    EXPECT_TRUE(dans<QLabel>(ancien, "noteRejeu")->isVisibleTo(ancien));
    EXPECT_EQ(texte(ancien, "tempsRejeu"), QStringLiteral("0:00:00.0 / 0:00:02.0"));
    rejeu = 2000000;
    ancien->tour();
    EXPECT_EQ(ancien->image().grille[3][3], 3);
    EXPECT_EQ(texte(ancien, "etatRejeu"), QStringLiteral("Rejeu terminé"));
    EXPECT_EQ(texte(ancien, "lienRejeu"), QStringLiteral("ouvert COM1 9600 bauds 8N1 (0:00:00.0)"));
    delete ancien;

    // Damaged after its second record: no box, the window says where and why.
    std::ofstream(dossier / "abime.kivlog", std::ios::binary)
        << v2 << enregistrement(1, journal::Genre::Recu, "x");
    FenetreRejeu* abime = fenetreRejeu(dossier / "abime.kivlog");
    ASSERT_TRUE(abime->ouvrir());
    abime->tour();
    EXPECT_EQ(texte(abime, "noteRejeu"),
              QStringLiteral("Le terrain du début de la session n'est pas dans ce journal "
                             "(version 2) : le rejeu part d'un terrain vide.\nJournal endommagé "
                             "après 0:00:02.0 : le temps d'un enregistrement recule ; le rejeu "
                             "s'arrête là."));
    EXPECT_TRUE(scripted().messages().empty());
    delete abime;

    // Frames that no network places: the robot stays, and the window says why.
    const std::string uneTrame = trame({300, 200}, 5, 200);
    std::ofstream(dossier / "trame.kivlog", std::ios::binary)
        << v2 + enregistrement(2000001, journal::Genre::Recu, uneTrame);
    FenetreRejeu* sansReseau = fenetreRejeu(dossier / "trame.kivlog", false);
    ASSERT_TRUE(sansReseau->ouvrir());
    sansReseau->tour();
    rejeu += 3000000;
    sansReseau->tour();
    EXPECT_EQ(sansReseau->image().robotPos, (Point{25, 25}));
    EXPECT_TRUE(texte(sansReseau, "noteRejeu")
                    .endsWith(QStringLiteral("Le réseau de la console ne place le robot d'aucune "
                                             "de ces trames : il reste où le terrain l'a mis.")))
        << texte(sansReseau, "noteRejeu").toStdString();
    EXPECT_EQ(texte(sansReseau, "tramesRejeu"), QStringLiteral("1 reçue, 0 coupée par un silence"));
    delete sansReseau;
}

TEST_F(JournalConsoleTest, TheFileMenuOpensAReplayWindowWithoutAQuestionAndLeavesTheLinkOpen)
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

    // The dialog starts there.
    scripted().queueFile(std::nullopt);
    elements.at(k)->trigger();
    ASSERT_EQ(scripted().fileRequests().size(), 1u);
    EXPECT_EQ(scripted().fileRequests()[0].dossier, journaux);
    EXPECT_TRUE(frame->findChildren<FenetreRejeu*>().isEmpty());

    // A file that is no log: the operator is told why, the console goes on.
    const std::string faux = dossier / "faux.kivlog";
    std::ofstream(faux) << "rien";
    scripted().queueFile(faux);
    elements.at(k)->trigger();
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text,
              "Le journal " + faux + " ne peut pas être lu : journal trop court pour son en-tête");
    EXPECT_EQ(scripted().messages()[0].caption, "Rejouer un journal");
    EXPECT_TRUE(frame->findChildren<FenetreRejeu*>().isEmpty());

    // A log: its window opens at the speed chosen last, and no question is asked.
    std::uint64_t t = 0;
    std::string log;
    {
        journal::Enregistreur autre({dossier / "autre", 1 << 20, 0},
                                    {[&t] { return t; }, [] { return std::int64_t{0}; }});
        autre.lien("ouvert COM1 9600 bauds 8N1");
        t = 1000000;
        autre.lien("fermé");
        log = autre.chemin();
    }
    QSettings().setValue(QString::fromLatin1(reglages::VitesseRejeu.nom), 2);
    RobotLink* avant = view->lien();
    scripted().clear();
    scripted().queueFile(log);
    elements.at(k)->trigger();
    const auto fenetres = frame->findChildren<FenetreRejeu*>();
    ASSERT_EQ(fenetres.size(), 1);
    EXPECT_TRUE(fenetres[0]->isVisible());
    EXPECT_EQ(fenetres[0]->modele().vitesse(), 5.0);
    EXPECT_EQ(dans<QComboBox>(fenetres[0], "vitesseRejeu")->currentIndex(), 2);
    EXPECT_TRUE(scripted().messages().empty());
    EXPECT_TRUE(scripted().itemRequests().empty());
    EXPECT_EQ(view->lien(), avant);
    EXPECT_TRUE(avant->threadAlive());
    EXPECT_TRUE(journal.empty()) << "the live link was neither suspended nor closed";
    // Its own timer plays it to its end.
    ASSERT_TRUE(QTest::qWaitFor([&] { return fenetres[0]->modele().termine(); }, 20000));
    EXPECT_EQ(texte(fenetres[0], "etatRejeu"), QStringLiteral("Rejeu terminé"));
    fenetres[0]->close();
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
    EXPECT_FALSE(lire({"--replay", "s.kivlog"}).vitesse.has_value());
    EXPECT_TRUE(lire({"--version"}).version);
    EXPECT_TRUE(std::filesystem::is_regular_file(lire({"--bundled"}).poids));
    EXPECT_EQ(lire({"--replay"}).erreur, "--replay attend un nom de journal");
    for (const char* vitesse : {"0", "-1", "nan", "inf", "1001", "vite"}) {
        EXPECT_EQ(lire({"--speed", vitesse}).erreur, "--speed attend un nombre de 0.01 à 1000")
            << vitesse;
    }
    EXPECT_EQ(lire({"--speed"}).erreur, "--speed attend un nombre de 0.01 à 1000");
}

TEST_F(JournalConsoleTest, StartedForAReplayTheConsoleLeavesThePortClosedAndAsksNothing)
{
    std::uint64_t t = 0;
    std::string log;
    {
        journal::Enregistreur autre({dossier / "autre", 1 << 20, 0},
                                    {[&t] { return t; }, [] { return std::int64_t{0}; }});
        autre.lien("ouvert COM1 9600 bauds 8N1");
        t = 4000000;
        autre.lien("fermé");
        log = autre.chemin();
    }
    // A folder without scom.ini: an opening of the port would say so in a box.
    const QString ici = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dossier / "")));
    scripted().clear();
    ResetWorld();
    {
        std::ostringstream sortie;
        CKIVApp app;
        ASSERT_TRUE(app.InitInstance({QStringLiteral("kiv"), QStringLiteral("--weights"),
                                      QStringLiteral(KIV_DATA_DIR "/beacons.wgh"),
                                      QStringLiteral("--replay"), QString::fromStdString(log),
                                      QStringLiteral("--speed"), QStringLiteral("5")},
                                     sortie, sortie));
        CMainFrame* cadre = app.mainFrame();
        ASSERT_NE(cadre, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !cadre->findChildren<FenetreRejeu*>().isEmpty(); },
                                    10000));
        FenetreRejeu* fenetre = cadre->findChildren<FenetreRejeu*>().front();
        EXPECT_EQ(fenetre->fichier(), log);
        EXPECT_EQ(fenetre->modele().vitesse(), 5.0);
        EXPECT_EQ(g_portOpen, 0);
        EXPECT_TRUE(scripted().messages().empty()) << scripted().messages().front().text;
    }
    QDir::setCurrent(ici);
    ResetWorld();
}

TEST_F(JournalConsoleTest, AFileContinuedFromAnotherReplaysOnItsOwnFromTheFieldOfThatMoment)
{
    // Files of 2500 bytes: a continuation after a few frames.
    auto session = demarrerEnregistre({dossier / "journaux", 10000, 0, 10});
    RobotLinkOwner* robot = liens[0]->proprietaire;
    PlaceObstacle(12, 12);
    const GrilleMonde peinte = grilleDuMonde();
    const balises::Position chemin[] = {{300, 200}, {100, 400}, {450, 50}, {120, 130}};
    for (int k = 0; k < 40; ++k) {
        for (const char c : trame(chemin[k % 4], 977 * k, 220 - k)) {
            horloge += 1000;
            robot->OnRobotByte(static_cast<unsigned char>(c), 1);
        }
    }
    const Point fin = monde().robot.position();
    const auto fichiers = journal::dossier::journaux(dossier / "journaux");
    ASSERT_GE(fichiers.size(), 2u);

    FenetreRejeu* fenetre = fenetreRejeu(fichiers[1].string());
    ASSERT_TRUE(fenetre->ouvrir());
    fenetre->tour();
    EXPECT_GT(fenetre->modele().tempsDebut(), 0u);
    EXPECT_FALSE(dans<QLabel>(fenetre, "noteRejeu")->isVisibleTo(fenetre));
    EXPECT_EQ(fenetre->image().grille, peinte) << "the field as it stood when the file began";
    rejeu = 1000000000;
    fenetre->tour();
    EXPECT_TRUE(fenetre->modele().termine());
    EXPECT_EQ(fenetre->image().robotPos, fin);
    EXPECT_EQ(dans<QProgressBar>(fenetre, "batterieRejeu")->value(), 220 - 39);
    delete fenetre;
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
    EXPECT_EQ(controle<QProgressBar>(ctrl::Batterie)->value(), 150);
    EXPECT_EQ(scripted().messages().size(), 1u);
}

TEST_F(JournalConsoleTest, WithTheFilterEachFrameRecordsBothPositionsAndTheReplayShowsThem)
{
    filtre = true;
    auto session = demarrerEnregistre({dossier / "journaux", 1 << 20, 0});
    RobotLinkOwner* robot = liens[0]->proprietaire;
    ASSERT_NE(robot, nullptr);
    // Frames about one place, then a jump the filter refuses.
    const balises::Position chemin[] = {{300, 200}, {303, 202}, {298, 199}, {100, 400}};
    std::vector<Point> vus, bruts;
    std::vector<std::uint64_t> fins;
    for (int k = 0; k < 4; ++k) {
        horloge += 100000;
        for (const char c : trame(chemin[k], 977 * k, 200)) {
            robot->OnRobotByte(static_cast<unsigned char>(c), 1);
            horloge += 1000;
        }
        fins.push_back(horloge - 1000);
        vus.push_back(monde().robot.position());
        bruts.push_back(monde().suivi.brut.get());
    }
    EXPECT_LT(vus[3].x, 320) << "the jump was refused";
    EXPECT_EQ(monde().suivi.refus, 1);

    std::vector<journal::PositionFiltree> positions;
    for (const auto& e : lireTout(session->chemin())) {
        if (journal::PositionFiltree p;
            e.genre == journal::Genre::Position &&
            journal::decoderPosition(e.charge.data(), e.charge.size(), p)) {
            positions.push_back(p);
        }
    }
    ASSERT_EQ(positions.size(), 4u);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(positions[k],
                  (journal::PositionFiltree{bruts[k].x, bruts[k].y, vus[k].x, vus[k].y}))
            << k;
    }

    FenetreRejeu* fenetre = fenetreRejeu(session->chemin());
    ASSERT_TRUE(fenetre->ouvrir());
    fenetre->tour();
    for (std::size_t k = 0; k < vus.size(); ++k) {
        rejeu = fins[k];
        fenetre->tour();
        EXPECT_EQ(fenetre->image().robotPos, vus[k]) << k;
        EXPECT_EQ(fenetre->image().brutPos, bruts[k]) << k;
    }
    delete fenetre;
}
