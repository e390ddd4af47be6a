#include "console/VoletsOperateur.h"

#include "console/MainFrame.h"
#include "console/VoletBatterie.h"
#include "console/VoletLien.h"
#include "console/VoletMarche.h"
#include "core/qt/LireReglage.h"

#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>

#include <cmath>

std::int64_t delaiPerteReglage()
{
    return std::llround(lireReglage(reglages::DelaiPerte) * 1000.0);
}

int seuilBatterieReglage()
{
    return static_cast<int>(lireReglage(reglages::SeuilBatterie));
}

void ajouterVoletsOperateur(CMainFrame& frame)
{
    CKIVView* view = frame.view();
    QStatusBar* barre = frame.statusBar();
    if (!view || !barre) {
        return;
    }
    auto* batterie = new VoletBatterie(view->findChild<QProgressBar*>(QStringLiteral("id1019")),
                                       seuilBatterieReglage(), barre);
    barre->addPermanentWidget(batterie);
    QObject::connect(view, &CKIVView::batterieRecue, batterie, &VoletBatterie::signale);
    // The link reads with the run and the network, in the mission bar.
    QToolBar* mission = frame.barreMission();
    auto* lien = new VoletLien(view, delaiPerteReglage(), {}, mission);
    mission->addSeparator();
    mission->addWidget(lien);
    // The run pane tells a robot lost on its way, and back, from the link's health.
    VoletMarche* marche = frame.volets().marche;
    if (marche) {
        marche->setSanteLien([lien] { return lien->sante().etat(); });
    }
    lien->setApresChangement([marche, view, lien] {
        if (marche) {
            marche->actualiser();
        }
        // What the boxes show came with the frames: stale from a loss until
        // frames return.
        const EtatSante etat = lien->sante().etat();
        if (etat == EtatSante::Perdu || etat == EtatSante::Deconnecte) {
            view->marquerPerimees(true);
        } else if (etat == EtatSante::Reception) {
            view->marquerPerimees(false);
        }
    });
}
