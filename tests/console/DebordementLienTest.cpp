// The overruns of the link's hand-over: noted at most once a second, each
// note with the bytes lost since the one before, none forgotten.
#include "console/DebordementLien.h"

#include <gtest/gtest.h>

TEST(DebordementLien, NotesAtMostOnceASecondWithTheBytesLostSince)
{
    DebordementLien d;
    EXPECT_FALSE(d.prochaineNote());
    EXPECT_FALSE(d.note(0));

    // The first overrun is noted at once.
    d.noter(1234);
    ASSERT_TRUE(d.prochaineNote());
    EXPECT_EQ(d.note(5000), "débordement 1234 octets perdus");
    // Those within the next second wait for it, together.
    d.noter(1);
    EXPECT_EQ(d.prochaineNote(), 6000);
    EXPECT_FALSE(d.note(5999));
    d.noter(2);
    EXPECT_EQ(d.note(6000), "débordement 3 octets perdus");
    EXPECT_FALSE(d.prochaineNote());
    // A lone byte, after a quiet while: at once, in the singular.
    d.noter(1);
    EXPECT_EQ(d.note(9000), "débordement 1 octet perdu");
    EXPECT_EQ(d.total(), 1238u);
}
