// Labelled track bar arithmetic.
#include "controls/lbarscale.h"

#include <QLocale>

#include <algorithm>
#include <climits>
#include <cmath>

namespace controls {

int LBarScale::factorFor(int prec)
{
    prec = std::clamp(prec, 0, kMaxPrec);
    int factor = 1;
    for (int i = 0; i < prec; ++i)
        factor *= 10;
    return factor;
}

int LBarScale::toPosition(long double value, int factor)
{
    const long double scaled = value * static_cast<long double>(factor);
    if (std::isnan(scaled))
        return 0;
    // nearbyint rounds halves to even in the default rounding mode.
    const long double rounded = std::nearbyint(scaled);
    return static_cast<int>(std::clamp<long double>(rounded, INT_MIN, INT_MAX));
}

long double LBarScale::valueOf(int position, int factor, int max)
{
    if (factor == 0)
        return max;
    return static_cast<long double>(position) / static_cast<long double>(factor);
}

QString LBarScale::labelText(float value, int prec, const QString& unit)
{
    return QLocale().toString(static_cast<double>(value), 'f', std::clamp(prec, 0, 18)) + ' ' + unit;
}

}  // namespace controls
