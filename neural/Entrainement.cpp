// The training run of the perceptron: validation, passes, stopping rules,
// the progress box and the classification rate.
#include "core/Platform.h"
#include "core/ProgressBox.h"
#include "core/StringTable.h"
#include "neural/Aleatoire.h"
#include "neural/MessagesPerceptron.h"
#include "neural/Perceptron.h"

#include <cmath>
#include <cstdio>

namespace {

template <class... Args>
std::string formater(const char* format, Args... args)
{
    char texte[160];
    std::snprintf(texte, sizeof texte, format, args...);
    return texte;
}

} // namespace

void Perceptron::valider() const
{
    // Written so that a value that is not a number fails every check.
    if (!(Gain >= 0.0 && Gain <= 1.0)) {
        KIV_ERREUR(msg::TauxApprentissageInvalide);
    }
    if (IterMax < 0) {
        KIV_ERREUR(msg::IterMaxInvalide);
    }
    // Infinite bounds are refused too: a value that is not finite is no setting.
    if (!(ErreurMax >= 0.0 && std::isfinite(ErreurMax))) {
        KIV_ERREUR(msg::ErreurMaxInvalide);
    }
    if (!(Momentum >= 0.0 && Momentum <= 1.0)) {
        KIV_ERREUR(msg::MomentumInvalide);
    }
    if (!(Tolerance >= 0.0 && std::isfinite(Tolerance))) {
        KIV_ERREUR(msg::ToleranceInvalide);
    }
}

void Perceptron::entrainer(const Table1D<Exemple>& ensemble)
{
    const int n = ensemble.taille();
    Table1D<int> ordre(n);
    for (int k = 0; k < n; ++k) {
        ordre[k] = k;
    }
    valider();

    ProgressBox* boite = nullptr;
    if (AvecProgression) {
        if (!m_progression) {
            m_progression = platform().createProgressBox(ids::TrainerProgressTitle);
        }
        boite = m_progression.get();
        boite->Create();
        boite->SetStatus(texteEntrainement::ErreurQuadratique);
        boite->SetRange(0, IterMax);
        boite->SetStep(PasAffichage);
    }
    // The box gets its Ok button on every way out of the run, an error in
    // the middle of a pass included, so that it can always be closed.
    struct OkEnSortant {
        ProgressBox* boite;
        ~OkEnSortant()
        {
            if (boite) {
                boite->ShowOkButton();
            }
        }
    } okEnSortant{boite};

    int s = 0;
    double e = std::nan("");
    int derniereAffichee = -1;
    m_derniereAnnulee = false;
    while (s < IterMax) {
        ordre.melanger(aleatoire());
        double total = 0.0;
        for (int k = 0; k < n; ++k) {
            const Exemple& exemple = ensemble[ordre[k]];
            propager(exemple.entree);
            total = erreur(exemple.desire) + total;
            // propager has just checked the input size and that the layers
            // chain, erreur the desired size: the learning step needs no more.
            apprendre(exemple);
        }
        e = std::sqrt(total / n);
        if (!(e >= ErreurMax)) {
            break;
        }
        if (PasAffichage != 0 && s % PasAffichage == 0 && boite) {
            boite->StepIt();
            boite->SetStatus(formater(texteEntrainement::Passe, s, e));
            boite->pass(s, e);
            derniereAffichee = s;
        }
        if (boite && boite->CheckCancel()) {
            const MessageAnswer reponse = platform().messageBox(
                texteEntrainement::AnnulerOperation, platform().loadString(ids::AppTitle),
                MessageButtons::YesNo, MessageIcon::Question);
            if (reponse == MessageAnswer::Yes) {
                m_derniereAnnulee = true;
                break;
            }
        }
        ++s;
    }
    m_dernierePasse = s;
    m_derniereErreur = e;

    if (PasAffichage != 0 && boite) {
        // The course ends where the run did, at the pass the final text names.
        if (s != derniereAffichee && std::isfinite(e)) {
            boite->pass(s, e);
        }
        const double r = tauxClassement(ensemble);
        boite->SetStatus(formater(texteEntrainement::PasseEtTaux, s, e, r));
    }
}

double Perceptron::tauxClassement(const Table1D<Exemple>& ensemble)
{
    const int n = ensemble.taille();
    int compte = 0;
    for (int k = 0; k < n; ++k) {
        const Exemple& exemple = ensemble[k];
        propager(exemple.entree);
        Vecteur d = sorties() - exemple.desire;
        for (int i = 0; i < d.taille(); ++i) {
            d[i] = std::fabs(d[i]);
        }
        if (!(d.max() >= Tolerance)) {
            ++compte;
        }
    }
    return static_cast<double>(compte) / n;
}
