#pragma once

#include "console/VoletTexte.h"

#include <memory>

class CMainFrame;
namespace journal {
class Enregistreur;
}

/** The journal pane's text once the recording of the session has stopped. */
inline constexpr const char* TexteJournalArrete = "Journal arrêté";

/**
 * The status bar's journal pane. It stays empty while the session is
 * recorded. When the recorder stops (folder that cannot be made, disk full,
 * I/O error) it says "Journal arrêté" in red, with the file and the reason
 * as its tooltip, and the operator is told once in a message box; the
 * console goes on. The recorder's news may come from any thread: it is
 * posted to the event loop, never shown inside the hand-over of a byte.
 */
class VoletJournal : public VoletTexte {
public:
    explicit VoletJournal(std::shared_ptr<journal::Enregistreur> journal,
                          QWidget* parent = nullptr);
    ~VoletJournal() override;
    VoletJournal(const VoletJournal&) = delete;
    VoletJournal& operator=(const VoletJournal&) = delete;

    /** The recording stopped: red pane and one message box. */
    void arrete(const std::string& fichier, const std::string& raison);

private:
    std::shared_ptr<journal::Enregistreur> m_journal;
    bool m_arrete = false;
};

/** Adds the journal pane of `journal` to the frame's status bar. */
void ajouterVoletJournal(CMainFrame& frame, std::shared_ptr<journal::Enregistreur> journal);
