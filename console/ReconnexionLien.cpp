#include "console/ReconnexionLien.h"

#include "core/qt/LireReglage.h"

#include <QFileInfo>
#include <QSettings>

#include <utility>

bool reconnexionPermise()
{
    return lireReglageOui(reglages::Reconnexion);
}

ReconnexionLien::ReconnexionLien(std::function<QString()> peripherique,
                                 std::function<bool()> ouvrir, QObject* parent)
    : QObject(parent)
    , m_peripherique(std::move(peripherique))
    , m_ouvrir(std::move(ouvrir))
{
    m_minuterie.setInterval(1000);
    connect(&m_minuterie, &QTimer::timeout, this, &ReconnexionLien::regarder);
}

void ReconnexionLien::attendre()
{
    m_minuterie.start();
}

void ReconnexionLien::abandonner()
{
    m_minuterie.stop();
}

void ReconnexionLien::regarder()
{
    const QString peripherique = m_peripherique();
    // A link to a device follows to it: a link left by a robot that ended
    // leads nowhere and counts as absent.
    if (peripherique.isEmpty() || !QFileInfo::exists(peripherique)) {
        return;
    }
    if (!m_ouvrir()) {
        return; // there, but not ready yet (permissions, another program): next look
    }
    m_minuterie.stop();
    ++m_reconnexions;
    emit reconnecte(peripherique);
}
