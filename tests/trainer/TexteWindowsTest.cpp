// The text files of the trainer: CR LF line ends, Windows-1252 bytes, classic
// number format, and readers that take LF or CR LF.
#include "trainer/TexteWindows.h"
#include "FichiersTemporaires.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sstream>

using kiv_test::lireOctets;
using kiv_test::RepertoireTemporaire;

namespace {

/** What the translation makes of `texte`, through a string buffer. */
std::string traduire(const std::string& texte)
{
    std::stringbuf cible;
    TamponWindows tampon(&cible);
    std::ostream os(&tampon);
    os << texte;
    os.flush();
    tampon.vider();
    return cible.str();
}

} // namespace

TEST(TexteWindows, LineEndsBecomeCrLf)
{
    EXPECT_EQ(traduire("a\nb\n\n"), "a\r\nb\r\n\r\n");
    std::stringbuf cible;
    TamponWindows tampon(&cible);
    std::ostream os(&tampon);
    os << "(1)" << std::endl << 2 << std::endl;
    EXPECT_EQ(cible.str(), "(1)\r\n2\r\n");
}

TEST(TexteWindows, Utf8BecomesWindows1252)
{
    EXPECT_EQ(traduire("DonnéesTest1="), "Donn\xE9"
                                         "esTest1=");
    EXPECT_EQ(traduire("Paramètre à Noël"), "Param\xE8tre \xE0 No\xEBl");
    // The characters that Windows-1252 keeps in 0x80 .. 0x9F.
    EXPECT_EQ(traduire("€ … œ Ÿ ™"), "\x80 \x85 \x9C \x9F \x99");
    EXPECT_EQ(traduire("\u00A0\u00FF"), "\xA0\xFF");
}

TEST(TexteWindows, CharactersWithoutAByteBecomeAQuestionMark)
{
    EXPECT_EQ(traduire("α→😀"), "???");
    EXPECT_EQ(traduire("\u0081"), "?"); // a C1 control, not a Windows-1252 character
    EXPECT_EQ(versWindows1252(0x20AC), 0x80);
    EXPECT_EQ(versWindows1252(0x0178), 0x9F);
    EXPECT_EQ(versWindows1252(0x2603), '?');
}

TEST(TexteWindows, BytesThatAreNotUtf8PassUnchanged)
{
    // Already Windows-1252, a lone continuation byte, an overlong form, a
    // sequence cut by a plain character and one cut by the end of the text.
    EXPECT_EQ(traduire("Donn\xE9"
                       "es"),
              "Donn\xE9"
              "es");
    EXPECT_EQ(traduire("\x80x"), "\x80x");
    EXPECT_EQ(traduire("\xE0\x80\x80"), "\xE0\x80\x80");
    EXPECT_EQ(traduire("\xC3\n"), "\xC3\r\n");
    EXPECT_EQ(traduire("ab\xE2\x82"), "ab\xE2\x82");
}

TEST(FichierTexteSortie, WritesTranslatedBytesAndReportsFailure)
{
    RepertoireTemporaire dossier;
    const std::string chemin = dossier / "sortie.txt";
    kiv_test::ecrireOctets(chemin, "an older and much longer content\n");
    {
        FichierTexteSortie f(chemin);
        ASSERT_TRUE(f.is_open());
        f << "Clé=" << 0.5 << '\n' << 1234567.0 << std::endl;
        EXPECT_TRUE(f.fermer());
    }
    EXPECT_EQ(lireOctets(chemin), "Cl\xE9=0.5\r\n1.23457e+06\r\n");

    // Dropped without fermer() (an error half-way): the previous file stays.
    {
        FichierTexteSortie f(chemin);
        f << "half a network\n";
    }
    EXPECT_EQ(lireOctets(chemin), "Cl\xE9=0.5\r\n1.23457e+06\r\n");

    FichierTexteSortie absent(dossier / "no/such/dir/f.txt");
    EXPECT_FALSE(absent.is_open());
    absent << "ignored\n";
    EXPECT_FALSE(absent.fermer());
    EXPECT_EQ(absent.raison(), std::strerror(ENOENT));
    EXPECT_EQ(dossier.entrees(), std::vector<std::string>{"sortie.txt"});
}

TEST(FichierTexteSortie, NumbersIgnoreTheGlobalLocale)
{
    RepertoireTemporaire dossier;
    kiv_test::LocaleVirgule virgule;
    {
        FichierTexteSortie f(dossier / "n.txt");
        f << 0.5 << ' ' << 1234567 << ' ' << -2.5e-7 << '\n';
        ASSERT_TRUE(f.fermer());
    }
    EXPECT_EQ(lireOctets(dossier / "n.txt"), "0.5 1234567 -2.5e-07\r\n");

    kiv_test::ecrireOctets(dossier / "e.txt", "0.25 1234\n");
    FichierTexteEntree e(dossier / "e.txt");
    double x = 0;
    int n = 0;
    e >> x >> n;
    EXPECT_EQ(x, 0.25);
    EXPECT_EQ(n, 1234);
}

TEST(FichierTexteEntree, LinesEndWithLfOrCrLf)
{
    std::istringstream is("a=1\r\nb=2\nlast\r");
    std::string ligne;
    ASSERT_TRUE(lireLigne(is, ligne));
    EXPECT_EQ(ligne, "a=1");
    ASSERT_TRUE(lireLigne(is, ligne));
    EXPECT_EQ(ligne, "b=2");
    ASSERT_TRUE(lireLigne(is, ligne));
    EXPECT_EQ(ligne, "last");
    EXPECT_FALSE(lireLigne(is, ligne));
    EXPECT_EQ(ligne, "");

    RepertoireTemporaire dossier;
    FichierTexteEntree absent(dossier / "absent.txt");
    EXPECT_FALSE(absent.is_open());
}
