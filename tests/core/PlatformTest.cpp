#include "core/Platform.h"
#include "core/StringTable.h"
#include "core/scripted/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

TEST(StringTable, KnownAndUnknownIds)
{
    EXPECT_EQ(stringTableEntry(57344), "KIV-ZUL");
    EXPECT_EQ(stringTableEntry(57345), "Prêt");
    EXPECT_EQ(stringTableEntry(ids::AppTitle), "KIV-ZUL");
    EXPECT_EQ(stringTableEntry(128), "KIV\n\nKIV\n\n\nKIV.Document\nKIV Document");
    EXPECT_TRUE(stringTableEntry(0).empty());
    EXPECT_TRUE(stringTableEntry(57346).empty());
    EXPECT_TRUE(stringTableEntry(-1).empty());
}

TEST(PlatformInstall, InstalledPlatformIsReturnedAndReplaced)
{
    ScriptedPlatform a;
    ScriptedPlatform b;
    Platform* const avant = setPlatform(&a);
    EXPECT_EQ(&platform(), &a);
    EXPECT_EQ(setPlatform(&b), &a);
    EXPECT_EQ(&platform(), &b);
    EXPECT_EQ(platform().loadString(57345), "Prêt");
    EXPECT_EQ(platform().loadString(1), "");
    EXPECT_EQ(setPlatform(avant), &b);
}

TEST(PlatformThreads, StartThreadRunsTheBodyOnAnotherThread)
{
    ScriptedPlatform p;
    std::thread::id vu;
    std::thread t = p.startThread([&] { vu = std::this_thread::get_id(); }, ThreadPriority::Normal);
    const std::thread::id attendu = t.get_id();
    t.join();
    EXPECT_EQ(vu, attendu);
    EXPECT_NE(vu, std::this_thread::get_id());
}

TEST(PlatformThreads, LowestPriorityLowersOnlyTheWorkerThread)
{
    // The platform's own thread start (the scripted one keeps normal priority).
    ScriptedPlatform p;
    int politique = -1;
    int gentillesse = 0;
    std::thread t = p.Platform::startThread(
        [&] {
            sched_param param{};
            pthread_getschedparam(pthread_self(), &politique, &param);
            gentillesse = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
        },
        ThreadPriority::Lowest);
    t.join();
    EXPECT_TRUE(politique == SCHED_IDLE || gentillesse == 19)
        << "policy " << politique << ", nice " << gentillesse;

    int politiqueIci = -1;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &politiqueIci, &param);
    EXPECT_NE(politiqueIci, SCHED_IDLE);
}

TEST(PlatformThreads, ScriptedThreadsRecordThePriorityAskedFor)
{
    ScriptedPlatform p;
    int politique = -1;
    std::thread t = p.startThread(
        [&] {
            sched_param param{};
            pthread_getschedparam(pthread_self(), &politique, &param);
        },
        ThreadPriority::Lowest);
    t.join();
    EXPECT_NE(politique, SCHED_IDLE);
    ASSERT_EQ(p.threadPriorities().size(), 1u);
    EXPECT_EQ(p.threadPriorities()[0], ThreadPriority::Lowest);
}

