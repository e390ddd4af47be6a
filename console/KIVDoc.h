#pragma once

#include <string>

/**
 * The console's document. The console keeps nothing in files: the world, the
 * network and the link all live in the view, so the document holds no data.
 * New, Open, Save and Save As therefore go through the usual steps (the file
 * dialog, the document's name) but read and write nothing and change nothing
 * in the console; no file is ever created.
 */
class CKIVDoc {
public:
    /** Title of a document that has never been opened or saved. */
    static constexpr const char* SansTitre = "Sans titre";
    /** Filter of the open and save dialogs: the document has no file type of its own. */
    static constexpr const char* Filtre = "Tous les fichiers (*.*)|*.*||";

    /** New document: empties the (empty) contents and forgets the file name. */
    bool OnNewDocument();
    /** Opens `chemin`: nothing to read; the document takes the file's name. */
    bool OnOpenDocument(const std::string& chemin);
    /** Saves to `chemin`: nothing to write; the document takes the file's name. */
    bool OnSaveDocument(const std::string& chemin);

    // The file commands, with their dialogs.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();

    /** Full path of the document's file; empty until opened or saved. */
    const std::string& GetPathName() const { return m_chemin; }
    /** The file name without its folder, or "Sans titre". */
    std::string GetTitle() const;
    /** Never set: nothing in the console is document data. */
    bool IsModified() const { return false; }

private:
    std::string m_chemin;
};
