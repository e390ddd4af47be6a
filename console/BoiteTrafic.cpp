#include "console/BoiteTrafic.h"

#include "console/PorteAffichage.h"
#include "console/VueReception.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

/**
 * Time between two writes to the box: ten a second, as fast as anyone reads,
 * and each write lays out only the lines it brings into view.
 */
constexpr int IntervalleMs = 100;
/** Characters waiting for the next round beyond which they are written at once. */
constexpr qsizetype EnAttenteMax = qsizetype{256} * 1024;
/**
 * The most characters a timed write puts in the box in one event-loop turn
 * (about half a millisecond of the box's work): a round's worth of a fast
 * line goes in slices, in the gaps between frames, and never holds a reply
 * back for long.
 */
constexpr qsizetype TrancheMax = 256;

/** Where a slice of `texte` may end: before a line, a command or a paragraph, at most `max` in. */
qsizetype finDeTranche(const QString& texte, qsizetype max)
{
    if (texte.size() <= max) {
        return texte.size();
    }
    for (qsizetype k = max; k > 0; --k) {
        const QChar c = texte.at(k);
        if (c == QLatin1Char('\n') || c == QLatin1Char(' ') ||
            c == QChar(QChar::ParagraphSeparator)) {
            return k;
        }
    }
    return texte.size();
}

} // namespace

BoiteTrafic::BoiteTrafic(QPlainTextEdit* boite, int longueurParagraphe, int lignesMax,
                         QObject* parent)
    : BoiteTrafic(boite, nullptr, longueurParagraphe, lignesMax, parent)
{
    // The box's own bound (setMaximumBlockCount) walks to the oldest lines
    // block by block, laying each out, at every write: ecrire() cuts them.
    // A read-only box has nothing to undo; its undo history would keep
    // every append for the life of the view.
    m_boite->setUndoRedoEnabled(false);
}

BoiteTrafic::BoiteTrafic(VueReception* vue, int lignesMax, QObject* parent)
    : BoiteTrafic(nullptr, vue, 0, lignesMax, parent)
{
    m_vue->setLignesMax(m_lignesMax);
}

BoiteTrafic::BoiteTrafic(QPlainTextEdit* boite, VueReception* vue, int longueurParagraphe,
                         int lignesMax, QObject* parent)
    : QObject(parent)
    , m_boite(boite)
    , m_vue(vue)
    , m_longueurParagraphe(longueurParagraphe)
    , m_lignesMax(std::max(1, lignesMax))
{
    m_minuterie.setSingleShot(true);
    m_minuterie.setInterval(IntervalleMs);
    connect(&m_minuterie, &QTimer::timeout, this, &BoiteTrafic::surMinuterie);
    m_suite.setSingleShot(true);
    m_suite.setInterval(0);
    connect(&m_suite, &QTimer::timeout, this, &BoiteTrafic::surMinuterie);
}

void BoiteTrafic::ajouter(const QString& texte)
{
    if (m_longueurParagraphe > 0 && !texte.startsWith(QLatin1Char('\n'))) {
        if (m_paragraphe > m_longueurParagraphe) {
            m_enAttente += QChar(QChar::ParagraphSeparator);
            m_paragraphe = 0;
        }
        m_paragraphe += static_cast<int>(texte.size());
    }
    m_enAttente += texte;
    // A flood between two rounds (a replay at high speed) is written at once:
    // what waits never outgrows what the box keeps.
    if (m_enAttente.size() > EnAttenteMax) {
        vider();
    } else if (!m_minuterie.isActive() && !m_suite.isActive()) {
        m_minuterie.start();
    }
}

void BoiteTrafic::ajouterLigne(QChar c)
{
    m_enAttente += QLatin1Char('\n');
    m_enAttente += c;
    if (m_enAttente.size() > EnAttenteMax) {
        vider();
    } else if (!m_minuterie.isActive() && !m_suite.isActive()) {
        m_minuterie.start();
    }
}

void BoiteTrafic::surMinuterie()
{
    if (m_porte) {
        m_porte->executer(this, [this] { ecrireTranche(); });
    } else {
        ecrireTranche();
    }
}

void BoiteTrafic::ecrireTranche()
{
    // The view takes a round in one append and one paint: no slices.
    const qsizetype n = m_vue ? m_enAttente.size() : finDeTranche(m_enAttente, TrancheMax);
    if (n >= m_enAttente.size()) {
        vider();
        return;
    }
    m_minuterie.stop();
    ecrire(m_enAttente.first(n));
    m_enAttente.remove(0, n);
    // The rest in the next turn (through the gate again).
    m_suite.start();
}

void BoiteTrafic::vider()
{
    m_minuterie.stop();
    m_suite.stop();
    if (m_enAttente.isEmpty()) {
        return;
    }
    ecrire(m_enAttente);
    m_enAttente.clear(); // keeps its storage for the next round
}

void BoiteTrafic::ecrire(const QString& texte)
{
    if (m_vue) {
        m_vue->ajouter(texte);
        return;
    }
    QScrollBar* barre = m_boite->verticalScrollBar();
    const bool enBas = barre->value() == barre->maximum();
    if (m_fin.isNull() || m_fin.document() != m_boite->document()) {
        m_fin = QTextCursor(m_boite->document());
    }
    // Kept at the end: the text goes in without the end being looked for
    // (and its line laid out) at each write.
    if (!m_fin.atEnd()) {
        m_fin.movePosition(QTextCursor::End);
    }
    m_fin.insertText(texte);
    // The oldest lines go, found by number and cut in one edit.
    QTextDocument* document = m_boite->document();
    if (const int enTrop = document->blockCount() - m_lignesMax; enTrop > 0) {
        QTextCursor debut(document);
        debut.setPosition(document->findBlockByNumber(enTrop).position(), QTextCursor::KeepAnchor);
        debut.removeSelectedText();
    }
    if (enBas) {
        barre->setValue(barre->maximum());
    }
}
