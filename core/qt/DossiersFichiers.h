#pragma once

#include "core/Platform.h"

#include <QString>
#include <string>

/**
 * Where the file dialogs start: in the folder where a file of the same
 * kind was last opened or saved, kept in the settings store under
 * "Dossiers/<extension>" across runs. The kind is the extension of the
 * filter's first pattern ("Terrain KIV-ZUL (*.kiv)|*.kiv||" is "kiv").
 */
namespace dossiers {

/** The kind of file `filtre` asks for: its first pattern's extension, or "". */
std::string genre(const std::string& filtre);

/**
 * The folder a dialog for `filtre` starts in: the remembered one while it
 * exists, except that a save never starts in the bundled data (the user's
 * files do not go beside the bundled network, nor into an installed,
 * read-only folder); else, to open the bundled network's kinds (wgh, dat,
 * prm), the folder of the bundled files; else the user's documents.
 */
QString depart(const std::string& filtre, FileDialogKind kind = FileDialogKind::Open);

/** The user's documents folder; the home folder when there is none. */
QString documents();

/** True when `dossier` is the bundled data's folder or a folder inside it. */
bool dansDonneesFournies(const QString& dossier);

/** Remembers the folder of `fichier`, chosen in a dialog for `filtre`. */
void retenir(const std::string& filtre, const QString& fichier);

} // namespace dossiers
