// A numeric setting's text is read within its range, never overflowing, and
// a refused one is told once per key and run, to the terminal's listener and
// to the session log that is open (or the next one that opens).
#include "core/ReglageNumerique.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using reglages::lireTexte;
using reglages::Plage;

constexpr Plage Silence{0, 10000, true};
constexpr Plage Delai{0.5, 60, false};

TEST(ReglageNumerique, AValueIsTakenOnlyWholeFiniteAndInItsRange)
{
    EXPECT_EQ(lireTexte(std::nullopt, Silence).valeur, std::nullopt);
    EXPECT_EQ(lireTexte(std::nullopt, Silence).refus, "") << "a missing key is no fault";
    for (const auto& [texte, attendu] : std::vector<std::pair<const char*, double>>{
             {"0", 0}, {"10000", 10000}, {" 250 ", 250}, {"+20", 20}, {"-0", 0}}) {
        EXPECT_EQ(lireTexte(texte, Silence).valeur, attendu) << texte;
        EXPECT_EQ(lireTexte(texte, Silence).refus, "") << texte;
    }
    // Past the range by any number of digits: ms * 1000 once overflowed to
    // 8 us (every frame cut) or wrapped negative (resynchronisation off).
    for (const char* texte : {"10001", "-1", "2066035336255469781", "9223372036854776",
                              "99999999999999999999999999", "-99999999999999999999999999"}) {
        const reglages::Lecture lu = lireTexte(texte, Silence);
        EXPECT_EQ(lu.valeur, std::nullopt) << texte;
        EXPECT_EQ(lu.refus, "est hors de la plage de 0 à 10000") << texte;
    }
    for (const char* texte :
         {"", "  ", "abc", "12ms", "20.0", "1e3", "0x10", "1,5", "nan", "++2"}) {
        EXPECT_EQ(lireTexte(texte, Silence).refus, "n'est pas un nombre entier de 0 à 10000")
            << texte;
    }
    EXPECT_EQ(lireTexte("1048577", Plage{1, 1048576, true}).refus,
              "est hors de la plage de 1 à 1048576");
    EXPECT_EQ(lireTexte("0.5", Delai).valeur, 0.5);
    EXPECT_EQ(lireTexte("6e1", Delai).valeur, 60.0);
    EXPECT_EQ(lireTexte("0.49", Delai).refus, "est hors de la plage de 0.5 à 60");
    EXPECT_EQ(lireTexte("1e400", Delai).refus, "n'est pas un nombre de 0.5 à 60");
    for (const char* texte : {"nan", "inf", "-inf", "deux", "2,5"}) {
        EXPECT_EQ(lireTexte(texte, Delai).refus, "n'est pas un nombre de 0.5 à 60") << texte;
    }
}

TEST(ReglageNumerique, TheWarningShowsTheValueEscapedAndCut)
{
    EXPECT_EQ(reglages::texteAvertissement("Lien/SilenceResynchroMs", "2066035336255469781",
                                           "est hors de la plage de 0 à 10000"),
              "réglage Lien/SilenceResynchroMs ignoré : « 2066035336255469781 » est hors de la "
              "plage de 0 à 10000, valeur par défaut");
    EXPECT_EQ(reglages::texteAvertissement("A", "\x1b[2J" + std::string(50, '9'), "x"),
              "réglage A ignoré : « \\x1B[2J" + std::string(36, '9') + "… » x, valeur par défaut");
}

TEST(ReglageNumerique, EachKeyIsToldOnceToTheListenerAndToOneLog)
{
    reglages::oublierAvertissements();
    std::vector<std::string> dits;
    std::vector<std::string> journalA;
    std::vector<std::string> journalB;
    reglages::ecouterAvertissements([&](const std::string& t) { dits.push_back(t); });
    reglages::avertirReglage("Lien/SilenceResynchroMs", "un");
    reglages::avertirReglage("Lien/SilenceResynchroMs", "un encore"); // read again: nothing
    reglages::avertirReglage("Batterie/SeuilPourcent", "deux");
    EXPECT_EQ(dits, (std::vector<std::string>{"un", "deux"}));

    // A log that opens takes what was told before it, then what comes.
    const int a = 0;
    const int b = 0;
    reglages::journaliserAvertissements(&a, [&](const std::string& t) { journalA.push_back(t); });
    reglages::avertirReglage("Journal/TailleMaxMo", "trois");
    EXPECT_EQ(journalA, (std::vector<std::string>{"un", "deux", "trois"}));
    // Another link takes over; the first one going withdraws nothing of it.
    reglages::journaliserAvertissements(&b, [&](const std::string& t) { journalB.push_back(t); });
    reglages::retirerJournal(&a);
    reglages::avertirReglage("Calibration/EcartMaxCm", "quatre");
    EXPECT_EQ(journalB, (std::vector<std::string>{"quatre"})) << "each warning reaches one log";
    reglages::retirerJournal(&b);
    reglages::avertirReglage("Journal/VitesseRejeu", "cinq");
    EXPECT_EQ(journalB.size(), 1u);
    reglages::journaliserAvertissements(&a, [&](const std::string& t) { journalA.push_back(t); });
    EXPECT_EQ(journalA.back(), "cinq") << "kept until a log opens";
    EXPECT_EQ(dits.size(), 5u);
    reglages::oublierAvertissements();
}

} // namespace
