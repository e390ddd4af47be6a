#include "core/terminal/TerminalPlatform.h"
#include "core/ProgressBox.h"
#include "core/StringTable.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <set>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kQuestion = "Voulez-vous vraiment annuler l'opération?";

/** The terminal platform with its sleeps recorded instead of slept. */
class TerminalSansAttente : public TerminalPlatform {
public:
    using TerminalPlatform::TerminalPlatform;
    void sleep(int milliseconds) override { dormis.push_back(milliseconds); }
    std::vector<int> dormis;
};

/** A platform answering from `entree`, writing into a string. */
struct Terminal {
    explicit Terminal(const std::string& entree = "", bool terminal = false)
        : in(entree)
        , platform(in, out, terminal)
    {}
    std::istringstream in;
    std::ostringstream out;
    TerminalSansAttente platform;
};

TEST(TerminalQuestion, AnswersInFrenchOrEnglishAreYesEverythingElseNo)
{
    for (const char* oui : {"o", "oui", "y", "yes", "O", "Oui", "YES", "  oui  ", "y\r"}) {
        Terminal t(std::string(oui) + "\n");
        EXPECT_EQ(t.platform.messageBox(kQuestion, "KIV-ZUL", MessageButtons::YesNo,
                                        MessageIcon::Question),
                  MessageAnswer::Yes)
            << '"' << oui << '"';
    }
    for (const char* non : {"", "n", "non", "no", "N", "x", "ouii", "o o", "yes please"}) {
        Terminal t(std::string(non) + "\n");
        EXPECT_EQ(t.platform.messageBox(kQuestion, "KIV-ZUL", MessageButtons::YesNo,
                                        MessageIcon::Question),
                  MessageAnswer::No)
            << '"' << non << '"';
    }
}

TEST(TerminalQuestion, PromptShowsCaptionQuestionAndChoicesThenTheAnswer)
{
    Terminal t("oui\nnon\n");
    EXPECT_EQ(
        t.platform.messageBox(kQuestion, "KIV-ZUL", MessageButtons::YesNo, MessageIcon::Question),
        MessageAnswer::Yes);
    EXPECT_EQ(t.platform.messageBox("Continuer?", "", MessageButtons::YesNo, MessageIcon::None),
              MessageAnswer::No);
    EXPECT_EQ(t.out.str(), "KIV-ZUL: Voulez-vous vraiment annuler l'opération? [o/N] oui\n"
                           "Continuer? [o/N] non\n");
}

TEST(TerminalQuestion, LastLineWithoutLineEndStillCounts)
{
    Terminal t("oui");
    EXPECT_EQ(
        t.platform.messageBox(kQuestion, "KIV-ZUL", MessageButtons::YesNo, MessageIcon::Question),
        MessageAnswer::Yes);
}

TEST(TerminalQuestion, NoInputAnswersNoAndSaysSo)
{
    Terminal t;
    EXPECT_EQ(
        t.platform.messageBox(kQuestion, "KIV-ZUL", MessageButtons::YesNo, MessageIcon::Question),
        MessageAnswer::No);
    EXPECT_EQ(t.out.str(), "KIV-ZUL: " + kQuestion + " [o/N] \n(pas de réponse : non)\n");
}

TEST(TerminalMessages, OkBoxPrintsCaptionAndTextWithoutReadingInput)
{
    Terminal t("oui\n");
    EXPECT_EQ(t.platform.messageBox("Erreur d'ouverture du fichier d'entrainement (x.dat)",
                                    "KIV-ZUL", MessageButtons::Ok, MessageIcon::Exclamation),
              MessageAnswer::Ok);
    EXPECT_EQ(t.platform.messageBox("Sans titre", "", MessageButtons::Ok, MessageIcon::None),
              MessageAnswer::Ok);
    EXPECT_EQ(t.out.str(), "KIV-ZUL: Erreur d'ouverture du fichier d'entrainement (x.dat)\n"
                           "Sans titre\n");
    std::string reste;
    std::getline(t.in, reste);
    EXPECT_EQ(reste, "oui");
}

