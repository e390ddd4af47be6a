#pragma once

// A main frame with the bundled weights, offscreen, on the scripted platform.

#include "console/MainFrame.h"
#include "core/scripted/ScriptedPlatform.h"
#include "world/WorldState.h"

#include <QAction>
#include <QDialog>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

class ShellTest : public ::testing::Test {
protected:
    static ScriptedPlatform& scripted() { return static_cast<ScriptedPlatform&>(platform()); }

    static OptionsConsole optionsBalises()
    {
        OptionsConsole options;
        options.poids = KIV_DATA_DIR "/beacons.wgh";
        return options;
    }

    void SetUp() override
    {
        ResetWorld();
        frame = std::make_unique<CMainFrame>(optionsBalises());
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        scripted().clear();
    }

    void TearDown() override
    {
        frame.reset();
        ResetWorld();
        scripted().clear();
    }

    QAction* action(int id) const { return frame->action(id); }

    /** The texts of the message boxes shown since the last clear. */
    static std::vector<std::string> textes()
    {
        std::vector<std::string> t;
        for (const auto& m : scripted().messages()) {
            t.push_back(m.text);
        }
        return t;
    }

    std::unique_ptr<CMainFrame> frame;
};
