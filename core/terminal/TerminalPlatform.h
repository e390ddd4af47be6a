#pragma once

#include "core/Platform.h"

#include <iosfwd>
#include <mutex>
#include <optional>
#include <string>

#include <signal.h>

/**
 * The platform services of the command-line tools.
 *
 * Messages go to the standard error stream as "caption: text"; a Yes/No
 * question reads its answer from the terminal ("o", "oui", "y" or "yes" is
 * Yes, anything else No). File dialogs are refused. Progress boxes draw a
 * one-line bar, redrawn in place on a terminal and written as one plain line
 * per status change otherwise.
 *
 * While a platform exists, Ctrl+C (SIGINT) only raises a flag that the
 * CheckCancel of the progress boxes takes. When the flag is still pending as
 * another SIGINT arrives (nothing polled it, or a question is waiting for its
 * answer), the default action ends the program. When a question cannot be
 * answered (input at end of file), it is answered No and the next SIGINT ends
 * the program.
 *
 * Message boxes, beeps and traces may come from any thread; a progress box is
 * driven by one thread at a time. The platform must outlive its boxes.
 */
class TerminalPlatform : public Platform {
public:
    /** Writes on std::cerr; answers come from /dev/tty, or the standard input without one. */
    TerminalPlatform();
    /** Writes on `out` and reads answers from `in`; `terminal` says whether `out` is a terminal. */
    TerminalPlatform(std::istream& in, std::ostream& out, bool terminal);
    ~TerminalPlatform() override;

    TerminalPlatform(const TerminalPlatform&) = delete;
    TerminalPlatform& operator=(const TerminalPlatform&) = delete;

    /** Whether traces are written; initially whether KIV_TRACE is set (and not "0"). */
    void setTraceEnabled(bool enabled);
    /** Width of the bar line on a terminal; 0 asks the terminal (80 when it cannot say). */
    void setWidth(int columns);

    MessageAnswer messageBox(const std::string& text, const std::string& caption,
                             MessageButtons buttons, MessageIcon icon) override;
    std::optional<std::string> chooseFile(FileDialogKind kind, const std::string& filter) override;
    std::unique_ptr<ProgressBox> createProgressBox(int captionId) override;
    void beep(int frequency, int milliseconds) override;
    void trace(TraceChannel channel, const std::string& line) override;
    bool traceEnabled(TraceChannel channel) const override;

    /** Takes the Ctrl+C flag: true when SIGINT arrived since the last call. */
    static bool takeInterrupt();

private:
    class Box;
    friend class Box;

    /** Ends a bar line left open on the terminal. Call with m_mutex held. */
    void finishOpenLine();
    /** Columns available to a bar line. */
    int lineWidth() const;
    /** A line of answer; nothing at end of input. Sets m_answerEchoed. */
    std::optional<std::string> readAnswer(const std::string& prompt);

    void installInterruptHandler();

    std::istream* m_in = nullptr;
    std::ostream* m_out;
    bool m_terminal = false;
    /** The output is the process's error stream: its terminal tells the width. */
    bool m_askTerminal = false;
    bool m_traceEnabled = false;
    int m_width = 0;
    /** A bar line is on the terminal without its line end. */
    bool m_lineOpen = false;
    /** Columns of that line, to blank its rest when a shorter one replaces it. */
    int m_lineColumns = 0;
    /** The last answer was typed on the terminal the output goes to, which showed it. */
    bool m_answerEchoed = false;
    mutable std::mutex m_mutex;
    struct sigaction m_previousAction {};
};

/**
 * One line of a status text: its non-empty lines joined by single spaces,
 * "Erreur quadratique:\nPasse #12 : 0.1234" gives
 * "Erreur quadratique: Passe #12 : 0.1234".
 */
std::string statusOnOneLine(const std::string& text);

/**
 * The bar line of a progress box at `position` in [lower, upper]:
 * "[=====               ]  25% status", the bar `cells` wide.
 */
std::string progressLine(int lower, int upper, int position, const std::string& status,
                         int cells = 20);
