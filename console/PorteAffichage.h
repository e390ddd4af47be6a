#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

/**
 * Keeps the display's bigger chores (writing the traffic boxes, a new
 * picture of the map) out of the way of the robot's reply: while a frame is
 * half read (its status byte still to come), a chore waits and runs right
 * after the status byte is answered, or after 50 ms at most (a robot that
 * stopped mid-frame). The reply then never waits behind a chore of a few
 * milliseconds; the chores run in the gap between two frames.
 */
class PorteAffichage : public QObject {
public:
    /** `enAttente` says whether a frame waits for its status byte now. */
    explicit PorteAffichage(std::function<bool()> enAttente);

    /**
     * Runs `travail` now, or later when a frame is half read; at most one
     * waiting chore per `cle` (the same chore asked again is not queued twice).
     */
    void executer(const void* cle, std::function<void()> travail);

    /** The status byte is answered: what waited runs now. */
    void apresReponse();

private:
    struct Corvee {
        const void* cle;
        std::function<void()> travail;
    };
    std::function<bool()> m_enAttente;
    std::vector<Corvee> m_corvees;
    std::vector<Corvee> m_enCours;
    QTimer m_limite;
};
