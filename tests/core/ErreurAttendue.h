#pragma once

#include "core/Erreur.h"
#include "core/ErreurFichier.h"

#include <gtest/gtest.h>

#include <string>

namespace kiv_test {

/**
 * Runs `action` and succeeds when it throws an Erreur carrying exactly
 * `attendu`, whose diagnostic line on the error stream ends with that message,
 * or an ErreurFichier (an error placed in a file) with that message.
 * The error stream is captured so the expected diagnostics stay out of the log.
 */
template <class Action>
testing::AssertionResult lanceErreur(Action&& action, const char* attendu)
{
    testing::internal::CaptureStderr();
    try {
        action();
    } catch (const Erreur& e) {
        const std::string diagnostic = testing::internal::GetCapturedStderr();
        if (std::string(e.what()) != attendu) {
            return testing::AssertionFailure()
                   << "Erreur \"" << e.what() << "\" instead of \"" << attendu << "\"";
        }
        const std::string ligne = std::string(attendu) + "\n";
        if (diagnostic.size() < ligne.size() ||
            diagnostic.compare(diagnostic.size() - ligne.size(), ligne.size(), ligne) != 0) {
            return testing::AssertionFailure() << "diagnostic line was \"" << diagnostic << "\"";
        }
        return testing::AssertionSuccess();
    } catch (const ErreurFichier& e) {
        testing::internal::GetCapturedStderr();
        if (e.message() != attendu || e.chemin().empty()) {
            return testing::AssertionFailure()
                   << "ErreurFichier \"" << e.what() << "\" instead of \"" << attendu << "\"";
        }
        return testing::AssertionSuccess();
    } catch (const std::exception& e) {
        testing::internal::GetCapturedStderr();
        return testing::AssertionFailure() << "other exception: " << e.what();
    } catch (...) {
        testing::internal::GetCapturedStderr();
        return testing::AssertionFailure() << "unknown exception";
    }
    testing::internal::GetCapturedStderr();
    return testing::AssertionFailure() << "nothing thrown, expected \"" << attendu << "\"";
}

} // namespace kiv_test

#define EXPECT_ERREUR(instruction, message)                                                        \
    EXPECT_TRUE(::kiv_test::lanceErreur([&] { (void)(instruction); }, (message)))
