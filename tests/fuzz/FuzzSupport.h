#pragma once

// What the fuzz targets of the trainer's files share: a failed invariant
// that libFuzzer keeps, a platform that shows nothing, and a quiet error
// stream (every Erreur writes a diagnostic line).

#include "core/BudgetMemoire.h"
#include "core/Platform.h"
#include "core/ProgressBox.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <streambuf>
#include <string>

namespace kiv_fuzz {

inline void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", quoi);
        std::abort(); // libFuzzer keeps the input that got here
    }
}

/** A progress box nobody sees and nobody cancels. */
class BoiteMuette : public ProgressBox {
public:
    bool Create() override { return true; }
    void SetStatus(const std::string&) override {}
    void SetRange(int, int) override {}
    void SetStep(int) override {}
    int SetPos(int) override { return 0; }
    int OffsetPos(int) override { return 0; }
    int StepIt() override { return 0; }
    bool CheckCancel() override { return false; }
    void ShowOkButton() override {}
    void pass(int, double) override {}
};

/** Answers every question with Ok and keeps nothing, so memory stays flat over millions of runs. */
class PlateformeMuette : public Platform {
public:
    MessageAnswer messageBox(const std::string&, const std::string&, MessageButtons,
                             MessageIcon) override
    {
        return MessageAnswer::Ok;
    }
    std::optional<std::string> chooseFile(FileDialogKind, const std::string&) override
    {
        return std::nullopt;
    }
    std::unique_ptr<ProgressBox> createProgressBox(int) override
    {
        return std::make_unique<BoiteMuette>();
    }
    void beep(int, int) override {}
    void trace(TraceChannel, const std::string&) override {}
};

/** Installs the quiet platform and error stream and a 256 MiB memory budget, once. */
inline void preparer()
{
    static PlateformeMuette plateforme;
    static std::streambuf* const ancien = std::cerr.rdbuf(nullptr);
    (void)ancien;
    setPlatform(&plateforme);
    definirBudgetMemoire(std::size_t{256} << 20);
}

} // namespace kiv_fuzz
