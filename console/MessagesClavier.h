#pragma once

class CMainFrame;
class QAction;

/**
 * Adds "Messages clavier" to the frame's "Affichage" menu: checked, key
 * presses over the console show their boxes ("Keydown", "YES!!!");
 * unchecked, keys go to the widgets without a box. Its state comes from
 * the settings store (checked when missing) and is kept there at each
 * change. Returns the menu item, or null when the frame has no such menu.
 */
QAction* ajouterMenuClavier(CMainFrame& frame);
