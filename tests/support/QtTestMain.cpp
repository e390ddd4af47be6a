#include "core/scripted/ScriptedPlatform.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <clocale>

/**
 * Entry point of the widget test programs: an offscreen QApplication and the
 * scripted platform services, installed before any test runs.
 */
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ScriptedPlatform scripted;
    setPlatform(&scripted);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    setPlatform(nullptr);
    return result;
}
