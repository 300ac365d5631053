// The crossfade table, its stored form and the item-class rule.
#include "player/sequencing/crossfade.h"

#include "platform/hexrecord.h"

#include <QString>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace player {

std::int64_t CrossfadeRecord::mixMs() const
{
    return mixOn ? static_cast<std::int64_t>(static_cast<double>(mixSeconds) * 1000.0) : kPointOffMs;
}

std::int64_t CrossfadeRecord::fadeMs() const
{
    return fadeOn ? static_cast<std::int64_t>(static_cast<double>(fadeSeconds) * 1000.0) : kPointOffMs;
}

std::int32_t CrossfadeRecord::fadeOutMs() const
{
    if (!fadeOn || !(fadeSeconds > 0))
        return 0;
    // A stored value can be anything; an hour is far beyond any fade.
    const double ms = std::round(static_cast<double>(fadeSeconds) * 1000.0);
    return ms > 3600000.0 ? 3600000 : static_cast<std::int32_t>(ms);
}

namespace {

void putFloat(std::uint8_t* p, float value)
{
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

float getFloat(const std::uint8_t* p)
{
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return std::bit_cast<float>(bits);
}

CrossfadeRecord recordFrom(const std::uint8_t* p)
{
    CrossfadeRecord r;
    r.mixSeconds = getFloat(p);
    r.fadeSeconds = getFloat(p + 4);
    r.mixOn = p[8] != 0;
    r.fadeOn = p[9] != 0;
    std::copy_n(p + 8, r.heldBytes.size(), r.heldBytes.begin());
    // A NaN time read from a damaged file would make every comparison false; take it as 0.
    if (std::isnan(r.mixSeconds))
        r.mixSeconds = 0;
    if (std::isnan(r.fadeSeconds))
        r.fadeSeconds = 0;
    return r;
}

}  // namespace

CrossfadeBytes CrossfadeTable::toBytes() const
{
    CrossfadeBytes out{};
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::uint8_t* p = out.data() + i * kCrossfadeRecordBytes;
        putFloat(p, records[i].mixSeconds);
        putFloat(p + 4, records[i].fadeSeconds);
        const CrossfadeRecord& r = records[i];
        p[8] = (r.heldBytes[0] != 0) == r.mixOn ? r.heldBytes[0] : (r.mixOn ? 1 : 0);
        p[9] = (r.heldBytes[1] != 0) == r.fadeOn ? r.heldBytes[1] : (r.fadeOn ? 1 : 0);
        p[10] = r.heldBytes[2];
        p[11] = r.heldBytes[3];
    }
    return out;
}

CrossfadeTable CrossfadeTable::fromBytes(const CrossfadeBytes& bytes)
{
    CrossfadeTable t;
    for (std::size_t i = 0; i < t.records.size(); ++i)
        t.records[i] = recordFrom(bytes.data() + i * kCrossfadeRecordBytes);
    return t;
}

std::string CrossfadeTable::toHex() const
{
    const CrossfadeBytes bytes = toBytes();
    return platform::toHex(bytes.data(), bytes.size());
}

bool CrossfadeTable::fromHex(std::string_view text)
{
    CrossfadeBytes bytes = toBytes();
    const std::size_t n = platform::fromHex(text, bytes.data(), bytes.size());
    const std::size_t whole = n / kCrossfadeRecordBytes;
    for (std::size_t i = 0; i < whole; ++i)
        records[i] = recordFrom(bytes.data() + i * kCrossfadeRecordBytes);
    return whole > 0;
}

void readCrossfadeControls(CrossfadeTable& table, const CrossfadeControls& music, const CrossfadeControls& advert,
                           const CrossfadeControls& jingle)
{
    const CrossfadeControls* groups[3] = {&music, &advert, &jingle};
    for (int i = 0; i < 3; ++i) {
        CrossfadeRecord& r = table.records[static_cast<std::size_t>(i + 1)];
        r.mixSeconds = static_cast<float>(groups[i]->mixSeconds);
        r.fadeSeconds = static_cast<float>(groups[i]->fadeSeconds);
        r.mixOn = groups[i]->mixChecked && r.mixSeconds > 0;
        r.fadeOn = groups[i]->fadeChecked && r.fadeSeconds > 0;
    }
}

double explicitFadeSeconds(std::string_view displayName, std::string_view fadeSign)
{
    constexpr double kNone = -10;
    if (fadeSign.empty())
        return kNone;
    const std::size_t at = displayName.find(fadeSign);
    if (at == std::string_view::npos)
        return kNone;
    std::size_t i = at + fadeSign.size();
    std::string run;
    bool dot = false;
    for (; i < displayName.size(); ++i) {
        const char c = displayName[i];
        if (c >= '0' && c <= '9') {
            run += c;
        } else if (c == '.' && !dot) {
            dot = true;
            run += c;
        } else {
            break;
        }
    }
    if (run.empty() || run == ".")
        return kNone;
    if (run.size() > 12)  // far beyond any track length; keeps the conversion exact and bounded
        return kNone;
    return std::stod(run);
}

CrossfadeClass detectCrossfadeClass(std::string_view displayName, std::string_view fileName,
                                    const ClassNames& names, CrossfadeTable& table)
{
    const double seconds = explicitFadeSeconds(displayName, names.fadeSign);
    CrossfadeRecord& explicitRecord = table.records[kClassExplicit];
    explicitRecord.mixSeconds = static_cast<float>(seconds);
    explicitRecord.fadeSeconds = static_cast<float>(seconds);
    explicitRecord.mixOn = seconds >= 0;
    explicitRecord.fadeOn = seconds >= 0;
    if (seconds >= 0)
        return kClassExplicit;

    const QString name = QString::fromUtf8(displayName.data(), static_cast<qsizetype>(displayName.size())).toLower();
    auto contains = [&name](const std::string& id) {
        // An empty id would match every name.
        return !id.empty() && name.contains(QString::fromStdString(id).toLower());
    };
    if (contains(names.advertId))
        return kClassAdvert;
    if (contains(names.jingleId))
        return kClassJingle;

    const QString file = QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size())).toLower();
    const qsizetype slash = std::max(file.lastIndexOf('/'), file.lastIndexOf('\\'));
    const QString part = file.mid(slash + 1);
    if (part.endsWith(QStringLiteral(".cda")) || part == QStringLiteral("line.in"))
        return kClassCdOrLineIn;
    return kClassMusic;
}

}  // namespace player
