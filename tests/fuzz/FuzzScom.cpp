// Fuzz target of the link's settings file: the value parser, the line
// reader, Port and the dialog's reading, each checked against a plain
// reference built on a different split of the input, and the writer's file
// read back by both readers.
#include "link/settings/EcritureScom.h"
#include "link/settings/LectureScom.h"
#include "link/settings/Port.h"
#include "link/settings/ValeurReglage.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", quoi);
        std::abort(); // libFuzzer keeps the input that got here
    }
}

/** The value of a line, in 64 bits and saturated at the end. */
int valeurReference(const std::string& ligne)
{
    const std::size_t egal = ligne.substr(0, 6).find('=');
    const std::size_t debut = egal == std::string::npos ? 6 : egal + 1;
    long long v = 0;
    for (std::size_t i = debut; i < ligne.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(ligne[i]);
        if (c == ' ' || c == '\t') {
            continue;
        }
        v = v * 10 + (std::isdigit(c) ? c - '0' : 0);
        if (v > INT_MAX) {
            return INT_MAX;
        }
    }
    return static_cast<int>(v);
}

/** The lines of the input: split on LF, one CR before it dropped, 99 characters kept. */
std::vector<std::string> lignesReference(const std::string& texte)
{
    std::vector<std::string> lignes;
    std::size_t debut = 0;
    while (debut < texte.size()) {
        std::size_t fin = texte.find('\n', debut);
        const bool derniere = fin == std::string::npos;
        if (derniere) {
            fin = texte.size();
        }
        std::string ligne = texte.substr(debut, fin - debut);
        if (!ligne.empty() && ligne.back() == '\r') {
            ligne.pop_back();
        }
        lignes.push_back(ligne.substr(0, LongueurLigneScom));
        debut = fin + 1;
    }
    return lignes;
}

SectionsScom sectionsReference(const std::vector<std::string>& lignes, bool ignorerPremiere)
{
    SectionsScom s;
    std::size_t i = ignorerPremiere ? 1 : 0;
    for (; i < lignes.size(); ++i) {
        if (lignes[i] == "[OPTIONS]") {
            s.options = true;
            if (i + 1 < lignes.size()) {
                s.port = valeurReference(lignes[++i]);
            }
        }
        if (lignes[i] == "[Port#1]" && i + 1 < lignes.size()) {
            s.baud = valeurReference(lignes[++i]);
        }
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string texte(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> attendues = lignesReference(texte);

    // The line reader.
    {
        std::istringstream entree(texte);
        std::string ligne;
        std::size_t n = 0;
        while (lireLigneScom(entree, ligne)) {
            verifier(n < attendues.size() && ligne == attendues[n], "ligne");
            verifier(ligne.size() <= LongueurLigneScom, "longueur");
            ++n;
        }
        verifier(n == attendues.size(), "nombre de lignes");
    }

    // The value parser on every line, and on the whole input as one line.
    for (const std::string& ligne : attendues) {
        const int v = valeurReglage(ligne);
        verifier(v >= 0 && v == valeurReference(ligne), "valeur");
    }
    verifier(valeurReglage(texte) == valeurReference(texte), "valeur longue");

    // Port: the first line ignored, defaults without "[OPTIONS]".
    const SectionsScom ref = sectionsReference(attendues, true);
    {
        std::istringstream entree(texte);
        Port port;
        verifier(port.lire(entree) == 1, "retour");
        const int portAttendu = ref.options ? ref.port.value_or(1) : 1;
        const int baudAttendu = ref.options ? ref.baud.value_or(1200) : 1200;
        verifier(port.port == portAttendu && port.baud == baudAttendu, "Port");
        verifier(port.port >= 0 && port.baud >= 0, "Port positif");
    }

    // The dialog's reading: every line examined, index = port - 1.
    {
        const SectionsScom refDlg = sectionsReference(attendues, false);
        std::istringstream entree(texte);
        const ReglagesCommDlg dlg = lireReglagesCommDlg(entree);
        const int indexAttendu = refDlg.options ? (refDlg.port ? *refDlg.port - 1 : 1) : 1;
        const int baudAttendu = refDlg.options ? refDlg.baud.value_or(0) : 0;
        verifier(dlg.indexPort == indexAttendu && dlg.baud == baudAttendu, "CommDlg");
        verifier(dlg.indexPort >= -1, "index");
    }

    // The writer's text, for two values taken from the input, reads back exactly.
    if (size >= 8) {
        int port = 0;
        int baud = 0;
        std::memcpy(&port, data, 4);
        std::memcpy(&baud, data + 4, 4);
        port &= INT_MAX;
        baud &= INT_MAX;
        const std::string ecrit = texteScom({port, baud});
        std::istringstream pourPort(ecrit);
        Port relu;
        relu.lire(pourPort);
        verifier(relu.port == port && relu.baud == baud, "relu par Port");
        std::istringstream pourDlg(ecrit);
        const ReglagesCommDlg dlg = lireReglagesCommDlg(pourDlg);
        verifier(dlg.indexPort == port - 1 && dlg.baud == baud, "relu par CommDlg");
    }
    return 0;
}
