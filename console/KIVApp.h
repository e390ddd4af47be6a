#pragma once

#include <QStringList>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CMainFrame;
class CSingleDocTemplate;
class QtPlatform;

/** What the command line asks for. */
struct LigneCommande {
    /** --trainer: the network trainer window alone, without the console. */
    bool entraineur = false;
    /** --help: print the usage and stop. */
    bool aide = false;
    /** --version: print the version and stop. */
    bool version = false;
    /** --weights FILE: load this weights file instead of asking at start-up. */
    std::string poids;
    /** --replay FILE: play this session log in a replay window; the robot's port stays closed. */
    std::string rejeu;
    /** --speed X: the replay's speed, times real time; empty: the one chosen last. */
    std::optional<double> vitesse;
    /** FIELD.kiv: the field opened once the console is set up. */
    std::string terrain;
    /** Not empty when the line is wrong: what is wrong with it. */
    std::string erreur;
};

/**
 * Reads the program's arguments, as the system gives them (bytes: a file
 * name need not be UTF-8, and goes to the file system as it came); the
 * first one is the program itself.
 */
LigneCommande analyserLigneCommande(const std::vector<std::string>& arguments);
/** The same from texts, each turned into the file system's bytes (QFile::encodeName). */
LigneCommande analyserLigneCommande(const QStringList& arguments);
/** The arguments as bytes, each through QFile::encodeName. */
std::vector<std::string> octetsArguments(const QStringList& arguments);

/** The usage text printed by --help and after a wrong command line. */
extern const char* const UsageKiv;

/**
 * The application: its start-up (settings store, the document template, the
 * command line, the main window) and its run. One per process, living inside
 * main() after the QApplication and the platform services.
 */
class CKIVApp {
public:
    /** `plateformeQt`, when given, gets the progress-box factory of the windows. */
    explicit CKIVApp(QtPlatform* plateformeQt = nullptr);
    ~CKIVApp();

    /**
     * Starts the application. Returns false when the program must end at
     * once (help printed, wrong command line, no main window), with the exit
     * status in codeSortie(). Help goes to `sortie`, errors to `erreurs`.
     */
    bool InitInstance(const std::vector<std::string>& arguments, std::ostream& sortie,
                      std::ostream& erreurs);
    bool InitInstance(const QStringList& arguments, std::ostream& sortie, std::ostream& erreurs)
    {
        return InitInstance(octetsArguments(arguments), sortie, erreurs);
    }

    /** Runs the event loop (or the trainer window) and returns the exit status. */
    int Run();

    int codeSortie() const { return m_code; }
    const LigneCommande& ligneCommande() const { return m_ligne; }
    CSingleDocTemplate* modele() const { return m_modele.get(); }
    /** The main window; null before start-up and in trainer mode. */
    CMainFrame* mainFrame() const;

private:
    QtPlatform* m_qt;
    LigneCommande m_ligne;
    std::unique_ptr<CSingleDocTemplate> m_modele;
    int m_code = 0;
};
