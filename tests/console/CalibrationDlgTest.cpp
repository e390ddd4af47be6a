// "Paramètres > Calibration...": a point designated on the map, measured over
// the robot's frames, kept, drawn on the map and saved as a training set.
#include "ConsoleFixture.h"

#include "console/CalibrationDlg.h"
#include "support/PseudoTerminal.h"
#include "support/RepertoireTemporaire.h"
#include "world/BeaconModel.h"
#include "world/view/MapView.h"

#include <QLabel>
#include <QListWidget>
#include <QSpinBox>

#include <fstream>
#include <iterator>

namespace {

class CalibrationDlgTest : public ConsoleTest {
protected:
    /** One frame of a robot standing at `p`, through the link's owner. */
    void trame(balises::Position p, std::uint32_t phase)
    {
        for (const std::int16_t h : balises::horodatages(p, phase)) {
            const auto mot = static_cast<std::uint16_t>(h);
            liens.back()->proprietaire->OnRobotByte(mot & 0xFF, 1);
            liens.back()->proprietaire->OnRobotByte(mot >> 8, 1);
        }
        liens.back()->proprietaire->OnRobotByte(0, 1);
        liens.back()->proprietaire->OnRobotByte(200, 1);
    }
    template <class T>
    T* dans(CalibrationDlg* d, const char* nom)
    {
        return d->findChild<T*>(QString::fromLatin1(nom));
    }
};

} // namespace

TEST_F(CalibrationDlgTest, APointDesignatedOnTheMapIsMeasuredKeptDrawnAndSaved)
{
    demarrer(true);
    ASSERT_TRUE(attendre([this] {
        return view->mapView() && !liens.empty() && liens.back()->proprietaire != nullptr;
    }));
    QAction* action = ajouterMenuCalibration(*frame);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QStringLiteral("&Calibration..."));
    action->trigger();
    auto* dlg = frame->findChild<CalibrationDlg*>();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isModal());

    // Designated on the map (scale 1 in the frame as placed): the click
    // fills the position and places nothing.
    ASSERT_EQ(view->mapView()->width(), 501);
    controle<QRadioButton>(ctrl::ModeDestination)->click(); // "Destination"
    dans<QPushButton>(dlg, "designer")->click();
    const Point destination = monde().destination.lire().marque;
    QTest::mouseClick(view->mapView(), Qt::LeftButton, Qt::NoModifier, QPoint(130, 370));
    EXPECT_EQ(dans<QSpinBox>(dlg, "x")->value(), 130);
    EXPECT_EQ(dans<QSpinBox>(dlg, "y")->value(), 370);
    EXPECT_EQ(monde().destination.lire().marque, destination) << "no destination placed";
    EXPECT_FALSE(dans<QPushButton>(dlg, "designer")->isChecked());

    // Measured over 20 frames (the default), the counter's phase changing.
    dans<QPushButton>(dlg, "mesurer")->click();
    for (std::uint32_t k = 0; k < 19; ++k) {
        trame({130.0, 370.0}, 977 * k);
    }
    const QString etat = dans<QLabel>(dlg, "etat")->text();
    EXPECT_TRUE(etat.startsWith(QStringLiteral("Mesure en x = 130 cm, y = 370 cm : 19 / 20 trames, "
                                               "dispersion ")))
        << etat.toStdString();
    trame({130.0, 370.0}, 977 * 19);
    auto* liste = dans<QListWidget>(dlg, "liste");
    ASSERT_EQ(liste->count(), 1);
    EXPECT_EQ(liste->item(0)->text(),
              QStringLiteral("1. x = 130 cm, y = 370 cm : 20 trames, dispersion 0.0 cm"));
    // Noted for the session's log, as measured.
    ASSERT_EQ(liens.back()->calibres.size(), 1u);
    EXPECT_EQ(liens.back()->calibres[0].x, 130.0);
    EXPECT_EQ(liens.back()->calibres[0].y, 370.0);
    EXPECT_EQ(liens.back()->calibres[0].trames, 20u);
    EXPECT_EQ(liens.back()->calibres[0].intervalles[1], dlg->seance().liste()[0].intervalles[1]);
    // Frames after the point count for nothing.
    trame({300.0, 300.0}, 5);
    EXPECT_EQ(liste->count(), 1);

    // Drawn on the map: a blue disc on the point.
    EXPECT_EQ(QColor(view->mapView()->renderImage().pixel(130, 370)), QColor(0, 90, 220));

    // Saved as a training set: one example, inputs the intervals, outputs y then x.
    kiv_test::RepertoireTemporaire dossier;
    const std::string chemin = dossier / "points.dat";
    scripted().queueFile(chemin);
    ASSERT_TRUE(dlg->enregistrer());
    std::ifstream lu(chemin, std::ios::binary);
    const std::string octets((std::istreambuf_iterator<char>(lu)),
                             std::istreambuf_iterator<char>());
    EXPECT_NE(octets.find("(1)\r\n# point 1 : x 130 y 370, 20 trames"), std::string::npos)
        << octets;
    EXPECT_NE(octets.find("(2,1)\r\n        370\r\n        130\r\n"), std::string::npos) << octets;

    // Closed: nothing more is drawn on the map.
    delete dlg;
    EXPECT_EQ(QColor(view->mapView()->renderImage().pixel(130, 370)), QColor(Qt::white));
}
