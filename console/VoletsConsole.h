#pragma once

class CKIVView;
class QStatusBar;
class VoletChemin;
class VoletMarche;
class VoletReseau;

/** The console's own status-bar panes, beside the message pane. */
struct VoletsConsole {
    VoletMarche* marche = nullptr;
    VoletChemin* chemin = nullptr;
    VoletReseau* reseau = nullptr;
};

/**
 * Adds the run-state, route and network panes to `barre` and keeps them up
 * to date from `vue`: its "Go!!!" and "Arrêt" buttons, every fresh showing
 * of its map, and every closing of its trainer window.
 */
VoletsConsole installerVoletsConsole(QStatusBar& barre, CKIVView& vue);
