// The display's chores and the robot's reply: a chore waits while a frame
// waits for its status byte, and runs right after the reply, once.
#include "console/PorteAffichage.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <string>

TEST(PorteAffichage, ChoresWaitForTheReplyOnceEachOrFiftyMillisecondsAtMost)
{
    bool demiTrame = false;
    PorteAffichage porte([&] { return demiTrame; });
    std::string fait;
    const int boites = 0;
    const int carte = 0;
    porte.executer(&boites, [&] { fait += "b"; });
    EXPECT_EQ(fait, "b") << "between frames: at once";

    demiTrame = true;
    porte.executer(&boites, [&] { fait += "b"; });
    porte.executer(&carte, [&] { fait += "c"; });
    porte.executer(&boites, [&] { fait += "b"; });
    EXPECT_EQ(fait, "b") << "half a frame read: they wait";
    demiTrame = false;
    porte.apresReponse();
    EXPECT_EQ(fait, "bbc") << "after the reply, in order, the same chore once";
    porte.apresReponse();
    EXPECT_EQ(fait, "bbc");

    // A robot that stopped mid-frame holds nothing back for long.
    demiTrame = true;
    porte.executer(&carte, [&] { fait += "c"; });
    ASSERT_TRUE(attendre([&] { return fait == "bbcc"; }));
}
