#include "console/KIVApp.h"

#include "console/CalibrationDlg.h"
#include "console/DocTemplate.h"
#include "console/FichiersReglages.h"
#include "console/Icones.h"
#include "console/JournalSession.h"
#include "console/KIVDoc.h"
#include "console/MainFrame.h"
#include "console/MessagesClavier.h"
#include "console/TraceCarte.h"
#include "console/VoletJournal.h"
#include "console/VoletsOperateur.h"
#include "core/DossierDonnees.h"
#include "core/Echappement.h"
#include "core/RapportErreur.h"
#include "core/StringTable.h"
#include "core/qt/QtPlatform.h"
#include "link/LienEnregistre.h"
#include "link/SerialPort.h"
#include "link/recorder/Enregistreur.h"
#include "trainer/dialog/ProgDlg.h"
#include "trainer/dialog/ReseauxDlg.h"

#include <QApplication>
#include <QFile>
#include <cmath>
#include <ostream>

const char* const UsageKiv =
    "Usage : kiv [--weights FICHIER | --bundled] [--replay JOURNAL [--speed X]] [--trainer] "
    "[--help] "
    "[--version] [TERRAIN.kiv]\n"
    "  TERRAIN.kiv        ouvre ce terrain au démarrage, sa destination comprise\n"
    "  --weights FICHIER  charge ce fichier de poids au démarrage au lieu de le demander\n"
    "  --bundled          charge le réseau fourni avec le programme (beacons.wgh)\n"
    "  --replay JOURNAL   rejoue ce journal de session dans une fenêtre à part ; le port\n"
    "                     du robot reste fermé (« Port série » l'ouvre)\n"
    "  --speed X          vitesse du rejeu, X fois le temps réel (par défaut, la\n"
    "                     dernière choisie dans une fenêtre de rejeu)\n"
    "  --trainer          ouvre seulement la fenêtre d'apprentissage du réseau\n"
    "  --help             affiche cette aide\n"
    "  --version          affiche la version\n"
    "\n"
    "Chaque session où le port du robot est ouvert est enregistrée dans le dossier\n"
    "des journaux (~/.local/share/kiv-zul/journaux).\n";

std::vector<std::string> octetsArguments(const QStringList& arguments)
{
    std::vector<std::string> octets;
    octets.reserve(static_cast<std::size_t>(arguments.size()));
    for (const QString& a : arguments) {
        octets.push_back(QFile::encodeName(a).toStdString());
    }
    return octets;
}

LigneCommande analyserLigneCommande(const QStringList& arguments)
{
    return analyserLigneCommande(octetsArguments(arguments));
}

LigneCommande analyserLigneCommande(const std::vector<std::string>& arguments)
{
    // File names are kept as the bytes the system gave: through a QString a
    // name that is no UTF-8 became another name, which could not be opened.
    LigneCommande ligne;
    const std::string prefixePoids = "--weights=";
    for (std::size_t k = 1; k < arguments.size(); ++k) {
        const std::string& argument = arguments[k];
        const bool suivant = k + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            ligne.aide = true;
        } else if (argument == "--bundled") {
            // The network installed with the program (the desktop entry's choice).
            ligne.poids = donnees::chemin("beacons.wgh");
        } else if (argument == "--version") {
            ligne.version = true;
        } else if (argument == "--replay") {
            if (!suivant || arguments[k + 1].empty()) {
                ligne.erreur = "--replay attend un nom de journal";
                return ligne;
            }
            ligne.rejeu = arguments[++k];
        } else if (argument == "--speed") {
            bool lu = false;
            const double vitesse =
                suivant ? QString::fromUtf8(arguments[k + 1].c_str()).toDouble(&lu) : 0.0;
            if (!lu || !std::isfinite(vitesse) || vitesse < 0.01 || vitesse > 1000.0) {
                ligne.erreur = "--speed attend un nombre de 0.01 à 1000";
                return ligne;
            }
            ligne.vitesse = vitesse;
            ++k;
        } else if (argument == "--trainer") {
            ligne.entraineur = true;
        } else if (argument == "--weights") {
            if (!suivant || arguments[k + 1].empty()) {
                ligne.erreur = "--weights attend un nom de fichier";
                return ligne;
            }
            ligne.poids = arguments[++k];
        } else if (argument.rfind(prefixePoids, 0) == 0) {
            ligne.poids = argument.substr(prefixePoids.size());
            if (ligne.poids.empty()) {
                ligne.erreur = "--weights attend un nom de fichier";
                return ligne;
            }
        } else if (argument == "--") {
            // What follows is a file name, even when it starts with '-'.
            if (suivant) {
                if (!ligne.terrain.empty() || k + 2 < arguments.size()) {
                    ligne.erreur = "un seul terrain à ouvrir";
                    return ligne;
                }
                ligne.terrain = arguments[++k];
            }
        } else if (argument.empty() || argument.front() == '-') {
            ligne.erreur = "argument inconnu : " + echapper(argument);
            return ligne;
        } else if (!ligne.terrain.empty()) {
            ligne.erreur = "un seul terrain à ouvrir";
            return ligne;
        } else {
            ligne.terrain = argument;
        }
    }
    return ligne;
}

