// Handlers' errors reach the user as a message box; the caller goes on.
#include "core/RapportErreur.h"
#include "core/Erreur.h"
#include "core/scripted/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <new>

namespace {

TEST(RapportErreur, EveryExceptionIsShownWithItsMessageAndReportedAsFailure)
{
    ScriptedPlatform scripted;
    Platform* const avant = setPlatform(&scripted);
    bool fait = false;
    EXPECT_TRUE(executerProtege([&] { fait = true; }));
    EXPECT_TRUE(fait);
    EXPECT_TRUE(scripted.messages().empty());

    testing::internal::CaptureStderr();
    EXPECT_FALSE(executerProtege([] { KIV_ERREUR("Indice invalide!"); }));
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(executerProtege([] { throw std::bad_alloc(); }));
    EXPECT_FALSE(executerProtege([] { throw 42; }));
    setPlatform(avant);

    const auto messages = scripted.messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].text, "Indice invalide!");
    EXPECT_EQ(messages[0].caption, "KIV-ZUL");
    EXPECT_EQ(messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(messages[1].text, std::bad_alloc().what());
    EXPECT_EQ(messages[2].text, "Erreur inattendue");
}

} // namespace
