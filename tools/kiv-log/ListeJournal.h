#pragma once

#include "calibration/ListeCalibration.h"
#include "link/recorder/LecteurJournal.h"

#include <string>

/**
 * The calibration window's list of a session, made again from its log: the
 * points kept (kind 7) join it, the edits (kind 9) remove one or all of
 * them, in the order they were recorded. An edit whose recorded list size
 * is not the size of the list made so far shows that the window held points
 * the log does not (kept while nothing was recorded, or in a file of the
 * session that is gone): from there the list is not the window's, until an
 * emptying makes it known again (empty).
 */
class ListeJournal {
public:
    /** Takes one record of the log; the records of other kinds change nothing. */
    void prendre(const journal::Enregistrement& e);

    const calibration::ListeCalibration& liste() const { return m_liste; }
    /** True while the list made is the window's. */
    bool fidele() const { return m_ecart.empty(); }
    /** Why it is not (French, for the user); empty while it is. */
    const std::string& ecart() const { return m_ecart; }
    /** Calibration records taken (points and edits). */
    int enregistrements() const { return m_enregistrements; }

private:
    calibration::ListeCalibration m_liste;
    std::string m_ecart;
    int m_enregistrements = 0;
};

/**
 * A kind-9 record as the summary lists it: "point 3 sur 5 retiré", "liste
 * vidée (5 points)"; empty for another record.
 */
std::string decrireEditionListe(const journal::Enregistrement& e);
