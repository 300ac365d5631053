// The next-row rule, the play modes and the on-air texts.
#include "player/sequencing/sequencing.h"

#include "media/tag.h"
#include "player/fileinfo.h"

#include <memory>
#include <random>

namespace player {

void PlayModes::setRepeat(bool on)
{
    repeat = on;
    if (on)
        breakOn = false;
}

void PlayModes::setBreak(bool on)
{
    breakOn = on;
    if (on)
        repeat = false;
}

void PlayModes::setShuffle(bool on)
{
    shuffle = on;
    if (on)
        repeatList = false;
}

void PlayModes::setRepeatList(bool on)
{
    repeatList = on;
    if (on)
        shuffle = false;
}

RandomBelow defaultRandom()
{
    auto engine = std::make_shared<std::mt19937>(std::random_device{}());
    return [engine](int maxInclusive) {
        if (maxInclusive <= 0)
            return 0;
        return std::uniform_int_distribution<int>(0, maxInclusive)(*engine);
    };
}

int NextTrackIndex(int direction, TrackListState& list, const PlayModes& modes, const RandomBelow& random)
{
    if (direction == 0)
        return list.firstSelected;
    if (list.nextIndex != -1) {
        const int row = list.nextIndex;
        list.nextIndex = -1;
        list.shuffleMemory = -1;
        // A mark left outside the list (rows deleted under it) plays nothing rather than a ghost.
        return row >= 0 && row < list.rowCount ? row : -1;
    }
    if (list.rowCount > 0 && modes.shuffle) {
        if (direction < 0 && list.shuffleMemory > 0 && list.shuffleMemory < list.rowCount) {
            const int row = list.shuffleMemory;
            list.shuffleMemory = -1;
            return row;
        }
        // The draw leaves the last row out.
        const int maxRow = list.rowCount > 1 ? list.rowCount - 2 : 0;
        int row = random ? random(maxRow) : 0;
        if (row < 0 || row > maxRow)
            row = 0;
        list.shuffleMemory = list.hlIndex;
        return row;
    }
    const long long row = static_cast<long long>(list.hlIndex) + direction;
    if (row >= 0 && row < list.rowCount)
        return static_cast<int>(row);
    if (row == list.rowCount && modes.repeatList && list.rowCount > 0)
        return 0;
    return -1;
}

int playNextMark(int firstSelected, int currentNextIndex)
{
    return firstSelected >= 0 ? firstSelected : currentNextIndex;
}

std::string onAirText(bool tagRead, std::string_view artist, std::string_view title, std::string_view fileName)
{
    const std::string a = TrimTagField(artist);
    const std::string t = TrimTagField(title);
    if (tagRead && (!a.empty() || !t.empty()))
        return a + "\r\n" + t;
    return media::ExtractFileBaseName(fileName);
}

std::string trayTip(std::string_view onAir)
{
    std::size_t i = 0;
    for (int chars = 0; i < onAir.size() && chars < kTrayTipChars; ++chars) {
        const auto lead = static_cast<unsigned char>(onAir[i]);
        std::size_t len = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 1;
        if (i + len > onAir.size())
            len = onAir.size() - i;
        i += len;
    }
    return std::string(onAir.substr(0, i));
}

}  // namespace player
