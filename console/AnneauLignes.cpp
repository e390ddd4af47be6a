#include "console/AnneauLignes.h"

#include <algorithm>

AnneauLignes::AnneauLignes(int lignesMax)
    : m_lignesMax(std::max(1, lignesMax))
{
    m_debuts.push_back(0);
}

void AnneauLignes::setLignesMax(int lignesMax)
{
    lignesMax = std::max(1, lignesMax);
    // In order, oldest first, so that the ring can grow again by appending.
    std::rotate(m_debuts.begin(), m_debuts.begin() + m_tete, m_debuts.end());
    m_tete = 0;
    if (const int enTrop = nombre() - lignesMax; enTrop > 0) {
        m_debuts.erase(m_debuts.begin(), m_debuts.begin() + enTrop);
        m_premierNumero += enTrop;
    }
    m_lignesMax = lignesMax;
}

qint64 AnneauLignes::debut(int i) const
{
    const std::size_t taille = m_debuts.size();
    std::size_t k = static_cast<std::size_t>(m_tete) + static_cast<std::size_t>(i);
    if (k >= taille) {
        k -= taille;
    }
    return m_debuts[k];
}

QStringView AnneauLignes::ligne(int i) const
{
    const qint64 de = debut(i);
    const qint64 a = i + 1 < nombre() ? debut(i + 1) : m_fin;
    return QStringView(m_texte.data() + (de - m_base), static_cast<qsizetype>(a - de));
}

QString AnneauLignes::texte(int premiere, int derniere) const
{
    premiere = std::max(premiere, 0);
    derniere = std::min(derniere, nombre() - 1);
    if (premiere > derniere) {
        return {};
    }
    const qint64 a = derniere + 1 < nombre() ? debut(derniere + 1) : m_fin;
    QString resultat;
    resultat.reserve(static_cast<qsizetype>(a - debut(premiere)) + (derniere - premiere));
    for (int i = premiere; i <= derniere; ++i) {
        if (i > premiere) {
            resultat += QLatin1Char('\n');
        }
        resultat += ligne(i);
    }
    return resultat;
}

void AnneauLignes::reserver(qsizetype n)
{
    const std::size_t requis = m_texte.size() + static_cast<std::size_t>(n);
    if (requis <= m_texte.capacity()) {
        return;
    }
    // The dead characters go first; the buffer grows only when the live
    // ones need it, to twice their size, so that moving them out is paid
    // for by as many appends at least.
    const auto morts = static_cast<std::ptrdiff_t>(debut(0) - m_base);
    m_texte.erase(m_texte.begin(), m_texte.begin() + morts);
    m_base += morts;
    const std::size_t vivants = m_texte.size() + static_cast<std::size_t>(n);
    if (vivants * 2 > m_texte.capacity()) {
        m_texte.reserve(vivants * 2);
    }
}

void AnneauLignes::nouvelleLigne()
{
    if (nombre() < m_lignesMax) {
        // Growing: nothing went yet, the ring is still in order.
        m_debuts.push_back(m_fin);
        return;
    }
    m_debuts[static_cast<std::size_t>(m_tete)] = m_fin;
    if (++m_tete == nombre()) {
        m_tete = 0;
    }
    ++m_premierNumero;
}

qsizetype AnneauLignes::ajouter(QStringView texte)
{
    const qint64 avant = m_premierNumero;
    reserver(texte.size());
    for (const QChar c : texte) {
        if (c == QLatin1Char('\n')) {
            nouvelleLigne();
        } else {
            m_texte.push_back(c);
            ++m_fin;
        }
    }
    return static_cast<qsizetype>(m_premierNumero - avant);
}

void AnneauLignes::effacer()
{
    m_texte.clear();
    m_base = 0;
    m_fin = 0;
    m_debuts.clear();
    m_debuts.push_back(0);
    m_tete = 0;
    m_premierNumero = 0;
}
