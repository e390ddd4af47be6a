#include "ErreurAttendue.h"

#include "core/MonceauBin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

/** A search record: ordered by cost only, the tag tells equal costs apart. */
struct Noeud {
    int cout = 0;
    char tag = '?';
    bool operator<(const Noeud& autre) const { return cout < autre.cout; }
};

std::string vider(MonceauBin<Noeud>& m)
{
    std::string ordre;
    Noeud n;
    while (m.taille() > 0) {
        m.extraireMinimum(n);
        ordre += n.tag;
    }
    return ordre;
}

TEST(MonceauBin, ExtractsInIncreasingOrderThenRefuses)
{
    MonceauBin<int> m(100);
    m.inserer(30);
    m.inserer(10);
    m.inserer(20);
    EXPECT_EQ(m.taille(), 3);
    EXPECT_EQ(m.minimum(), 10);
    int v = 0;
    m.extraireMinimum(v);
    EXPECT_EQ(v, 10);
    m.extraireMinimum(v);
    EXPECT_EQ(v, 20);
    m.extraireMinimum(v);
    EXPECT_EQ(v, 30);
    EXPECT_EQ(m.taille(), 0);
    v = -1;
    EXPECT_ERREUR(m.extraireMinimum(v), "Pas d'element minimum!");
    EXPECT_EQ(v, -1);
    EXPECT_EQ(m.taille(), 0);
    EXPECT_ERREUR(m.minimum(), "Pas d'element minimum!");
    m.inserer(5); // still usable
    EXPECT_EQ(m.minimum(), 5);
}

TEST(MonceauBin, EqualCostsLeaveInTheOrderOfTheSiftingRules)
{
    MonceauBin<Noeud> m(100);
    m.inserer({10, 'a'});
    m.inserer({10, 'b'});
    m.inserer({10, 'c'});
    EXPECT_EQ(vider(m), "acb");
}

TEST(MonceauBin, EqualCostsAfterABottomUpRebuild)
{
    // a b c d with c cheaper: the rebuild swaps c and a only (a b c d -> c b a d);
    // then d replaces c at the top and stays, since b is not less than d.
    MonceauBin<Noeud> m(100);
    m.inserer({5, 'a'});
    m.inserer({5, 'b'});
    m.inserer({3, 'c'});
    m.inserer({5, 'd'});
    EXPECT_EQ(vider(m), "cdab");
}

TEST(MonceauBin, LeftChildIsTakenOnEqualKeys)
{
    MonceauBin<Noeud> m(10);
    m.inserer({1, 'r'});
    m.inserer({4, 'L'});
    m.inserer({4, 'R'});
    m.inserer({9, 'x'});
    Noeud n;
    m.extraireMinimum(n); // x goes to the top and sinks into the left child's slot
    EXPECT_EQ(n.tag, 'r');
    EXPECT_EQ(m.minimum().tag, 'L');
    EXPECT_EQ(vider(m), "LRx");
}

TEST(MonceauBin, MinimumIsReadAsOftenAsWantedWithoutRemoving)
{
    MonceauBin<int> m(4);
    m.inserer(7);
    m.inserer(3);
    EXPECT_EQ(m.minimum(), 3);
    EXPECT_EQ(m.minimum(), 3);
    EXPECT_EQ(m.taille(), 2);
}

TEST(MonceauBin, ManyRandomIntsComeOutSorted)
{
    std::mt19937 moteur(20240611);
    std::uniform_int_distribution<int> valeur(-50, 50); // many duplicates
    std::vector<int> attendu;
    MonceauBin<int> m(100);
    for (int k = 0; k < 1000; ++k) {
        const int v = valeur(moteur);
        attendu.push_back(v);
        m.inserer(v);
    }
    std::sort(attendu.begin(), attendu.end());
    std::vector<int> sortis;
    int v = 0;
    while (m.taille() > 0) {
        m.extraireMinimum(v);
        sortis.push_back(v);
    }
    EXPECT_EQ(sortis, attendu);
}

TEST(MonceauBin, InterleavedInsertionsAndExtractions)
{
    std::mt19937 moteur(7);
    std::uniform_int_distribution<int> valeur(0, 1000);
    std::multiset<int> reference;
    MonceauBin<int> m(3);
    for (int pas = 0; pas < 3000; ++pas) {
        if (reference.empty() || moteur() % 3 != 0) {
            const int v = valeur(moteur);
            m.inserer(v);
            reference.insert(v);
        } else {
            int v = -1;
            m.extraireMinimum(v);
            ASSERT_EQ(v, *reference.begin()) << "step " << pas;
            reference.erase(reference.begin());
        }
        ASSERT_EQ(m.taille(), static_cast<int>(reference.size()));
    }
}

/** Slot element counting default constructions, i.e. slots obtained. */
struct Emplacement {
    static inline int construits = 0;
    int v = 0;
    Emplacement() { ++construits; }
    Emplacement(int x)
        : v(x)
    {}
    bool operator<(const Emplacement& autre) const { return v < autre.v; }
};

TEST(MonceauBin, SlotsDoubleOnlyWhenFull)
{
    Emplacement::construits = 0;
    MonceauBin<Emplacement> m(100);
    EXPECT_EQ(Emplacement::construits, 101); // capacity + the unused slot 0
    for (int k = 0; k < 100; ++k) {
        m.inserer(Emplacement(1000 - k));
    }
    EXPECT_EQ(Emplacement::construits, 101);
    m.inserer(Emplacement(5)); // the 101st doubles 101 slots to 202
    EXPECT_EQ(Emplacement::construits, 101 + 202);
    for (int k = 0; k < 100; ++k) {
        m.inserer(Emplacement(2000 + k));
    }
    EXPECT_EQ(Emplacement::construits, 101 + 202);
    m.inserer(Emplacement(3)); // the 202nd doubles again
    EXPECT_EQ(Emplacement::construits, 101 + 202 + 404);
    EXPECT_EQ(m.taille(), 202);

    Emplacement e;
    m.extraireMinimum(e);
    EXPECT_EQ(e.v, 3);
    m.extraireMinimum(e);
    EXPECT_EQ(e.v, 5);
    m.extraireMinimum(e);
    EXPECT_EQ(e.v, 901);
    int restants = 1;
    int precedent = e.v;
    while (m.taille() > 0) {
        m.extraireMinimum(e);
        EXPECT_LE(precedent, e.v);
        precedent = e.v;
        ++restants;
    }
    EXPECT_EQ(restants, 200);
    EXPECT_EQ(precedent, 2099);
}

TEST(MonceauBin, ZeroCapacityGrowsOnFirstInsertion)
{
    MonceauBin<int> m(0);
    m.inserer(2);
    m.inserer(1);
    m.inserer(3);
    int v = 0;
    m.extraireMinimum(v);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(m.taille(), 2);
}

TEST(MonceauBin, NegativeCapacityIsADimensionError)
{
    EXPECT_ERREUR(MonceauBin<int>(-2), "Dimension invalide!");
}

} // namespace
