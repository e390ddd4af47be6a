// Fuzz target of the training file through the trainer's whole run: any
// input is trained on or refused with a message; a run reported as made
// leaves finite weights whose file reads back to the same network, and a
// refused run leaves no network whose weights are not numbers.
#include "FuzzSupport.h"

#include "core/Erreur.h"
#include "trainer/Preparation.h"
#include "trainer/ReseauNeurones.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <unistd.h>

using kiv_fuzz::verifier;

namespace {

std::string g_dossier;

std::string contenu(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kiv_fuzz::preparer();
    const char* racine = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
    g_dossier = std::string(racine) + "/kiv-fuzz-entrainement-" + std::to_string(::getpid());
    std::filesystem::create_directories(g_dossier);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    const std::string texte(reinterpret_cast<const char*>(donnees), taille);
    const std::string appr = g_dossier + "/appr.dat";
    const std::string dump = g_dossier + "/test.ext";
    const std::string poids = g_dossier + "/reseau.wgh";
    std::ofstream(appr, std::ios::binary) << texte;

    // A network of the first example's shape when it has one, so that most
    // inputs train; the guards see the sizes the file announces.
    ReseauNeurones reseau;
    ParametresReseau& p = reseau.parametres;
    p.IterMax = 3;
    p.CoucheCache = 3;
    p.NeuroneCoucheCache = 3;
    try {
        std::istringstream is(texte);
        const Table1D<Exemple> ensemble = lireEnsemble(is);
        if (ensemble.taille() > 0) {
            p.NeuroneEntree = ensemble[0].entree.taille();
            p.NeuroneSortie = ensemble[0].desire.taille();
        }
    } catch (const Erreur&) {
    }
    if (!texte.empty() && texte[0] == '!') {
        p.MinOutput = p.MaxOutput; // outputs scaled without a range: refused
    }

    bool fait = false;
    try {
        fait = reseau.EntrainerFichier(appr, dump);
    } catch (const std::exception&) {
        verifier(reseau.perceptron() == nullptr || reseau.perceptron()->poidsFinis(),
                 "a refused run leaves no broken network");
        return 0;
    }
    verifier(fait, "the file was there");
    verifier(reseau.perceptron() != nullptr && reseau.perceptron()->poidsFinis(),
             "a run reported as made has finite weights");
    verifier(reseau.EcrirePoids(poids), "the weights are written");
    ReseauNeurones relu;
    try {
        relu.LirePoids(poids);
    } catch (const std::exception&) {
        verifier(false, "a weights file written after a run reads back");
    }
    verifier(relu.perceptron()->nombreEntrees() == reseau.perceptron()->nombreEntrees() &&
                 relu.perceptron()->nombreSorties() == reseau.perceptron()->nombreSorties(),
             "same network");
    const std::string avant = contenu(poids);
    verifier(!avant.empty(), "a weights file has content");
    return 0;
}
