// The arithmetic of a labelled track bar: a real value with a fixed number of decimals mapped
// onto the slider's integer positions, rounding halves to the even neighbour.
#pragma once

#include <QString>

namespace controls {

struct LBarScale {
    static constexpr int kMaxPrec = 9;  // 10^9 is the largest power of ten an int holds

    // 10^prec as an integer; prec is kept within 0..kMaxPrec.
    static int factorFor(int prec);
    // value × factor to the nearest int (halves to even), within the int range.
    static int toPosition(long double value, int factor);
    // position / factor; before a precision is set (factor 0) the bar's maximum.
    static long double valueOf(int position, int factor, int max);
    // "%.Nf %s" with the locale's decimal separator.
    static QString labelText(float value, int prec, const QString& unit);
};

}  // namespace controls
