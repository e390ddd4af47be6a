#include "Erreur.h"

#include <iostream>

Erreur::Erreur(const char* message, const char* fichier, int ligne)
    : m_message(message ? message : "")
{
    if (fichier) {
        std::cerr << '"' << fichier << "\", ligne " << ligne << ": ";
    }
    std::cerr << m_message << std::endl;
}

void lancerErreur(const char* message, const char* fichier, int ligne)
{
    throw Erreur(message, fichier, ligne);
}
