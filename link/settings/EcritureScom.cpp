#include "link/settings/EcritureScom.h"

#include "core/EcritureSure.h"

#include <charconv>

namespace {

void ajouterNombre(std::string& texte, int valeur)
{
    char chiffres[16];
    const auto fin = std::to_chars(chiffres, chiffres + sizeof chiffres, valeur).ptr;
    texte.append(chiffres, fin);
}

} // namespace

std::string texteScom(const PortSettings& reglages)
{
    std::string texte = ";scom.ini\r\n"
                        ";fichier de configuration des ports s\xE9ries\r\n"
                        "\r\n"
                        "[OPTIONS]\r\n"
                        "Last Port = ";
    ajouterNombre(texte, reglages.port);
    texte += "\r\n"
             "\r\n"
             "[Port#1]\r\n"
             "Baud Rate = ";
    ajouterNombre(texte, reglages.baud);
    texte += "\r\n";
    return texte;
}

bool ecrireScom(const PortSettings& reglages, const std::string& chemin, std::string* raison)
{
    return ecrireFichierSur(chemin, texteScom(reglages), raison);
}
