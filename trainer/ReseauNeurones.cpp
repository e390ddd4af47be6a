#include "trainer/ReseauNeurones.h"

#include "core/Erreur.h"
#include "core/ErreurFichier.h"
#include "core/Platform.h"
#include "core/StringTable.h"
#include "neural/MessagesPerceptron.h"
#include "trainer/FichierParametres.h"
#include "trainer/FichierPoids.h"
#include "trainer/MessagesReseau.h"
#include "trainer/Preparation.h"
#include "trainer/TexteWindows.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

namespace {

/** The message with the path in place of its %s. */
std::string avecChemin(std::string_view modele, const std::string& chemin)
{
    const std::size_t position = modele.find("%s");
    if (position == std::string_view::npos) {
        return std::string(modele);
    }
    std::string texte;
    texte.reserve(modele.size() + chemin.size());
    texte.append(modele.substr(0, position)).append(chemin).append(modele.substr(position + 2));
    return texte;
}

} // namespace

std::string messageEcriture(const std::string& chemin, const std::string& raison)
{
    std::string texte = avecChemin(texte::ErreurEcriture, chemin);
    if (!raison.empty()) {
        texte += "\n\n" + raison;
    }
    return texte;
}

ReseauNeurones::ReseauNeurones() = default;

ReseauNeurones::~ReseauNeurones() = default;

bool ReseauNeurones::EntrainerFichier(const std::string& chemin, const std::string& dump)
{
    // Every run counts as made, whatever it achieves, an error included; the
    // network in place is another one once the run is over.
    struct MarqueEntraine {
        bool& entraine;
        std::uint64_t& version;
        ~MarqueEntraine()
        {
            entraine = true;
            ++version;
        }
    } marque{m_entraine, m_version};

    const ParametresReseau& p = parametres;
    Table1D<int> tailles(p.CoucheCache);

    Table1D<Exemple> ensemble;
    {
        FichierTexteEntree fichier(chemin);
        if (!fichier.is_open()) {
            platform().messageBox(avecChemin(texte::ErreurOuvertureEntrainement, chemin),
                                  platform().loadString(ids::AppTitle), MessageButtons::Ok,
                                  MessageIcon::Exclamation);
            return false;
        }
        lireFichier(fichier, chemin, [&](std::istream& is) { ensemble = lireEnsemble(is); });
    }
    if (ensemble.taille() == 0) {
        throw ErreurFichier(msg::EnsembleVide, chemin, 0);
    }

    // Input layer first, then the output layer, then the hidden layers
    // between them: with a single entry the output count wins.
    tailles[0] = p.NeuroneEntree;
    tailles[p.CoucheCache - 1] = p.NeuroneSortie;
    for (int i = 1; i <= p.CoucheCache - 2; ++i) {
        tailles[i] = p.NeuroneCoucheCache;
    }

    // Before anything is computed or written: the network to train can be
    // built within the memory budget, its scaling beside it, and it takes
    // the file's inputs (the first forward pass would refuse them, after a
    // scaling of their size had been computed and written).
    const bool construire = !m_perceptron || m_structureModifiee;
    const int entrees = construire ? p.NeuroneEntree : m_perceptron->nombreEntrees();
    if (construire) {
        const double n = entrees;
        const double m = p.NeuroneSortie;
        verifierTailles(tailles, n * n + m * m);
    }
    if (ensemble[0].entree.taille() != entrees) {
        KIV_ERREUR(msg::VecteurEntreeInvalide);
    }

    // The scaling is computed aside: a set it cannot scale leaves the
    // current one in place.
    MiseAEchelle echelles = calculerEchelles(ensemble, p);
    appliquerEchelles(ensemble, echelles);
    {
        // The dump is never read back: a failure to write it is told and the
        // run goes on; the previous dump stays whole.
        FichierTexteSortie fichier(dump);
        ecrireDump(fichier, ensemble, echelles);
        if (!fichier.fermer()) {
            platform().messageBox(messageEcriture(dump, fichier.raison()),
                                  platform().loadString(ids::AppTitle), MessageButtons::Ok,
                                  MessageIcon::Exclamation);
        }
    }
    // A new network when the structure changed, built before the old one
    // goes; the parameters are checked before either the scaling or the
    // network is replaced, so a refused run leaves the network in use alone.
    std::unique_ptr<Perceptron> nouveau;
    if (construire) {
        nouveau = std::make_unique<Perceptron>(tailles, true);
    }
    Perceptron& cible = nouveau ? *nouveau : *m_perceptron;
    cible.setPasAffichage(p.IterMax / 100);
    cible.setTolerance(p.Tolerance);
    cible.setGain(p.Gain);
    cible.setMomentum(p.Momentum);
    cible.setErreurMax(p.ErreurMax);
    cible.setIterMax(p.IterMax);
    cible.valider();

    // What is in use now stays at hand until the run has proved sound.
    MiseAEchelle anciennes = std::exchange(m_echelles, std::move(echelles));
    std::unique_ptr<Perceptron> ancien;
    std::optional<Table1D<Couche>> poidsAvant;
    // Trained from here on, the network is no longer the weights file's.
    std::string ancienFichier = std::exchange(m_fichierPoids, std::string());
    if (nouveau) {
        ancien = std::exchange(m_perceptron, std::move(nouveau));
        m_structureModifiee = false;
    } else {
        poidsAvant.emplace(static_cast<const Table1D<Couche>&>(*m_perceptron));
    }
    // A run that diverged (weights that are no longer numbers) would leave a
    // network that answers nothing and writes a file no reader accepts: the
    // previous network and scaling come back and the run is refused.
    const auto reprendre = [&] {
        m_echelles = std::move(anciennes);
        m_fichierPoids = std::move(ancienFichier);
        if (poidsAvant) {
            static_cast<Table1D<Couche>&>(*m_perceptron) = *poidsAvant;
        } else {
            m_perceptron = std::move(ancien);
            m_structureModifiee = true;
        }
    };
    try {
        m_perceptron->entrainer(ensemble);
    } catch (...) {
        if (!m_perceptron->poidsFinis()) {
            reprendre();
        }
        throw;
    }
    if (!m_perceptron->poidsFinis()) {
        reprendre();
        KIV_ERREUR(msg::PoidsNonFinis);
    }
    return true;
}

