#include "console/PretraductionClavier.h"

#include "core/Platform.h"
#include "core/RapportErreur.h"
#include "core/StringTable.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

bool toucheSysteme(const QKeyEvent& touche)
{
    const Qt::KeyboardModifiers mods = touche.modifiers();
    if (touche.key() == Qt::Key_F10) {
        return true;
    }
    if (mods & Qt::ControlModifier) {
        // Ctrl+Alt (AltGr on many keyboards) types ordinary characters.
        return false;
    }
    return touche.key() == Qt::Key_Alt || (mods & Qt::AltModifier);
}

bool toucheCaractere(const QKeyEvent& touche)
{
    const int cle = touche.key();
    const Qt::KeyboardModifiers mods = touche.modifiers();
    switch (cle) {
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Space:
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return !(mods & Qt::ControlModifier);
    case Qt::Key_Delete:
        // Some window systems give it the text 0x7F; it types nothing.
        return false;
    default:
        break;
    }
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier)) {
        // The control characters: Ctrl+A is 0x01 ... Ctrl+Z 0x1A, Ctrl+[ 0x1B,
        // Ctrl+\ 0x1C, Ctrl+] 0x1D, Ctrl+^ 0x1E, Ctrl+_ 0x1F, Ctrl+@ 0x00.
        return (cle >= Qt::Key_A && cle <= Qt::Key_Z) || cle == Qt::Key_BracketLeft ||
               cle == Qt::Key_Backslash || cle == Qt::Key_BracketRight ||
               cle == Qt::Key_AsciiCircum || cle == Qt::Key_Underscore || cle == Qt::Key_At;
    }
    const QString texte = touche.text();
    return !texte.isEmpty() && texte.at(0).isPrint();
}

namespace {
bool g_messagesClavier = true;
}

bool messagesClavierActifs()
{
    return g_messagesClavier;
}

void activerMessagesClavier(bool actifs)
{
    g_messagesClavier = actifs;
}

void signalerToucheEnfoncee()
{
    executerProtege([] {
        platform().messageBox("Keydown", platform().loadString(ids::AppTitle), MessageButtons::Ok,
                              MessageIcon::None);
    });
}

PretraductionClavier::PretraductionClavier(QWidget* cadre)
    : QObject(cadre)
    , m_cadre(cadre)
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool PretraductionClavier::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && g_messagesClavier && m_cadre &&
        watched->isWindowType() && watched == m_cadre->windowHandle() &&
        !toucheSysteme(*static_cast<QKeyEvent*>(event))) {
        signalerToucheEnfoncee();
    }
    // Never handled here: the key goes on to the focus widget.
    return false;
}
