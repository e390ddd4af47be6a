#pragma once

#include "core/Platform.h"

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
    /** Until the trainer window brings its dialog, training here shows no box. */
    std::unique_ptr<ProgressBox> createProgressBox(int captionId) override;
    void beep(int frequency, int milliseconds) override;
    void trace(TraceChannel channel, const std::string& line) override;
};

/** Turns "Label (*.ext)|*.ext||" into Qt's "Label (*.ext)" filter list. */
std::string qtFileFilter(const std::string& filter);
