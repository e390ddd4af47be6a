#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <vector>

/**
 * The last lines of a text, up to a bound: text goes in at the end, a line
 * break starts a new line, and the oldest lines go once the bound is
 * reached. Like a text document, an empty ring holds one empty line, and a
 * text that starts with a line break leaves an empty first line.
 *
 * The characters sit in one buffer, each line contiguous, and the lines'
 * starts in a ring: once the storage has grown to what the lines hold, an
 * append allocates nothing, whatever the rate.
 */
class AnneauLignes {
public:
    /** Keeps at most `lignesMax` lines (at least one). */
    explicit AnneauLignes(int lignesMax);

    /** Changes the bound; the oldest lines beyond it go at once. */
    void setLignesMax(int lignesMax);
    int lignesMax() const { return m_lignesMax; }

    /** Appends `texte`; returns how many of the oldest lines went. */
    qsizetype ajouter(QStringView texte);
    /** Back to one empty line, the storage kept. */
    void effacer();

    /** Lines held, at least one. */
    int nombre() const { return static_cast<int>(m_debuts.size()); }
    /** Line `i` (0 is the oldest), without its line break; valid until the next change. */
    QStringView ligne(int i) const;
    /** Lines `premiere` to `derniere` (included), joined by line breaks. */
    QString texte(int premiere, int derniere) const;
    /** How many lines went since the ring was last emptied: the oldest line's number. */
    qint64 premierNumero() const { return m_premierNumero; }

private:
    /** Position of line `i`'s first character. */
    qint64 debut(int i) const;
    /** Room for `n` more characters, the dead ones moved out first. */
    void reserver(qsizetype n);
    /** Opens a new last line, the oldest going if the ring is full. */
    void nouvelleLigne();

    int m_lignesMax;
    /** The characters, from position m_base on; those before the oldest line are dead. */
    std::vector<QChar> m_texte;
    qint64 m_base = 0;
    /** Position after the last character. */
    qint64 m_fin = 0;
    /** The lines' first positions, a ring once full; the oldest at m_tete. */
    std::vector<qint64> m_debuts;
    int m_tete = 0;
    qint64 m_premierNumero = 0;
};
