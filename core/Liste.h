#pragma once

#include "Erreur.h"
#include "Messages.h"

#include <new>

/** One node of a Liste; construction links it in, destruction unlinks it. */
template <class T>
struct NoeudListe {
    NoeudListe* next;
    NoeudListe* prev;
    T value;

    NoeudListe(NoeudListe* precedent, NoeudListe* suivant, const T& valeur = T())
        : next(suivant ? suivant : this)
        , prev(precedent ? precedent : this)
        , value(valeur)
    {
        if (precedent) {
            precedent->next = this;
        }
        if (suivant) {
            suivant->prev = this;
        }
    }
    ~NoeudListe()
    {
        prev->next = next;
        next->prev = prev;
    }
    NoeudListe(const NoeudListe&) = delete;
    NoeudListe& operator=(const NoeudListe&) = delete;
};

template <class T>
class Liste;

/** Walks a Liste from its first element; standing on the sentinel means past the end. */
template <class T>
class IterateurListe {
public:
    /** Starts where the list's cursor stands. */
    explicit IterateurListe(const Liste<T>& liste)
        : m_sentinelle(liste.m_sentinelle)
        , m_courant(liste.m_courant)
    {}

    /** Goes to the first element; 0 when the list is empty. */
    int premier()
    {
        m_courant = m_sentinelle->next;
        return m_courant != m_sentinelle;
    }
    int valide() const { return m_courant != m_sentinelle; }
    T& courant() const
    {
        if (m_courant == m_sentinelle) {
            KIV_ERREUR(msg::PasElementCourant);
        }
        return m_courant->value;
    }
    void suivant() { m_courant = m_courant->next; }

protected:
    IterateurListe(NoeudListe<T>* sentinelle, NoeudListe<T>* courant)
        : m_sentinelle(sentinelle)
        , m_courant(courant)
    {}

    NoeudListe<T>* m_sentinelle;
    NoeudListe<T>* m_courant;
};

/**
 * Circular doubly linked list through a sentinel, with a cursor. The list is
 * an iterator over itself: its cursor is where `inserer` puts the next element.
 * Indexed access builds an index of the elements on first use and keeps it
 * until the list changes, so repeated reads are constant-time.
 */
template <class T>
class Liste : public IterateurListe<T> {
    using Noeud = NoeudListe<T>;

public:
    Liste()
        : IterateurListe<T>(nullptr, nullptr)
    {
        this->m_sentinelle = new Noeud(nullptr, nullptr);
        this->m_courant = this->m_sentinelle;
    }
    ~Liste()
    {
        vider();
        delete this->m_sentinelle;
    }
    Liste(const Liste&) = delete;
    Liste& operator=(const Liste&) = delete;

    /** Puts a copy of the element right after the cursor and moves the cursor onto it. */
    void inserer(const T& element)
    {
        oublierIndex();
        try {
            this->m_courant = new Noeud(this->m_courant, this->m_courant->next, element);
        } catch (const std::bad_alloc&) {
            KIV_ERREUR(msg::ErreurAllocation);
        }
        ++m_nombre;
    }

    void vider()
    {
        oublierIndex();
        this->m_courant = this->m_sentinelle;
        while (this->m_sentinelle->next != this->m_sentinelle) {
            delete this->m_sentinelle->next;
        }
        m_nombre = 0;
    }

    int taille() const { return m_nombre; }

    T& operator[](int i)
    {
        if (m_index == nullptr) {
            construireIndex();
        }
        if (static_cast<unsigned>(i) >= static_cast<unsigned>(m_nombre)) {
            KIV_ERREUR(msg::IndiceInvalide);
        }
        return *m_index[i];
    }

    /** Moves the cursor one node back (from the first element to the sentinel). */
    void precedent() { this->m_courant = this->m_courant->prev; }

private:
    void construireIndex()
    {
        try {
            m_index = new T*[static_cast<std::size_t>(m_nombre)];
        } catch (const std::bad_alloc&) {
            KIV_ERREUR(msg::ErreurAllocation);
        }
        IterateurListe<T> it(*this);
        int k = 0;
        for (it.premier(); it.valide() && k < m_nombre; it.suivant()) {
            m_index[k++] = &it.courant();
        }
    }

    void oublierIndex()
    {
        delete[] m_index;
        m_index = nullptr;
    }

    int m_nombre = 0;
    T** m_index = nullptr;
};
