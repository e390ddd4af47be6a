#pragma once

class QWidget;

/**
 * The window a message box or a file dialog belongs to, so that it opens
 * centred over it: the running modal dialog, else the active window, else
 * the program's visible main window (at start-up, before the window
 * manager has activated it). Null when the program shows no window.
 */
QWidget* fenetreProprietaire();
