#pragma once

#include "neural/Matrice.h"
#include "neural/Perceptron.h"
#include "trainer/ParametresReseau.h"

#include <cstdint>
#include <memory>
#include <string>

/**
 * "Erreur d'écriture du fichier (chemin)", with the system's reason on a
 * paragraph of its own when there is one.
 */
std::string messageEcriture(const std::string& chemin, const std::string& raison);

/** The input and output scaling computed from a training file. */
struct MiseAEchelle {
    Matrice Echelle1;     ///< n_in x n_in, input scale factors on the diagonal
    Matrice Echelle2;     ///< n_out x n_out, output scale factors on the diagonal
    Vecteur Translation1; ///< input offsets
    Vecteur Translation2; ///< output offsets
};

/** What a refinement (ReseauNeurones::Affiner) came to. */
struct BilanAffinage {
    /** The refined network is in place. */
    bool remplace = false;
    /** The operator stopped the run (Cancel, then Yes): the network stayed as it was. */
    bool annule = false;
    /** Something else replaced the network during the run: this one was not put in place. */
    bool devance = false;
    /** Passes run, and the error of the last one (scaled outputs, as the progress box shows it). */
    int passes = 0;
    double erreur = 0.0;
};

/**
 * What the network trainer holds, without its window: the fields, the
 * scaling, the perceptron and the flags that enable the trainer's buttons.
 * The flags change only through the operations that give them their meaning.
 * The trainer window, the console and the command-line trainer all drive
 * the network through it.
 *
 * Errors of the files, the matrices and the perceptron are thrown as Erreur;
 * the operations that read leave the current network and scaling untouched
 * when they fail.
 */
class ReseauNeurones {
public:
    ReseauNeurones();
    ~ReseauNeurones();

    ParametresReseau parametres;

    /** A training run was made or a weights file was read ("Ecrire Poids" and "&Tester"). */
    bool entraine() const { return m_entraine; }
    /** A training file was chosen ("&Entrainer"). */
    bool fichierChoisi() const { return m_fichierChoisi; }
    /** The layer structure changed since the perceptron was built. */
    bool structureModifiee() const { return m_structureModifiee; }

    /**
     * Reads and scales the training file, writes the dump `dump` ("test.ext"
     * by default; a dump that cannot be written is told in a message box
     * and the run goes on), builds a new perceptron when there is none or the
     * structure changed, hands it the parameters and trains it. A file that
     * cannot be opened shows "Erreur d'ouverture du fichier d'entrainement
     * (%s)" and returns false with nothing changed. A file that cannot be
     * read, or holds no example, throws an ErreurFichier; a network that
     * cannot be built (an empty layer, beyond the memory budget) or does not
     * take the file's inputs is refused before anything is written. A run
     * whose weights stop being numbers gives back the previous network and
     * scaling and throws "Entrainement divergent: poids non finis!".
     * Whatever the run achieved, even when it ends on an error, it counts
     * as made: entraine() is true afterwards.
     */
    bool EntrainerFichier(const std::string& chemin, const std::string& dump = "test.ext");

    /**
     * Trains the network in place further, from its weights, on `ensemble`
     * (raw examples: inputs and outputs as the network takes and gives
     * them), for `passes` passes (all of them: ErreurMax ends no
     * refinement) with the training fields of `parametres` (Gain,
     * Momentum, Tolerance). Its layers and its scaling stay
     * those it has: the scaling is not computed again from the set, so that
     * the weights keep their meaning and a few points refine what a large
     * set taught. A copy is trained, with the progress box, while the
     * network in place goes on answering; the copy replaces it only when the
     * run went through (all its passes) with finite weights and nothing
     * replaced the network meanwhile. A cancelled or
     * failed run leaves the network as it was. The scaled set is written to
     * `dump` unless it is empty (a dump that cannot be written is told and
     * the run goes on). Nothing happens without a network. Throws Erreur
     * before anything runs: "Ensemble d'entrainement vide!", "Vecteur
     * d'entree invalide!" or "Vecteur desire invalide!" for a set that does
     * not fit the network, and the perceptron's parameter errors; a run
     * whose weights stop being numbers throws "Entrainement divergent:
     * poids non finis!", the network untouched.
     */
    BilanAffinage Affiner(const Table1D<Exemple>& ensemble, int passes,
                          const std::string& dump = {});

    /**
     * Reads a weights file: scaling, then perceptron, and entraine() becomes
     * true. On failure nothing changes and an ErreurFichier tells the
     * reader's message, the file and the line ("Format invalide!" for a
     * file that cannot be opened, as for an empty one).
     */
    void LirePoids(const std::string& chemin);

    /**
     * LirePoids for a file the user named without a dialog (command line):
     * one that cannot be opened gives an ErreurOuverture "Erreur
     * d'ouverture du fichier de poids (chemin)".
     */
    void LirePoidsNommes(const std::string& chemin);

    /**
     * Writes the weights file safely (a failure keeps the previous file);
     * nothing when there is no perceptron. Returns false on failure, with
     * the system's reason in `raison` when given.
     */
    bool EcrirePoids(const std::string& chemin, std::string* raison = nullptr) const;

    /** Three raw inputs to de-scaled outputs; false (resultat untouched) without a perceptron. */
    bool Evaluer(double e1, double e2, double e3, Vecteur& resultat);

    /**
     * Changes each time the perceptron or the scaling in place is replaced,
     * read, discarded or trained (once the run is over, whatever it gave).
     */
    std::uint64_t version() const { return m_version; }

    /** Writes the fifteen parameter lines, as EcrirePoids writes the weights. */
    bool EcrireParametres(const std::string& chemin, std::string* raison = nullptr) const;

    /** Reads the parameter file by position. Returns false when it cannot be opened. */
    bool LireParametres(const std::string& chemin);

    /** A training file was chosen: the network built for the previous one is forgotten. */
    void choisirFichierEntrainement();
    /** The choice of a training file was cancelled: there is none to train from. */
    void abandonnerFichierEntrainement();
    /** The layer fields changed: the next training builds a new network. */
    void modifierStructure();
    /**
     * The layer fields describe the network in place (read from a weights
     * file): the next training goes on from its weights.
     */
    void conserverPerceptron();

    Perceptron* perceptron() const { return m_perceptron.get(); }
    /** The weights file the network in place was read from; empty once trained or discarded. */
    const std::string& fichierPoids() const { return m_fichierPoids; }
    const MiseAEchelle& echelles() const { return m_echelles; }

private:
    MiseAEchelle m_echelles;
    std::unique_ptr<Perceptron> m_perceptron;
    std::string m_fichierPoids;
    bool m_entraine = false;
    bool m_fichierChoisi = false;
    bool m_structureModifiee = false;
    std::uint64_t m_version = 0;
};

/** Three raw inputs through `perceptron` and de-scaled by `echelles` (ReseauNeurones::Evaluer). */
Vecteur evaluerReseau(Perceptron& perceptron, const MiseAEchelle& echelles, double e1, double e2,
                      double e3);
/**
 * The same, to the bit, in `resultat`, with `entree` for the scaled inputs:
 * both keep their room from one call to the next, so that an evaluation a
 * frame allocates nothing once they have their sizes.
 */
void evaluerReseau(Perceptron& perceptron, const MiseAEchelle& echelles, double e1, double e2,
                   double e3, Vecteur& entree, Vecteur& resultat);
