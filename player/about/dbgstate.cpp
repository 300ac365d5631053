// The diagnostics window's texts.
#include "player/about/dbgstate.h"

#include <algorithm>

namespace player {

QString formatUpTime(std::int64_t ms)
{
    ms = std::max<std::int64_t>(ms, 0);
    const std::int64_t seconds = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

DbgTexts dbgTexts(const DbgSnapshot& s)
{
    DbgTexts t;
    t.fadeType = QString::number(s.fadeClass);
    t.now = QStringLiteral("%1  [%2]  (%3)").arg(s.selectedRow + 1).arg(s.playingRow + 1).arg(s.fadeClass);
    // QString::number never uses the locale: "." always.
    t.fadeOut = QString::number(s.fadeSeconds, 'f', 1);
    t.mix = QString::number(s.mixSeconds, 'f', 1);
    t.fadeObj = s.fadedIsDeckA ? QStringLiteral("A") : QStringLiteral("B");
    t.mixFlag = s.mixFlag;
    t.timerId = QString::number(s.timerId);
    t.isFading = s.fading ? QStringLiteral("1") : QStringLiteral("0");
    t.fileA = QStringLiteral("A.FileName= ") + QString::fromStdString(s.fileA);
    t.fileB = QStringLiteral("B.FileName= ") + QString::fromStdString(s.fileB);
    t.timeWorking = formatUpTime(s.upTimeMs);
    t.ampCount = QString::number(s.ampCount);
    t.ampHigh = QString::number(s.ampHigh);
    t.ampQuiet = QString::number(s.ampQuiet);
    t.output = QString::fromStdString(s.output);
    return t;
}

}  // namespace player
