#pragma once

#include <functional>

/**
 * Runs a handler's work so that no exception leaves it for the event loop:
 * an Erreur (or any other exception) is shown to the user in a message box
 * with its message, and the window goes on working. Returns false when the
 * work ended with an exception.
 */
bool executerProtege(const std::function<void()>& travail);
