// Qt's standard texts in French, and a missing catalogue tolerated.
#include "console/TraductionsQt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(TraductionsQt, AMissingCatalogueIsNoFailure)
{
    TraductionsQt::retirer();
    EXPECT_FALSE(TraductionsQt::installer(*QCoreApplication::instance(),
                                          QStringLiteral("/nonexistent/translations")));
    QMessageBox boite(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("q"),
                      QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(boite.button(QMessageBox::Yes)->text(), QStringLiteral("&Yes"));
}

TEST(TraductionsQt, StandardButtonsAndFileDialogsSpeakFrench)
{
    const QString catalogue = TraductionsQt::dossierParDefaut() + QStringLiteral("/qtbase_fr.qm");
    if (!QFileInfo::exists(catalogue)) {
        GTEST_SKIP() << "Qt's French catalogue is not installed (qt6-translations-l10n)";
    }
    ASSERT_TRUE(TraductionsQt::installer(*QCoreApplication::instance()));
    // Installing again changes nothing.
    EXPECT_TRUE(TraductionsQt::installer(*QCoreApplication::instance()));
    QMessageBox boite(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("q"),
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(boite.button(QMessageBox::Yes)->text(), QStringLiteral("&Oui"));
    EXPECT_EQ(boite.button(QMessageBox::No)->text(), QStringLiteral("&Non"));
    EXPECT_EQ(boite.button(QMessageBox::Cancel)->text(), QStringLiteral("Annuler"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"),
              QStringLiteral("Voir dans :"));
    TraductionsQt::retirer();
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
}
