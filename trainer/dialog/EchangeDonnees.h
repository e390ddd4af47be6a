#pragma once

#include <QString>
#include <optional>

/**
 * Numbers between the trainer's edits and its fields, whatever the user's
 * locale: '.' is the decimal point both ways.
 *
 * An edit is read only when it holds a number and nothing else but blanks
 * around it; "12abc", an empty text or an integer out of range are refused,
 * and the caller asks the user to correct them.
 */
std::optional<int> lireEntier(const QString& texte);
std::optional<double> lireReel(const QString& texte);

/** "%d". */
QString texteEntier(int valeur);
/** The shortest of "%.15g": 0.1 shows as 0.1, 0.1543354 as 0.1543354. */
QString texteReel(double valeur);

/** Text of the prompts shown when an edit does not hold a number. */
inline constexpr const char* kEntrezEntier = "Veuillez entrer un nombre entier.";
inline constexpr const char* kEntrezNombre = "Veuillez entrer un nombre.";
