// The value parser, the line reader and the dialog's reading of the settings file.
#include "link/settings/LectureScom.h"
#include "link/settings/ValeurReglage.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

namespace {

TEST(ValeurReglage, LignesDuFichierEtExemples)
{
    EXPECT_EQ(valeurReglage("Last Port = 1"), 1);              // read from "ort = 1"
    EXPECT_EQ(valeurReglage("Baud Rate = 9600"), 9600);        // read from "ate = 9600"
    EXPECT_EQ(valeurReglage("Baud Rate = 9600 bps"), 9600000); // letters count as zeros
    EXPECT_EQ(valeurReglage("a=7"), 7);
    EXPECT_EQ(valeurReglage("=5 6"), 56);
    EXPECT_EQ(valeurReglage("Baud\tRate =\t38400"), 38400);
}

TEST(ValeurReglage, EgalCherchéDansLesSixPremiersCaracteres)
{
    EXPECT_EQ(valeurReglage("abcd=17"), 17); // '=' at 4: from position 5
    EXPECT_EQ(valeurReglage("ab=3cd9"), 3009);
    EXPECT_EQ(valeurReglage("abcdefg=17"), 17); // not found: from 6, '=' is a zero
    EXPECT_EQ(valeurReglage("abcdef1=7"), 107); // the first '=' is past the key
    EXPECT_EQ(valeurReglage("a=b=2"), 2);       // first '=' only; 'b' and '=' are zeros
}

TEST(ValeurReglage, LignesCourtesVidesEtDebordement)
{
    EXPECT_EQ(valeurReglage(""), 0);
    EXPECT_EQ(valeurReglage("12345"), 0);          // nothing from position 6 on
    EXPECT_EQ(valeurReglage("Last Port = -3"), 3); // '-' is a zero too: never negative
    EXPECT_EQ(valeurReglage("Baud Rate = 2147483647"), INT_MAX);
    EXPECT_EQ(valeurReglage("Baud Rate = 2147483648"), INT_MAX);
    EXPECT_EQ(valeurReglage("Baud Rate = 9600 bps and some more letters"), INT_MAX);
    EXPECT_EQ(valeurReglage(std::string_view("=\xff\x00"
                                             "9",
                                             4)),
              9);
}

TEST(LigneScom, FinsDeLigneLfEtCrLfEtDerniereLigneSansFin)
{
    std::istringstream entree("un\r\ndeux\ntrois\r\r\n\r\nquatre");
    std::string ligne;
    std::vector<std::string> lues;
    while (lireLigneScom(entree, ligne)) {
        lues.push_back(ligne);
    }
    EXPECT_EQ(lues, (std::vector<std::string>{"un", "deux", "trois\r", "", "quatre"}));
    EXPECT_EQ(ligne, "quatre"); // unchanged by the failed read
}

TEST(LigneScom, LigneLongueCoupeeA99EtResteIgnore)
{
    const std::string longue = std::string(99, 'x') + "[OPTIONS]" + std::string(92, 'y');
    std::istringstream entree(longue + "\r\nsuite\r\n" + std::string(99, 'z') + "\r\n");
    std::string ligne;
    ASSERT_TRUE(lireLigneScom(entree, ligne));
    EXPECT_EQ(ligne, std::string(99, 'x'));
    ASSERT_TRUE(lireLigneScom(entree, ligne));
    EXPECT_EQ(ligne, "suite");
    ASSERT_TRUE(lireLigneScom(entree, ligne));
    EXPECT_EQ(ligne, std::string(99, 'z')); // exactly 99 plus CR LF: whole
    EXPECT_FALSE(lireLigneScom(entree, ligne));
}

TEST(LigneScom, OctetsQuelconques)
{
    const std::string octets("\0[OPTIONS]\xff\r\n\x01\x80", 15);
    std::istringstream entree(octets);
    std::string ligne;
    ASSERT_TRUE(lireLigneScom(entree, ligne));
    EXPECT_EQ(ligne, std::string("\0[OPTIONS]\xff", 11));
    ASSERT_TRUE(lireLigneScom(entree, ligne));
    EXPECT_EQ(ligne, "\x01\x80");
}

ReglagesCommDlg lire(const std::string& texte)
{
    std::istringstream entree(texte);
    return lireReglagesCommDlg(entree);
}

TEST(ReglagesCommDlg, FichierDuDialogueEtDefauts)
{
    const ReglagesCommDlg lu = lire(";scom.ini\r\n;x\r\n\r\n[OPTIONS]\r\nLast Port = 3\r\n\r\n"
                                    "[Port#1]\r\nBaud Rate = 19200\r\n");
    EXPECT_EQ(lu.indexPort, 2);
    EXPECT_EQ(lu.baud, 19200);

    const ReglagesCommDlg vide = lire("");
    EXPECT_EQ(vide.indexPort, 1); // COM2
    EXPECT_EQ(vide.baud, 0);

    // A rate without "[OPTIONS]" is dropped for the defaults.
    const ReglagesCommDlg sansOptions = lire("[Port#1]\nBaud Rate = 4800\n");
    EXPECT_EQ(sansOptions.indexPort, 1);
    EXPECT_EQ(sansOptions.baud, 0);

    EXPECT_EQ(lireReglagesCommDlg("/nonexistent/folder/scom.ini").indexPort, 1);
    // A folder opens as a file whose reading fails: no exception, the defaults.
    EXPECT_EQ(lireReglagesCommDlg(testing::TempDir()).indexPort, 1);
}

TEST(ReglagesCommDlg, PremiereLigneExamineeEtValeursHorsBornes)
{
    const ReglagesCommDlg lu = lire("[OPTIONS]\nLast Port = 4\n[Port#1]\nBaud Rate = 300\n");
    EXPECT_EQ(lu.indexPort, 3);
    EXPECT_EQ(lu.baud, 300);

    const ReglagesCommDlg zero = lire("[OPTIONS]\nLast Port = 0\n");
    EXPECT_EQ(zero.indexPort, -1);
    EXPECT_EQ(zero.baud, 0);

    const ReglagesCommDlg enorme = lire("[OPTIONS]\nLast Port = 99999999999\n");
    EXPECT_EQ(enorme.indexPort, INT_MAX - 1);
}

TEST(SectionsScom, PortJusteApresOptionsEtSectionsSansValeur)
{
    // "[Port#1]" straight after "[OPTIONS]" is both the port line (its value:
    // "#1]" from position 6, 010) and the rate's header.
    std::istringstream collees("x\n[OPTIONS]\n[Port#1]\nBaud Rate = 2400\n");
    const SectionsScom s = lireSectionsScom(collees, true);
    EXPECT_TRUE(s.options);
    EXPECT_EQ(s.port, 10);
    EXPECT_EQ(s.baud, 2400);

    // The rate line is taken whatever it holds, a header included; the last
    // "[OPTIONS]" has no line left after it.
    std::istringstream tronque("x\n[Port#1]\n[OPTIONS]\n[OPTIONS]");
    const SectionsScom t = lireSectionsScom(tronque, true);
    EXPECT_TRUE(t.options);
    EXPECT_FALSE(t.port.has_value());
    EXPECT_EQ(t.baud, 0);
}

} // namespace
