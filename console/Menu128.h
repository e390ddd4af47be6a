#pragma once

#include <QKeySequence>
#include <span>

/** One item of a menu: its caption (shortcut text after a tab) and command; 0 is a separator. */
struct ElementMenu {
    const char* texte;
    int commande;
};

/** One drop-down menu of the menu bar. */
struct MenuDeroulant {
    const char* titre;
    std::span<const ElementMenu> elements;
};

/** The main frame's menu bar, left to right. */
std::span<const MenuDeroulant> menu128();

/** A key of the frame's accelerator table and the command it stands for. */
struct Accelerateur {
    QKeyCombination touche;
    int commande;
};

/**
 * The frame's accelerator table. The frame's key pre-translation never
 * applies it (every key-down is reported instead), so these keys do not run
 * their commands; the table is what the menu's shortcut texts describe.
 */
std::span<const Accelerateur> accelerateurs128();

/** Command identifiers of the shell. */
namespace cmd {
inline constexpr int FichierNouveau = 57600;
inline constexpr int FichierOuvrir = 57601;
inline constexpr int FichierEnregistrer = 57603;
inline constexpr int FichierEnregistrerSous = 57604;
inline constexpr int ConfigurationImpression = 57606;
inline constexpr int Imprimer = 57607;
inline constexpr int ImprimerDirect = 57608;
inline constexpr int ApercuImpression = 57609;
inline constexpr int Copier = 57634;
inline constexpr int Couper = 57635;
inline constexpr int Coller = 57637;
inline constexpr int Annuler = 57643;
inline constexpr int APropos = 57664;
inline constexpr int Quitter = 57665;
inline constexpr int VoletSuivant = 57680;
inline constexpr int VoletPrecedent = 57681;
inline constexpr int BarreOutils = 59392;
inline constexpr int BarreEtat = 59393;
inline constexpr int Quadrillage = 32771;
inline constexpr int PortSerie = 32779;
} // namespace cmd
