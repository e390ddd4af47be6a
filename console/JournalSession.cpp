#include "console/JournalSession.h"

#include "console/EstimateurLien.h"
#include "console/FenetreRejeu.h"
#include "console/KIVView.h"
#include "console/MainFrame.h"
#include "console/Menu128.h"
#include "core/Platform.h"
#include "core/qt/LireReglage.h"
#include "link/recorder/DossierJournaux.h"
#include "link/recorder/Enregistreur.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "world/TerrainMonde.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
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
    reglages.dossier = QFile::encodeName(dossierJournaux()).toStdString();
    // A cap of at least one megabyte and at most a terabyte; anything else keeps the default.
    if (const auto mo = lireReglagePresent(::reglages::TailleJournaux)) {
        reglages.tailleMax = static_cast<std::uint64_t>(*mo) * 1024 * 1024;
    }
    // A sensor frame is ten bytes: a log's continuation file starts on a
    // frame's first byte, so that it reads well without the file before it.
    reglages.alignement = 10;
    auto journal = std::make_shared<journal::Enregistreur>(std::move(reglages));
    // Each file starts with the field, so that it replays on its own. The
    // world's field is read without its locks (its values are whole): the
    // recorder may ask from any thread, holding its own lock.
    journal->fournirTerrain([] { return etatTerrain(terrainDuMonde()); });
    return journal;
}

journal::EtatTerrain etatTerrain(const Terrain& t)
{
    journal::EtatTerrain e;
    for (int y = 0; y < geo::Cells; ++y) {
        for (int x = 0; x < geo::Cells; ++x) {
            const int valeur = t.cellules[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            e.cellules[y][x] = static_cast<std::uint8_t>(valeur >= 0 && valeur <= 3 ? valeur : 0);
        }
    }
    e.robotX = t.robot.x;
    e.robotY = t.robot.y;
    e.destinationPlacee = !(t.destination.x == -25 && t.destination.y == -25);
    e.destinationX = e.destinationPlacee ? t.destination.x : 0;
    e.destinationY = e.destinationPlacee ? t.destination.y : 0;
    e.banditVisible = t.banditPlace;
    e.banditX = t.banditPlace ? t.bandit.x : 0;
    e.banditY = t.banditPlace ? t.bandit.y : 0;
    e.quadrillage = t.quadrillage;
    return e;
}

FenetreRejeu* ouvrirRejeu(CMainFrame& frame, const std::string& fichier,
                          std::optional<double> vitesse)
{
    OptionsRejeu options;
    options.fichier = fichier;
    if (vitesse) {
        options.vitesse = *vitesse;
    } else {
        // The window writes the index; a hand-edited one outside the list is real time.
        const auto& vitesses = vitessesRejeu();
        const auto derniere = std::min(
            static_cast<std::size_t>(lireReglage(reglages::VitesseRejeu)), vitesses.size() - 1);
        options.vitesse = vitesses[static_cast<std::size_t>(derniere)].facteur;
    }
    // The network loaded now places the robot, on a copy of its own.
    auto estimateur = std::make_shared<EstimateurLien>();
    if (CKIVView* view = frame.view()) {
        estimateur->suivre(view->reseaux().reseau());
    }
    options.estimateur = [estimateur](double t1, double t2, double t3) {
        return estimateur->estimer(t1, t2, t3);
    };
    auto* fenetre = new FenetreRejeu(options, &frame);
    if (!fenetre->ouvrir()) {
        const std::string erreur = fenetre->erreur();
        delete fenetre;
        platform().messageBox(erreur, "Rejouer un journal", MessageButtons::Ok,
                              MessageIcon::Exclamation);
        return nullptr;
    }
    fenetre->show();
    return fenetre;
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
    rejouer->setStatusTip(QStringLiteral("Rejoue une session enregistrée dans une fenêtre à part, "
                                         "sans toucher à la session en cours"));
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
        // The logs are where the recorder puts them; the window has its speed.
        if (const auto chemin = platform().chooseFileIn(
                FileDialogKind::Open,
                "Journaux du robot (*.kivlog)|*.kivlog|Tous les fichiers (*.*)|*.*||",
                QFile::encodeName(dossierJournaux()).toStdString())) {
            ouvrirRejeu(frame, *chemin);
        }
    });
    QObject::connect(dossier, &QAction::triggered, &frame, [] { ouvrirDossierJournaux(); });
}

void ouvrirDossierJournaux()
{
    // Made (private) when no session was recorded yet, so that it opens.
    const std::string chemin = QFile::encodeName(dossierJournaux()).toStdString();
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