BilanAffinage ReseauNeurones::Affiner(const Table1D<Exemple>& ensemble, int passes,
                                      const std::string& dump)
{
    BilanAffinage bilan;
    if (!m_perceptron) {
        return bilan;
    }
    if (ensemble.taille() == 0) {
        KIV_ERREUR(msg::EnsembleVide);
    }
    for (int k = 0; k < ensemble.taille(); ++k) {
        if (ensemble[k].entree.taille() != m_perceptron->nombreEntrees()) {
            KIV_ERREUR(msg::VecteurEntreeInvalide);
        }
        if (ensemble[k].desire.taille() != m_perceptron->nombreSorties()) {
            KIV_ERREUR(msg::VecteurDesireInvalide);
        }
    }
    // Scaled as the network was taught: its own scaling, not the set's.
    Table1D<Exemple> echelonne = ensemble;
    appliquerEchelles(echelonne, m_echelles);
    if (!dump.empty()) {
        FichierTexteSortie fichier(dump);
        ecrireDump(fichier, echelonne, m_echelles);
        if (!fichier.fermer()) {
            platform().messageBox(messageEcriture(dump, fichier.raison()),
                                  platform().loadString(ids::AppTitle), MessageButtons::Ok,
                                  MessageIcon::Exclamation);
        }
    }
    std::unique_ptr<Perceptron> copie = m_perceptron->copie(true);
    const ParametresReseau& p = parametres;
    copie->setPasAffichage(std::max(1, passes / 100));
    copie->setTolerance(p.Tolerance);
    copie->setGain(p.Gain);
    copie->setMomentum(p.Momentum);
    // The passes asked for are run: a few points soon meet the error
    // that ends a training, long before they are learnt as well as they can be.
    copie->setErreurMax(0.0);
    copie->setIterMax(passes);
    copie->valider();

    // The network in place may change while the run lets the interface
    // live (another window loads or trains one): this run then yields.
    const std::uint64_t version = m_version;
    copie->entrainer(echelonne);
    bilan.passes = copie->dernierePasse();
    bilan.erreur = copie->derniereErreur();
    bilan.annule = copie->derniereAnnulee();
    if (bilan.annule) {
        return bilan;
    }
    if (!copie->poidsFinis()) {
        KIV_ERREUR(msg::PoidsNonFinis);
    }
    if (m_version != version || !m_perceptron) {
        bilan.devance = true;
        return bilan;
    }
    m_perceptron = std::move(copie);
    m_fichierPoids.clear();
    m_entraine = true;
    ++m_version;
    bilan.remplace = true;
    return bilan;
}

