#pragma once

#include <QString>

class QCoreApplication;

/**
 * Qt's own French texts: the standard buttons ("&Oui", "&Non", "Annuler"),
 * the file dialogs ("Ouvrir", "Voir dans :") and the print dialogs, so
 * that they speak the language of the rest of the console.
 *
 * The catalogues come from the system's Qt translations. A missing or
 * unreadable catalogue is no failure: those texts stay in English.
 */
class TraductionsQt {
public:
    /** Where the catalogues are looked for: Qt's translations folder. */
    static QString dossierParDefaut();

    /**
     * Installs "qtbase_fr" from `dossier` (Qt's folder when empty) into
     * `application`. Returns true when the catalogue was found and installed.
     * Installing twice installs once.
     */
    static bool installer(QCoreApplication& application, const QString& dossier = {});

    /** Removes the catalogue installed by installer, if any. */
    static void retirer();
};
