#include "console/JournalSession.h"

#include "console/MainFrame.h"
#include "console/Menu128.h"
#include "core/Platform.h"
#include "link/LienRejoue.h"
#include "link/recorder/DossierJournaux.h"
#include "link/recorder/Enregistreur.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>

QString dossierJournaux()
{
    // Named after the product, not after the settings store's organisation.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kiv-zul/journaux");
}

const std::vector<VitesseRejeu>& vitessesRejeu()
{
    static const std::vector<VitesseRejeu> vitesses = {{"1 × (temps réel)", 1.0},
                                                       {"2 ×", 2.0},
                                                       {"5 ×", 5.0},
                                                       {"10 ×", 10.0},
                                                       {"1000 × (au plus vite)", 1000.0}};
    return vitesses;
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
    auto* dossier = new QAction(QStringLiteral("Ouvrir le &dossier des journaux"), &frame);
    dossier->setObjectName(QStringLiteral("dossierJournaux"));
    dossier->setStatusTip(QStringLiteral(
        "Montre le dossier des journaux de session dans le gestionnaire de fichiers"));
    // Before the separator that precedes "Quitter".
    const QList<QAction*> elements = fichier->actions();
    const qsizetype k = elements.indexOf(quitter);
    QAction* avant = k > 0 && elements.at(k - 1)->isSeparator() ? elements.at(k - 1) : quitter;
    fichier->insertAction(avant, rejouer);
    fichier->insertAction(avant, dossier);
    QObject::connect(rejouer, &QAction::triggered, &frame, [&frame] {
        // The logs are where the recorder puts them; then the speed.
        const auto chemin = platform().chooseFileIn(
            FileDialogKind::Open,
            "Journaux du robot (*.kivlog)|*.kivlog|Tous les fichiers (*.*)|*.*||",
            dossierJournaux().toStdString());
        if (!chemin || !frame.view()) {
            return;
        }
        const std::vector<VitesseRejeu>& vitesses = vitessesRejeu();
        std::vector<std::string> textes;
        textes.reserve(vitesses.size());
        for (const VitesseRejeu& v : vitesses) {
            textes.emplace_back(v.texte);
        }
        // The speed chosen last time is offered first.
        QSettings reglages;
        const int derniere = reglages.value(QString::fromLatin1(CleVitesseRejeu), 0).toInt();
        const int courante =
            derniere >= 0 && derniere < static_cast<int>(vitesses.size()) ? derniere : 0;
        const auto choix =
            platform().chooseItem("Rejouer un journal", "Vitesse du rejeu :", textes, courante);
        if (!choix || *choix < 0 || *choix >= static_cast<int>(vitesses.size())) {
            return;
        }
        reglages.setValue(QString::fromLatin1(CleVitesseRejeu), *choix);
        frame.view()->Rejouer(
            fabriqueRejeu(*chemin, vitesses[static_cast<std::size_t>(*choix)].facteur));
    });
    QObject::connect(dossier, &QAction::triggered, &frame, [] { ouvrirDossierJournaux(); });
}

void ouvrirDossierJournaux()
{
    // Made (private) when no session was recorded yet, so that it opens.
    const std::string chemin = dossierJournaux().toStdString();
    std::string raison;
    if (!journal::dossier::preparer(chemin, raison)) {
        platform().messageBox(
            "Le dossier des journaux " + chemin + " ne peut pas être ouvert : " + raison,
            "Ouvrir le dossier des journaux", MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    if (!platform().openFolder(chemin)) {
        platform().messageBox("Aucun gestionnaire de fichiers n'a pu montrer le dossier des "
                              "journaux : " +
                                  chemin,
                              "Ouvrir le dossier des journaux", MessageButtons::Ok,
                              MessageIcon::Exclamation);
    }
}
