// Fuzz target of the table texts: any input gives a table or one of the
// readers' errors, never more memory than the input backs; a table read
// holds only numbers, keeps its shape in its storage, and reads back the
// same from its own text.
#include "FuzzSupport.h"

#include "core/Erreur.h"
#include "core/Table2D.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

using kiv_fuzz::verifier;

namespace {

void erreurConnue(const Erreur& e)
{
    verifier(std::strcmp(e.what(), "Format invalide!") == 0 ||
                 std::strcmp(e.what(), "Erreur d'allocation de memoire!") == 0,
             "a reader's own error");
}

template <class Table>
bool lire(const std::string& texte, Table& table)
{
    std::istringstream is(texte);
    try {
        is >> table;
        return true;
    } catch (const Erreur& e) {
        erreurConnue(e);
        return false;
    }
}

template <class Table>
std::string ecrire(const Table& table)
{
    std::ostringstream os;
    os << table;
    return os.str();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kiv_fuzz::preparer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    const std::string texte(reinterpret_cast<const char*>(donnees), taille);

    Table1D<int> entiers;
    if (lire(texte, entiers)) {
        Table1D<int> relus;
        verifier(lire(ecrire(entiers), relus), "an int table reads back");
        verifier(relus.taille() == entiers.taille(), "same count");
        for (int k = 0; k < entiers.taille(); ++k) {
            verifier(relus[k] == entiers[k], "same ints");
        }
    }

    Table2D<double> cellules(2, 3);
    const bool lu = lire(texte, cellules);
    verifier(cellules.lignes() * cellules.colonnes() == cellules.taille(),
             "the shape is that of the storage");
    // A block of rows without columns costs no memory but is written as one
    // line a row: twelve bytes can announce two billion of them. Such blocks
    // are checked for their shape only.
    if (lu && cellules.lignes() <= 100000) {
        Table2D<double> relues;
        verifier(lire(ecrire(cellules), relues), "a block reads back");
        verifier(relues.lignes() == cellules.lignes() && relues.colonnes() == cellules.colonnes(),
                 "same shape");
        for (int k = 0; k < cellules.taille(); ++k) {
            const double v = cellules.donnees()[k];
            verifier(std::isfinite(v), "only numbers are read");
            verifier(std::fabs(relues.donnees()[k] - v) <= 5e-6 * std::fabs(v) + 1e-300,
                     "six digits kept");
        }
    }

    Table1D<Table2D<double>> blocs;
    lire(texte, blocs);
    return 0;
}
