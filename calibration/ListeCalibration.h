#pragma once

#include "calibration/MoyenneIntervalles.h"
#include "core/Table1D.h"
#include "neural/Exemple.h"

#include <ostream>
#include <string>
#include <vector>

namespace calibration {

/**
 * The points kept so far, in the order they were measured. As a training
 * set each point is one example: input the three mean intervals in seconds,
 * in frame order, output 0 the y and output 1 the x of the position in cm,
 * which is how the console reads the position network's outputs.
 */
class ListeCalibration {
public:
    void ajouter(const PointCalibration& point) { m_points.push_back(point); }
    /** Removes point i; nothing for an index outside the list. */
    void retirer(int i);
    void vider() { m_points.clear(); }

    int taille() const { return static_cast<int>(m_points.size()); }
    const PointCalibration& operator[](int i) const
    {
        return m_points.at(static_cast<std::size_t>(i));
    }
    const std::vector<PointCalibration>& points() const { return m_points; }

    /** The training set of the points. */
    Table1D<Exemple> ensemble() const;

    /**
     * The training file: comment lines that say what it holds, "(N)", then
     * for each point a comment line (its position, frames and spread) and
     * its two blocks, as every reader of training files takes them.
     */
    void ecrire(std::ostream& os) const;

    /**
     * Writes the training file at `chemin` with the trainer's line ends and
     * character set, replacing it safely: a failure keeps the previous file,
     * returns false and tells the system's reason in `raison`.
     */
    bool ecrireFichier(const std::string& chemin, std::string* raison = nullptr) const;

    /**
     * The points of a training set of three inputs and two outputs (y, x),
     * as read back from a file; their frames and spread are not in it and
     * read as 0. Throws Erreur "Vecteur d'entree invalide!" or "Vecteur
     * desire invalide!" for an example of another shape.
     */
    static ListeCalibration depuisEnsemble(const Table1D<Exemple>& ensemble);

private:
    std::vector<PointCalibration> m_points;
};

} // namespace calibration
