#include "core/ReglageNumerique.h"

#include "core/Echappement.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <set>
#include <system_error>
#include <vector>

namespace reglages {

namespace {

std::string_view sansBlancs(std::string_view t)
{
    const auto blanc = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!t.empty() && blanc(t.front())) {
        t.remove_prefix(1);
    }
    while (!t.empty() && blanc(t.back())) {
        t.remove_suffix(1);
    }
    return t;
}

std::string nombreTexte(double v)
{
    char texte[32];
    std::snprintf(texte, sizeof texte, "%.10g", v);
    return texte;
}

/** The warnings told, and where they go. */
struct Avertissements {
    std::mutex mutex;
    std::set<std::string, std::less<>> cles;
    std::vector<std::string> nonJournalises;
    std::function<void(const std::string&)> ecouteur;
    const void* jeton = nullptr;
    std::function<void(const std::string&)> journal;
};

Avertissements& avertissements()
{
    static Avertissements a;
    return a;
}

} // namespace

Lecture lireTexte(std::optional<std::string_view> texte, const Plage& plage)
{
    Lecture lu;
    if (!texte) {
        return lu;
    }
    const std::string plageTexte = "de " + nombreTexte(plage.min) + " à " + nombreTexte(plage.max);
    std::string_view mot = sansBlancs(*texte);
    // "+20" is 20, as a person writes it; the parser takes no sign of plus.
    if (mot.size() > 1 && mot.front() == '+' && mot[1] != '-' && mot[1] != '+') {
        mot.remove_prefix(1);
    }
    const char* debut = mot.data();
    const char* fin = mot.data() + mot.size();
    double valeur = 0.0;
    if (plage.entier) {
        long long n = 0;
        const auto [p, ec] = std::from_chars(debut, fin, n);
        if (mot.empty() || p != fin ||
            (ec != std::errc() && ec != std::errc::result_out_of_range)) {
            lu.refus = "n'est pas un nombre entier " + plageTexte;
            return lu;
        }
        if (ec == std::errc::result_out_of_range) {
            lu.refus = "est hors de la plage " + plageTexte;
            return lu;
        }
        // Compared as integers: a huge count never passes through a double.
        if (n < static_cast<long long>(std::ceil(plage.min)) ||
            n > static_cast<long long>(std::floor(plage.max))) {
            lu.refus = "est hors de la plage " + plageTexte;
            return lu;
        }
        valeur = static_cast<double>(n);
    } else {
        const auto [p, ec] = std::from_chars(debut, fin, valeur);
        if (mot.empty() || p != fin || ec != std::errc() || !std::isfinite(valeur)) {
            lu.refus = "n'est pas un nombre " + plageTexte;
            return lu;
        }
        if (valeur < plage.min || valeur > plage.max) {
            lu.refus = "est hors de la plage " + plageTexte;
            return lu;
        }
    }
    lu.valeur = valeur;
    return lu;
}

std::string texteAvertissement(std::string_view cle, std::string_view texte,
                               const std::string& refus)
{
    constexpr std::size_t Montre = 40;
    std::string montre = echapper(texte.substr(0, Montre));
    if (texte.size() > Montre) {
        montre += "…";
    }
    return "réglage " + echapper(cle) + " ignoré : « " + montre + " » " + refus +
           ", valeur par défaut";
}

void avertirReglage(std::string_view cle, const std::string& texte)
{
    Avertissements& a = avertissements();
    std::function<void(const std::string&)> ecouteur;
    {
        std::lock_guard<std::mutex> verrou(a.mutex);
        if (!a.cles.emplace(cle).second) {
            return;
        }
        if (a.journal) {
            a.journal(texte);
        } else {
            a.nonJournalises.push_back(texte);
        }
        ecouteur = a.ecouteur;
    }
    if (ecouteur) {
        ecouteur(texte);
    }
}

void ecouterAvertissements(std::function<void(const std::string&)> ecouteur)
{
    Avertissements& a = avertissements();
    std::lock_guard<std::mutex> verrou(a.mutex);
    a.ecouteur = std::move(ecouteur);
}

void journaliserAvertissements(const void* jeton, std::function<void(const std::string&)> journal)
{
    Avertissements& a = avertissements();
    std::lock_guard<std::mutex> verrou(a.mutex);
    a.jeton = jeton;
    a.journal = std::move(journal);
    if (a.journal) {
        for (const std::string& texte : a.nonJournalises) {
            a.journal(texte);
        }
        a.nonJournalises.clear();
    }
}

void retirerJournal(const void* jeton)
{
    Avertissements& a = avertissements();
    std::lock_guard<std::mutex> verrou(a.mutex);
    if (a.jeton == jeton) {
        a.jeton = nullptr;
        a.journal = nullptr;
    }
}

void oublierAvertissements()
{
    Avertissements& a = avertissements();
    std::lock_guard<std::mutex> verrou(a.mutex);
    a.cles.clear();
    a.nonJournalises.clear();
    a.ecouteur = nullptr;
    a.jeton = nullptr;
    a.journal = nullptr;
}

} // namespace reglages
