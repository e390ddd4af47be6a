#pragma once

#include "../FichiersScom.h"
#include "core/scripted/ScriptedPlatform.h"
#include "link/ComDevices.h"
#include "link/dialog/CommDlg.h"
#include "link/dialog/PortOwner.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>

#include <functional>
#include <memory>

namespace kiv_test {

/** The control view as the dialog sees it: answers from a script, remembers each call. */
class ProprietaireScripte : public PortOwner {
public:
    int OpenRobotPort() override
    {
        ++appels;
        if (pendantAppel) {
            pendantAppel();
        }
        return reponse;
    }

    int reponse = 0;
    int appels = 0;
    std::function<void()> pendantAppel;
};

/**
 * A dialog run in a fresh working directory with a settings store of its
 * own (never the user's) and no KIV_COMn variable.
 */
class DialoguePortTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("kiv-tests"));
        QCoreApplication::setApplicationName(QStringLiteral("kiv_tests_link_ui"));
    }

    void SetUp() override
    {
        scripted().clear();
        m_precedent = std::filesystem::current_path();
        std::filesystem::current_path(m_dossier.chemin());
        std::filesystem::create_directory(m_dossier / "config");
        const QString config = QString::fromStdString(m_dossier / "config");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
        for (int n = 1; n <= 4; ++n) {
            qunsetenv(qPrintable(QStringLiteral("KIV_COM%1").arg(n)));
        }
        m_dlg = std::make_unique<CommDlg>();
        m_dlg->setProprietaire(&m_vue);
        m_dlg->setSourcePeripheriques([this] { return m_detectes; });
    }

    void TearDown() override
    {
        m_dlg.reset();
        std::filesystem::current_path(m_precedent);
    }

    static ScriptedPlatform& scripted() { return static_cast<ScriptedPlatform&>(platform()); }

    template <typename T>
    T* ctrl(const QString& nom) const
    {
        T* w = m_dlg->findChild<T*>(nom);
        EXPECT_NE(w, nullptr) << nom.toStdString();
        return w;
    }
    QComboBox* comboPort() const { return ctrl<QComboBox>(QStringLiteral("id1008")); }
    QRadioButton* bouton(int id) const
    {
        return ctrl<QRadioButton>(QStringLiteral("id%1").arg(id));
    }
    void cliquer(const char* nom) const { ctrl<QPushButton>(QString::fromLatin1(nom))->click(); }
    /** The id of the checked rate button; 0 when none is. */
    int boutonCoche() const
    {
        for (int id = 1000; id <= 1007; ++id) {
            if (bouton(id)->isChecked()) {
                return id;
            }
        }
        return 0;
    }
    std::string scom() const { return lireOctets("scom.ini"); }

    DossierScom m_dossier;
    std::filesystem::path m_precedent;
    ProprietaireScripte m_vue;
    QList<PeripheriqueSerie> m_detectes;
    std::unique_ptr<CommDlg> m_dlg;
};

} // namespace kiv_test
