#include "trainer/dialog/ProgDlg.h"

#include "core/Platform.h"
#include "core/StringTable.h"
#include "core/qt/UnitesDialogue.h"
#include "trainer/dialog/CourbeErreur.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace {

/**
 * True when `w` cannot take input because a modal dialog runs: an
 * application-modal dialog blocks every window that is not itself or one of
 * its own windows, a window-modal one its parents.
 */
bool bloqueeParModale(QWidget* w)
{
    QWidget* modale = QApplication::activeModalWidget();
    if (modale == nullptr || modale == w) {
        return false;
    }
    if (modale->windowModality() == Qt::WindowModal) {
        for (QWidget* p = modale->parentWidget(); p; p = p->parentWidget()) {
            if (p->window() == w) {
                return true;
            }
        }
        return false;
    }
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (p == modale) {
            return false;
        }
    }
    return true;
}

} // namespace

ProgDlg::ProgDlg(int captionId, QWidget* proprietaire)
    : m_captionId(captionId == 0 ? ids::ProgressTitle : captionId)
    , m_ownerParDefaut(proprietaire)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // Closing a progress box never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(UnitesDialogue::policeDialogue());
    const UnitesDialogue du(font());

    m_status = new QLabel(QStringLiteral("Allo"), this);
    m_status->setObjectName(QStringLiteral("id1018"));
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_status->setWordWrap(true);
    m_status->setGeometry(du.rect(27, 8, 131, 26));

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("id1017"));
    m_progress->setTextVisible(false);
    m_progress->setGeometry(du.rect(27, 37, 130, 7));

    m_percent = new QLabel(QStringLiteral("0%"), this);
    m_percent->setObjectName(QStringLiteral("id1019"));
    m_percent->setGeometry(du.rect(81, 46, 20, 10));

    // The error plot sits between the bar and the buttons.
    m_courbe = new CourbeErreur(this);
    m_courbe->setObjectName(QStringLiteral("courbeErreur"));
    m_courbe->setGeometry(du.rect(10, 58, 166, 66));

    m_cancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("id2"));
    m_cancelButton->setGeometry(du.rect(63, 128, 56, 12));
    m_okButton = new QPushButton(QStringLiteral("&Ok"), this);
    m_okButton->setObjectName(QStringLiteral("id1"));
    m_okButton->setGeometry(du.rect(63, 128, 56, 12));
    m_okButton->hide();
    connect(m_cancelButton, &QPushButton::clicked, this, &ProgDlg::reject);
    connect(m_okButton, &QPushButton::clicked, this, &ProgDlg::accept);

    setFixedSize(du.x(186), du.y(146));
}

ProgDlg::~ProgDlg()
{
    if (m_fenetre) {
        DestroyWindow();
    }
}

bool ProgDlg::Create()
{
    return Create(m_ownerParDefaut);
}

bool ProgDlg::Create(QWidget* proprietaire)
{
    // A box left open with its Ok button by the previous run gives way to
    // the new one; its owner is given back first.
    if (m_fenetre) {
        DestroyWindow();
    }
    m_owner = proprietaire ? proprietaire->window() : nullptr;
    if (m_owner && m_owner->isEnabled() && !bloqueeParModale(m_owner)) {
        m_owner->setEnabled(false);
        m_ownerDisabled = true;
    }
    OnInitDialog();
    placerFenetre();
    show();
    m_fenetre = true;
    return true;
}

void ProgDlg::OnInitDialog()
{
    m_progress->setRange(m_lower, std::max(m_upper, m_lower + 1));
    m_position = m_lower;
    m_progress->setValue(m_position);
    std::string titre = platform().loadString(m_captionId);
    if (titre.empty()) {
        titre = platform().loadString(ids::ProgressTitle);
    }
    setWindowTitle(QString::fromStdString(titre));
    m_percent->setText(QStringLiteral("0%"));
    m_okButton->hide();
    m_cancelButton->show();
    m_courbe->recommencer(m_lower);
}

