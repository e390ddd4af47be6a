#include "neural/Neurone.h"

std::ostream& operator<<(std::ostream& os, const Neurone& n)
{
    os << n.biais << std::endl;
    return os << static_cast<const Table1D<Poids>&>(n);
}

std::istream& operator>>(std::istream& is, Neurone& n)
{
    is >> n.biais;
    if (is.fail()) {
        KIV_ERREUR(msg::FormatInvalide);
    }
    return is >> static_cast<Table1D<Poids>&>(n);
}
