#include "console/KIVDoc.h"

#include "core/Platform.h"

#include <filesystem>

bool CKIVDoc::OnNewDocument()
{
    m_chemin.clear();
    return true;
}

bool CKIVDoc::OnOpenDocument(const std::string& chemin)
{
    m_chemin = chemin;
    return true;
}

bool CKIVDoc::OnSaveDocument(const std::string& chemin)
{
    m_chemin = chemin;
    return true;
}

void CKIVDoc::OnFileNew()
{
    // Never modified, so there is nothing to offer to save first.
    OnNewDocument();
}

void CKIVDoc::OnFileOpen()
{
    if (auto chemin = platform().chooseFile(FileDialogKind::Open, Filtre)) {
        OnOpenDocument(*chemin);
    }
}

void CKIVDoc::OnFileSave()
{
    if (m_chemin.empty()) {
        OnFileSaveAs();
    } else {
        OnSaveDocument(m_chemin);
    }
}

void CKIVDoc::OnFileSaveAs()
{
    if (auto chemin = platform().chooseFile(FileDialogKind::Save, Filtre)) {
        OnSaveDocument(*chemin);
    }
}

std::string CKIVDoc::GetTitle() const
{
    if (m_chemin.empty()) {
        return SansTitre;
    }
    return std::filesystem::path(m_chemin).filename().string();
}