TEST(TerminalMessages, FileDialogsAreRefused)
{
    Terminal t;
    EXPECT_FALSE(t.platform.chooseFile(FileDialogKind::Open, "Poids (*.wgh)|*.wgh||"));
    EXPECT_FALSE(t.platform.chooseFile(FileDialogKind::Save, "Poids (*.wgh)|*.wgh||"));
}

TEST(TerminalMessages, BellOnlyOnATerminalAndTheToneLasts)
{
    Terminal fichier(std::string(), false);
    fichier.platform.beep(440, 30);
    EXPECT_EQ(fichier.out.str(), "");
    EXPECT_EQ(fichier.platform.dormis, std::vector<int>{30});

    Terminal terminal(std::string(), true);
    terminal.platform.beep(440, 0);
    terminal.platform.beep(440, -5);
    EXPECT_EQ(terminal.out.str(), "\a\a");
    EXPECT_EQ(terminal.platform.dormis, (std::vector<int>{0, 0}));
}

TEST(TerminalTrace, WrittenOnlyWhenEnabledWithTheChannelName)
{
    ::unsetenv("KIV_TRACE");
    {
        Terminal t;
        t.platform.trace(TraceChannel::Trainer, "muet");
        EXPECT_EQ(t.out.str(), "");
        t.platform.setTraceEnabled(true);
        t.platform.trace(TraceChannel::Trainer, "passe 3");
        t.platform.trace(TraceChannel::Serial, "octet 0x42");
        t.platform.trace(TraceChannel::World, "carte");
        t.platform.trace(TraceChannel::App, "début");
        EXPECT_EQ(t.out.str(), "kiv.trainer: passe 3\nkiv.serial: octet 0x42\n"
                               "kiv.world: carte\nkiv.app: début\n");
    }
    ::setenv("KIV_TRACE", "1", 1);
    {
        Terminal t;
        t.platform.trace(TraceChannel::App, "oui");
        EXPECT_EQ(t.out.str(), "kiv.app: oui\n");
    }
    for (const char* eteint : {"0", ""}) {
        ::setenv("KIV_TRACE", eteint, 1);
        Terminal t;
        t.platform.trace(TraceChannel::App, "non");
        EXPECT_EQ(t.out.str(), "") << '"' << eteint << '"';
    }
    ::unsetenv("KIV_TRACE");
}

TEST(TerminalTrace, LinesFromSeveralThreadsStayWhole)
{
    Terminal t;
    t.platform.setTraceEnabled(true);
    std::vector<std::thread> fils;
    for (int f = 0; f < 4; ++f) {
        fils.emplace_back([&t, f] {
            for (int k = 0; k < 200; ++k) {
                t.platform.trace(TraceChannel::World,
                                 "fil " + std::to_string(f) + " ligne " + std::to_string(k));
            }
        });
    }
    for (std::thread& fil : fils) {
        fil.join();
    }
    std::istringstream lignes(t.out.str());
    std::set<std::string> vues;
    std::string ligne;
    while (std::getline(lignes, ligne)) {
        EXPECT_TRUE(vues.insert(ligne).second) << ligne;
    }
    ASSERT_EQ(vues.size(), 800u);
    for (int f = 0; f < 4; ++f) {
        for (int k = 0; k < 200; ++k) {
            EXPECT_TRUE(
                vues.count("kiv.world: fil " + std::to_string(f) + " ligne " + std::to_string(k)));
        }
    }
}

TEST(TerminalProgressText, StatusLinesJoinedOnOneLine)
{
    EXPECT_EQ(statusOnOneLine("Erreur quadratique:\n"), "Erreur quadratique:");
    EXPECT_EQ(statusOnOneLine("Erreur quadratique:\nPasse #12 : 0.1234"),
              "Erreur quadratique: Passe #12 : 0.1234");
    EXPECT_EQ(statusOnOneLine("a\r\n\n\tb\n"), "a  b");
    EXPECT_EQ(statusOnOneLine(""), "");
}