void ReseauNeurones::LirePoids(const std::string& chemin)
{
    // An unopenable file reads as an empty stream: the first block finds no "(".
    FichierTexteEntree fichier(chemin);
    MiseAEchelle echelles;
    auto reseau = std::make_unique<Perceptron>(true);
    if (!fichier.is_open()) {
        throw ErreurFichier(msg::FormatInvalide, chemin, 0);
    }
    lireFichier(fichier, chemin, [&](std::istream& is) { lirePoids(is, echelles, *reseau); });
    m_echelles = std::move(echelles);
    m_perceptron = std::move(reseau);
    m_fichierPoids = chemin;
    m_entraine = true;
    ++m_version;
}

void ReseauNeurones::LirePoidsNommes(const std::string& chemin)
{
    if (!FichierTexteEntree(chemin).is_open()) {
        throw ErreurOuverture(avecChemin(texte::ErreurOuverturePoids, chemin));
    }
    LirePoids(chemin);
}

bool ReseauNeurones::EcrirePoids(const std::string& chemin, std::string* raison) const
{
    if (!m_perceptron) {
        return false;
    }
    FichierTexteSortie fichier(chemin);
    ecrirePoids(fichier, m_echelles, *m_perceptron);
    if (!fichier.fermer()) {
        if (raison != nullptr) {
            *raison = fichier.raison();
        }
        return false;
    }
    return true;
}

Vecteur evaluerReseau(Perceptron& perceptron, const MiseAEchelle& echelles, double e1, double e2,
                      double e3)
{
    Vecteur entree;
    Vecteur resultat;
    evaluerReseau(perceptron, echelles, e1, e2, e3, entree, resultat);
    return resultat;
}

void evaluerReseau(Perceptron& perceptron, const MiseAEchelle& echelles, double e1, double e2,
                   double e3, Vecteur& entree, Vecteur& resultat)
{
    const Matrice& m = echelles.Echelle1;
    const Vecteur& t = echelles.Translation1;
    if (m.colonnes() == 3 && t.lignes() == 3) {
        // Echelle1 x (x - Translation1), each cell summed from 0 over k = 0, 1, 2
        // as the matrix product does, without its temporaries.
        const double ecart[3] = {e1 - t[0], e2 - t[1], e3 - t[2]};
        const int l = m.lignes();
        if (entree.lignes() != l) {
            entree = Vecteur(l);
        }
        const double* a = m.donnees();
        double* y = entree.donnees();
        for (int i = 0; i < l; ++i) {
            double somme = 0.0;
            for (int k = 0; k < 3; ++k) {
                somme += a[i * 3 + k] * ecart[k];
            }
            y[i] = somme;
        }
    } else {
        // Shapes that do not fit: the matrix operators refuse them in their own words.
        Vecteur x(3);
        x[0] = e1;
        x[1] = e2;
        x[2] = e3;
        entree = m * (x - t);
    }
    perceptron.propager(entree);
    perceptron.sorties(resultat);
    for (int i = 0; i < resultat.taille(); ++i) {
        resultat[i] = resultat[i] / echelles.Echelle2(i, i) + echelles.Translation2[i];
    }
}

bool ReseauNeurones::Evaluer(double e1, double e2, double e3, Vecteur& resultat)
{
    if (!m_perceptron) {
        return false;
    }
    resultat = evaluerReseau(*m_perceptron, m_echelles, e1, e2, e3);
    return true;
}

bool ReseauNeurones::EcrireParametres(const std::string& chemin, std::string* raison) const
{
    FichierTexteSortie fichier(chemin);
    ecrireParametres(fichier, parametres);
    if (!fichier.fermer()) {
        if (raison != nullptr) {
            *raison = fichier.raison();
        }
        return false;
    }
    return true;
}

bool ReseauNeurones::LireParametres(const std::string& chemin)
{
    FichierTexteEntree fichier(chemin);
    if (!fichier.is_open()) {
        return false;
    }
    parametres = lireParametres(fichier);
    // The layer fields may have changed: the next training builds anew.
    m_structureModifiee = true;
    return true;
}

void ReseauNeurones::choisirFichierEntrainement()
{
    m_perceptron.reset();
    ++m_version;
    m_fichierPoids.clear();
    m_fichierChoisi = true;
}

void ReseauNeurones::abandonnerFichierEntrainement()
{
    m_fichierChoisi = false;
}

void ReseauNeurones::modifierStructure()
{
    m_structureModifiee = true;
}

void ReseauNeurones::conserverPerceptron()
{
    m_structureModifiee = false;
}
