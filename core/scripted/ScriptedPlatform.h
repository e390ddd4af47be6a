#pragma once

#include "core/Platform.h"

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

/**
 * The platform services for tests: every message box, file dialog, beep and
 * trace is recorded; message-box and file-dialog answers come from queues the
 * test fills beforehand. Safe to use from several threads.
 *
 * With an empty answer queue, an OK box answers Ok, a Yes/No box answers No
 * and a file dialog is cancelled; `unanswered()` counts those cases so a test
 * can insist that everything it expected was asked.
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
    };
    struct Beep {
        int frequency;
        int milliseconds;
    };
    struct Trace {
        TraceChannel channel;
        std::string line;
    };

    void queueAnswer(MessageAnswer answer);
    void queueFile(std::optional<std::string> path);

    /** Sleeps last `milliseconds * scale` (1.0 = real time). */
    void setSleepScale(double scale);

    std::vector<ShownMessage> messages() const;
    std::vector<FileRequest> fileRequests() const;
    std::vector<Beep> beeps() const;
    std::vector<Trace> traces() const;
    int unanswered() const;
    void clear();

    MessageAnswer messageBox(const std::string& text, const std::string& caption,
                             MessageButtons buttons, MessageIcon icon) override;
    std::optional<std::string> chooseFile(FileDialogKind kind, const std::string& filter) override;
    void sleep(int milliseconds) override;
    void beep(int frequency, int milliseconds) override;
    void trace(TraceChannel channel, const std::string& line) override;

private:
    mutable std::mutex m_mutex;
    std::deque<MessageAnswer> m_answers;
    std::deque<std::optional<std::string>> m_files;
    std::vector<ShownMessage> m_messages;
    std::vector<FileRequest> m_fileRequests;
    std::vector<Beep> m_beeps;
    std::vector<Trace> m_traces;
    int m_unanswered = 0;
    double m_sleepScale = 1.0;
};
