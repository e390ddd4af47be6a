#pragma once

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

/**
 * True for the keys the window system treats as system keys rather than
 * ordinary key-downs: F10 and any key pressed with Alt but without Ctrl
 * (Alt alone, Alt+letter for the menus). They reach the menu bar and are
 * never reported as "Keydown".
 */
bool toucheSysteme(const QKeyEvent& touche);

/**
 * True for the key presses that type a character, control characters
 * included: printable keys, Space, Backspace, Tab, Return, Enter, Escape,
 * and with Ctrl the letters (0x01 .. 0x1A), [ \ ] @ ^ _, Backspace, Return
 * and Escape. Delete, the arrows, the function keys and the modifiers alone
 * type nothing; with Ctrl (but not Ctrl+Alt, which types ordinary
 * characters) neither do digits and other signs.
 */
bool toucheCaractere(const QKeyEvent& touche);

/**
 * The frame's key pre-translation: every key-down sent to the frame's window
 * is reported with a "Keydown" message box before it is dispatched to the
 * widget that has the focus, and then goes on as usual.
 *
 * It watches the frame's top-level window, where a key press arrives once
 * before Qt hands it to the focus widget and its parents; key presses of
 * other windows (dialogs, popup menus, message boxes) are not its business.
 */
class PretraductionClavier : public QObject {
    Q_OBJECT

public:
    /** Installs itself on the application for `cadre`'s window. */
    explicit PretraductionClavier(QWidget* cadre);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_cadre;
};

/** Shows the "Keydown" box, titled with the application's title. */
void signalerToucheEnfoncee();

/**
 * Whether key presses over the console show their message boxes ("Keydown",
 * "YES!!!"); on by default. Off, keys go to the focus widget without a box.
 * User-interface thread only.
 */
bool messagesClavierActifs();
void activerMessagesClavier(bool actifs);