void ProgDlg::placerFenetre()
{
    // Kept above the modal dialog that runs, or else above the owner; set
    // beside it when the screen has room, so that the window whose work
    // this is stays in view.
    QWidget* dessus = QApplication::activeModalWidget();
    if (dessus == nullptr || dessus == this) {
        dessus = m_owner ? m_owner.data() : QApplication::activeWindow();
    }
    if (dessus == this) {
        dessus = nullptr;
    }
    winId();
    if (windowHandle() != nullptr) {
        windowHandle()->setTransientParent(dessus ? dessus->windowHandle() : nullptr);
    }
    QScreen* ecran = dessus ? dessus->screen() : QGuiApplication::primaryScreen();
    const QRect libre = ecran ? ecran->availableGeometry() : QRect(0, 0, 1024, 768);
    if (dessus == nullptr) {
        move(libre.center() - rect().center());
        return;
    }
    const QRect cadre = dessus->frameGeometry();
    QPoint coin(cadre.right() + 12, cadre.top() + (cadre.height() - height()) / 2);
    if (coin.x() + width() > libre.right()) {
        coin = cadre.center() - rect().center();
    }
    move(coin);
}

void ProgDlg::DestroyWindow()
{
    ReEnableOwner();
    hide();
    m_fenetre = false;
}

void ProgDlg::ReEnableOwner()
{
    if (m_ownerDisabled && m_owner) {
        m_owner->setEnabled(true);
    }
    m_ownerDisabled = false;
}

void ProgDlg::SetStatus(const std::string& text)
{
    m_status->setText(QString::fromStdString(text));
}

void ProgDlg::pass(int s, double error)
{
    m_courbe->ajouter(s, error);
}

void ProgDlg::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
    // An empty range would turn Qt's bar into a busy indicator.
    m_progress->setRange(lower, std::max(upper, lower + 1));
    m_courbe->recommencer(lower);
}

void ProgDlg::SetStep(int step)
{
    m_step = step;
}

void ProgDlg::placerBarre(int position)
{
    m_position = std::clamp(position, m_lower, std::max(m_upper, m_lower));
    m_progress->setValue(m_position);
}

int ProgDlg::SetPos(int position)
{
    PumpMessages();
    const int avant = m_position;
    placerBarre(position);
    UpdatePercent(position);
    return avant;
}

int ProgDlg::OffsetPos(int delta)
{
    PumpMessages();
    const int avant = m_position;
    placerBarre(avant + delta);
    UpdatePercent(avant + delta);
    return avant;
}

int ProgDlg::StepIt()
{
    PumpMessages();
    const int avant = m_position;
    int suivante = avant + m_step;
    // Past the end the bar starts over from the beginning.
    if (suivante > m_upper && m_upper > m_lower) {
        suivante = m_lower + (suivante - m_lower) % (m_upper - m_lower);
    }
    placerBarre(suivante);
    UpdatePercent(avant + m_step);
    return avant;
}

void ProgDlg::UpdatePercent(int pos)
{
    const QString texte = QString::fromStdString(progressPercentText(m_lower, m_upper, pos));
    if (m_percent->text() != texte) {
        m_percent->setText(texte);
    }
}

bool ProgDlg::CheckCancel()
{
    PumpMessages();
    return std::exchange(m_cancelled, false);
}

void ProgDlg::PumpMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ProgDlg::ShowOkButton()
{
    m_cancelButton->hide();
    m_okButton->show();
    m_okButton->setDefault(true);
    m_okButton->setFocus();
}

void ProgDlg::accept()
{
    // Ok is hidden while the work runs; an OK command that comes anyway
    // (Enter, a stray click) must not pull the window from under the work.
    if (m_okButton->isHidden()) {
        return;
    }
    DestroyWindow();
    setResult(QDialog::Accepted);
}

void ProgDlg::reject()
{
    m_cancelled = true;
}
