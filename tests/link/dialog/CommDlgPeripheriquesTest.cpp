// The port dialog's panel of devices: what each COMn stands for, assignments kept on OK only.
#include "DialoguePort.h"

#include <QLabel>

namespace {

using namespace kiv_test;

class PeripheriquesDlgTest : public DialoguePortTest {
protected:
    void SetUp() override
    {
        DialoguePortTest::SetUp();
        m_detectes = {
            {"ttyUSB0", "FT232R USB UART", "FTDI", "/dev/ttyUSB0",
             "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0"},
            {"ttyACM0", "", "", "/dev/ttyACM0", ""},
        };
    }
    QString ligne(int port) const
    {
        return ctrl<QLabel>(QStringLiteral("peripheriqueCOM%1").arg(port))->text();
    }
    QComboBox* detectes() const { return ctrl<QComboBox>("peripheriquesDetectes"); }
};

TEST_F(PeripheriquesDlgTest, ChaqueComEtSonOrigine)
{
    comdevices::assignDevice(3, "/dev/ttyACM0");
    qputenv("KIV_COM4", "/dev/pts/7");
    m_dlg->show();
    EXPECT_EQ(ligne(1), QStringLiteral("COM1 : /dev/ttyS0"));
    EXPECT_EQ(ligne(3), QStringLiteral("COM3 : /dev/ttyACM0 (attribué)"));
    EXPECT_EQ(ligne(4), QStringLiteral("COM4 : /dev/pts/7 (KIV_COM4)"));
    EXPECT_TRUE(ctrl<QLabel>("peripheriqueCOM2")->font().bold()); // the port chosen
    EXPECT_FALSE(ctrl<QLabel>("peripheriqueCOM1")->font().bold());

    ASSERT_EQ(detectes()->count(), 2);
    EXPECT_EQ(detectes()->itemText(0), QStringLiteral("ttyUSB0 - FT232R USB UART (FTDI)"));
    EXPECT_EQ(detectes()->itemText(1), QStringLiteral("ttyACM0"));
    EXPECT_EQ(ctrl<QPushButton>("attribuer")->text(), QStringLiteral("Attribuer à COM2"));
    EXPECT_FALSE(ctrl<QPushButton>("retirer")->isEnabled());

    comboPort()->setCurrentIndex(2); // COM3: its device is chosen in the list
    EXPECT_EQ(detectes()->currentIndex(), 1);
    EXPECT_TRUE(ctrl<QPushButton>("retirer")->isEnabled());
    EXPECT_EQ(ctrl<QPushButton>("attribuer")->text(), QStringLiteral("Attribuer à COM3"));
    qunsetenv("KIV_COM4");
}

TEST_F(PeripheriquesDlgTest, AttributionEnregistreeParOkAvantLaReouverture)
{
    QString vuParLaVue;
    m_vue.pendantAppel = [&] { vuParLaVue = comdevices::comDevice(3); };
    m_dlg->show();
    comboPort()->setCurrentIndex(2);
    detectes()->setCurrentIndex(0);
    cliquer("attribuer");
    // Shown at once, stored only by OK; the stable path is what is kept.
    const QString stable = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
    EXPECT_TRUE(ligne(3).startsWith(QStringLiteral("COM3 : usb-FTDI_FT")));
    EXPECT_TRUE(ligne(3).endsWith(QStringLiteral("-if00-port0 (attribué)")));
    EXPECT_TRUE(ctrl<QLabel>("noteAttribution")->isVisibleTo(m_dlg.get()));
    EXPECT_EQ(comdevices::assignedDevice(3), QString());
    cliquer("id1");
    EXPECT_EQ(comdevices::assignedDevice(3), stable);
    EXPECT_EQ(vuParLaVue, stable);
    EXPECT_EQ(scom(), scomAttendu("3", "9600"));
}

TEST_F(PeripheriquesDlgTest, CancelOublieLAttributionEtRetirerLaSupprime)
{
    comdevices::assignDevice(1, "/dev/ttyACM0");
    m_dlg->show();
    comboPort()->setCurrentIndex(1);
    cliquer("attribuer");
    cliquer("id2");
    EXPECT_EQ(comdevices::assignedDevice(2), QString());

    m_dlg->show(); // a new run starts from the store again
    EXPECT_EQ(ligne(2), QStringLiteral("COM2 : /dev/ttyS1"));
    comboPort()->setCurrentIndex(0);
    cliquer("retirer");
    EXPECT_EQ(ligne(1), QStringLiteral("COM1 : /dev/ttyS0"));
    cliquer("id1");
    EXPECT_EQ(comdevices::assignedDevice(1), QString());
    EXPECT_EQ(comdevices::comDevice(1), QStringLiteral("/dev/ttyS0"));
}

TEST_F(PeripheriquesDlgTest, AucunPeripheriqueDetecte)
{
    m_detectes.clear();
    m_dlg->show();
    EXPECT_EQ(detectes()->currentText(), QStringLiteral("Aucun port série détecté"));
    EXPECT_FALSE(detectes()->isEnabled());
    EXPECT_FALSE(ctrl<QPushButton>("attribuer")->isEnabled());

    // Plugged in while the dialog is open: "Actualiser" finds it.
    m_detectes = {{"ttyUSB1", "", "", "/dev/ttyUSB1", ""}};
    cliquer("actualiser");
    EXPECT_EQ(detectes()->currentText(), QStringLiteral("ttyUSB1"));
    EXPECT_TRUE(ctrl<QPushButton>("attribuer")->isEnabled());
}

} // namespace
