#pragma once

#include "Table1D.h"

#include <climits>
#include <cstdint>
#include <istream>
#include <ostream>
#include <utility>

/**
 * Two-dimensional bounds-checked array stored row after row in its Table1D
 * base. Resizing keeps every cell (i, j) that fits both the old and the new
 * shape at its place; the other cells are unset.
 */
template <class T>
class Table2D : public Table1D<T> {
public:
    Table2D() = default;
    Table2D(int lignes, int colonnes) { redimensionner(lignes, colonnes); }
    Table2D(const Table2D& autre) = default;
    Table2D(Table2D&& autre) noexcept
        : Table1D<T>(std::move(autre))
        , m_lignes(std::exchange(autre.m_lignes, 0))
        , m_colonnes(std::exchange(autre.m_colonnes, 0))
    {}

    Table2D& operator=(const Table2D& autre)
    {
        if (this != &autre) {
            Table1D<T>::operator=(autre);
            m_lignes = autre.m_lignes;
            m_colonnes = autre.m_colonnes;
        }
        return *this;
    }

    Table2D& operator=(Table2D&& autre) noexcept
    {
        if (this != &autre) {
            // The shape is taken before the base part moves out.
            const int lignes = std::exchange(autre.m_lignes, 0);
            const int colonnes = std::exchange(autre.m_colonnes, 0);
            Table1D<T>::operator=(std::move(autre));
            m_lignes = lignes;
            m_colonnes = colonnes;
        }
        return *this;
    }

    int lignes() const { return m_lignes; }
    int colonnes() const { return m_colonnes; }

    T& operator()(int i, int j)
    {
        verifierCellule(i, j);
        return this->donnees()[i * m_colonnes + j];
    }
    const T& operator()(int i, int j) const
    {
        verifierCellule(i, j);
        return this->donnees()[i * m_colonnes + j];
    }

    /** Reshapes to l x c, moving the kept cells in place (row 0 never moves). */
    void redimensionner(int l, int c)
    {
        if (l < 0 || c < 0) {
            // Two negative sizes multiply to a positive count; refusing each
            // one keeps every cell index inside the storage.
            KIV_ERREUR(msg::DimensionInvalide);
        }
        const std::int64_t cellules = static_cast<std::int64_t>(l) * c;
        if (cellules > INT_MAX) {
            // Storage that large cannot be indexed, let alone obtained.
            KIV_ERREUR(msg::ErreurAllocation);
        }
        const int l0 = m_lignes;
        const int c0 = m_colonnes;
        Table1D<T>::redimensionner(static_cast<int>(cellules));
        T* s = this->donnees();
        if (c > c0) {
            for (int i = l0 - 1; i >= 1; --i) {
                if (i < l) {
                    for (int j = c0 - 1; j >= 0; --j) {
                        s[i * c + j] = s[i * c0 + j];
                    }
                }
            }
        } else if (c < c0) {
            // Only rows present before move: a shape of a billion rows
            // without columns must not cost a billion empty turns.
            const int lignesGardees = l < l0 ? l : l0;
            for (int i = 1; i < lignesGardees; ++i) {
                for (int j = 0; j < c; ++j) {
                    s[i * c + j] = s[i * c0 + j];
                }
            }
        }
        m_lignes = l;
        m_colonnes = c;
    }

    void remplir(const T& valeur)
    {
        T* s = this->donnees();
        const int n = this->taille();
        for (int k = 0; k < n; ++k) {
            s[k] = valeur;
        }
    }

    template <class U>
    friend std::istream& operator>>(std::istream& is, Table2D<U>& table);

private:
    void verifierCellule(int i, int j) const
    {
        if (static_cast<unsigned>(i) >= static_cast<unsigned>(m_lignes) ||
            static_cast<unsigned>(j) >= static_cast<unsigned>(m_colonnes)) [[unlikely]] {
            KIV_ERREUR(msg::IndiceInvalide);
        }
    }

    int m_lignes = 0;
    int m_colonnes = 0;
};

/** Writes "(lignes,colonnes)" on a line, then each row as " " + value in a field of 10. */
template <class T>
std::ostream& operator<<(std::ostream& os, const Table2D<T>& table)
{
    os << '(' << table.lignes() << ',' << table.colonnes() << ')' << std::endl;
    for (int i = 0; i < table.lignes(); ++i) {
        for (int j = 0; j < table.colonnes(); ++j) {
            os << ' ';
            os.width(10);
            os << table(i, j);
        }
        os << std::endl;
    }
    return os;
}

/** Reads the form written above: optional comment lines, the header, then every cell. */
template <class T>
std::istream& operator>>(std::istream& is, Table2D<T>& table)
{
    const char ouvrante = table_texte::lireDebut(is);
    int l = -1;
    char virgule = ' ';
    int c = -1;
    char fermante = ' ';
    is >> l >> virgule >> c >> fermante;
    if (ouvrante != '(' || virgule != ',' || fermante != ')' || l < 0 || c < 0) {
        KIV_ERREUR(msg::FormatInvalide);
    }
    const std::int64_t cellules = static_cast<std::int64_t>(l) * c;
    if (cellules <= table_texte::lotLecture<T>()) {
        table.redimensionner(l, c);
        // Rows without columns hold nothing to read, however many they are.
        const int lignesALire = c > 0 ? l : 0;
        for (int i = 0; i < lignesALire; ++i) {
            for (int j = 0; j < c; ++j) {
                is >> table(i, j);
                if (is.fail()) {
                    KIV_ERREUR(msg::FormatInvalide);
                }
            }
        }
        return is;
    }
    // An announced size beyond a lot: the cells, row after row, are the
    // storage's order, which grows by doubling as values arrive. The shape
    // is set once every value is in; a failed read leaves the table empty.
    table.redimensionner(0, 0);
    if (cellules > INT_MAX) {
        KIV_ERREUR(msg::ErreurAllocation);
    }
    const int n = static_cast<int>(cellules);
    Table1D<T>& base = table;
    try {
        base.redimensionner(table_texte::lotLecture<T>());
        for (int k = 0; k < n; ++k) {
            if (k == base.taille()) {
                base.redimensionner(k <= n / 2 ? 2 * k : n);
            }
            is >> base.donnees()[k];
            if (is.fail()) {
                KIV_ERREUR(msg::FormatInvalide);
            }
        }
    } catch (...) {
        base.redimensionner(0);
        throw;
    }
    table.m_lignes = l;
    table.m_colonnes = c;
    return is;
}
