#include "core/qt/LireReglage.h"

#include "core/ReglageNumerique.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <string>

namespace {

/** The value of `cle` as the store holds it, as text; nothing when the key is absent. */
std::optional<std::string> texteStocke(const char* cle)
{
    const QVariant valeur = QSettings().value(QString::fromLatin1(cle));
    if (!valeur.isValid()) {
        return std::nullopt;
    }
    // "1,5" reads as a list of two texts: shown as written, it is no number.
    if (valeur.typeId() == QMetaType::QStringList) {
        return valeur.toStringList().join(QLatin1Char(',')).toStdString();
    }
    return valeur.toString().toStdString();
}

std::optional<double> lire(const char* cle, const reglages::Plage& plage)
{
    const std::optional<std::string> texte = texteStocke(cle);
    const reglages::Lecture lu =
        reglages::lireTexte(texte ? std::optional<std::string_view>(*texte) : std::nullopt, plage);
    if (!lu.refus.empty()) {
        reglages::avertirReglage(cle, reglages::texteAvertissement(cle, *texte, lu.refus));
    }
    return lu.valeur;
}

} // namespace

double lireReglage(const char* cle, double min, double max, double defaut)
{
    return lire(cle, {min, max, false}).value_or(defaut);
}

std::int64_t lireReglageEntier(const char* cle, std::int64_t min, std::int64_t max,
                               std::int64_t defaut)
{
    return lireReglageEntier(cle, min, max).value_or(defaut);
}

std::optional<std::int64_t> lireReglageEntier(const char* cle, std::int64_t min, std::int64_t max)
{
    const std::optional<double> v =
        lire(cle, {static_cast<double>(min), static_cast<double>(max), true});
    if (!v) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*v);
}
