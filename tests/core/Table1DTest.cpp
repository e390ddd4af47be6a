#include "ErreurAttendue.h"

#include "core/Messages.h"
#include "core/Table1D.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

/** Element that counts how many are built and alive; a build budget can make it fail. */
struct Compte {
    static inline int construits = 0;
    static inline int vivants = 0;
    static inline int budget = -1; // builds left before std::bad_alloc; -1 = unlimited

    int valeur = 0;

    Compte()
    {
        if (budget == 0) {
            throw std::bad_alloc();
        }
        if (budget > 0) {
            --budget;
        }
        ++construits;
        ++vivants;
    }
    Compte(const Compte& autre)
        : valeur(autre.valeur)
    {
        ++construits;
        ++vivants;
    }
    Compte& operator=(const Compte&) = default;
    ~Compte() { --vivants; }

    static void remettre()
    {
        construits = 0;
        vivants = 0;
        budget = -1;
    }
};

Table1D<int> tableDe(std::initializer_list<int> valeurs)
{
    Table1D<int> t(static_cast<int>(valeurs.size()));
    int k = 0;
    for (int v : valeurs) {
        t[k++] = v;
    }
    return t;
}

std::vector<int> contenu(const Table1D<int>& t)
{
    std::vector<int> v;
    for (int k = 0; k < t.taille(); ++k) {
        v.push_back(t[k]);
    }
    return v;
}

TEST(Table1DTaille, NewTableIsEmptyWithoutStorage)
{
    Table1D<int> t;
    EXPECT_EQ(t.taille(), 0);
    EXPECT_EQ(t.donnees(), nullptr);
    t.redimensionner(0); // never sized: nothing to release
    EXPECT_EQ(t.taille(), 0);
    EXPECT_EQ(t.donnees(), nullptr);
}

TEST(Table1DTaille, ShrinkKeepsStorageAndOldElementsReappearOnGrowth)
{
    Table1D<int> t = tableDe({10, 11, 12, 13, 14});
    int* const stockage = t.donnees();
    t.redimensionner(3);
    EXPECT_EQ(t.taille(), 3);
    EXPECT_EQ(t.donnees(), stockage);
    t.redimensionner(5);
    EXPECT_EQ(t.donnees(), stockage);
    EXPECT_EQ(contenu(t), (std::vector<int>{10, 11, 12, 13, 14}));
}

TEST(Table1DTaille, GrowthAsksForExactlyTheNewSizeAndCopiesTheElementsInUse)
{
    Compte::remettre();
    {
        Table1D<Compte> t(3);
        EXPECT_EQ(Compte::construits, 3);
        for (int k = 0; k < 3; ++k) {
            t[k].valeur = k + 1;
        }
        t.redimensionner(5); // exactly 5 new slots, no reserve
        EXPECT_EQ(Compte::construits, 8);
        EXPECT_EQ(Compte::vivants, 5);
        EXPECT_EQ(t[0].valeur, 1);
        EXPECT_EQ(t[2].valeur, 3);
        EXPECT_EQ(t[3].valeur, 0);
        t.redimensionner(4);
        t.redimensionner(5); // within the capacity: no new storage
        EXPECT_EQ(Compte::construits, 8);
        t.redimensionner(6);
        EXPECT_EQ(Compte::construits, 14);
        EXPECT_EQ(t[2].valeur, 3);
        t.redimensionner(0); // releases the storage, destructors run
        EXPECT_EQ(Compte::vivants, 0);
        EXPECT_EQ(t.donnees(), nullptr);
        t.redimensionner(2);
        EXPECT_EQ(Compte::vivants, 2);
    }
    EXPECT_EQ(Compte::vivants, 0);
}

TEST(Table1DTaille, NegativeSizeIsRefusedAndChangesNothing)
{
    Table1D<int> t = tableDe({4, 5, 6});
    int* const stockage = t.donnees();
    EXPECT_ERREUR(t.redimensionner(-1), "Dimension invalide!");
    EXPECT_EQ(t.taille(), 3);
    EXPECT_EQ(t.donnees(), stockage);
    EXPECT_EQ(contenu(t), (std::vector<int>{4, 5, 6}));
    EXPECT_ERREUR(Table1D<int>(-2), "Dimension invalide!");
}

TEST(Table1DTaille, FailedAllocationThrowsAndKeepsTheOldContents)
{
    Compte::remettre();
    {
        Table1D<Compte> t(2);
        t[0].valeur = 7;
        t[1].valeur = 8;
        Compte::budget = 3; // the 4th of 5 new slots fails
        EXPECT_ERREUR(t.redimensionner(5), "Erreur d'allocation de memoire!");
        Compte::budget = -1;
        EXPECT_EQ(t.taille(), 2);
        EXPECT_EQ(t[0].valeur, 7);
        EXPECT_EQ(t[1].valeur, 8);
        EXPECT_EQ(Compte::vivants, 2); // the partial array was released
    }
    EXPECT_EQ(Compte::vivants, 0);
}

