// The port dialog: its controls, its start from the settings file, OK and Cancel.
#include "DialoguePort.h"

#include <QGroupBox>
#include <QTimer>

#include <cerrno>
#include <cstring>

namespace {

using namespace kiv_test;

TEST_F(DialoguePortTest, ControlesDuGabarit)
{
    EXPECT_EQ(m_dlg->windowTitle(), QStringLiteral("Paramètre de communication"));
    EXPECT_EQ(m_dlg->parentWidget(), nullptr);
    EXPECT_EQ(ctrl<QPushButton>("id1")->text(), "OK");
    EXPECT_TRUE(ctrl<QPushButton>("id1")->isDefault());
    EXPECT_EQ(ctrl<QPushButton>("id2")->text(), "Cancel");
    EXPECT_EQ(ctrl<QGroupBox>("groupeVitesse")->title(), QStringLiteral("Vitesse de transmission"));
    EXPECT_EQ(ctrl<QGroupBox>("groupePort")->title(), QStringLiteral("Port"));
    const char* debits[] = {"110", "300", "1200", "2400", "4800", "9600", "19200", "38400"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(bouton(1000 + i)->text(), debits[i]);
        EXPECT_EQ(CommDlg::debitBouton(1000 + i), std::stoi(debits[i]));
    }
    ASSERT_EQ(comboPort()->count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(comboPort()->itemText(i), QStringLiteral("COM%1").arg(i + 1));
    }
}

TEST_F(DialoguePortTest, DemarreDuFichier)
{
    ecrireOctets("scom.ini", scomAttendu("3", "19200"));
    m_dlg->show();
    EXPECT_EQ(comboPort()->currentIndex(), 2);
    EXPECT_EQ(boutonCoche(), 1006);
    EXPECT_EQ(m_dlg->indexPort(), 2);
    EXPECT_EQ(m_dlg->baud(), 19200);

    // The first line is examined; a rate not offered checks 9600.
    ecrireOctets("scom.ini", "[OPTIONS]\nLast Port = 4\n[Port#1]\nBaud Rate = 9600 bps\n");
    m_dlg->hide();
    m_dlg->show();
    EXPECT_EQ(comboPort()->currentIndex(), 3);
    EXPECT_EQ(boutonCoche(), 1005);
    EXPECT_EQ(m_dlg->baud(), 9600000);
}

TEST_F(DialoguePortTest, DemarreSansFichierNiMessage)
{
    m_dlg->show();
    EXPECT_EQ(comboPort()->currentText(), "COM2");
    EXPECT_EQ(boutonCoche(), 1005);
    EXPECT_TRUE(scripted().messages().empty());
    EXPECT_FALSE(std::filesystem::exists("scom.ini"));

    // A port the list does not hold shows as a missing file would.
    ecrireOctets("scom.ini", scomAttendu("9", "300"));
    m_dlg->hide();
    m_dlg->show();
    EXPECT_EQ(comboPort()->currentText(), "COM2");
    EXPECT_EQ(boutonCoche(), 1001);
}

TEST_F(DialoguePortTest, ChangerDePortGardeLeDebit)
{
    m_dlg->show();
    bouton(1007)->click();
    comboPort()->setCurrentIndex(3);
    EXPECT_EQ(boutonCoche(), 1007);
    EXPECT_EQ(m_dlg->baud(), 38400);
    EXPECT_EQ(m_dlg->indexPort(), 3);
    bouton(1000)->click();
    comboPort()->setCurrentIndex(0);
    EXPECT_EQ(boutonCoche(), 1000);
}

TEST_F(DialoguePortTest, OkEcritLeFichierPuisRouvreLeLien)
{
    ecrireOctets("scom.ini", std::string(300, 'x'));
    std::string vuParLaVue;
    m_vue.pendantAppel = [&] { vuParLaVue = scom(); };
    m_dlg->show();
    bouton(1006)->click();
    comboPort()->setCurrentIndex(2);
    cliquer("id1");
    EXPECT_EQ(scom(), scomAttendu("3", "19200"));
    EXPECT_EQ(vuParLaVue, scomAttendu("3", "19200")); // written before the reopening
    EXPECT_EQ(m_vue.appels, 1);
    EXPECT_FALSE(m_dlg->isVisible());
    EXPECT_EQ(m_dlg->result(), QDialog::Accepted);
}

TEST_F(DialoguePortTest, OkResteOuvertQuandLeLienNeSOuvrePas)
{
    m_vue.reponse = 1;
    int resultat = -1;
    QTimer::singleShot(0, m_dlg.get(), [&] {
        comboPort()->setCurrentIndex(0);
        bouton(1002)->click();
        cliquer("id1");
        EXPECT_TRUE(m_dlg->isVisible());
        EXPECT_EQ(scom(), scomAttendu("1", "1200"));
        // Another port is tried from the same run.
        m_vue.reponse = 0;
        comboPort()->setCurrentIndex(3);
        cliquer("id1");
    });
    resultat = m_dlg->exec();
    EXPECT_EQ(resultat, QDialog::Accepted);
    EXPECT_EQ(m_vue.appels, 2);
    EXPECT_EQ(scom(), scomAttendu("4", "1200"));
}

TEST_F(DialoguePortTest, CancelNeToucheARien)
{
    const std::string avant = scomAttendu("1", "300");
    ecrireOctets("scom.ini", avant);
    m_dlg->show();
    bouton(1007)->click();
    comboPort()->setCurrentIndex(3);
    cliquer("id2");
    EXPECT_FALSE(m_dlg->isVisible());
    EXPECT_EQ(m_dlg->result(), QDialog::Rejected);
    EXPECT_EQ(scom(), avant);
    EXPECT_EQ(m_vue.appels, 0);
    EXPECT_EQ(m_dossier.entrees(), (std::vector<std::string>{"config", "scom.ini"}));
}

TEST_F(DialoguePortTest, FichierImpossibleAEcrireSignaleEtResteOuvert)
{
    std::filesystem::create_directory("scom.ini");
    ecrireOctets("scom.ini/garde", "x");
    m_dlg->show();
    cliquer("id1");
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text, "Impossible d'écrire le fichier SCOM.INI.\n\n« " +
                                                 std::string(FichierScom) +
                                                 " » : " + std::strerror(EISDIR));
    EXPECT_EQ(scripted().messages()[0].caption, "Écriture des paramètres");
    EXPECT_EQ(scripted().messages()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(m_vue.appels, 0);
    EXPECT_TRUE(m_dlg->isVisible());
}

} // namespace
