#include "neural/Exemple.h"

std::ostream& operator<<(std::ostream& os, const Exemple& e)
{
    return os << static_cast<const Table2D<double>&>(e.entree)
              << static_cast<const Table2D<double>&>(e.desire);
}

std::istream& operator>>(std::istream& is, Exemple& e)
{
    is >> static_cast<Table2D<double>&>(e.entree);
    return is >> static_cast<Table2D<double>&>(e.desire);
}
