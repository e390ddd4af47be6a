#pragma once

#include "BudgetMemoire.h"
#include "Erreur.h"
#include "Messages.h"

#include <climits>
#include <istream>
#include <new>
#include <ostream>
#include <utility>

/**
 * Resizable, bounds-checked array indexed from 0.
 *
 * Storage is sized exactly: growing asks for exactly the new size, shrinking
 * keeps the storage (elements past the count keep their values and show up
 * again on a later growth), and only a resize to 0 gives the storage back.
 * New storage is obtained as an array of T, so class elements are
 * default-constructed in every slot while plain elements are left unset.
 */
template <class T>
class Table1D {
public:
    explicit Table1D(int n = 0) { redimensionner(n); }
    Table1D(const Table1D& autre) { *this = autre; }
    Table1D(Table1D&& autre) noexcept { echanger(autre); }
    ~Table1D() { delete[] m_elements; }

    Table1D& operator=(const Table1D& autre)
    {
        if (this != &autre) {
            redimensionner(autre.taille());
            for (int k = 0; k < m_taille; ++k) {
                (*this)[k] = autre[k];
            }
        }
        return *this;
    }

    Table1D& operator=(Table1D&& autre) noexcept
    {
        if (this != &autre) {
            Table1D vide;
            echanger(vide);
            echanger(autre);
        }
        return *this;
    }

    int taille() const { return m_taille; }

    T& operator[](int i)
    {
        verifierIndice(i);
        return m_elements[i];
    }
    const T& operator[](int i) const
    {
        verifierIndice(i);
        return m_elements[i];
    }

    /** Sets the count to n, growing the storage to exactly n when it is too small. */
    void redimensionner(int n)
    {
        if (n < 0) {
            KIV_ERREUR(msg::DimensionInvalide);
        }
        if ((m_elements == nullptr && n > 0) || (m_elements != nullptr && m_capacite < n)) {
            T* nouveau = allouer(n);
            // The count never exceeds the old storage, which is smaller than n.
            const int garder = m_taille < n ? m_taille : n;
            // The old storage goes right after: its elements may be moved.
            for (int k = 0; k < garder; ++k) {
                nouveau[k] = std::move(m_elements[k]);
            }
            delete[] m_elements;
            m_elements = nouveau;
            m_capacite = n;
        } else if (m_elements != nullptr && n == 0) {
            delete[] m_elements;
            m_elements = nullptr;
            m_capacite = 0;
        }
        m_taille = n;
    }

    /**
     * Shuffles in place: for i = 1 .. count - 1, exchanges element i with a
     * uniformly drawn element j of [0, i]. Fewer than two elements draw nothing.
     */
    template <class Generateur>
    void melanger(Generateur& generateur)
    {
        for (int i = 1; i < m_taille; ++i) {
            const int j = generateur.entier(0, i);
            std::swap((*this)[i], (*this)[j]);
        }
    }

    /** Unchecked view of the storage, for loops whose bounds were checked once. */
    T* donnees() { return m_elements; }
    const T* donnees() const { return m_elements; }

protected:
    void echanger(Table1D& autre) noexcept
    {
        std::swap(m_capacite, autre.m_capacite);
        std::swap(m_taille, autre.m_taille);
        std::swap(m_elements, autre.m_elements);
    }

private:
    void verifierIndice(int i) const
    {
        if (static_cast<unsigned>(i) >= static_cast<unsigned>(m_taille)) [[unlikely]] {
            KIV_ERREUR(msg::IndiceInvalide);
        }
    }

    static T* allouer(int n)
    {
        verifierBudgetMemoire(static_cast<double>(n) * sizeof(T));
        try {
            return new T[static_cast<std::size_t>(n)];
        } catch (const std::bad_alloc&) {
            KIV_ERREUR(msg::ErreurAllocation);
        }
    }

    int m_capacite = 0;
    int m_taille = 0;
    T* m_elements = nullptr;
};

namespace table_texte {

/**
 * Elements of T a reader obtains at once for a count read from its input
 * (1 MiB of them). A table announced larger grows while its elements are
 * read, so a count the input does not back costs no memory.
 */
template <class T>
constexpr int lotLecture()
{
    constexpr std::size_t lot = (std::size_t{1} << 20) / sizeof(T);
    return lot > 0 ? static_cast<int>(lot) : 1;
}

/**
 * Reads the first significant char of a table header: lines starting with '#'
 * in front of it are skipped. Returns '\0' when the stream runs out, which no
 * header accepts (a comment at the very end of the input must not loop).
 */
inline char lireDebut(std::istream& is)
{
    char c = '\0';
    is >> c;
    while (is && c == '#') {
        is.ignore(INT_MAX, '\n');
        c = '\0';
        is >> c;
    }
    return is ? c : '\0';
}

} // namespace table_texte

/** Writes "(count)" on a line, then every element followed by an end of line. */
template <class T>
std::ostream& operator<<(std::ostream& os, const Table1D<T>& table)
{
    os << '(' << table.taille() << ')' << std::endl;
    for (int k = 0; k < table.taille(); ++k) {
        os << table[k] << std::endl;
    }
    return os;
}

/**
 * Reads the form written above into the existing table: comment lines may
 * precede the header; the table is resized to the announced count and each
 * element is read in place with its own extraction. A count beyond a lot is
 * reached by doubling as elements arrive (the last growth lands on it
 * exactly); when such a read fails the table holds what was obtained.
 */
template <class T>
std::istream& operator>>(std::istream& is, Table1D<T>& table)
{
    const char ouvrante = table_texte::lireDebut(is);
    int n = -1;
    char fermante = ' ';
    is >> n >> fermante;
    if (ouvrante != '(' || fermante != ')' || n < 0) {
        KIV_ERREUR(msg::FormatInvalide);
    }
    table.redimensionner(n <= table_texte::lotLecture<T>() ? n : table_texte::lotLecture<T>());
    for (int k = 0; k < n; ++k) {
        if (k == table.taille()) {
            table.redimensionner(k <= n / 2 ? 2 * k : n);
        }
        is >> table[k];
        if (is.fail()) {
            KIV_ERREUR(msg::FormatInvalide);
        }
    }
    return is;
}
