#include "console/VueReception.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>
#include <cmath>

namespace {

/** The bound until one is given: the reception box's. */
constexpr int LignesMaxParDefaut = 50000;
/** Room around the text, as a text box leaves it (above the first line only). */
constexpr int Marge = 4;

/** A line drawn from the ring without a copy of its characters. */
QString brut(QStringView ligne)
{
    return QString::fromRawData(ligne.constData(), ligne.size());
}

/** The shortcut shown after a context menu entry, as Qt's text boxes show it. */
QString raccourci(QKeySequence::StandardKey touche)
{
    if (QCoreApplication::testAttribute(Qt::AA_DontShowShortcutsInContextMenus) ||
        !QGuiApplication::styleHints()->showShortcutsInContextMenus()) {
        return {};
    }
    return QLatin1Char('\t') + QKeySequence(touche).toString(QKeySequence::NativeText);
}

/** An entry of the context menu, with its theme icon when the theme has one. */
QAction* entree(QMenu& menu, const char* texte, QKeySequence::StandardKey touche, const char* nom)
{
    // Qt's read-only text boxes' own words, so that their translation is Qt's too.
    QAction* action = menu.addAction(QCoreApplication::translate("QWidgetTextControl", texte) +
                                     raccourci(touche));
    action->setObjectName(QLatin1String(nom));
    if (const QIcon icone = QIcon::fromTheme(QLatin1String(nom)); !icone.isNull()) {
        action->setIcon(icone);
    }
    return action;
}

} // namespace

VueReception::VueReception(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_lignes(LignesMaxParDefaut)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setCursor(Qt::IBeamCursor);
    majPolice();
}

void VueReception::setLignesMax(int lignesMax)
{
    m_lignes.setLignesMax(lignesMax);
    majBarres();
    viewport()->update();
}

int VueReception::lignesVisibles() const
{
    return std::max(1, (viewport()->height() - 2 * Marge) / m_hauteurLigne);
}

int VueReception::haut() const
{
    // As in a text box, the margin is above the text, not above each line on show.
    return verticalScrollBar()->value() == 0 ? Marge : 0;
}

int VueReception::ligneA(int y) const
{
    // Rounded down above the first line too: dragging there reaches the line before.
    const int decalage = static_cast<int>(
        std::floor(static_cast<double>(y - haut()) / static_cast<double>(m_hauteurLigne)));
    return std::clamp(verticalScrollBar()->value() + decalage, 0, nombreLignes() - 1);
}

void VueReception::mesurer(int de)
{
    const QFontMetrics mesure = fontMetrics();
    for (int i = std::max(de, 0); i < nombreLignes(); ++i) {
        const QStringView ligne = m_lignes.ligne(i);
        if (ligne.isEmpty()) {
            continue;
        }
        int largeur = 0;
        if (ligne.size() == 1) {
            // A received byte's line: its width measured once per font.
            const auto [k, nouveau] = m_largeursCaracteres.try_emplace(ligne.front().unicode(), 0);
            if (nouveau) {
                k->second = mesure.horizontalAdvance(ligne.front());
            }
            largeur = k->second;
        } else {
            largeur = mesure.horizontalAdvance(brut(ligne));
        }
        m_largeurMax = std::max(m_largeurMax, largeur);
    }
}

void VueReception::majBarres()
{
    const int visibles = lignesVisibles();
    QScrollBar* verticale = verticalScrollBar();
    verticale->setPageStep(visibles);
    verticale->setSingleStep(1);
    verticale->setRange(0, std::max(0, nombreLignes() - visibles));
    QScrollBar* horizontale = horizontalScrollBar();
    const int largeur = viewport()->width();
    horizontale->setPageStep(largeur);
    horizontale->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
    horizontale->setRange(0, std::max(0, m_largeurMax + 2 * Marge - largeur));
}

