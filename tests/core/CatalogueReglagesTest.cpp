// The manual's tables of settings keys against the one list the code reads
// them from: names, ranges, defaults, switches.
#include "core/CatalogueReglages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using reglages::CleReglage;
using reglages::Genre;

std::string manuel()
{
    std::ifstream f(KIV_MANUEL);
    std::ostringstream texte;
    texte << f.rdbuf();
    return texte.str();
}

/** The cells of each table row whose first cell is one backticked key. */
std::map<std::string, std::vector<std::string>> rangees(const std::string& texte)
{
    std::map<std::string, std::vector<std::string>> lignes;
    static const std::regex rangee(R"(^\| `([A-Za-z]+/[A-Za-z]+)` \|(.*)\|\s*$)");
    std::istringstream flux(texte);
    std::string ligne;
    std::smatch m;
    while (std::getline(flux, ligne)) {
        if (std::regex_match(ligne, m, rangee)) {
            std::vector<std::string> cellules;
            std::istringstream reste(m[2].str());
            std::string cellule;
            while (std::getline(reste, cellule, '|')) {
                cellules.push_back(cellule);
            }
            lignes[m[1].str()] = cellules;
        }
    }
    return lignes;
}

/** The numbers written in `texte`, in order ("0.5 to 60" gives 0.5 and 60). */
std::vector<double> nombres(const std::string& texte)
{
    std::vector<double> n;
    static const std::regex nombre(R"((^|[ (])([0-9]+(\.[0-9]+)?))");
    for (auto it = std::sregex_iterator(texte.begin(), texte.end(), nombre);
         it != std::sregex_iterator(); ++it) {
        n.push_back(std::strtod((*it)[2].str().c_str(), nullptr));
    }
    return n;
}

} // namespace

TEST(CatalogueReglages, TheManualsTablesSayEachKeysRangeAndDefault)
{
    const auto lignes = rangees(manuel());
    std::set<std::string> decrites;
    for (const CleReglage& cle : reglages::ToutesLesCles) {
        if (cle.genre == Genre::Texte) {
            continue;
        }
        SCOPED_TRACE(cle.nom);
        const auto it = lignes.find(cle.nom);
        ASSERT_NE(it, lignes.end()) << "no row in the manual's tables";
        decrites.insert(cle.nom);
        const std::vector<std::string>& cellules = it->second;
        if (cle.genre == Genre::Oui) {
            ASSERT_GE(cellules.size(), 2U);
            EXPECT_EQ(cellules[0], cle.defaut.value_or(0) != 0 ? " true " : " false ");
            continue;
        }
        ASSERT_EQ(cellules.size(), 2U);
        const std::vector<double> plage = nombres(cellules[0]);
        ASSERT_GE(plage.size(), 2U);
        EXPECT_EQ(plage[0], cle.plage.min);
        EXPECT_EQ(plage[1], cle.plage.max);
        EXPECT_EQ(cellules[0].find("whole") != std::string::npos, cle.plage.entier);
        const std::vector<double> defaut = nombres(cellules[1]);
        if (cle.defaut) {
            ASSERT_FALSE(defaut.empty());
            EXPECT_EQ(defaut[0], *cle.defaut);
        } else {
            EXPECT_TRUE(defaut.empty() || cellules[1].find(" at least ") != std::string::npos)
                << "a computed default is said in words";
        }
    }
    for (const auto& [nom, cellules] : lignes) {
        EXPECT_TRUE(decrites.count(nom) == 1) << nom << ": in the manual, not in the code";
    }
}

TEST(CatalogueReglages, TheManualsListOfFilesNamesEveryKey)
{
    const std::string texte = manuel();
    const std::size_t debut = texte.find("\n| settings store |");
    ASSERT_NE(debut, std::string::npos);
    const std::string rangee = texte.substr(debut + 1, texte.find('\n', debut + 1) - debut - 1);
    std::set<std::string> nommees;
    static const std::regex cle(R"(`([A-Za-z]+/[A-Za-z.]*)`)");
    for (auto it = std::sregex_iterator(rangee.begin(), rangee.end(), cle);
         it != std::sregex_iterator(); ++it) {
        nommees.insert((*it)[1].str());
    }
    // A family is written as its common start and a placeholder ("Link/COMn", "Dossiers/...").
    for (const CleReglage& c : reglages::ToutesLesCles) {
        const std::string nom = c.nom;
        const auto it = std::find_if(nommees.begin(), nommees.end(), [&](const std::string& n) {
            return c.famille ? n == nom + "n" || n == nom + "..." : n == nom;
        });
        EXPECT_NE(it, nommees.end()) << nom << ": not in the manual's list";
        if (it != nommees.end()) {
            nommees.erase(it);
        }
    }
    EXPECT_TRUE(nommees.empty()) << *nommees.begin() << ": in the manual, not in the code";
}
