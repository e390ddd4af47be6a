#include "console/VoletsConsole.h"

#include "console/BandeauChemin.h"
#include "console/KIVView.h"
#include "console/VoletMarche.h"
#include "console/VoletReseau.h"
#include "trainer/dialog/ReseauxDlg.h"

#include <QPushButton>
#include <QToolBar>

VoletsConsole installerVoletsConsole(QToolBar& barre, CKIVView& vue)
{
    VoletsConsole volets;
    volets.marche = new VoletMarche(&barre);
    // Why the robot goes nowhere is told on the map itself, whole, where the
    // operator looks: the mission bar keeps the run, the network and the link.
    volets.chemin = new BandeauChemin([&vue] { return vue.mapView(); },
                                      [marche = volets.marche] { return marche->etat(); }, &vue);
    volets.chemin->journaliserAvec([&vue](const std::string& texte) {
        if (RobotLink* lien = vue.lien()) {
            lien->noteEvent(texte);
        }
    });
    volets.reseau = new VoletReseau(vue.reseaux().reseau(), &barre);
    barre.addWidget(volets.marche);
    barre.addSeparator();
    barre.addWidget(volets.reseau);

    // The view's own handlers were connected first: the run has started or
    // stopped when these look at it.
    if (auto* go = vue.findChild<QPushButton*>(QStringLiteral("id159"))) {
        QObject::connect(go, &QPushButton::clicked, volets.marche, &VoletMarche::surGo);
        QObject::connect(go, &QPushButton::clicked, volets.chemin, &BandeauChemin::actualiser);
    }
    for (const char* nom : {"id1027", "id1042"}) {
        if (auto* arret = vue.findChild<QPushButton*>(QString::fromLatin1(nom))) {
            QObject::connect(arret, &QPushButton::clicked, volets.marche, &VoletMarche::surArret);
        }
    }
    if (auto* reprendre = vue.findChild<QPushButton*>(QStringLiteral("reprendre"))) {
        QObject::connect(reprendre, &QPushButton::clicked, volets.marche, &VoletMarche::actualiser);
    }
    // Each picture of the map (at most once a turn of the event loop): the
    // panes look at the world again.
    QObject::connect(&vue, &CKIVView::mondeAffiche, volets.marche, &VoletMarche::actualiser);
    QObject::connect(&vue, &CKIVView::mondeAffiche, volets.chemin, &BandeauChemin::actualiser);
    // The network changes only in the trainer window (or at start), which
    // stays open beside the console.
    QObject::connect(&vue.reseaux(), &ReseauxDlg::reseauRemplace, volets.reseau,
                     &VoletReseau::actualiser);
    QObject::connect(&vue.reseaux(), &QDialog::finished, volets.reseau, &VoletReseau::actualiser);
    return volets;
}
