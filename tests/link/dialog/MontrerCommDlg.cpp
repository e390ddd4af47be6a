// Shows the port dialog alone, as "Port série" will: for screenshots and a
// look at the devices of the machine. Works on scom.ini in the working
// directory and on the settings store of the environment (XDG_CONFIG_HOME).
//   kiv_commdlg_demo [--exemple]
// --exemple offers two sample USB adapters instead of the machine's devices.
#include "core/qt/QtPlatform.h"
#include "link/dialog/CommDlg.h"
#include "link/dialog/PortOwner.h"

#include <QApplication>
#include <cstdio>

namespace {

/** Stands for the control view: the link "opens" and says with what. */
class VueDemonstration : public PortOwner {
public:
    int OpenRobotPort() override
    {
        std::puts("OpenRobotPort");
        return 0;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("KIV"));
    QtPlatform plateforme;
    setPlatform(&plateforme);

    VueDemonstration vue;
    CommDlg dlg;
    dlg.setProprietaire(&vue);
    if (QApplication::arguments().contains(QStringLiteral("--exemple"))) {
        dlg.setSourcePeripheriques([] {
            return QList<PeripheriqueSerie>{
                {"ttyUSB0", "FT232R USB UART", "FTDI", "/dev/ttyUSB0",
                 "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"},
                {"ttyACM0", "USB Serial", "Arduino (www.arduino.cc)", "/dev/ttyACM0",
                 "/dev/serial/by-id/usb-Arduino__www.arduino.cc__0043_7523031-if00"},
            };
        });
    }
    const int resultat = dlg.exec();
    setPlatform(nullptr);
    return resultat == QDialog::Accepted ? 0 : 1;
}
