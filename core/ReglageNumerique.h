#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

/**
 * The numeric settings of the settings store, which anyone may edit by
 * hand: each is read within its documented range, and anything else (not a
 * number, not finite, not whole where it must be, out of range) counts as
 * missing, so that its default holds. Such a value is told once per key and
 * run (avertirReglage), never silently: a hand-edited value that turned the
 * link's resynchronisation off without a word is what this prevents.
 *
 * Plain C++: the settings store itself is read on Qt (core/qt/LireReglage.h).
 */
namespace reglages {

/** The documented range of a numeric setting. */
struct Plage {
    double min;
    double max;
    /** Whole numbers only (a count, milliseconds, an index). */
    bool entier = false;
};

/** What a setting's stored text gives. */
struct Lecture {
    /** The value, within the range; nothing when the text is missing or refused. */
    std::optional<double> valeur;
    /** Why the text was refused, in French; empty when it was missing or good. */
    std::string refus;
};

/**
 * Reads `texte` (nullopt: the key is absent), blanks around it ignored:
 * a whole word that is a finite number (an integer when `plage.entier`)
 * within [min, max]. Never overflows, whatever the number of digits.
 */
Lecture lireTexte(std::optional<std::string_view> texte, const Plage& plage);

/**
 * The warning for key `cle` whose text was refused: "réglage CLE ignoré :
 * « TEXTE » <refus>, valeur par défaut" (the text escaped and cut to 40
 * characters).
 */
std::string texteAvertissement(std::string_view cle, std::string_view texte,
                               const std::string& refus);

/**
 * Tells `texte`, the warning of key `cle`, to whoever listens (below), once
 * per key and run: a setting read again (at each opening of the port, each
 * calibration point) is told the first time only.
 */
void avertirReglage(std::string_view cle, const std::string& texte);

/**
 * Where the warnings go as they come: the program prints them. Any thread
 * may warn; the listener is called on the warning's thread.
 */
void ecouterAvertissements(std::function<void(const std::string&)> ecouteur);

/**
 * Where the warnings go into the session's log: `journal` takes every
 * warning not yet logged, at once and then as they come, until it is
 * withdrawn by the same `jeton` (the recording link that installed it).
 * Each warning reaches one log once. `journal` is called with the
 * warnings' lock held: it must only record (never read a setting).
 */
void journaliserAvertissements(const void* jeton, std::function<void(const std::string&)> journal);
void retirerJournal(const void* jeton);

/** Forgets every warning and listener (tests). */
void oublierAvertissements();

} // namespace reglages
