#include "console/VoletsConsole.h"

#include "console/KIVView.h"
#include "console/VoletChemin.h"
#include "console/VoletMarche.h"
#include "console/VoletReseau.h"
#include "trainer/dialog/ReseauxDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

VoletsConsole installerVoletsConsole(QStatusBar& barre, CKIVView& vue)
{
    VoletsConsole volets;
    volets.marche = new VoletMarche(&barre);
    volets.chemin = new VoletChemin(&barre);
    volets.reseau = new VoletReseau(vue.reseaux().reseau(), &barre);
    barre.addWidget(volets.marche);
    barre.addWidget(volets.chemin);
    barre.addWidget(volets.reseau);

    // The view's own handlers were connected first: the run has started or
    // stopped when these look at it.
    if (auto* go = vue.findChild<QPushButton*>(QStringLiteral("id159"))) {
        QObject::connect(go, &QPushButton::clicked, volets.marche, &VoletMarche::surGo);
    }
    if (auto* arret = vue.findChild<QPushButton*>(QStringLiteral("id1027"))) {
        QObject::connect(arret, &QPushButton::clicked, volets.marche, &VoletMarche::surArret);
    }
    // The map repaints at once on the GUI thread, sometimes inside a world
    // lock (a robot placed by the link): the panes, which take those locks,
    // look at the world afterwards, from the event loop, once a turn however
    // many repaints there were.
    auto* apres = new QTimer(&barre);
    apres->setSingleShot(true);
    apres->setInterval(0);
    QObject::connect(apres, &QTimer::timeout, volets.marche, &VoletMarche::actualiser);
    QObject::connect(apres, &QTimer::timeout, volets.chemin, &VoletChemin::actualiser);
    const auto relancer = [apres] {
        if (!apres->isActive()) {
            apres->start();
        }
    };
    QObject::connect(&vue, &CKIVView::mondeAffiche, apres, relancer);
    // The navigation's wheel codes tell whether a robot on the line is steered.
    for (const char* roue : {"id1008", "id1017"}) {
        if (auto* boite = vue.findChild<QLineEdit*>(QString::fromLatin1(roue))) {
            QObject::connect(boite, &QLineEdit::textChanged, apres, relancer);
        }
    }
    // The network changes only in the trainer window (or at start).
    QObject::connect(&vue.reseaux(), &QDialog::finished, volets.reseau, &VoletReseau::actualiser);
    return volets;
}