void VueReception::ajouter(QStringView texte)
{
    if (texte.isEmpty()) {
        return;
    }
    QScrollBar* barre = verticalScrollBar();
    const bool enBas = barre->value() >= barre->maximum();
    const int valeur = barre->value();
    const int derniere = nombreLignes() - 1;
    const qsizetype parties = m_lignes.ajouter(texte);
    // The last line may have grown, and the new ones are measured.
    mesurer(static_cast<int>(derniere - parties));
    majBarres();
    if (enBas) {
        barre->setValue(barre->maximum());
    } else {
        // The lines on show stay on show, until they go themselves.
        barre->setValue(static_cast<int>(std::max<qsizetype>(0, valeur - parties)));
    }
    viewport()->update();
}

void VueReception::effacer()
{
    m_lignes.effacer();
    m_ancre = m_bout = -1;
    m_glisse = false;
    m_largeurMax = 0;
    majBarres();
    viewport()->update();
}

bool VueReception::bornesSelection(int& premiere, int& derniere) const
{
    if (m_ancre < 0) {
        return false;
    }
    const qint64 origine = m_lignes.premierNumero();
    const qint64 de = std::max(std::min(m_ancre, m_bout), origine);
    const qint64 a = std::min(std::max(m_ancre, m_bout), origine + nombreLignes() - 1);
    if (de > a) {
        return false;
    }
    premiere = static_cast<int>(de - origine);
    derniere = static_cast<int>(a - origine);
    return true;
}

bool VueReception::aSelection() const
{
    int premiere = 0;
    int derniere = 0;
    return bornesSelection(premiere, derniere);
}

QString VueReception::texteSelectionne() const
{
    int premiere = 0;
    int derniere = 0;
    return bornesSelection(premiere, derniere) ? m_lignes.texte(premiere, derniere) : QString();
}

void VueReception::selectionner(int premiere, int derniere)
{
    const int dernierIndex = nombreLignes() - 1;
    m_ancre = m_lignes.premierNumero() + std::clamp(premiere, 0, dernierIndex);
    m_bout = m_lignes.premierNumero() + std::clamp(derniere, 0, dernierIndex);
    viewport()->update();
}

void VueReception::toutSelectionner()
{
    selectionner(0, nombreLignes() - 1);
}

void VueReception::copier() const
{
    if (aSelection()) {
        QApplication::clipboard()->setText(texteSelectionne());
    }
}

QMenu* VueReception::creerMenuContextuel(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    QAction* copie = entree(*menu, "&Copy", QKeySequence::Copy, "edit-copy");
    copie->setEnabled(aSelection());
    connect(copie, &QAction::triggered, this, &VueReception::copier);
    menu->addSeparator();
    QAction* tout = entree(*menu, "Select All", QKeySequence::SelectAll, "select-all");
    tout->setEnabled(nombreLignes() > 1 || !m_lignes.ligne(0).isEmpty());
    connect(tout, &QAction::triggered, this, &VueReception::toutSelectionner);
    return menu;
}

void VueReception::montrer(int i)
{
    QScrollBar* barre = verticalScrollBar();
    if (i < barre->value()) {
        barre->setValue(i);
    } else if (i >= barre->value() + lignesVisibles()) {
        barre->setValue(i - lignesVisibles() + 1);
    }
}

