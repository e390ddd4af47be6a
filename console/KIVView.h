#pragma once

#include "world/view/MapOwner.h"

#include <QWidget>
#include <memory>

class CMapView;
class QLineEdit;
class QRadioButton;
namespace Ui {
class KIVView;
}

/**
 * The control view: the operator's form around the map. It creates the map
 * window on its first activation, keeps the robot, destination and wheel
 * boxes up to date and tells the map what a click places.
 *
 * The Show operations may be called from any thread: off the user-interface
 * thread they post themselves to it and return at once.
 */
class CKIVView : public QWidget, public MapOwner {
    Q_OBJECT

public:
    explicit CKIVView(QWidget* parent = nullptr);
    ~CKIVView() override;

    /** The one-time set-up, run while g_setupPending is set. */
    void OnActivateView();

    /** Creates the map window over frame 1001 and registers it as g_mapView. */
    void CreateMapView();

    Selection selection() const override;
    void ShowRobotPosition() override;
    void ShowDestination() override;
    void ShowWheelSpeeds() override;

    CMapView* mapView() const { return m_mapView; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /** Runs `fn` on the user-interface thread: now if already there, else queued. */
    template <class Fn>
    bool ailleurs(Fn fn);
    void placerCarte();

    std::unique_ptr<Ui::KIVView> m_ui;

    // Boxes bound to the form.
    QLineEdit* m_wheelLeftBox;
    QLineEdit* m_wheelRightBox;
    QLineEdit* m_robotYBox;
    QLineEdit* m_robotXBox;
    QLineEdit* m_destYBox;
    QLineEdit* m_destXBox;

    /** Frame 1001's rectangle in the form's coordinates. */
    QRect m_mapRect;
    CMapView* m_mapView = nullptr;
};
