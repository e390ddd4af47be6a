#include "ErreurAttendue.h"

#include "core/Liste.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> parIndice(Liste<std::string>& l)
{
    std::vector<std::string> v;
    for (int k = 0; k < l.taille(); ++k) {
        v.push_back(l[k]);
    }
    return v;
}

std::vector<std::string> parIterateur(const Liste<std::string>& l)
{
    std::vector<std::string> v;
    IterateurListe<std::string> it(l);
    for (it.premier(); it.valide(); it.suivant()) {
        v.push_back(it.courant());
    }
    return v;
}

using Mots = std::vector<std::string>;

TEST(ListeInserer, SuccessiveInsertionsAppendInCallOrder)
{
    Liste<std::string> l;
    EXPECT_EQ(l.taille(), 0);
    l.inserer("A");
    l.inserer("B");
    l.inserer("C");
    EXPECT_EQ(l.taille(), 3);
    EXPECT_EQ(l[0], "A");
    EXPECT_EQ(l[1], "B");
    EXPECT_EQ(l[2], "C");
    EXPECT_EQ(parIterateur(l), (Mots{"A", "B", "C"}));
    EXPECT_ERREUR(l[3], "Indice invalide!");
    EXPECT_ERREUR(l[-1], "Indice invalide!");
    EXPECT_EQ(l[2], "C"); // the index survives a refused access
}

TEST(ListeInserer, InsertsRightAfterTheCursor)
{
    Liste<std::string> l;
    l.inserer("A");
    l.inserer("B");
    l.inserer("C");
    l.precedent(); // cursor on B
    l.inserer("X");
    EXPECT_EQ(parIndice(l), (Mots{"A", "B", "X", "C"}));
    l.inserer("Y"); // the cursor follows the inserted element
    EXPECT_EQ(parIndice(l), (Mots{"A", "B", "X", "Y", "C"}));
}

TEST(ListeInserer, PrecedentFromTheFirstElementInsertsAtTheFront)
{
    Liste<std::string> l;
    l.inserer("A");
    l.inserer("B");
    l.precedent();
    l.precedent(); // from A back to the sentinel
    l.inserer("X");
    EXPECT_EQ(parIndice(l), (Mots{"X", "A", "B"}));
}

TEST(ListeInserer, PrecedentFromTheSentinelReachesTheLastElement)
{
    Liste<std::string> l;
    l.inserer("A");
    l.inserer("B");
    l.precedent();
    l.precedent(); // sentinel
    l.precedent(); // wraps to B
    l.inserer("Z");
    EXPECT_EQ(parIndice(l), (Mots{"A", "B", "Z"}));
}

TEST(ListeInserer, WalkingTheListThroughItsOwnCursorMovesTheInsertionPoint)
{
    Liste<std::string> l;
    l.inserer("A");
    l.inserer("B");
    EXPECT_EQ(l.premier(), 1);
    EXPECT_EQ(l.courant(), "A");
    l.inserer("M");
    EXPECT_EQ(parIndice(l), (Mots{"A", "M", "B"}));
}

TEST(ListeIndice, IndexIsRebuiltAfterEveryChange)
{
    Liste<std::string> l;
    l.inserer("A");
    l.inserer("C");
    EXPECT_EQ(l[1], "C");
    l.precedent();
    EXPECT_EQ(l[1], "C"); // moving the cursor changes nothing
    l.inserer("B");
    EXPECT_EQ(l.taille(), 3);
    EXPECT_EQ(l[1], "B");
    EXPECT_EQ(l[2], "C");
    l[2] = "D"; // references reach the stored element
    EXPECT_EQ(parIterateur(l), (Mots{"A", "B", "D"}));
}

TEST(ListeVider, EmptiesAndStartsAgainFromTheFront)
{
    Liste<std::string> l;
    l.inserer("A");
    l.inserer("B");
    EXPECT_EQ(l[0], "A");
    l.vider();
    EXPECT_EQ(l.taille(), 0);
    EXPECT_ERREUR(l[0], "Indice invalide!");
    EXPECT_TRUE(parIterateur(l).empty());
    l.inserer("C");
    l.inserer("D");
    EXPECT_EQ(parIndice(l), (Mots{"C", "D"}));
    l.vider();
    l.vider();
    EXPECT_EQ(l.taille(), 0);
}

/** Counts the live values, the sentinel's included. */
struct Vivant {
    static inline int vivants = 0;
    int n = 0;
    Vivant() { ++vivants; }
    Vivant(int v)
        : n(v)
    {
        ++vivants;
    }
    Vivant(const Vivant& a)
        : n(a.n)
    {
        ++vivants;
    }
    Vivant& operator=(const Vivant&) = default;
    ~Vivant() { --vivants; }
};

TEST(ListeVider, ReleasesEveryNode)
{
    Vivant::vivants = 0;
    {
        Liste<Vivant> l;
        const int sentinelle = Vivant::vivants;
        for (int k = 0; k < 10; ++k) {
            l.inserer(Vivant(k));
        }
        EXPECT_EQ(Vivant::vivants, sentinelle + 10);
        EXPECT_EQ(l[9].n, 9);
        l.vider();
        EXPECT_EQ(Vivant::vivants, sentinelle);
        l.inserer(Vivant(1));
    }
    EXPECT_EQ(Vivant::vivants, 0);
}

TEST(IterateurListe, EmptyListHasNoCurrentElement)
{
    Liste<std::string> l;
    IterateurListe<std::string> it(l);
    EXPECT_EQ(it.valide(), 0);
    EXPECT_EQ(it.premier(), 0);
    EXPECT_EQ(it.valide(), 0);
    EXPECT_ERREUR(it.courant(), "Pas d'element courant!");
}

TEST(IterateurListe, StartsAtTheListCursorAndStopsAtTheSentinel)
{
    Liste<std::string> l;
    l.inserer("A");
    l.inserer("B");
    l.inserer("C");
    IterateurListe<std::string> it(l); // the cursor stands on C
    EXPECT_EQ(it.valide(), 1);
    EXPECT_EQ(it.courant(), "C");
    it.suivant();
    EXPECT_EQ(it.valide(), 0);
    EXPECT_ERREUR(it.courant(), "Pas d'element courant!");
    it.suivant(); // the list is circular through its sentinel
    EXPECT_EQ(it.courant(), "A");
    EXPECT_EQ(it.premier(), 1);
    EXPECT_EQ(it.courant(), "A");
    it.courant() = "a";
    EXPECT_EQ(l[0], "a");
}

TEST(IterateurListe, FreshListIteratorStandsOnTheSentinel)
{
    Liste<int> l;
    l.inserer(1);
    l.vider();
    l.inserer(2);
    l.precedent();
    IterateurListe<int> it(l);
    EXPECT_EQ(it.valide(), 0);
    EXPECT_ERREUR(it.courant(), "Pas d'element courant!");
    it.suivant();
    EXPECT_EQ(it.courant(), 2);
}

} // namespace
