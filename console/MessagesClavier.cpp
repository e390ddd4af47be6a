#include "console/MessagesClavier.h"

#include "console/MainFrame.h"
#include "console/Menu128.h"
#include "console/PretraductionClavier.h"
#include "core/qt/LireReglage.h"

#include <QAction>
#include <QMenu>
#include <QSettings>

QAction* ajouterMenuClavier(CMainFrame& frame)
{
    QMenu* affichage = frame.menuDe(cmd::Quadrillage);
    if (!affichage) {
        return nullptr;
    }
    const bool actifs = lireReglageOui(reglages::MessagesClavier);
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
        QSettings().setValue(QString::fromLatin1(reglages::MessagesClavier.nom), coche);
    });
    return action;
}
