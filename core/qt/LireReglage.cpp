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

std::optional<double> lireReglagePresent(const reglages::CleReglage& cle)
{
    return lire(cle.nom, cle.plage);
}

double lireReglage(const reglages::CleReglage& cle)
{
    return lireReglagePresent(cle).value_or(cle.defaut.value_or(0.0));
}

bool lireReglageOui(const reglages::CleReglage& cle)
{
    return QSettings()
        .value(QString::fromLatin1(cle.nom), cle.defaut.value_or(0.0) != 0.0)
        .toBool();
}
