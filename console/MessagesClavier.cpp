#include "console/MessagesClavier.h"

#include "console/MainFrame.h"
#include "console/Menu128.h"
#include "console/PretraductionClavier.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

QAction* ajouterMenuClavier(CMainFrame& frame)
{
    QAction* quadrillage = frame.action(cmd::Quadrillage);
    QMenu* affichage = nullptr;
    for (QAction* titre : frame.menuBar()->actions()) {
        if (quadrillage && titre->menu() && titre->menu()->actions().contains(quadrillage)) {
            affichage = titre->menu();
        }
    }
    if (!affichage) {
        return nullptr;
    }
    const bool actifs = QSettings().value(QString::fromLatin1(CleMessagesClavier), true).toBool();
    activerMessagesClavier(actifs);
    auto* action = new QAction(QStringLiteral("Messages clavier"), &frame);
    action->setObjectName(QStringLiteral("messagesClavier"));
    action->setCheckable(true);
    action->setChecked(actifs);
    action->setStatusTip(
        QStringLiteral("Affiche ou non les messages « Keydown » et « YES!!! » à chaque touche"));
    affichage->addAction(action);
    QObject::connect(action, &QAction::toggled, &frame, [](bool coche) {
        activerMessagesClavier(coche);
        QSettings().setValue(QString::fromLatin1(CleMessagesClavier), coche);
    });
    return action;
}
