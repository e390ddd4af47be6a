#pragma once

#include <exception>

/**
 * The one exception type of the system. Constructing it writes the
 * diagnostic line to the standard error stream; the object keeps its
 * message so that the user interface can show it.
 *
 * Messages are the fixed French texts of the containers, the matrix and the
 * perceptron; they must outlive the exception (string literals do).
 */
class Erreur : public std::exception {
public:
    Erreur(const char* message, const char* fichier, int ligne);

    const char* what() const noexcept override { return m_message; }

private:
    const char* m_message;
};

/**
 * Throws an Erreur. Kept out of line and marked cold so that the bounds checks
 * of the containers cost one compare and a never-taken branch on hot paths.
 */
[[noreturn, gnu::cold, gnu::noinline]] void lancerErreur(const char* message, const char* fichier,
                                                         int ligne);

#if defined(__FILE_NAME__)
#define KIV_SOURCE_FILE __FILE_NAME__
#else
#define KIV_SOURCE_FILE __FILE__
#endif

/** Throws an Erreur naming this source file and line. */
#define KIV_ERREUR(message) lancerErreur((message), KIV_SOURCE_FILE, __LINE__)
