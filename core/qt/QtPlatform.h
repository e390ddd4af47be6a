#pragma once

#include "core/Platform.h"

#include <functional>
#include <memory>

/**
 * The platform services on Qt: message boxes and file dialogs owned by the
 * active window, beeps and traces through Qt. Dialog calls must come from the
 * GUI thread; beep and trace may come from any thread.
 */
class QtPlatform : public Platform {
public:
    MessageAnswer messageBox(const std::string& text, const std::string& caption,
                             MessageButtons buttons, MessageIcon icon) override;
    std::optional<std::string> chooseFile(FileDialogKind kind, const std::string& filter) override;
    std::optional<std::string> chooseFileIn(FileDialogKind kind, const std::string& filter,
                                            const std::string& dossier) override;
    std::optional<int> chooseItem(const std::string& caption, const std::string& label,
                                  const std::vector<std::string>& choix, int courant) override;
    /** Through QDesktopServices: the desktop's file manager. */
    bool openFolder(const std::string& dossier) override;
    /** A box from the factory set at start-up; a silent box when none is set. */
    std::unique_ptr<ProgressBox> createProgressBox(int captionId) override;
    void beep(int frequency, int milliseconds) override;
    void trace(TraceChannel channel, const std::string& line) override;
    bool traceEnabled(TraceChannel channel) const override;

    using ProgressBoxFactory = std::function<std::unique_ptr<ProgressBox>(int captionId)>;
    /**
     * Makes createProgressBox build its boxes with `factory`. The application
     * sets it at start-up with its dialog, which lives above this layer.
     */
    void setProgressBoxFactory(ProgressBoxFactory factory)
    {
        m_progressFactory = std::move(factory);
    }

private:
    ProgressBoxFactory m_progressFactory;
};

/** Turns "Label (*.ext)|*.ext||" into Qt's "Label (*.ext)" filter list. */
std::string qtFileFilter(const std::string& filter);
