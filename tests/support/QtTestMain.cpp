#include "core/scripted/ScriptedPlatform.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>

/**
 * Entry point of the widget test programs: an offscreen QApplication, the
 * scripted platform services and a settings store of the process's own,
 * installed before any test runs. The store is never shared: ctest runs
 * tests side by side, and a setting one of them writes must not reach
 * another.
 */
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const QTemporaryDir reglages;
    if (!reglages.isValid()) {
        return 2;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, reglages.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, reglages.path());
    ScriptedPlatform scripted;
    setPlatform(&scripted);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    setPlatform(nullptr);
    return result;
}