TEST(Table1DIndice, BoundsAreChecked)
{
    Table1D<int> t = tableDe({1, 2, 3});
    EXPECT_ERREUR(t[-1], "Indice invalide!");
    EXPECT_ERREUR(t[3], "Indice invalide!");
    const Table1D<int>& c = t;
    EXPECT_ERREUR(c[3], "Indice invalide!");
    EXPECT_EQ(c[2], 3);
    t.redimensionner(2); // the stale element 2 is out of reach
    EXPECT_ERREUR(t[2], "Indice invalide!");
    Table1D<int> vide;
    EXPECT_ERREUR(vide[0], "Indice invalide!");
}

TEST(Table1DCopie, CopyAndAssignmentAreDeepAndSelfAssignmentChangesNothing)
{
    Table1D<int> a = tableDe({1, 2, 3});
    Table1D<int> b(a);
    b[0] = 9;
    EXPECT_EQ(contenu(a), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(contenu(b), (std::vector<int>{9, 2, 3}));

    Table1D<int> c = tableDe({5, 5, 5, 5, 5});
    c = a;
    EXPECT_EQ(contenu(c), (std::vector<int>{1, 2, 3}));

    Table1D<int> vide;
    c = vide;
    EXPECT_EQ(c.taille(), 0);

    int* const stockage = a.donnees();
    Table1D<int>& meme = a;
    a = meme;
    EXPECT_EQ(a.donnees(), stockage);
    EXPECT_EQ(contenu(a), (std::vector<int>{1, 2, 3}));
}

TEST(Table1DCopie, MoveLeavesTheSourceEmptyAndUsable)
{
    Table1D<std::string> a(2);
    a[0] = "un";
    a[1] = "deux";
    Table1D<std::string> b(std::move(a));
    EXPECT_EQ(b.taille(), 2);
    EXPECT_EQ(b[1], "deux");
    EXPECT_EQ(a.taille(), 0);
    Table1D<std::string> c(1);
    c = std::move(b);
    EXPECT_EQ(c.taille(), 2);
    EXPECT_EQ(c[0], "un");
    EXPECT_EQ(b.taille(), 0);
    b.redimensionner(1);
    b[0] = "trois";
    EXPECT_EQ(b[0], "trois");
}

/** Generator that answers from a script and records every range asked. */
struct GenerateurScripte {
    std::vector<int> reponses;
    std::vector<std::pair<int, int>> demandes;

    int entier(int a, int b)
    {
        demandes.emplace_back(a, b);
        const int r = reponses.at(demandes.size() - 1);
        return r;
    }
};

TEST(Table1DMelanger, DrawsOverZeroToIInIncreasingOrderAndExchanges)
{
    Table1D<int> t = tableDe({10, 20, 30, 40});
    GenerateurScripte g{{0, 1, 0}, {}};
    t.melanger(g);
    EXPECT_EQ(g.demandes, (std::vector<std::pair<int, int>>{{0, 1}, {0, 2}, {0, 3}}));
    // i=1 j=0: 20 10 30 40; i=2 j=1: 20 30 10 40; i=3 j=0: 40 30 10 20
    EXPECT_EQ(contenu(t), (std::vector<int>{40, 30, 10, 20}));
}

TEST(Table1DMelanger, DrawingIEachTimeLeavesTheOrderUnchanged)
{
    Table1D<int> t = tableDe({1, 2, 3, 4, 5});
    GenerateurScripte g{{1, 2, 3, 4}, {}};
    t.melanger(g);
    EXPECT_EQ(g.demandes.size(), 4u);
    EXPECT_EQ(contenu(t), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(Table1DMelanger, FewerThanTwoElementsDrawNothing)
{
    GenerateurScripte g;
    Table1D<int> vide;
    vide.melanger(g);
    Table1D<int> un = tableDe({7});
    un.melanger(g);
    EXPECT_TRUE(g.demandes.empty());
    EXPECT_EQ(contenu(un), (std::vector<int>{7}));
}

struct GenerateurUniforme {
    std::mt19937 moteur{12345};
    int entier(int a, int b) { return std::uniform_int_distribution<int>(a, b)(moteur); }
};

TEST(Table1DMelanger, ResultIsAPermutation)
{
    Table1D<int> t(200);
    for (int k = 0; k < 200; ++k) {
        t[k] = k;
    }
    GenerateurUniforme g;
    t.melanger(g);
    std::vector<int> v = contenu(t);
    int deplaces = 0;
    for (int k = 0; k < 200; ++k) {
        deplaces += v[static_cast<std::size_t>(k)] != k;
    }
    EXPECT_GT(deplaces, 100);
    std::sort(v.begin(), v.end());
    for (int k = 0; k < 200; ++k) {
        EXPECT_EQ(v[static_cast<std::size_t>(k)], k);
    }
}

} // namespace
