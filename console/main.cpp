#include "console/MainFrame.h"
#include "core/qt/QtPlatform.h"
#include "trainer/dialog/ProgDlg.h"
#include "trainer/dialog/ReseauxDlg.h"

#include <QApplication>
#include <clocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Files and texts use '.' as decimal point whatever the user's locale;
    // QApplication has just applied the environment's, so undo it for numbers.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QApplication::setApplicationName(QStringLiteral("KIV"));

    QtPlatform qtPlatform;
    setPlatform(&qtPlatform);

    int status = 0;
    if (QApplication::arguments().contains(QStringLiteral("--trainer"))) {
        // The trainer window on its own: it is the program's only window, so
        // its progress boxes have no owner to disable and it stays live.
        qtPlatform.setProgressBoxFactory(
            [](int captionId) { return std::make_unique<ProgDlg>(captionId); });
        ReseauxDlg trainer;
        trainer.exec();
        qtPlatform.setProgressBoxFactory(nullptr);
    } else {
        OptionsConsole options;
        const QStringList arguments = QApplication::arguments();
        const qsizetype k = arguments.indexOf(QStringLiteral("--weights"));
        if (k >= 0 && k + 1 < arguments.size()) {
            options.poids = arguments.at(k + 1).toStdString();
        }
        CMainFrame frame(std::move(options));
        qtPlatform.setProgressBoxFactory(
            [&frame](int captionId) { return std::make_unique<ProgDlg>(captionId, &frame); });
        frame.show();
        status = QApplication::exec();
        qtPlatform.setProgressBoxFactory(nullptr);
    }
    setPlatform(nullptr);
    return status;
}
