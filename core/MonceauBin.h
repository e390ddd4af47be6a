#pragma once

#include "Erreur.h"
#include "Messages.h"
#include "Table1D.h"

/**
 * Binary min-heap in slots 1 .. count of a Table1D (slot 0 unused).
 *
 * Insertion never sifts up: it appends and only notes when the heap property
 * may be broken; the next `minimum` rebuilds bottom-up. Sifting moves an
 * element past a child only when the child is strictly less and prefers the
 * left child on equal keys, so equal keys keep a fixed, documented order.
 * The slots double when full.
 */
template <class T>
class MonceauBin {
public:
    explicit MonceauBin(int capacite) { m_slots.redimensionner(capacite + 1); }

    int taille() const { return m_nombre; }

    void inserer(const T& element)
    {
        if (m_nombre + 1 == m_slots.taille()) {
            m_slots.redimensionner(2 * m_slots.taille());
        }
        ++m_nombre;
        m_slots[m_nombre] = element;
        if (m_nombre >= 2 && element < m_slots[m_nombre / 2]) {
            m_ordonne = 0;
        }
    }

    T& minimum()
    {
        if (m_nombre == 0) {
            KIV_ERREUR(msg::PasElementMinimum);
        }
        if (!m_ordonne) {
            for (int k = m_nombre / 2; k >= 1; --k) {
                tamiser(k);
            }
            m_ordonne = 1;
        }
        return m_slots[1];
    }

    void extraireMinimum(T& sortie)
    {
        sortie = minimum();
        m_slots[1] = m_slots[m_nombre];
        --m_nombre;
        tamiser(1);
    }

private:
    /** Sifts the element of slot k down to its place. */
    void tamiser(int k)
    {
        const T tenu = m_slots[k];
        while (2 * k <= m_nombre) {
            int c = 2 * k;
            if (c != m_nombre && m_slots[c + 1] < m_slots[c]) {
                ++c;
            }
            if (!(m_slots[c] < tenu)) {
                break;
            }
            m_slots[k] = m_slots[c];
            k = c;
        }
        m_slots[k] = tenu;
    }

    Table1D<T> m_slots;
    int m_nombre = 0;
    int m_ordonne = 1;
};
