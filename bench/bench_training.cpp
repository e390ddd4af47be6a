// Training throughput (examples per second) of our perceptron on a fixed
// workload, and of the same workload in FANN 2.2 (double precision), in the
// same run: layers 3-5-5-2, 1000 examples, 500 passes, learning rate 0.5,
// momentum 0.1, shuffled every pass, incremental updates, logistic units.
#include "neural/Aleatoire.h"
#include "neural/Perceptron.h"

#include <doublefann.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Exemples = 1000;
constexpr int Passes = 500;
constexpr int Mesures = 9;

/** A smooth target over [-2.5, 2.5]^3 with outputs in [0.1, 0.9]. */
struct Donnee {
    double x[3];
    double y[2];
};

std::vector<Donnee> donnees()
{
    Aleatoire a;
    a.initialiser(2024);
    std::vector<Donnee> d(Exemples);
    for (Donnee& e : d) {
        for (double& x : e.x) {
            x = 5.0 * a.uniforme() - 2.5;
        }
        e.y[0] = 0.5 + 0.4 * std::tanh(0.5 * e.x[0] - 0.3 * e.x[1]);
        e.y[1] = 0.5 + 0.4 * std::sin(0.6 * e.x[2] + 0.2 * e.x[0]);
    }
    return d;
}

double secondes(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

/** Seconds for the workload on our perceptron. */
double nous(const std::vector<Donnee>& d, double& erreur)
{
    Table1D<Exemple> ensemble(Exemples);
    for (int k = 0; k < Exemples; ++k) {
        ensemble[k].entree.redimensionner(3);
        ensemble[k].desire.redimensionner(2);
        for (int i = 0; i < 3; ++i) {
            ensemble[k].entree[i] = d[static_cast<std::size_t>(k)].x[i];
        }
        for (int i = 0; i < 2; ++i) {
            ensemble[k].desire[i] = d[static_cast<std::size_t>(k)].y[i];
        }
    }
    aleatoire().initialiser(1);
    Table1D<int> tailles(4);
    tailles[0] = 3;
    tailles[1] = 5;
    tailles[2] = 5;
    tailles[3] = 2;
    Perceptron p(tailles, false);
    p.setGain(0.5);
    p.setMomentum(0.1);
    p.setErreurMax(0.0);
    p.setIterMax(Passes);
    const auto debut = std::chrono::steady_clock::now();
    p.entrainer(ensemble);
    const auto fin = std::chrono::steady_clock::now();
    erreur = p.derniereErreur();
    return secondes(fin - debut);
}

/** Seconds for the workload in FANN. */
double mesurerFann(const std::vector<Donnee>& d, double& erreur)
{
    struct fann* ann = fann_create_standard(4, 3, 5, 5, 2);
    fann_set_activation_function_hidden(ann, FANN_SIGMOID);
    fann_set_activation_function_output(ann, FANN_SIGMOID);
    // FANN's sigmoid is 1 / (1 + exp(-2 s x)): s = 0.5 is the logistic function.
    fann_set_activation_steepness_hidden(ann, 0.5);
    fann_set_activation_steepness_output(ann, 0.5);
    fann_set_train_error_function(ann, FANN_ERRORFUNC_LINEAR);
    fann_set_training_algorithm(ann, FANN_TRAIN_INCREMENTAL);
    fann_set_learning_rate(ann, 0.5f);
    fann_set_learning_momentum(ann, 0.1f);
    std::srand(1);
    fann_randomize_weights(ann, -0.5, 0.5);

    struct fann_train_data* data = fann_create_train(Exemples, 3, 2);
    for (unsigned k = 0; k < Exemples; ++k) {
        std::copy(d[k].x, d[k].x + 3, data->input[k]);
        std::copy(d[k].y, d[k].y + 2, data->output[k]);
    }
    const auto debut = std::chrono::steady_clock::now();
    float mse = 0.0f;
    for (int s = 0; s < Passes; ++s) {
        fann_shuffle_train_data(data);
        mse = fann_train_epoch(ann, data);
    }
    const auto fin = std::chrono::steady_clock::now();
    erreur = std::sqrt(mse);
    fann_destroy_train(data);
    fann_destroy(ann);
    return secondes(fin - debut);
}

double mediane(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main()
{
    const std::vector<Donnee> d = donnees();
    std::vector<double> tNous;
    std::vector<double> tFann;
    double eNous = 0.0;
    double eFann = 0.0;
    for (int m = 0; m < Mesures; ++m) {
        tNous.push_back(nous(d, eNous));
        tFann.push_back(mesurerFann(d, eFann));
    }
    const double total = static_cast<double>(Exemples) * Passes;
    const double vNous = total / mediane(tNous);
    const double vFann = total / mediane(tFann);
    // The best run of each is the least disturbed by the rest of the machine.
    const double meilleurNous = total / *std::min_element(tNous.begin(), tNous.end());
    const double meilleurFann = total / *std::min_element(tFann.begin(), tFann.end());
    std::printf("workload: layers 3-5-5-2, %d examples, %d passes, gain 0.5, momentum 0.1, "
                "shuffled every pass; %d runs each, interleaved\n",
                Exemples, Passes, Mesures);
    std::printf("ours : median %6.3f, best %6.3f M examples/s  (last pass RMS error %.4f)\n",
                vNous / 1e6, meilleurNous / 1e6, eNous);
    std::printf("FANN : median %6.3f, best %6.3f M examples/s  (last pass RMS error %.4f)\n",
                vFann / 1e6, meilleurFann / 1e6, eFann);
    std::printf("ratio ours / FANN: median %.2f, best %.2f\n", vNous / vFann,
                meilleurNous / meilleurFann);
    return 0;
}
