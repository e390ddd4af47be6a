#pragma once

#include <string>
#include <utility>

/**
 * A progress box for long work on the user-interface thread: a status text,
 * a bar with its percentage, and a Cancel button that only raises a flag the
 * work polls. The calls that move the bar and the poll keep the interface
 * alive (they process pending events). When the work is over the caller
 * swaps Cancel for an Ok button; Ok closes the box.
 *
 * Obtained from Platform::createProgressBox; the application shows a dialog,
 * the tests record every call, the command-line tools draw on the terminal.
 */
class ProgressBox {
public:
    virtual ~ProgressBox() = default;

    /** Shows the box; the application's main window is its owner. False when it cannot. */
    virtual bool Create() = 0;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetStep(int step) = 0;
    /** Each returns the previous position. */
    virtual int SetPos(int position) = 0;
    virtual int OffsetPos(int delta) = 0;
    virtual int StepIt() = 0;
    /** True when Cancel was pressed since the last call; clears that state. */
    virtual bool CheckCancel() = 0;
    /**
     * Hides Cancel and shows Ok. The work calls it on every way out, an error
     * included, so that the box can always be closed: it must not throw.
     */
    virtual void ShowOkButton() = 0;

    /**
     * A display pass of a training: pass number `s` and its error, reported
     * beside the status text. A box that draws the error's course takes it
     * from here, never from the text.
     */
    virtual void pass(int s, double error) = 0;
};

/**
 * The percentage text of a bar at `position` in [lower, upper]: integer
 * percent, shown modulo 100 except that exactly 100 stays 100 ("42%").
 * The range must not be empty and the position not below `lower`.
 */
std::string progressPercentText(int lower, int upper, int position);

/**
 * A box nobody sees: it keeps the bar's position and never reports Cancel.
 * For programs without a display of their own for long work.
 */
class SilentProgressBox : public ProgressBox {
public:
    bool Create() override { return true; }
    void SetStatus(const std::string&) override {}
    void SetRange(int lower, int) override { m_position = lower; }
    void SetStep(int step) override { m_step = step; }
    int SetPos(int position) override { return std::exchange(m_position, position); }
    int OffsetPos(int delta) override { return std::exchange(m_position, m_position + delta); }
    int StepIt() override { return std::exchange(m_position, m_position + m_step); }
    bool CheckCancel() override { return false; }
    void ShowOkButton() override {}
    void pass(int, double) override {}

private:
    int m_position = 0;
    int m_step = 1;
};
