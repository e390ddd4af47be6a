#include "console/MainFrame.h"
#include "core/qt/QtPlatform.h"

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
    {
        CMainFrame frame;
        frame.show();
        status = QApplication::exec();
    }
    setPlatform(nullptr);
    return status;
}
