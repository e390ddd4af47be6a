#include "console/NiveauBarre.h"

#include <QProgressBar>

namespace {

/** The shortest time between two paints of the bar: 60 a second. */
constexpr int PauseMs = 16;

} // namespace

NiveauBarre::NiveauBarre(QProgressBar* barre, QObject* parent)
    : QObject(parent)
    , m_barre(barre)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseMs);
    connect(&m_pause, &QTimer::timeout, this, &NiveauBarre::peindre);
}

void NiveauBarre::poser(int valeur)
{
    if (!m_barre || m_barre->value() == valeur) {
        return;
    }
    if (!m_pause.isActive() && m_barre->updatesEnabled()) {
        // Without updates the bar's own paint does nothing; they come back
        // (with one update) when the pause is over.
        m_barre->setUpdatesEnabled(false);
        m_pause.start();
    }
    m_barre->setValue(valeur);
}

void NiveauBarre::peindreSiEnAttente()
{
    if (m_pause.isActive()) {
        m_pause.stop();
        peindre();
    }
}

void NiveauBarre::peindre()
{
    if (m_barre) {
        m_barre->setUpdatesEnabled(true);
    }
}