TEST(TerminalProgressText, BarAndPercentage)
{
    EXPECT_EQ(progressLine(0, 100, 0, ""), "[                    ]   0%");
    EXPECT_EQ(progressLine(0, 100, 42, "x"), "[========            ]  42% x");
    EXPECT_EQ(progressLine(0, 100, 100, "fin"), "[====================] 100% fin");
    // Beyond the range the text wraps as the dialog's does, the bar stays full.
    EXPECT_EQ(progressLine(0, 100, 150, ""), "[====================]  50%");
    EXPECT_EQ(progressLine(0, 100, 230, ""), "[====================]  30%");
    EXPECT_EQ(progressLine(0, 500, 5, ""), "[                    ]   1%");
    EXPECT_EQ(progressLine(100, 200, 150, "", 10), "[=====     ]  50%");
    // An empty range (no pass to run) draws an empty bar instead of dividing by zero.
    EXPECT_EQ(progressLine(0, 0, 0, ""), "[                    ]   0%");
    EXPECT_EQ(progressLine(0, 100, -10, ""), "[                    ]   0%");
}

TEST(TerminalProgress, PlainLinesPerStatusChangeWhenNotATerminal)
{
    Terminal t;
    std::unique_ptr<ProgressBox> boite = t.platform.createProgressBox(ids::TrainerProgressTitle);
    EXPECT_EQ(t.out.str(), "");
    ASSERT_TRUE(boite->Create());
    boite->SetStatus("Erreur quadratique:\n");
    boite->SetRange(0, 500);
    boite->SetStep(5);
    EXPECT_EQ(boite->StepIt(), 0);
    boite->SetStatus("Erreur quadratique:\nPasse #0 : 0.1234");
    for (int k = 1; k < 100; ++k) {
        EXPECT_EQ(boite->StepIt(), 5 * k);
    }
    boite->SetStatus("Erreur quadratique:\nPasse #495 : 0.0101");
    boite->SetStatus("Erreur quadratique:\nPasse #500 : 0.0101\nTaux de classement: 0.8000");
    boite->ShowOkButton();
    EXPECT_EQ(t.out.str(),
              "Apprentissage du réseau (Ctrl+C pour annuler)\n"
              "[                    ]   0% Erreur quadratique:\n"
              "[                    ]   1% Erreur quadratique: Passe #0 : 0.1234\n"
              "[====================] 100% Erreur quadratique: Passe #495 : 0.0101\n"
              "[====================] 100% Erreur quadratique: Passe #500 : 0.0101 Taux de "
              "classement: 0.8000\n"
              "Erreur quadratique:\nPasse #500 : 0.0101\nTaux de classement: 0.8000\n");
}

TEST(TerminalProgress, PositionsReturnThePreviousOneAndCreateRestarts)
{
    Terminal t;
    std::unique_ptr<ProgressBox> boite = t.platform.createProgressBox(0);
    ASSERT_TRUE(boite->Create());
    EXPECT_EQ(boite->SetPos(30), 0);
    EXPECT_EQ(boite->OffsetPos(150), 30);
    boite->SetStatus("a");
    EXPECT_EQ(boite->StepIt(), 180);
    EXPECT_EQ(boite->SetPos(7), 181);
    boite->SetRange(10, 20);
    ASSERT_TRUE(boite->Create());
    EXPECT_EQ(boite->StepIt(), 10);
    boite->SetStatus("b");
    EXPECT_EQ(t.out.str(), "Boite de progression (Ctrl+C pour annuler)\n"
                           "[====================]  80% a\n"
                           "Boite de progression (Ctrl+C pour annuler)\n"
                           "[==                  ]  10% b\n");
}

TEST(TerminalProgress, RedrawnInPlaceOnATerminal)
{
    Terminal t(std::string(), true);
    t.platform.setWidth(40);
    std::unique_ptr<ProgressBox> boite = t.platform.createProgressBox(ids::TrainerProgressTitle);
    boite->Create();
    boite->SetRange(0, 1000); // still 0%: nothing to redraw
    boite->SetStatus("Erreur quadratique:\nPasse #0 : 0.5000");
    boite->StepIt(); // 1 in 1000 is still 0%
    boite->SetPos(100);
    boite->SetStatus("court");
    boite->ShowOkButton();
    EXPECT_EQ(t.out.str(),
              "Apprentissage du réseau (Ctrl+C pour annuler)\n"
              "\r[                    ]   0%"
              // Cut to the width, one column left free for the cursor.
              "\r[                    ]   0% Erreur quad"
              "\r[==                  ]  10% Erreur quad"
              // A shorter line blanks what is left of the longer one.
              "\r[==                  ]  10% court      \r[==                  ]  10% court"
              "\ncourt\n");
}

