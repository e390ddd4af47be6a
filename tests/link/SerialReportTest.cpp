// Configuration steps and their reports: the text and its cut, each failed
// step under its name, a device without modem lines, the accessors.
#include "LinkFixture.h"

#include "link/SerialReport.h"

namespace {

TEST(SerialReport, TextHasItsFormatAndIsCutTo200Bytes)
{
    EXPECT_EQ(ReportErrorText("SetCommState()", "Invalid argument", 3),
              "WARNING:  SetCommState() Failed with the following error: \n"
              "Invalid argument\nPort: 3\n");
    const std::string longue = ReportErrorText("WriteFile()", std::string(300, 'x'), 2);
    EXPECT_EQ(longue.size(), 199u);
    EXPECT_EQ(longue.substr(0, 57), "WARNING:  WriteFile() Failed with the following error: \nx");
    // A cut never splits a character: 55 bytes of frame, 143 letters, then
    // two-byte characters; the first of them would end on byte 200.
    const std::string coupe = ReportErrorText("ReadFile()", std::string(143, 'e') + "éééé", 1);
    EXPECT_EQ(coupe.size(), 198u);
    EXPECT_EQ(coupe.back(), 'e');
    const std::string entier = ReportErrorText("ReadFile()", std::string(142, 'e') + "éééé", 1);
    EXPECT_EQ(entier.size(), 199u);
    EXPECT_EQ(entier.substr(197), "é");
}

TEST_F(LienTest, FailedStepsAreReportedUnderTheirNamesAndTheOpeningStands)
{
    const struct {
        char parite;
        int baud;
        unsigned masque;
        std::string texte;
    } cas[] = {
        {'N', 9600, 0x4000,
         "WARNING:  SetCommMask() Failed with the following error: \n" +
             std::string(std::strerror(EINVAL)) + "\nPort: 1\n"},
        {'X', 9600, LinkRxChar,
         "WARNING:  BuildCommDCB() Failed with the following error: \n" +
             std::string(std::strerror(EINVAL)) + "\nPort: 1\n"},
        // A pseudo-terminal is always 8N1.
        {'E', 9600, LinkRxChar,
         "WARNING:  SetCommState() Failed with the following error: \nInvalid argument\nPort: 1\n"},
        {'N', 0, LinkRxChar,
         "WARNING:  SetCommState() Failed with the following error: \n"
         "Invalid baud rate value\nPort: 1\n"},
    };
    for (const auto& c : cas) {
        plateforme().clear();
        EXPECT_TRUE(configurer(c.masque, 512, c.parite, c.baud)) << c.texte;
        const auto messages = plateforme().messages();
        ASSERT_EQ(messages.size(), 1u) << c.texte;
        EXPECT_EQ(messages[0].text, c.texte);
        EXPECT_EQ(messages[0].caption, "Application Error");
        EXPECT_EQ(messages[0].icon, MessageIcon::Stop);
    }
    // Opened all the same: the link runs.
    ASSERT_TRUE(lien->StartMonitor());
    pty.envoyer("z");
    ASSERT_TRUE(recevoir(1));
}

TEST_F(LienTest, APseudoTerminalWithoutModemLinesIsNoError)
{
    ASSERT_TRUE(configurer(LinkRxChar | LinkCts, 512, 'n', 38400));
    EXPECT_TRUE(plateforme().messages().empty());
    bool modem = false;
    for (const auto& t : plateforme().traces()) {
        modem = modem || t.line.rfind("No modem lines on " + pty.nom(), 0) == 0;
    }
    EXPECT_TRUE(modem);
    EXPECT_TRUE(tracee("Initialisation for communicationport 1 completed.\n"
                       "Use Startmonitor to communicate.\n"));
    const LineSettings ligne = lien->lineSettings();
    EXPECT_EQ(ligne.baud, 38400);
    EXPECT_EQ(ligne.parity, 'N');
    EXPECT_EQ(ligne.dataBits, 8);
    EXPECT_EQ(ligne.stopBits, 1);
    EXPECT_FALSE(ligne.requestToSend);
    EXPECT_EQ(lien->eventMask(), 9u);
    EXPECT_EQ(lien->bufferSize(), 512);
    EXPECT_EQ(lien->device().toStdString(), pty.nom());
    EXPECT_FALSE(lien->threadAlive()) << "until StartMonitor";
}

} // namespace
