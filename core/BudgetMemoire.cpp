#include "core/BudgetMemoire.h"

#include "core/Erreur.h"
#include "core/Messages.h"

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include <unistd.h>

namespace {

/** 0 while the default applies. */
std::atomic<std::size_t> g_budgetChoisi{0};

std::size_t budgetParDefaut()
{
    static const std::size_t budget = [] {
        if (const char* texte = std::getenv("KIV_MEMORY_BUDGET")) {
            if (const std::size_t octets = lireBudgetMemoire(texte); octets > 0) {
                return octets;
            }
        }
        const long pages = ::sysconf(_SC_PHYS_PAGES);
        const long taillePage = ::sysconf(_SC_PAGESIZE);
        if (pages <= 0 || taillePage <= 0) {
            // Unknown machine: a size any machine running the console has.
            return std::size_t{1} << 30;
        }
        return static_cast<std::size_t>(pages) / 4 * static_cast<std::size_t>(taillePage);
    }();
    return budget;
}

} // namespace

std::size_t budgetMemoire()
{
    const std::size_t choisi = g_budgetChoisi.load(std::memory_order_relaxed);
    return choisi != 0 ? choisi : budgetParDefaut();
}

void definirBudgetMemoire(std::size_t octets)
{
    g_budgetChoisi.store(octets, std::memory_order_relaxed);
}

std::size_t lireBudgetMemoire(const char* texte)
{
    if (texte == nullptr || *texte < '0' || *texte > '9') {
        return 0;
    }
    errno = 0;
    char* fin = nullptr;
    const unsigned long long valeur = std::strtoull(texte, &fin, 10);
    if (errno != 0) {
        return 0;
    }
    unsigned long long facteur = 1;
    switch (*fin) {
    case '\0':
        break;
    case 'K':
    case 'k':
        facteur = 1ULL << 10;
        ++fin;
        break;
    case 'M':
    case 'm':
        facteur = 1ULL << 20;
        ++fin;
        break;
    case 'G':
    case 'g':
        facteur = 1ULL << 30;
        ++fin;
        break;
    default:
        return 0;
    }
    if (*fin != '\0' || valeur > static_cast<unsigned long long>(SIZE_MAX) / facteur) {
        return 0;
    }
    return static_cast<std::size_t>(valeur * facteur);
}

void verifierBudgetMemoire(double octets)
{
    if (!(octets <= static_cast<double>(budgetMemoire()))) {
        KIV_ERREUR(msg::ErreurAllocation);
    }
}
