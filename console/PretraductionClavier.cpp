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
    if (event->type() == QEvent::KeyPress && m_cadre && watched->isWindowType() &&
        watched == m_cadre->windowHandle() && !toucheSysteme(*static_cast<QKeyEvent*>(event))) {
        signalerToucheEnfoncee();
    }
    // Never handled here: the key goes on to the focus widget.
    return false;
}