bool VueReception::event(QEvent* evenement)
{
    // Copy and select-all are the box's own when it has the focus, not the
    // window's shortcuts.
    if (evenement->type() == QEvent::ShortcutOverride) {
        const auto* touche = static_cast<QKeyEvent*>(evenement);
        if (touche->matches(QKeySequence::Copy) || touche->matches(QKeySequence::SelectAll)) {
            evenement->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(evenement);
}

void VueReception::keyPressEvent(QKeyEvent* evenement)
{
    if (evenement->matches(QKeySequence::Copy)) {
        copier();
    } else if (evenement->matches(QKeySequence::SelectAll)) {
        toutSelectionner();
    } else {
        QAbstractScrollArea::keyPressEvent(evenement);
    }
}

void VueReception::paintEvent(QPaintEvent* evenement)
{
    QPainter peintre(viewport());
    const QRect zone = evenement->rect();
    const int premiere = verticalScrollBar()->value();
    const int x = Marge - horizontalScrollBar()->value();
    const int largeur = viewport()->width();
    int selDe = -1;
    int selA = -2;
    bornesSelection(selDe, selA);
    const QPalette& couleurs = palette();
    const int dessus = haut();
    const int k0 = std::max(0, (zone.top() - dessus) / m_hauteurLigne);
    const int k1 = std::max(0, zone.bottom() - dessus) / m_hauteurLigne;
    for (int k = k0; k <= k1 && premiere + k < nombreLignes(); ++k) {
        const int i = premiere + k;
        const int y = dessus + k * m_hauteurLigne;
        const bool choisie = i >= selDe && i <= selA;
        if (choisie) {
            peintre.fillRect(QRect(0, y, largeur, m_hauteurLigne), couleurs.highlight());
        }
        const QStringView ligne = m_lignes.ligne(i);
        if (!ligne.isEmpty()) {
            peintre.setPen(choisie ? couleurs.highlightedText().color() : couleurs.text().color());
            peintre.drawText(QPoint(x, y + m_ascendante), brut(ligne));
        }
    }
}

void VueReception::resizeEvent(QResizeEvent* evenement)
{
    QScrollBar* barre = verticalScrollBar();
    const bool enBas = barre->value() >= barre->maximum();
    QAbstractScrollArea::resizeEvent(evenement);
    majBarres();
    if (enBas) {
        barre->setValue(barre->maximum());
    }
}

void VueReception::changeEvent(QEvent* evenement)
{
    QAbstractScrollArea::changeEvent(evenement);
    if (evenement->type() == QEvent::FontChange) {
        majPolice();
    }
}

void VueReception::majPolice()
{
    // A line is as tall as a text box's line of the same font.
    const QFontMetricsF mesure(font());
    m_hauteurLigne = std::max(1, static_cast<int>(std::ceil(mesure.height())));
    m_ascendante = static_cast<int>(std::ceil(mesure.ascent()));
    m_largeursCaracteres.clear();
    m_largeurMax = 0;
    mesurer(0);
    majBarres();
    viewport()->update();
}

void VueReception::scrollContentsBy(int /*dx*/, int /*dy*/)
{
    viewport()->update();
}

void VueReception::mousePressEvent(QMouseEvent* evenement)
{
    if (evenement->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(evenement);
        return;
    }
    const int i = ligneA(evenement->position().toPoint().y());
    const qint64 numero = m_lignes.premierNumero() + i;
    if (!(evenement->modifiers() & Qt::ShiftModifier) || !aSelection()) {
        m_ancre = numero;
    }
    m_bout = numero;
    m_glisse = true;
    viewport()->update();
}

void VueReception::mouseMoveEvent(QMouseEvent* evenement)
{
    if (!m_glisse || !(evenement->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(evenement);
        return;
    }
    const int i = ligneA(evenement->position().toPoint().y());
    m_bout = m_lignes.premierNumero() + i;
    montrer(i);
    viewport()->update();
}

void VueReception::mouseReleaseEvent(QMouseEvent* evenement)
{
    if (evenement->button() != Qt::LeftButton || !m_glisse) {
        QAbstractScrollArea::mouseReleaseEvent(evenement);
        return;
    }
    m_glisse = false;
    // What is selected with the mouse is also the X11 selection, as in a text box.
    if (QClipboard* pressePapiers = QApplication::clipboard();
        pressePapiers->supportsSelection() && aSelection()) {
        pressePapiers->setText(texteSelectionne(), QClipboard::Selection);
    }
}

void VueReception::contextMenuEvent(QContextMenuEvent* evenement)
{
    QMenu* menu = creerMenuContextuel(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(evenement->globalPos());
}
