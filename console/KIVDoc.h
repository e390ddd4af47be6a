#pragma once

#include "world/FichierTerrain.h"

#include <functional>
#include <string>

/**
 * The console's document: the field the operator builds on the map (cells,
 * robot, destination, bandit, grid lines), kept in a ".kiv" file. New,
 * Open, Save and Save As follow the usual single-document steps; a
 * modified field is never dropped without asking, a file that cannot be
 * read leaves the field as it was, and a failed save leaves the previous
 * file whole and says so.
 */
class CKIVDoc {
public:
    /** Title of a document that has never been opened or saved. */
    static constexpr const char* SansTitre = "Sans titre";
    /** Filter of the open and save dialogs. */
    static constexpr const char* Filtre = "Terrain KIV-ZUL (*.kiv)|*.kiv||";

    /** New document: forgets the file name; the field as it starts is the unmodified one. */
    bool OnNewDocument();
    /** Reads `chemin` into the world; on failure says why and changes nothing. */
    bool OnOpenDocument(const std::string& chemin);
    /** Writes the field to `chemin`; on failure says so and keeps the previous file. */
    bool OnSaveDocument(const std::string& chemin);

    /** The field named on the command line: opened as "Ouvrir..." opens one, without asking. */
    void ouvrirAuDemarrage(const std::string& chemin);

    // The file commands, with their dialogs and questions.
    void OnFileNew();
    void OnFileOpen();
    /** Save, Save As: true once the field is in its file. */
    bool OnFileSave();
    bool OnFileSaveAs();

    /**
     * Before the console closes: true when it may close. An unmodified field
     * closes at once; a modified one asks whether to save it first: "Oui"
     * saves (and stays open when the save fails or its dialog is
     * cancelled), "Non" drops the changes, "Annuler" keeps the console open.
     */
    bool SaveModified();

    /** Full path of the document's file; empty until opened or saved. */
    const std::string& GetPathName() const { return m_chemin; }
    /** The file name without its folder, or "Sans titre". */
    std::string GetTitle() const;
    /** The field differs from the one last opened, saved or started anew. */
    bool IsModified() const;

    /**
     * Called after the field or the name changed (new, open, save): the
     * frame redraws the map, sets its check marks and its title.
     */
    void setApresChangement(std::function<void()> rappel) { m_apres = std::move(rappel); }

private:
    /** True when the field may be replaced: unmodified, or the operator agrees. */
    bool peutAbandonner() const;
    void signaler() const;

    std::string m_chemin;
    Terrain m_reference = terrainInitial();
    std::function<void()> m_apres;
};
