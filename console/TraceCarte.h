#pragma once

#include "console/TraceRobot.h"

#include <QObject>
#include <QPointer>

class CKIVView;
class CMainFrame;
class CMapView;
class QAction;
class QPainter;
struct Instantane;

/**
 * The robot's trail on the map: every new picture of the world (and every
 * rendering of the trail) notes where the robot is, and while "Trace du robot" (View menu, off at
 * start) is checked the earlier positions are drawn as small dots over the map's layers. The
 * current position has the robot's picture and no dot.
 */
class TraceCarte : public QObject {
public:
    /** Follows the map of `view` as soon as the view has made it. */
    TraceCarte(CKIVView* view, QObject* parent);
    ~TraceCarte() override;
    TraceCarte(const TraceCarte&) = delete;
    TraceCarte& operator=(const TraceCarte&) = delete;

    void afficher(bool oui);
    bool affichee() const { return m_affichee; }
    const TraceRobot& trace() const { return m_trace; }

    /** Notes the robot's position and draws the trail over `image` when shown. */
    void dessiner(QPainter& p, const Instantane& monde);

private:
    /** Hooks the trail into the map once the view has one (tries again until then). */
    void attacher();
    /** The trail is drawn over the map while shown, and only then. */
    void poserSurcouche();

    CKIVView* m_view;
    QPointer<CMapView> m_carte;
    TraceRobot m_trace;
    bool m_affichee = false;
};

/** Adds "Trace du robot" to the View menu after "Quadrillage"; the action, or null. */
QAction* ajouterMenuTrace(CMainFrame& frame);
