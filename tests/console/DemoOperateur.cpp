// Shows the operator's additions for the screenshots of docs/
// (scripts/screenshot-operateur.sh): a robot driven along a loop by
// scripted frames, its trail on, the battery fallen below the warning
// threshold, then the frames stopping until the link pane says "lost".
// Then the window made bigger, a wall painted: the map scaled up.
// Writes DIR/operateur.png, DIR/carte-agrandie.png and DIR/lien-perdu.png.
#include "console/MainFrame.h"
#include "console/TraceCarte.h"
#include "console/VoletBatterie.h"
#include "console/VoletLien.h"
#include "core/scripted/ScriptedPlatform.h"
#include "world/BeaconModel.h"
#include "world/GridEdits.h"
#include "world/WorldState.h"
#include "world/view/MapView.h"

#include <QApplication>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>

#include <clocale>
#include <cmath>
#include <cstdio>

namespace {

/** A port that opens and takes whatever is sent. */
class LienScripte : public RobotLink {
public:
    bool Configure(RobotLinkOwner* owner, int, int, char, int, int, unsigned, int) override
    {
        proprietaire = owner;
        return true;
    }
    bool StartMonitor() override { return true; }
    bool SuspendMonitor() override { return true; }
    void QueueWrite(const char*) override {}
    bool threadAlive() const override { return true; }

    RobotLinkOwner* proprietaire = nullptr;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: kiv_operateur_demo DOSSIER\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ScriptedPlatform plateforme;
    setPlatform(&plateforme);
    LienScripte* lien = nullptr;
    int status = 0;
    {
        OptionsConsole options;
        options.poids = KIV_DATA_DIR "/beacons.wgh";
        options.lien = [&lien] {
            auto l = std::make_unique<LienScripte>();
            lien = l.get();
            return l;
        };
        CMainFrame frame(std::move(options));
        frame.show();
        QApplication::processEvents();
        QApplication::processEvents();
        CKIVView* view = frame.view();
        std::int64_t t = 0;
        auto* batterie = new VoletBatterie(view->findChild<QProgressBar*>(QStringLiteral("id1019")),
                                           20, frame.statusBar());
        frame.statusBar()->addPermanentWidget(batterie);
        QObject::connect(view, &CKIVView::batterieRecue, batterie, &VoletBatterie::signale);
        // The link pane where the console puts it: in the mission bar.
        auto* volet = new VoletLien(
            view, 2000, [&t] { return t; }, frame.barreMission());
        frame.barreMission()->addSeparator();
        frame.barreMission()->addWidget(volet);
        volet->setApresChangement(
            [view, volet] { view->marquerPerimees(volet->sante().etat() == EtatSante::Perdu); });
        QAction* trace = ajouterMenuTrace(frame);
        QApplication::processEvents();
        if (!lien || !lien->proprietaire || !trace) {
            std::fputs("kiv_operateur_demo: no console\n", stderr);
            return 1;
        }
        trace->setChecked(true);
        // A loop around the field's middle, the battery running down.
        for (int k = 0; k <= 60; ++k) {
            const double angle = k * 0.1;
            const balises::Position p{250.0 + 150.0 * std::cos(angle),
                                      250.0 + 120.0 * std::sin(angle)};
            const int niveau = 200 - k * 3;
            for (const std::int16_t h : balises::horodatages(p, 811U * k)) {
                const auto mot = static_cast<std::uint16_t>(h);
                lien->proprietaire->OnRobotByte(mot & 0xFF, 1);
                lien->proprietaire->OnRobotByte(mot >> 8, 1);
            }
            lien->proprietaire->OnRobotByte(0, 1);
            lien->proprietaire->OnRobotByte(niveau, 1);
            t += 100;
            volet->actualiser();
            QApplication::processEvents();
        }
        const QString dossier = QString::fromLocal8Bit(argv[1]);
        // The battery bar paints after a short pause: not in the middle of one.
        view->peindreEnAttente();
        if (!frame.grab().save(dossier + QStringLiteral("/operateur.png"))) {
            status = 1;
        }
        // The same console in a bigger window: the map grows with it.
        for (int r = 8; r <= 12; ++r) {
            PlaceObstacle(r, 10);
        }
        frame.resize(1100, 820);
        QApplication::processEvents();
        view->mapView()->Redraw();
        QApplication::processEvents();
        if (!frame.grab().save(dossier + QStringLiteral("/carte-agrandie.png"))) {
            status = 1;
        }
        t += 2500;
        volet->actualiser();
        QApplication::processEvents();
        frame.resize(790, 580);
        QApplication::processEvents();
        if (!frame.grab().save(dossier + QStringLiteral("/lien-perdu.png"))) {
            status = 1;
        }
    }
    setPlatform(nullptr);
    return status;
}
