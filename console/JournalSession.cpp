#include "console/JournalSession.h"

#include "console/MainFrame.h"
#include "console/Menu128.h"
#include "core/Platform.h"
#include "link/LienRejoue.h"
#include "link/recorder/Enregistreur.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>

QString dossierJournaux()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

std::shared_ptr<journal::Enregistreur> creerJournalSession()
{
    journal::ReglagesJournal reglages;
    reglages.dossier = dossierJournaux().toStdString();
    bool lu = false;
    const qlonglong mo = QSettings().value(QString::fromLatin1(CleTailleJournaux)).toLongLong(&lu);
    // A cap of at least one megabyte and at most a terabyte; anything else keeps the default.
    if (lu && mo >= 1 && mo <= 1024LL * 1024) {
        reglages.tailleMax = static_cast<std::uint64_t>(mo) * 1024 * 1024;
    }
    // A sensor frame is ten bytes: a log's continuation file starts on a
    // frame's first byte, so that it reads well without the file before it.
    reglages.alignement = 10;
    return std::make_shared<journal::Enregistreur>(std::move(reglages));
}

RobotLinkFactory fabriqueRejeu(const std::string& fichier, double vitesse)
{
    return [fichier, vitesse]() -> std::unique_ptr<RobotLink> {
        OptionsRejeu options;
        options.fichier = fichier;
        options.vitesse = vitesse;
        return std::make_unique<LienRejoue>(std::move(options));
    };
}

void ajouterMenuRejeu(CMainFrame& frame)
{
    QAction* quitter = frame.action(cmd::Quitter);
    const QList<QAction*> menus = frame.menuBar()->actions();
    if (!quitter || menus.isEmpty() || !menus.front()->menu()) {
        return;
    }
    QMenu* fichier = menus.front()->menu();
    auto* rejouer = new QAction(QStringLiteral("Re&jouer un journal..."), &frame);
    rejouer->setObjectName(QStringLiteral("rejouerJournal"));
    rejouer->setStatusTip(
        QStringLiteral("Rejoue une session enregistrée du robot, sans rien lui envoyer"));
    // Before the separator that precedes "Quitter".
    const QList<QAction*> elements = fichier->actions();
    const qsizetype k = elements.indexOf(quitter);
    QAction* avant = k > 0 && elements.at(k - 1)->isSeparator() ? elements.at(k - 1) : quitter;
    fichier->insertAction(avant, rejouer);
    QObject::connect(rejouer, &QAction::triggered, &frame, [&frame] {
        const auto chemin = platform().chooseFile(
            FileDialogKind::Open,
            "Journaux du robot (*.kivlog)|*.kivlog|Tous les fichiers (*.*)|*.*||");
        if (chemin && frame.view()) {
            frame.view()->Rejouer(fabriqueRejeu(*chemin, 1.0));
        }
    });
}
