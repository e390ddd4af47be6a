#include "trainer/dialog/EchangeDonnees.h"

#include <charconv>
#include <string>

namespace {

/** The text without the blanks around it, and without one leading '+'. */
std::string nettoyer(const QString& texte)
{
    std::string s = texte.trimmed().toStdString();
    if (s.size() > 1 && s[0] == '+' && s[1] != '-' && s[1] != '+') {
        s.erase(0, 1);
    }
    return s;
}

template <class T>
std::optional<T> convertir(const QString& texte)
{
    const std::string s = nettoyer(texte);
    if (s.empty()) {
        return std::nullopt;
    }
    T valeur{};
    const char* fin = s.data() + s.size();
    const auto [ptr, ec] = std::from_chars(s.data(), fin, valeur);
    if (ec != std::errc() || ptr != fin) {
        return std::nullopt;
    }
    return valeur;
}

} // namespace

std::optional<int> lireEntier(const QString& texte)
{
    return convertir<int>(texte);
}

std::optional<double> lireReel(const QString& texte)
{
    return convertir<double>(texte);
}

QString texteEntier(int valeur)
{
    return QString::number(valeur);
}

QString texteReel(double valeur)
{
    return QString::number(valeur, 'g', 15);
}