TEST(TerminalProgress, MessagesAndTheBoxEndKeepTheBarLineWhole)
{
    Terminal t("non\n", true);
    t.platform.setWidth(80);
    {
        std::unique_ptr<ProgressBox> boite = t.platform.createProgressBox(0);
        boite->Create();
        boite->SetStatus("x");
        EXPECT_EQ(t.platform.messageBox("Arrêter?", "KIV-ZUL", MessageButtons::YesNo,
                                        MessageIcon::Question),
                  MessageAnswer::No);
        boite->SetPos(50);
    }
    EXPECT_EQ(t.out.str(), "Boite de progression (Ctrl+C pour annuler)\n"
                           "\r[                    ]   0%"
                           "\r[                    ]   0% x"
                           "\nKIV-ZUL: Arrêter? [o/N] non\n"
                           "\r[==========          ]  50% x"
                           "\n");
}

TEST(TerminalInterrupt, CtrlCIsTakenOnceByCheckCancel)
{
    Terminal t;
    std::unique_ptr<ProgressBox> boite = t.platform.createProgressBox(0);
    boite->Create();
    EXPECT_FALSE(boite->CheckCancel());
    std::raise(SIGINT);
    EXPECT_TRUE(boite->CheckCancel());
    EXPECT_FALSE(boite->CheckCancel());
    std::raise(SIGINT);
    EXPECT_TRUE(TerminalPlatform::takeInterrupt());
    EXPECT_FALSE(boite->CheckCancel());
}

TEST(TerminalInterrupt, FlagDoesNotOutliveThePlatform)
{
    {
        Terminal t;
        std::raise(SIGINT);
    }
    Terminal t;
    EXPECT_FALSE(TerminalPlatform::takeInterrupt());
}

using TerminalInterruptDeathTest = ::testing::Test;

TEST_F(TerminalInterruptDeathTest, SecondCtrlCWhileNothingPollsEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Terminal t;
            std::raise(SIGINT);
            std::raise(SIGINT);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
}

/** Input that gets a Ctrl+C while the user is being asked. */
class SaisieInterrompue : public std::streambuf {
protected:
    int_type underflow() override
    {
        std::raise(SIGINT);
        return traits_type::eof();
    }
};

TEST_F(TerminalInterruptDeathTest, CtrlCWhileAQuestionWaitsEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            SaisieInterrompue saisie;
            std::istream in(&saisie);
            std::ostringstream out;
            TerminalPlatform p(in, out, false);
            p.messageBox(kQuestion, "KIV-ZUL", MessageButtons::YesNo, MessageIcon::Question);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
}

TEST_F(TerminalInterruptDeathTest, CtrlCAfterAnUnanswerableQuestionEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Terminal t;
            t.platform.messageBox(kQuestion, "KIV-ZUL", MessageButtons::YesNo,
                                  MessageIcon::Question);
            std::raise(SIGINT);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
}

TEST(TerminalInterrupt, AnsweredQuestionLeavesCtrlCToThePoll)
{
    Terminal t("n\n");
    t.platform.messageBox(kQuestion, "KIV-ZUL", MessageButtons::YesNo, MessageIcon::Question);
    EXPECT_FALSE(TerminalPlatform::takeInterrupt());
    std::raise(SIGINT);
    EXPECT_TRUE(TerminalPlatform::takeInterrupt());
}

TEST(TerminalInterrupt, PreviousHandlerIsBackAfterThePlatform)
{
    struct sigaction avant {};
    sigaction(SIGINT, nullptr, &avant);
    {
        Terminal t;
        struct sigaction pendant {};
        sigaction(SIGINT, nullptr, &pendant);
        EXPECT_NE(pendant.sa_handler, avant.sa_handler);
    }
    struct sigaction apres {};
    sigaction(SIGINT, nullptr, &apres);
    EXPECT_EQ(apres.sa_handler, avant.sa_handler);
}

} // namespace