CKIVApp::CKIVApp(QtPlatform* plateformeQt)
    : m_qt(plateformeQt)
{}

CKIVApp::~CKIVApp()
{
    // The factory refers to the frame: it goes before the frame does.
    if (m_qt) {
        m_qt->setProgressBoxFactory(nullptr);
    }
    m_modele.reset();
}

CMainFrame* CKIVApp::mainFrame() const
{
    return m_modele ? m_modele->frame() : nullptr;
}

bool CKIVApp::InitInstance(const std::vector<std::string>& arguments, std::ostream& sortie,
                           std::ostream& erreurs)
{
    // The settings store: port assignments, the log folder's cap.
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("KIV"));

    m_modele = std::make_unique<CSingleDocTemplate>(ids::DocumentTemplate);

    m_ligne = analyserLigneCommande(arguments);
    if (!m_ligne.erreur.empty()) {
        erreurs << "kiv : " << m_ligne.erreur << '\n' << UsageKiv;
        m_code = 2;
        return false;
    }
    if (m_ligne.aide) {
        sortie << UsageKiv;
        m_code = 0;
        return false;
    }
    if (m_ligne.version) {
        sortie << "kiv " << KIV_VERSION << '\n';
        m_code = 0;
        return false;
    }
    // Before anything reads the settings store: Qt's reader waits for good
    // on a FIFO and reads a device forever, before any window shows.
    if (const std::string refus = refusFichiersReglages(fichiersReglages()); !refus.empty()) {
        erreurs << "kiv : " << refus << '\n';
        platform().messageBox(refus, platform().loadString(ids::AppTitle), MessageButtons::Ok,
                              MessageIcon::Stop);
        m_code = 1;
        return false;
    }
    // Drawn only now: help and errors are printed without a window system.
    QApplication::setWindowIcon(iconeApplication());
    if (m_ligne.entraineur) {
        return true;
    }

    OptionsConsole options;
    options.poids = m_ligne.poids;
    std::shared_ptr<journal::Enregistreur> journal = creerJournalSession();
    options.lien = [journal] { return enregistrer(makeSerialPort(), journal); };
    // Started for a replay, the console leaves the robot's port closed
    // ("Port série" opens it): the replay plays in a window of its own.
    options.ouvrirPort = m_ligne.rejeu.empty();
    CMainFrame* frame = m_modele->OpenNewDocument(std::move(options));
    if (!frame) {
        m_code = 1;
        return false;
    }
    ajouterMenuRejeu(*frame);
    ajouterVoletsOperateur(*frame);
    ajouterVoletJournal(*frame, journal);
    ajouterMenuTrace(*frame);
    ajouterMenuCalibration(*frame);
    ajouterMenuClavier(*frame);
    if (!m_ligne.terrain.empty()) {
        // Opened once the map and the navigation are there: a destination
        // it holds steers a robot on the line at once. A file that cannot
        // be read is told as "Ouvrir..." tells it, and the field stays empty.
        CKIVDoc* document = m_modele->document();
        QObject::connect(
            frame->view(), &CKIVView::misEnPlace, frame,
            [document, chemin = m_ligne.terrain] {
                executerProtege([&] { document->ouvrirAuDemarrage(chemin); });
            },
            Qt::SingleShotConnection);
    }
    if (!m_ligne.rejeu.empty()) {
        // Over the console once it is set up; a file that is no log is told
        // in a box and the console goes on.
        QObject::connect(
            frame->view(), &CKIVView::misEnPlace, frame,
            [frame, chemin = m_ligne.rejeu, vitesse = m_ligne.vitesse] {
                executerProtege([&] { ouvrirRejeu(*frame, chemin, vitesse); });
            },
            Qt::SingleShotConnection);
    }
    if (m_qt) {
        // Training runs in the trainer window beside the console: its
        // progress box disables no window, so that the operator keeps
        // "Arrêt" and the map during a run (the trainer disables its own
        // buttons that would start a second one).
        m_qt->setProgressBoxFactory(
            [](int captionId) { return std::make_unique<ProgDlg>(captionId); });
    }
    frame->show();
    return true;
}

int CKIVApp::Run()
{
    if (m_ligne.entraineur) {
        // The trainer window on its own: it is the program's only window, so
        // its progress boxes have no owner to disable and it stays live.
        if (m_qt) {
            m_qt->setProgressBoxFactory(
                [](int captionId) { return std::make_unique<ProgDlg>(captionId); });
        }
        ReseauxDlg trainer;
        trainer.exec();
        if (m_qt) {
            m_qt->setProgressBoxFactory(nullptr);
        }
        return 0;
    }
    return QApplication::exec();
}
