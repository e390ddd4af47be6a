#include "console/TraceRobot.h"

void TraceRobot::ajouter(Position p)
{
    if (m_nombre > 0 && (*this)[m_nombre - 1] == p) {
        return;
    }
    if (m_nombre < Capacite) {
        m_positions[(m_debut + m_nombre) % Capacite] = p;
        ++m_nombre;
    } else {
        m_positions[m_debut] = p;
        m_debut = (m_debut + 1) % Capacite;
    }
}
