#pragma once

#include "core/Platform.h"
#include "core/ProgressBox.h"

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

/**
 * The platform services for tests: every message box, file dialog, beep and
 * trace is recorded; message-box and file-dialog answers come from queues the
 * test fills beforehand. Safe to use from several threads.
 *
 * With an empty answer queue, an OK box answers Ok, a Yes/No box answers No,
 * a Yes/No/Cancel box Cancel and a file dialog is cancelled; `unanswered()` counts those cases so a
 * test can insist that everything it expected was asked.
 */
class ScriptedPlatform : public Platform {
public:
    struct ShownMessage {
        std::string text;
        std::string caption;
        MessageButtons buttons;
        MessageIcon icon;
    };
    struct FileRequest {
        FileDialogKind kind;
        std::string filter;
        /** The folder asked to start in (chooseFileIn); empty for chooseFile. */
        std::string dossier;
    };
    /** A chooseItem call. */
    struct ItemRequest {
        std::string caption;
        std::string label;
        std::vector<std::string> choix;
        int courant = 0;
    };
    struct Beep {
        int frequency;
        int milliseconds;
    };
    struct Trace {
        TraceChannel channel;
        std::string line;
    };
    /** Everything done to one progress box. */
    struct ProgressRecord {
        int captionId = 0;
        int creations = 0;
        std::vector<std::string> statuses;
        std::vector<std::pair<int, double>> passes; ///< pass() calls: pass number, error
        int lower = 0;
        int upper = 100;
        int step = 1;
        int position = 0;
        int stepIts = 0;
        int polls = 0;
        bool okShown = false;
        std::string percent;
    };

    void queueAnswer(MessageAnswer answer);
    void queueFile(std::optional<std::string> path);
    /** The next chooseItem's answer (nothing: cancelled); without one it answers its `courant`. */
    void queueItem(std::optional<int> index);

    /**
     * Makes the `poll`-th CheckCancel (counted from 0 over every box since
     * the last clear) report a press of Cancel.
     */
    void pressCancelAtPoll(int poll);

    /**
     * Called inside every message box, after it is recorded and before it
     * answers, as the box's own event loop would run while it is open (a
     * test runs the event loop there). Empty: the box answers at once.
     */
    void setWhileBoxOpen(std::function<void(const ShownMessage&)> pendant);

    /** Sleeps last `milliseconds * scale` (1.0 = real time). */
    void setSleepScale(double scale);

    /** What each sleep (beeps included) lasted, in milliseconds after scaling, in order. */
    std::vector<double> sleeps() const;

    std::vector<ShownMessage> messages() const;
    std::vector<FileRequest> fileRequests() const;
    std::vector<ItemRequest> itemRequests() const;
    /** The folders openFolder was asked to show, in order (each answered true). */
    std::vector<std::string> openedFolders() const;
    std::vector<Beep> beeps() const;
    std::vector<Trace> traces() const;
    std::vector<ProgressRecord> progressBoxes() const;
    int unanswered() const;
    void clear();

    MessageAnswer messageBox(const std::string& text, const std::string& caption,
                             MessageButtons buttons, MessageIcon icon) override;
    std::optional<std::string> chooseFile(FileDialogKind kind, const std::string& filter) override;
    std::optional<std::string> chooseFileIn(FileDialogKind kind, const std::string& filter,
                                            const std::string& dossier) override;
    std::optional<int> chooseItem(const std::string& caption, const std::string& label,
                                  const std::vector<std::string>& choix, int courant) override;
    bool openFolder(const std::string& dossier) override;
    std::unique_ptr<ProgressBox> createProgressBox(int captionId) override;
    void sleep(int milliseconds) override;
    void beep(int frequency, int milliseconds) override;
    /**
     * Starts the thread at normal priority and records the priority asked
     * for: test programs run side by side, and a thread at the lowest
     * priority would wait for the whole machine to be idle.
     */
    std::thread startThread(std::function<void()> body, ThreadPriority priority) override;
    std::vector<ThreadPriority> threadPriorities() const;
    void trace(TraceChannel channel, const std::string& line) override;

private:
    class Box;
    friend class Box;

    mutable std::mutex m_mutex;
    std::deque<MessageAnswer> m_answers;
    std::deque<std::optional<std::string>> m_files;
    std::vector<ShownMessage> m_messages;
    std::vector<FileRequest> m_fileRequests;
    std::deque<std::optional<int>> m_items;
    std::vector<ItemRequest> m_itemRequests;
    std::vector<std::string> m_dossiersOuverts;
    std::vector<Beep> m_beeps;
    std::vector<Trace> m_traces;
    std::vector<double> m_sleeps;
    std::vector<ProgressRecord> m_progress;
    std::vector<int> m_cancelPolls;
    int m_polls = 0;
    std::vector<ThreadPriority> m_priorities;
    std::function<void(const ShownMessage&)> m_pendantBoite;
    int m_unanswered = 0;
    double m_sleepScale = 1.0;
};
