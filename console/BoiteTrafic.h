#pragma once

#include <QObject>
#include <QString>
#include <QTextCursor>
#include <QTimer>

class PorteAffichage;
class QPlainTextEdit;
class VueReception;

/**
 * One of the view's traffic boxes (reception, transmission): texts appended
 * at the end, the view kept at the bottom when it was there. Appends are
 * gathered and written to the box ten times a second, in slices of a few
 * hundred characters an event-loop turn, so the robot's byte rate never
 * becomes the box's layout rate and no write holds a reply back for long;
 * what the box shows, line for line, is the same as with one edit per
 * append.
 *
 * With `longueurParagraphe` > 0 the box is one long wrapped line cut into
 * paragraphs of about that length, between two appends (a long paragraph is
 * laid out whole on every change; the wrapping looks the same).
 *
 * The box keeps the most recent lines only, up to a generous bound.
 *
 * The box is a text box, or the reception box's own view, which takes a
 * round's text in one append, whatever its size.
 */
class BoiteTrafic : public QObject {
    Q_OBJECT

public:
    /**
     * `lignesMax` bounds the lines (paragraphs) the box keeps: the oldest go
     * first, so that a console left running keeps a flat memory.
     */
    BoiteTrafic(QPlainTextEdit* boite, int longueurParagraphe, int lignesMax,
                QObject* parent = nullptr);
    /** The same for a reception view, one line a line break, never cut into paragraphs. */
    BoiteTrafic(VueReception* vue, int lignesMax, QObject* parent = nullptr);

    /** Timed writes go through `porte` (never while a frame waits for its reply). */
    void setPorte(PorteAffichage* porte) { m_porte = porte; }

    /** Appends `texte` (written at the next flush). */
    void ajouter(const QString& texte);
    /** Appends a line break and `c`: a received byte's line, without a string made for it. */
    void ajouterLigne(QChar c);
    /** Writes what is pending now. */
    void vider();

private:
    BoiteTrafic(QPlainTextEdit* boite, VueReception* vue, int longueurParagraphe, int lignesMax,
                QObject* parent);
    /** The timer's write, through the gate when there is one. */
    void surMinuterie();
    /** Writes a slice of what is pending; the rest follows in the next turn. */
    void ecrireTranche();
    void ecrire(const QString& texte);

    /** One of the two is the box. */
    QPlainTextEdit* m_boite;
    VueReception* m_vue;
    PorteAffichage* m_porte = nullptr;
    int m_longueurParagraphe;
    int m_lignesMax;
    /** Characters in the box's last paragraph, pending ones included. */
    int m_paragraphe = 0;
    QString m_enAttente;
    QTimer m_minuterie;
    /** The box's end, where the text goes. */
    QTextCursor m_fin;
    /** The next slice of a round too big for one turn. */
    QTimer m_suite;
};
