#include "core/scripted/ScriptedPlatform.h"

#include <gtest/gtest.h>

/** Entry point of the headless suites that need the platform services. */
int main(int argc, char** argv)
{
    ScriptedPlatform scripted;
    setPlatform(&scripted);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    setPlatform(nullptr);
    return result;
}
