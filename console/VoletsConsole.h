#pragma once

class CKIVView;
class QToolBar;
class BandeauChemin;
class VoletMarche;
class VoletReseau;

/** The console's own status-bar panes, beside the message pane. */
struct VoletsConsole {
    VoletMarche* marche = nullptr;
    /** Not a pane: the band across the top of the map. */
    BandeauChemin* chemin = nullptr;
    VoletReseau* reseau = nullptr;
};

/**
 * Adds the run-state and network panes to the mission bar `barre`, and the
 * band that says why the robot goes nowhere to the map, and keeps them up to
 * date from `vue`: its "Go!!!", "Arrêt" and "Saisie" buttons, every fresh
 * showing of its map, and its trainer window's commands.
 */
VoletsConsole installerVoletsConsole(QToolBar& barre, CKIVView& vue);
