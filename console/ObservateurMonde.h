#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>

class CKIVView;
class CMapView;
class PorteAffichage;

/**
 * The console's one observer of the world. The world only says that it
 * changed (abonnerAffichage, from whatever thread changed it); the observer
 * then shows it, on the user-interface thread: a new picture of the map (the
 * robot position boxes and the status panes follow it), and the wheel-code
 * boxes when the codes changed. At most once per turn of the event loop and
 * at most 60 times a second, however fast the world changes: the robot's
 * frame rate never becomes the map's repaint rate.
 */
class ObservateurMonde : public QObject {
public:
    /** `porte`: pictures never taken while a frame waits for its reply. */
    ObservateurMonde(CKIVView& vue, CMapView& carte, PorteAffichage* porte = nullptr);
    ~ObservateurMonde() override;
    ObservateurMonde(const ObservateurMonde&) = delete;
    ObservateurMonde& operator=(const ObservateurMonde&) = delete;

    /** Shows the world as it is now. */
    void rafraichir();
    /** Pictures shown so far (benchmarks and tests count them). */
    std::uint64_t rafraichissements() const { return m_rafraichissements; }

protected:
    bool event(QEvent* e) override;

private:
    /** The picture, when the gate lets it be taken. */
    void demanderRafraichissement();

    CKIVView& m_vue;
    CMapView& m_carte;
    PorteAffichage* m_porte;
    int m_abonnement = 0;
    /** A change is announced and not yet looked at. Any thread. */
    std::atomic<bool> m_annonce{false};
    QTimer m_differe;
    QElapsedTimer m_depuis;
    int m_roueGauche = -1;
    int m_roueDroite = -1;
    std::uint64_t m_rafraichissements = 0;
};