TEST(ScriptedPlatform, MessageBoxesAnswerFromTheQueueInOrder)
{
    ScriptedPlatform p;
    p.queueAnswer(MessageAnswer::Yes);
    p.queueAnswer(MessageAnswer::No);
    EXPECT_EQ(p.messageBox("Save?", "KIV-ZUL", MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::Yes);
    EXPECT_EQ(p.messageBox("Again?", "KIV-ZUL", MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::No);
    EXPECT_EQ(p.unanswered(), 0);
    const auto messages = p.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Save?");
    EXPECT_EQ(messages[0].caption, "KIV-ZUL");
    EXPECT_EQ(messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(messages[1].text, "Again?");
}

TEST(ScriptedPlatform, EmptyQueuesGiveDefaultsAndCountThem)
{
    ScriptedPlatform p;
    EXPECT_EQ(p.messageBox("Done", "", MessageButtons::Ok, MessageIcon::Information),
              MessageAnswer::Ok);
    EXPECT_EQ(p.messageBox("Quit?", "", MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::No);
    EXPECT_EQ(p.chooseFile(FileDialogKind::Open, "Fichiers (*.txt)|*.txt||"), std::nullopt);
    EXPECT_EQ(p.unanswered(), 3);
    const auto demandes = p.fileRequests();
    ASSERT_EQ(demandes.size(), 1u);
    EXPECT_EQ(demandes[0].kind, FileDialogKind::Open);
    EXPECT_EQ(demandes[0].filter, "Fichiers (*.txt)|*.txt||");
}

TEST(ScriptedPlatform, FileAnswersIncludingAQueuedCancel)
{
    ScriptedPlatform p;
    p.queueFile("/tmp/poids.txt");
    p.queueFile(std::nullopt);
    EXPECT_EQ(p.chooseFile(FileDialogKind::Save, "a|*.a||"), "/tmp/poids.txt");
    EXPECT_EQ(p.chooseFile(FileDialogKind::Open, "b|*.b||"), std::nullopt);
    EXPECT_EQ(p.unanswered(), 0); // a cancel that was queued is an answer
    EXPECT_EQ(p.chooseFile(FileDialogKind::Open, "c|*.c||"), std::nullopt);
    EXPECT_EQ(p.unanswered(), 1);
    ASSERT_EQ(p.fileRequests().size(), 3u);
    EXPECT_EQ(p.fileRequests()[0].kind, FileDialogKind::Save);
}

TEST(ScriptedPlatform, BeepsTracesAndClear)
{
    ScriptedPlatform p;
    p.setSleepScale(0.0);
    p.beep(440, 200);
    p.trace(TraceChannel::Serial, "-> 0x55");
    p.queueAnswer(MessageAnswer::Yes);
    ASSERT_EQ(p.beeps().size(), 1u);
    EXPECT_EQ(p.beeps()[0].frequency, 440);
    EXPECT_EQ(p.beeps()[0].milliseconds, 200);
    ASSERT_EQ(p.traces().size(), 1u);
    EXPECT_EQ(p.traces()[0].channel, TraceChannel::Serial);
    EXPECT_EQ(p.traces()[0].line, "-> 0x55");
    p.messageBox("x", "", MessageButtons::Ok, MessageIcon::None);
    p.clear();
    EXPECT_TRUE(p.beeps().empty());
    EXPECT_TRUE(p.traces().empty());
    EXPECT_TRUE(p.messages().empty());
    // the queued answer was used; a new question falls back to the default
    EXPECT_EQ(p.messageBox("y", "", MessageButtons::YesNo, MessageIcon::None), MessageAnswer::No);
    EXPECT_EQ(p.unanswered(), 1);
}

TEST(ScriptedPlatform, ClearDropsQueuedAnswers)
{
    ScriptedPlatform p;
    p.queueAnswer(MessageAnswer::Yes);
    p.queueFile("/x");
    p.clear();
    EXPECT_EQ(p.messageBox("q", "", MessageButtons::YesNo, MessageIcon::None), MessageAnswer::No);
    EXPECT_EQ(p.chooseFile(FileDialogKind::Open, ""), std::nullopt);
    EXPECT_EQ(p.unanswered(), 2);
}

TEST(ScriptedPlatform, SleepIsScaled)
{
    ScriptedPlatform p;
    p.setSleepScale(0.0);
    p.sleep(60000);
    p.beep(1000, 60000); // a tone lasts its duration, scaled too
    p.setSleepScale(0.5);
    p.sleep(30);
    EXPECT_EQ(p.sleeps(), (std::vector<double>{0.0, 0.0, 15.0}));
    p.clear();
    EXPECT_TRUE(p.sleeps().empty());
}

TEST(ScriptedPlatform, RecordsFromSeveralThreads)
{
    constexpr int kFils = 8;
    constexpr int kParFil = 250;
    constexpr int kReponses = 300;
    ScriptedPlatform p;
    p.setSleepScale(0.0);
    for (int k = 0; k < kReponses; ++k) {
        p.queueAnswer(MessageAnswer::Yes);
    }
    std::atomic<int> oui{0};
    std::vector<std::thread> fils;
    for (int f = 0; f < kFils; ++f) {
        fils.emplace_back([&p, &oui, f] {
            for (int k = 0; k < kParFil; ++k) {
                const std::string ligne = std::to_string(f) + ":" + std::to_string(k);
                p.trace(TraceChannel::World, ligne);
                if (p.messageBox(ligne, "", MessageButtons::YesNo, MessageIcon::None) ==
                    MessageAnswer::Yes) {
                    ++oui;
                }
                p.beep(f, k);
            }
        });
    }
    for (auto& t : fils) {
        t.join();
    }
    EXPECT_EQ(oui.load(), kReponses);
    EXPECT_EQ(p.unanswered(), kFils * kParFil - kReponses);
    EXPECT_EQ(p.messages().size(), static_cast<std::size_t>(kFils * kParFil));
    EXPECT_EQ(p.beeps().size(), static_cast<std::size_t>(kFils * kParFil));
    const auto traces = p.traces();
    ASSERT_EQ(traces.size(), static_cast<std::size_t>(kFils * kParFil));
    // each thread's lines keep their order
    std::vector<int> suivant(kFils, 0);
    for (const auto& t : traces) {
        const auto deuxPoints = t.line.find(':');
        const int f = std::stoi(t.line.substr(0, deuxPoints));
        const int k = std::stoi(t.line.substr(deuxPoints + 1));
        EXPECT_EQ(k, suivant[static_cast<std::size_t>(f)]++);
    }
}

} // namespace
