// Fuzz target of the parameter file: any input gives fifteen fields (the
// reader never fails), and what the writer makes of them reads back to the
// same integers and the same doubles to six significant digits.
#include "FuzzSupport.h"

#include "trainer/FichierParametres.h"

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

using kiv_fuzz::verifier;

namespace {

bool memeDouble(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b);
    }
    if (std::isinf(a) || std::isinf(b)) {
        return a == b;
    }
    return std::fabs(a - b) <= 5e-6 * std::fabs(a) + 1e-300 || std::fabs(b) < 1e-300;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kiv_fuzz::preparer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    std::istringstream is(std::string(reinterpret_cast<const char*>(donnees), taille));
    const ParametresReseau p = lireParametres(is);
    std::ostringstream os;
    ecrireParametres(os, p);
    std::istringstream relu(os.str());
    const ParametresReseau q = lireParametres(relu);

    verifier(q.IterMax == p.IterMax && q.NeuroneEntree == p.NeuroneEntree &&
                 q.NeuroneSortie == p.NeuroneSortie && q.CoucheCache == p.CoucheCache &&
                 q.NeuroneCoucheCache == p.NeuroneCoucheCache,
             "integers read back");
    for (const auto champ :
         {&ParametresReseau::Gain, &ParametresReseau::Momentum, &ParametresReseau::Epsilon,
          &ParametresReseau::Tolerance, &ParametresReseau::ErreurMax, &ParametresReseau::MinOutput,
          &ParametresReseau::MaxOutput, &ParametresReseau::DonneesTest1,
          &ParametresReseau::DonneesTest2, &ParametresReseau::DonneesTest3}) {
        verifier(memeDouble(p.*champ, q.*champ), "doubles read back to six digits");
    }
    return 0;
}
