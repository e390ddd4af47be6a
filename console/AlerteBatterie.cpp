#include "console/AlerteBatterie.h"

AlerteBatterie::AlerteBatterie(int seuilPourcent)
{
    if (seuilPourcent < 1 || seuilPourcent > 99) {
        seuilPourcent = 20;
    }
    // 20 % of 230 is 46: levels 0 .. 45 are low.
    m_seuil = (Plein * seuilPourcent + 99) / 100;
}

bool AlerteBatterie::observer(int niveau)
{
    if (!m_basse && niveau < m_seuil) {
        m_basse = true;
        return true;
    }
    if (m_basse && niveau >= m_seuil + Hysteresis) {
        m_basse = false;
    }
    return false;
}
