// Fuzz target of the session log reader. Invariants beyond "no crash":
// every record read has a known kind and a time that never goes back; the
// records read, written out again, give back exactly the bytes they came
// from; a clean end means the whole input was used, a torn or damaged end
// that some of it was left; a payload never holds more than the input had.
#include "link/recorder/FormatJournal.h"
#include "link/recorder/LecteurJournal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace {

void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", quoi);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string entree(reinterpret_cast<const char*>(data), size);
    std::istringstream flux(entree);
    journal::LecteurJournal lecteur(flux);
    if (!lecteur.lireEntete()) {
        verifier(size < journal::TailleEntete || std::memcmp(data, journal::Magie, 6) != 0 ||
                     data[6] != 1 || data[7] != 0,
                 "a valid header is accepted");
        return 0;
    }
    verifier(size >= journal::TailleEntete, "a header needs its 16 bytes");

    std::string reecrit(journal::TailleEntete, '\0');
    journal::encoderEntete(reinterpret_cast<std::uint8_t*>(reecrit.data()), lecteur.debutUnixUs());
    journal::Enregistrement e;
    journal::Lecture r;
    std::uint64_t precedent = 0;
    while ((r = lecteur.suivant(e)) == journal::Lecture::Enregistrement) {
        verifier(journal::genreConnu(static_cast<std::uint8_t>(e.genre)), "kind of a record");
        verifier(e.tempsUs >= precedent, "time never goes back");
        precedent = e.tempsUs;
        verifier(e.charge.size() <= size - reecrit.size(), "payload within the input");
        std::uint8_t entete[journal::TailleEnteteEnregistrement];
        journal::encoderEnregistrement(entete, e.tempsUs, e.genre, e.charge.size());
        reecrit.append(reinterpret_cast<const char*>(entete), sizeof entete);
        reecrit.append(e.texte());
    }
    verifier(reecrit.size() <= size && entree.compare(0, reecrit.size(), reecrit) == 0,
             "records written again give back their bytes");
    verifier((r == journal::Lecture::Fin) == (reecrit.size() == size),
             "a clean end uses the whole input");
    verifier(lecteur.suivant(e) == r, "a stopped reader stays stopped");
    return 0;
}
