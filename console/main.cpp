#include "console/ArretSignaux.h"
#include "console/KIVApp.h"
#include "console/TraductionsQt.h"
#include "core/ReglageNumerique.h"
#include "core/qt/QtPlatform.h"

#include <QApplication>
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Help and a wrong line are answered before the window system is needed.
    // The arguments stay bytes: a file name need not be UTF-8.
    std::vector<std::string> arguments(argv, argv + argc);
    const LigneCommande ligne = analyserLigneCommande(arguments);
    if (ligne.aide || ligne.version || !ligne.erreur.empty()) {
        CKIVApp kiv;
        kiv.InitInstance(arguments, std::cout, std::cerr);
        return kiv.codeSortie();
    }

    QApplication app(argc, argv);
    // Files and texts use '.' as decimal point whatever the user's locale;
    // QApplication has just applied the environment's, so undo it for numbers.
    std::setlocale(LC_NUMERIC, "C");
    // Qt's standard dialogs and buttons in French; in English when missing.
    TraductionsQt::installer(app);
    QtPlatform qtPlatform;
    setPlatform(&qtPlatform);
    // A setting refused for its value is said on the terminal, once (and in
    // the session's log once the port opens: LienEnregistre).
    reglages::ecouterAvertissements(
        [](const std::string& texte) { std::cerr << "kiv : " << texte << std::endl; });
    // A signal closes the link and the session log as "Quitter" does.
    arreterSurSignaux();

    int status = 0;
    {
        CKIVApp kiv(&qtPlatform);
        // What is left once Qt took its own options (-platform, -style ...).
        arguments.assign(argv, argv + argc);
        status = kiv.InitInstance(arguments, std::cout, std::cerr) ? kiv.Run() : kiv.codeSortie();
    }
    setPlatform(nullptr);
    return status;
}
