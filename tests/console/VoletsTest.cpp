// The console's status panes (the run's state, the network) and the band on
// the map that says why the robot goes nowhere.
#include "ConsoleFixture.h"

#include "console/BandeauChemin.h"
#include "console/ReglageEvasion.h"
#include "console/VoletMarche.h"
#include "console/VoletReseau.h"
#include "core/CatalogueReglages.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "world/GridEdits.h"
#include "world/WorldChange.h"
#include "world/view/MapView.h"

#include <QApplication>
#include <QSettings>
#include <QThread>
#include <QTimer>

namespace {

class VoletsTest : public ConsoleTest {
protected:
    /** The map shown afresh, as after any change the operator sees; the panes look after it. */
    void montrer()
    {
        view->mapView()->Redraw();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    /** What the band across the top of the map says. */
    QString chemin() const { return view->mapView()->bandeau(); }
    QString marche() const { return frame->volets().marche->text(); }
    QString reseau() const { return frame->volets().reseau->text(); }
};

TEST_F(VoletsTest, WhyNoRouteIsToldAndClearedWhenARouteExistsAgain)
{
    demarrer(true);
    montrer();
    EXPECT_EQ(chemin(), QString()); // no destination yet
    SetRobotPosition(60, 60);
    SetDestination(400, 60);
    montrer();
    EXPECT_EQ(chemin(), QString());

    // A wall of operator obstacles across the field.
    for (int r = 1; r <= 20; ++r) {
        PlaceObstacle(r, 10);
    }
    montrer();
    EXPECT_EQ(chemin(), QStringLiteral("Pas de chemin : aucun passage ne relie le robot à la "
                                       "destination"));
    // The destination moved into the wall's margin.
    SetDestination(260, 60);
    montrer();
    EXPECT_EQ(chemin(),
              QStringLiteral("Pas de chemin : la destination est dans un obstacle ou sa marge"));

    // The wall taken away: a route again, nothing to say.
    view->OnVirtuels();
    SetDestination(400, 60);
    montrer();
    EXPECT_EQ(chemin(), QString());
}

TEST_F(VoletsTest, AnEscapeIsToldAndTheSettingTurnsItOff)
{
    // The robot between two marks diagonal to each other: its cell and every
    // cell it may enter are margin.
    const auto enfermer = [] {
        MarkObstacle(3 + 1, 4 + 1);
        MarkObstacle(5 + 1, 5 + 1);
        SetRobotPosition(25 * 5 + 12, 25 * 4 + 12);
        SetDestination(25 * 12 + 12, 25 * 4 + 12);
    };
    const QString enferme = QStringLiteral("Pas de chemin : le robot est enfermé");
    QSettings().remove(QString::fromLatin1(reglages::Evasion.nom));
    demarrer(true);
    EXPECT_EQ(monde().drapeaux.evasionPermise, 1) << "on by default";
    enfermer();
    // The navigation thread plans meanwhile: show the map until the pane and
    // the map's picture have both seen its outcome (they are refreshed apart;
    // a bound, not a timing).
    for (int essai = 0;
         essai < 20000 && !(frame->volets().chemin->evasion() && view->mapView()->monde().evasion);
         ++essai) {
        montrer();
        QThread::msleep(1);
    }
    EXPECT_EQ(chemin(), QStringLiteral("Évasion : le robot sort des marges vers le passage libre "
                                       "le plus proche"));
    EXPECT_TRUE(view->mapView()->monde().evasion);
    frame.reset();

    QSettings().setValue(QString::fromLatin1(reglages::Evasion.nom), false);
    demarrer(true);
    EXPECT_EQ(monde().drapeaux.evasionPermise, 0);
    enfermer();
    // Until the navigation has handled every change and waits for the next.
    for (int essai = 0; essai < 20000 && blockedWorldWaiters() != 1; ++essai) {
        QThread::msleep(1);
    }
    montrer();
    EXPECT_EQ(chemin(), enferme);
    EXPECT_FALSE(monde().route.consulter([](const RoutePlanifiee& r) { return r.evasion; }));
    EXPECT_EQ(monde().drapeaux.premierPas, 0);
    QSettings().remove(QString::fromLatin1(reglages::Evasion.nom));
}

TEST_F(VoletsTest, RunStateFollowsGoArretAndTheArrival)
{
    demarrer(true);
    cliquer(ctrl::Go);
    EXPECT_EQ(marche(), QStringLiteral("Pas de destination"));
    EXPECT_EQ(chemin(), QStringLiteral("Pas de destination : placez-en une sur la carte avant "
                                       "« Go!!! »"));
    EXPECT_EQ(monde().drapeaux.simulation, 1); // the button does what it always did
    SetDestination(400, 400);
    montrer();
    EXPECT_EQ(marche(), QString());
    EXPECT_EQ(chemin(), QString());

    cliquer(ctrl::Go);
    EXPECT_EQ(marche(), QStringLiteral("Simulation en cours"));
    cliquer(ctrl::Arret);
    EXPECT_EQ(marche(), QStringLiteral("Arrêté par l'opérateur"));
    EXPECT_EQ(monde().drapeaux.simulation, 0);
    montrer();
    EXPECT_EQ(marche(), QStringLiteral("Arrêté par l'opérateur")) << "held until resumed";

    cliquer(ctrl::Go);
    EXPECT_EQ(marche(), QStringLiteral("Simulation en cours"));
    // The robot's cell follows on the navigation's side and the virtual run
    // may step the robot meanwhile: place it again and repaint until the
    // pane has looked (a bound, not a timing).
    for (int essai = 0; essai < 2000 && marche() != QStringLiteral("Arrivé"); ++essai) {
        SetRobotPosition(400, 400);
        montrer();
        QThread::msleep(1);
    }
    EXPECT_EQ(marche(), QStringLiteral("Arrivé"));
    cliquer(ctrl::Arret);
}

TEST_F(VoletsTest, NetworkPaneNamesTheWeightsFileOrNone)
{
    demarrer(true);
    EXPECT_EQ(reseau(), QStringLiteral("Réseau : beacons.wgh"));
    EXPECT_TRUE(frame->volets().reseau->toolTip().endsWith(QStringLiteral("/data/beacons.wgh")));

    // A training file chosen in the trainer discards the network; the
    // window stays open beside the console, and the pane follows it when
    // one of its commands is done, or when it closes.
    cliquer(ctrl::Entrainer);
    ASSERT_TRUE(view->reseaux().isVisible());
    view->reseaux().reseau().choisirFichierEntrainement();
    view->reseaux().reject();
    EXPECT_EQ(reseau(), QStringLiteral("aucun réseau"));
    frame.reset();

    // Cancelled at start (no file chosen): no network.
    demarrer(true, "");
    EXPECT_EQ(reseau(), QStringLiteral("aucun réseau"));
}

} // namespace
