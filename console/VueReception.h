#pragma once

#include "console/AnneauLignes.h"

#include <QAbstractScrollArea>
#include <QString>
#include <QStringView>

#include <unordered_map>

class QMenu;

/**
 * The reception box: the last lines received (one byte each) in a bounded
 * ring, of which only the lines on show are painted, so that a fast line
 * costs its bytes and not their layout. It looks like a read-only, unwrapped
 * text box and stays at the bottom when it was there. Whole lines are
 * selected with the mouse (press and drag, shift-click) or all at once, and
 * copied with Ctrl+C, the context menu or the Edit menu.
 */
class VueReception : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit VueReception(QWidget* parent = nullptr);

    /** Keeps at most `lignesMax` lines (50,000 until told), the oldest going first. */
    void setLignesMax(int lignesMax);
    int lignesMax() const { return m_lignes.lignesMax(); }

    /**
     * Appends `texte` at the end (a line break starts a new line) and
     * repaints once. At the bottom, the view follows the new lines;
     * elsewhere the lines on show stay on show.
     */
    void ajouter(QStringView texte);
    /** Back to one empty line, nothing selected. */
    void effacer();

    int nombreLignes() const { return m_lignes.nombre(); }
    /** Line `i` (0 is the oldest). */
    QString ligne(int i) const { return m_lignes.ligne(i).toString(); }
    /** Every line, joined by line breaks. */
    QString texte() const { return m_lignes.texte(0, nombreLignes() - 1); }

    bool aSelection() const;
    /** The selected lines, joined by line breaks. */
    QString texteSelectionne() const;
    /** Selects lines `premiere` to `derniere` (in either order, clamped to the lines held). */
    void selectionner(int premiere, int derniere);
    void toutSelectionner();
    /** The selected lines to the clipboard; nothing selected, nothing copied. */
    void copier() const;

    /** The context menu: "Copy" and "Select All", in Qt's own words and shortcuts. */
    QMenu* creerMenuContextuel(QWidget* parent);

protected:
    bool event(QEvent* evenement) override;
    void paintEvent(QPaintEvent* evenement) override;
    void resizeEvent(QResizeEvent* evenement) override;
    void changeEvent(QEvent* evenement) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* evenement) override;
    void mouseMoveEvent(QMouseEvent* evenement) override;
    void mouseReleaseEvent(QMouseEvent* evenement) override;
    void keyPressEvent(QKeyEvent* evenement) override;
    void contextMenuEvent(QContextMenuEvent* evenement) override;

private:
    /** Lines that fit in the viewport, at least one. */
    int lignesVisibles() const;
    /** Viewport height of the first line on show. */
    int haut() const;
    /** The line under viewport height `y`, clamped to the lines held. */
    int ligneA(int y) const;
    /** Widens the text's width with lines `de` to the last. */
    void mesurer(int de);
    /** Line height and text width for the current font. */
    void majPolice();
    /** The scroll bars' ranges from the lines and their width. */
    void majBarres();
    /** The selection as line indices; false when nothing held is selected. */
    bool bornesSelection(int& premiere, int& derniere) const;
    /** Scrolls so that line `i` is on show. */
    void montrer(int i);

    AnneauLignes m_lignes;
    int m_hauteurLigne = 1;
    int m_ascendante = 0;
    /**
     * The width of each one-character line met, in the current font (a
     * received byte's line: at most 256 of them, control pictures included).
     */
    std::unordered_map<char16_t, int> m_largeursCaracteres;
    /** The widest line measured since the view was emptied, in pixels. */
    int m_largeurMax = 0;
    /** The selection's ends, as line numbers (AnneauLignes::premierNumero() + index); -1: none. */
    qint64 m_ancre = -1;
    qint64 m_bout = -1;
    bool m_glisse = false;
};
