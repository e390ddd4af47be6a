#include "console/Menu128.h"

#include <array>

namespace {

constexpr ElementMenu Separateur{nullptr, 0};

constexpr std::array<ElementMenu, 10> Fichier{{
    {"&Nouveau\tCtrl+N", cmd::FichierNouveau},
    {"&Ouvrir...\tCtrl+O", cmd::FichierOuvrir},
    {"&Enregistrer\tCtrl+S", cmd::FichierEnregistrer},
    {"En&registrer sous...", cmd::FichierEnregistrerSous},
    Separateur,
    {"&Imprimer...\tCtrl+P", cmd::Imprimer},
    {"Aperçu a&vant impression", cmd::ApercuImpression},
    {"C&onfiguration de l'impression...", cmd::ConfigurationImpression},
    Separateur,
    {"&Quitter", cmd::Quitter},
}};

constexpr std::array<ElementMenu, 5> Edition{{
    {"&Annuler\tCtrl+Z", cmd::Annuler},
    Separateur,
    {"&Couper\tCtrl+X", cmd::Couper},
    {"&Copier\tCtrl+C", cmd::Copier},
    {"C&oller\tCtrl+V", cmd::Coller},
}};

constexpr std::array<ElementMenu, 3> Affichage{{
    {"&Barre d'outils", cmd::BarreOutils},
    {"Barre d'é&tat", cmd::BarreEtat},
    {"Quadrillage", cmd::Quadrillage},
}};

constexpr std::array<ElementMenu, 1> Parametres{{{"Port série", cmd::PortSerie}}};

constexpr std::array<ElementMenu, 1> Aide{{{"&A propos de KIV...", cmd::APropos}}};

const std::array<MenuDeroulant, 5> Barre{{
    {"&Fichier", Fichier},
    {"&Edition", Edition},
    {"&Affichage", Affichage},
    {"Paramètres", Parametres},
    {"&?", Aide},
}};

constexpr std::array<Accelerateur, 14> Accelerateurs{{
    {Qt::CTRL | Qt::Key_N, cmd::FichierNouveau},
    {Qt::CTRL | Qt::Key_O, cmd::FichierOuvrir},
    {Qt::CTRL | Qt::Key_S, cmd::FichierEnregistrer},
    {Qt::CTRL | Qt::Key_P, cmd::Imprimer},
    {Qt::CTRL | Qt::Key_Z, cmd::Annuler},
    {Qt::CTRL | Qt::Key_X, cmd::Couper},
    {Qt::CTRL | Qt::Key_C, cmd::Copier},
    {Qt::CTRL | Qt::Key_V, cmd::Coller},
    {Qt::ALT | Qt::Key_Backspace, cmd::Annuler},
    {Qt::SHIFT | Qt::Key_Delete, cmd::Couper},
    {Qt::CTRL | Qt::Key_Insert, cmd::Copier},
    {Qt::SHIFT | Qt::Key_Insert, cmd::Coller},
    {QKeyCombination(Qt::Key_F6), cmd::VoletSuivant},
    {Qt::SHIFT | Qt::Key_F6, cmd::VoletPrecedent},
}};

} // namespace

std::span<const MenuDeroulant> menu128()
{
    return Barre;
}

std::span<const Accelerateur> accelerateurs128()
{
    return Accelerateurs;
}
