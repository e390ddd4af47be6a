#pragma once

#include "world/FiltrePosition.h"
#include "world/Garde.h"
#include "world/PoseRobot.h"
#include "world/SharedPoint.h"

/**
 * The robot's part of the world: its pose and the position filter that
 * sets it, under one lock, and the position the map draws, one whole word
 * read without the lock and written only under it, from the pose. The lock
 * is a leaf (Garde.h): what runs under it takes no other world lock.
 */
class PartieRobot {
public:
    /** The pose, whole. */
    PoseRobot pose() const
    {
        return m_etat.consulter([](const Etat& e) { return e.pose; });
    }

    /** The known cell. */
    Point cellule() const { return pose().cellule; }

    /** The position drawn and shown, cm: whole, without the lock. */
    Point position() const { return m_position.get(); }

    /**
     * Runs `f(PoseRobot&, filtre::FiltrePosition&)` under the lock and
     * returns what it returns; the drawn position follows the pose when `f`
     * ends. `f` takes no other lock and throws nothing.
     */
    template <class F>
    auto modifier(F&& f)
    {
        return m_etat.modifier([this, &f](Etat& e) {
            const Publication publication{e.pose, m_position};
            return f(e.pose, e.filtre);
        });
    }

    /** Runs `f(const PoseRobot&, const filtre::FiltrePosition&)` under the lock. */
    template <class F>
    auto consulter(F&& f) const
    {
        return m_etat.consulter([&f](const Etat& e) { return f(e.pose, e.filtre); });
    }

    /**
     * Puts the robot at (x, y) cm, its cell (x / 25, y / 25). With
     * `repartir` (put there by hand or with a field) the filter starts again
     * from the next estimate.
     */
    void placer(int x, int y, bool repartir)
    {
        modifier([x, y, repartir](PoseRobot& pose, filtre::FiltrePosition& f) {
            if (repartir) {
                f.reinitialiser();
            }
            pose = PoseRobot::en(x, y);
        });
    }

    /** True when no one holds the lock. */
    bool libre() const { return m_etat.libre(); }

private:
    struct Etat {
        PoseRobot pose;
        filtre::FiltrePosition filtre{filtre::Parametres{}};
    };

    /** Publishes the pose's position when the change ends, however it ends. */
    class Publication {
    public:
        Publication(const PoseRobot& pose, SharedPoint& position)
            : m_pose(pose)
            , m_cible(position)
        {}
        ~Publication()
        {
            const Point p = m_pose.position();
            m_cible.set(p.x, p.y);
        }
        Publication(const Publication&) = delete;
        Publication& operator=(const Publication&) = delete;

    private:
        const PoseRobot& m_pose;
        SharedPoint& m_cible;
    };

    Garde<Etat> m_etat;
    SharedPoint m_position;
};
