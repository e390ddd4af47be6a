#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

/** Buttons of a message box. */
enum class MessageButtons { Ok, YesNo, YesNoCancel };

/** Icon of a message box. */
enum class MessageIcon { None, Information, Question, Exclamation, Stop };

/** The button the user pressed to close a message box. */
enum class MessageAnswer { Ok, Yes, No, Cancel };

/** Open or save flavour of the file dialog. */
enum class FileDialogKind { Open, Save };

/** Scheduling class a worker thread runs at. */
enum class ThreadPriority { Lowest, Normal };

/**
 * Debug trace channels; each is off unless the user enables it. On Qt they
 * are the logging categories kiv.app, kiv.world, kiv.serial, kiv.trainer,
 * kiv.protocol (sensor frames) and kiv.nav (the navigation's decisions).
 */
enum class TraceChannel { App, World, Serial, Trainer, Protocol, Navigation };

/**
 * Everything the domain code takes from the toolkit and the operating system.
 *
 * The application installs the Qt implementation, the tests a scripted one
 * that records what is shown and answers from a queue, the command-line tools
 * a terminal one. Texts are UTF-8.
 */
class ProgressBox;

class Platform {
public:
    virtual ~Platform() = default;

    /** Modal message box; returns the button pressed. */
    virtual MessageAnswer messageBox(const std::string& text, const std::string& caption,
                                     MessageButtons buttons, MessageIcon icon) = 0;

    /**
     * Open or save file dialog. The filter uses the "Label (*.ext)|*.ext||"
     * form of the trainer's buttons. Returns the full path, or nothing when
     * the user cancels.
     */
    virtual std::optional<std::string> chooseFile(FileDialogKind kind,
                                                  const std::string& filter) = 0;

    /**
     * The same dialog, starting in `dossier` when that folder exists (the
     * place where files of this kind live). By default, chooseFile.
     */
    virtual std::optional<std::string> chooseFileIn(FileDialogKind kind, const std::string& filter,
                                                    const std::string& /*dossier*/)
    {
        return chooseFile(kind, filter);
    }

    /**
     * A modal choice among `choix` under `caption`, introduced by `label`,
     * `courant` chosen at first: the index chosen, or nothing when the user
     * cancels. By default, `courant` without asking.
     */
    virtual std::optional<int> chooseItem(const std::string& /*caption*/,
                                          const std::string& /*label*/,
                                          const std::vector<std::string>& /*choix*/, int courant)
    {
        return courant;
    }

    /**
     * Shows `dossier` in the desktop's file manager; false (nothing shown)
     * when there is none. By default, false.
     */
    virtual bool openFolder(const std::string& /*dossier*/) { return false; }

    /** A new progress box titled with string `captionId`; not shown until Create. */
    virtual std::unique_ptr<ProgressBox> createProgressBox(int captionId) = 0;

    /** Starts `body` on a new thread that first lowers itself to `priority`. */
    virtual std::thread startThread(std::function<void()> body, ThreadPriority priority);

    /** Blocks the calling thread for `milliseconds`. */
    virtual void sleep(int milliseconds);

    /** Sounds a tone; returns when the tone is over. */
    virtual void beep(int frequency, int milliseconds) = 0;

    /** Writes one line to a debug channel the user does not see. */
    virtual void trace(TraceChannel channel, const std::string& line) = 0;

    /**
     * Whether lines of `channel` go anywhere: code on a hot path (each byte
     * of the robot's line) formats its line only then.
     */
    virtual bool traceEnabled(TraceChannel /*channel*/) const { return true; }

    /** Loads a string of the string table (empty when the id is unknown). */
    virtual std::string loadString(int id);
};

/** The installed platform. Installing one is the first thing every program does. */
Platform& platform();

/** Installs `p` (not owned; it must outlive every use). Returns the previous one. */
Platform* setPlatform(Platform* p);

/** Lowers the calling thread to `priority` (SCHED_IDLE and nice 19 for Lowest). */
void applyThreadPriority(ThreadPriority priority);
