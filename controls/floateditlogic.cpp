// Float edit conversion, formatting and key filter.
#include "controls/floateditlogic.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace controls {

std::optional<long double> FloatEditLogic::convert(const QString& text) const
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    std::string ascii;
    ascii.reserve(static_cast<size_t>(trimmed.size()));
    for (QChar c : trimmed) {
        if (c == DecimalChar)
            ascii += '.';
        else if (c.isDigit() && c.unicode() < 128)
            ascii += static_cast<char>(c.unicode());
        else if (c == 'e' || c == 'E' || c == '+' || c == '-')
            ascii += static_cast<char>(c.unicode());
        else
            return std::nullopt;
    }
    const char* begin = ascii.data();
    const char* end = begin + ascii.size();
    if (*begin == '+')
        ++begin;
    if (begin != end && *begin == '+')
        return std::nullopt;
    long double value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString FloatEditLogic::format(long double value) const
{
    const int digits = std::clamp(Digits, 0, kMaxDigits);
    const int size = std::snprintf(nullptr, 0, "%.*Lf", digits, value);
    if (size <= 0)
        return QString();
    std::vector<char> buffer(static_cast<size_t>(size) + 1);
    std::snprintf(buffer.data(), buffer.size(), "%.*Lf", digits, value);
    QString text = QString::fromLatin1(buffer.data());
    // snprintf follows the C locale's separator, which a desktop locale may have changed.
    for (QChar& c : text)
        if (c == '.' || c == ',')
            c = DecimalChar;
    return text;
}

long double FloatEditLogic::valueFromText(const QString& text) const
{
    QString t = text;
    if (t == "-" || t == QString(DecimalChar) || t.isEmpty() || t == "E")
        t = "0";
    const auto v = convert(t);
    if (!v)
        return Min;
    return std::clamp(*v, Min, std::max(Min, Max));
}

FloatKeyResult FloatEditLogic::filterKey(const QString& text, int selStart, int selLength, QChar k) const
{
    FloatKeyResult result;
    const bool accepted = k == '-' || (k >= '0' && k <= '9') || k == 'e' || k == DecimalChar;
    if (!accepted)
        return result;
    selStart = std::clamp(selStart, 0, static_cast<int>(text.size()));
    selLength = std::clamp(selLength, 0, static_cast<int>(text.size()) - selStart);
    const QString n = text.left(selStart) + k + text.mid(selStart + selLength);
    if (n == "-") {
        result.action = FloatKeyResult::Replace;
        result.text = "-0";
        result.selStart = 1;
        result.selLength = 1;
        return result;
    }
    if (n == QString(DecimalChar)) {
        result.action = FloatKeyResult::Replace;
        result.text = QString("0") + DecimalChar + "0";
        result.selStart = 2;
        result.selLength = 1;
        return result;
    }
    const auto v = convert(n);
    if (!v || *v < Min || *v > Max)
        return result;
    if (k == DecimalChar && Digits == 0)
        return result;
    const int p = static_cast<int>(n.indexOf(DecimalChar));
    if (!n.contains('e', Qt::CaseInsensitive) && p >= 0 && n.size() - (p + 1) > Digits)
        return result;
    result.action = FloatKeyResult::Accept;
    return result;
}

std::optional<long double> FloatEditLogic::exitValue(const QString& text) const
{
    const auto v = convert(text.isEmpty() ? format(Min) : text);
    if (!v || *v < Min || *v > Max)
        return std::nullopt;
    return v;
}

}  // namespace controls
