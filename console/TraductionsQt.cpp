#include "console/TraductionsQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace {

/** The one catalogue installed; it lives as long as the program. */
QTranslator* g_catalogue = nullptr;

} // namespace

QString TraductionsQt::dossierParDefaut()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool TraductionsQt::installer(QCoreApplication& application, const QString& dossier)
{
    if (g_catalogue) {
        return true;
    }
    auto catalogue = std::make_unique<QTranslator>();
    // French whatever the operator's locale: every other text of the console is.
    const QString ou = dossier.isEmpty() ? dossierParDefaut() : dossier;
    if (!catalogue->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                         QStringLiteral("_"), ou)) {
        return false;
    }
    if (!QCoreApplication::installTranslator(catalogue.get())) {
        return false;
    }
    catalogue->setParent(&application);
    g_catalogue = catalogue.release();
    return true;
}

void TraductionsQt::retirer()
{
    if (g_catalogue) {
        QCoreApplication::removeTranslator(g_catalogue);
        delete g_catalogue;
        g_catalogue = nullptr;
    }
}
