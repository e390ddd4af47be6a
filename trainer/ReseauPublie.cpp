#include "trainer/ReseauPublie.h"

#include <utility>

void ReseauPublie::suivre(const ReseauNeurones& reseau)
{
    if (reseau.version() == m_version) {
        return;
    }
    m_version = reseau.version();
    // Copied outside the lock: an evaluation under way is not held up.
    std::unique_ptr<Perceptron> perceptron;
    MiseAEchelle echelles;
    if (reseau.perceptron() != nullptr) {
        perceptron = reseau.perceptron()->copie();
        echelles = reseau.echelles();
    }
    std::lock_guard verrou(m_verrou);
    m_perceptron = std::move(perceptron);
    m_echelles = std::move(echelles);
}

bool ReseauPublie::Evaluer(double e1, double e2, double e3, Vecteur& resultat)
{
    std::lock_guard verrou(m_verrou);
    if (!m_perceptron) {
        return false;
    }
    evaluerReseau(*m_perceptron, m_echelles, e1, e2, e3, m_entree, resultat);
    return true;
}
