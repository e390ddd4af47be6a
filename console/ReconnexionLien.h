#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

/**
 * The settings store's choice of automatic reconnection (reglages::Reconnexion,
 * true by default): after the robot's device went away, the console opens it
 * again by itself as soon as it is back. False: the operator reopens it with
 * "Port série", OK.
 */
bool reconnexionPermise();

/**
 * Waits for a device that went away to come back, and then opens the link
 * again through `ouvrir`: once a period (a second by default) it looks
 * whether the device the port stands for now exists (`peripherique` says
 * which, read afresh at each look: the operator may assign another one
 * meanwhile) and, if so, tries `ouvrir`, which opens without any message box
 * and says whether it succeeded. A failed opening is tried again at the next
 * look. Nothing is looked at while nothing is awaited.
 */
class ReconnexionLien : public QObject {
    Q_OBJECT

public:
    ReconnexionLien(std::function<QString()> peripherique, std::function<bool()> ouvrir,
                    QObject* parent = nullptr);

    /** The device went away: watch for its return. */
    void attendre();
    /** Stop watching (the link was opened another way, or is wanted closed). */
    void abandonner();
    bool enAttente() const { return m_minuterie.isActive(); }
    /** Openings made by this watcher since the view was made. */
    int reconnexions() const { return m_reconnexions; }
    void setPeriodeMs(int periode) { m_minuterie.setInterval(periode); }

signals:
    /** The link was opened again on `peripherique`. */
    void reconnecte(const QString& peripherique);

private:
    void regarder();

    std::function<QString()> m_peripherique;
    std::function<bool()> m_ouvrir;
    QTimer m_minuterie;
    int m_reconnexions = 0;
};
