#include "console/KIVDoc.h"

#include "core/EcritureSure.h"
#include "core/FichierLecture.h"
#include "core/Platform.h"
#include "core/StringTable.h"
#include "world/TerrainMonde.h"

#include <filesystem>
#include <sstream>

namespace {

std::string titreApplication()
{
    return platform().loadString(ids::AppTitle);
}

void avertir(const std::string& texte)
{
    platform().messageBox(texte, titreApplication(), MessageButtons::Ok, MessageIcon::Exclamation);
}

/**
 * Writes `terrain` as the file `chemin`, safely: a temporary file beside it,
 * synced, then renamed over it; never half a file, never through a planted
 * link. False, with the system's reason, when the previous file stays.
 */
bool ecrireFichier(const std::string& chemin, const Terrain& terrain, std::string& raison)
{
    std::ostringstream texte;
    ecrireTerrain(texte, terrain);
    return ecrireFichierSur(chemin, texte.str(), &raison);
}

} // namespace

bool CKIVDoc::OnNewDocument()
{
    m_chemin.clear();
    m_reference = terrainInitial();
    return true;
}

bool CKIVDoc::OnOpenDocument(const std::string& chemin)
{
    // Never blocking, and a regular file only: a FIFO named as the field
    // would hold the whole console in open() for good.
    FichierLecture entree(chemin);
    if (!entree.is_open()) {
        std::string texte = "Impossible d'ouvrir le fichier « " + chemin + " ».";
        // A file that is there but is no file says what it is instead.
        if (entree.refuse()) {
            texte += "\n\n" + entree.raison();
        }
        avertir(texte);
        return false;
    }
    std::string erreur;
    const std::optional<Terrain> terrain = lireTerrain(entree, erreur);
    if (!terrain) {
        avertir("Le fichier « " + chemin + " » n'est pas un terrain valide.\n\n" + erreur);
        return false;
    }
    appliquerTerrain(*terrain);
    m_chemin = chemin;
    m_reference = *terrain;
    return true;
}

bool CKIVDoc::OnSaveDocument(const std::string& chemin)
{
    const Terrain terrain = terrainDuMonde();
    std::string raison;
    if (!ecrireFichier(chemin, terrain, raison)) {
        avertir("Impossible d'enregistrer le terrain dans « " + chemin + " ».\n\n" + raison);
        return false;
    }
    m_chemin = chemin;
    m_reference = terrain;
    return true;
}

bool CKIVDoc::IsModified() const
{
    return terrainDuMonde() != m_reference;
}

bool CKIVDoc::peutAbandonner() const
{
    if (!IsModified()) {
        return true;
    }
    const std::string question =
        "Le terrain « " + GetTitle() + " » a été modifié.\nAbandonner les modifications ?";
    return platform().messageBox(question, titreApplication(), MessageButtons::YesNo,
                                 MessageIcon::Question) == MessageAnswer::Yes;
}

void CKIVDoc::signaler() const
{
    if (m_apres) {
        m_apres();
    }
}

void CKIVDoc::OnFileNew()
{
    if (!peutAbandonner()) {
        return;
    }
    appliquerTerrain(terrainInitial());
    OnNewDocument();
    signaler();
}

void CKIVDoc::ouvrirAuDemarrage(const std::string& chemin)
{
    if (OnOpenDocument(chemin)) {
        signaler();
    }
}

void CKIVDoc::OnFileOpen()
{
    if (!peutAbandonner()) {
        return;
    }
    if (auto chemin = platform().chooseFile(FileDialogKind::Open, Filtre)) {
        if (OnOpenDocument(*chemin)) {
            signaler();
        }
    }
}

bool CKIVDoc::OnFileSave()
{
    if (m_chemin.empty()) {
        return OnFileSaveAs();
    }
    if (!OnSaveDocument(m_chemin)) {
        return false;
    }
    signaler();
    return true;
}

bool CKIVDoc::OnFileSaveAs()
{
    auto chemin = platform().chooseFile(FileDialogKind::Save, Filtre);
    if (!chemin) {
        return false;
    }
    // A name typed without an extension gets the document's own.
    if (std::filesystem::path(*chemin).extension().empty()) {
        *chemin += ".kiv";
    }
    if (!OnSaveDocument(*chemin)) {
        return false;
    }
    signaler();
    return true;
}

bool CKIVDoc::SaveModified()
{
    if (!IsModified()) {
        return true;
    }
    const std::string question =
        "Le terrain « " + GetTitle() +
        " » a été modifié.\nEnregistrer les modifications avant de quitter ?";
    switch (platform().messageBox(question, titreApplication(), MessageButtons::YesNoCancel,
                                  MessageIcon::Question)) {
    case MessageAnswer::Yes:
        return OnFileSave();
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

std::string CKIVDoc::GetTitle() const
{
    if (m_chemin.empty()) {
        return SansTitre;
    }
    return std::filesystem::path(m_chemin).filename().string();
}
