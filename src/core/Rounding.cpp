#include "Rounding.h"

#include <cmath>

double roundHalfEven(double value, int decimals)
{
    const double step = std::pow(10.0, -decimals);
    // nearbyint follows the default rounding mode, which sends ties to the even integer.
    return std::nearbyint(value / step) * step;
}
