// The main window's own options in a profile: the database file, the item-class keywords and
// colours, the closing rule, column sorting, the monitor type's deck flags, the window's size,
// the clock's colour and the silence cut.
#include "player/form1.h"

#include "controls/screenfit.h"
#include "platform/inifile.h"
#include "platform/programfolder.h"
#include "platform/usermessagesqt.h"
#include "player/profiles/profilehooks.h"

#include <QLabel>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace player {
namespace {

constexpr int kDefaultWidth = 799;
constexpr int kDefaultHeight = 573;
constexpr std::uint32_t kJingleColor = 0x800000;  // 0x00BBGGRR: dark blue
constexpr std::uint32_t kAdvertColor = 0x868686;

std::string defaultBase()
{
    return platform::programPath("Database/Base.dfs");
}

QColor storedColor(const platform::IniFile& ini, const char* key, std::uint32_t def)
{
    return platform::qtmessages::toQColor(
        static_cast<std::uint32_t>(ini.readInteger("Options", key, static_cast<std::int32_t>(def))));
}

void writeColor(platform::IniFile& ini, const char* key, const QColor& color)
{
    ini.writeInteger("Options", key, static_cast<std::int32_t>(platform::qtmessages::fromQColor(color)));
}

// The profile's text of a keyword while the list still uses it; else the list's own.
std::string keywordText(const std::string& asRead, const QString& listKeyword)
{
    return QString::fromStdString(asRead).toLower() == listKeyword ? asRead : listKeyword.toStdString();
}

}  // namespace

void TForm1::LoadWindowProfile(const platform::IniFile& ini, const ProfileLoad&)
{
    // A relative or "\"-separated name is taken under the program folder, as the default is; the
    // text itself goes back into the profile.
    DefBaseText = ini.readString("Options", "DefBase", "");
    if (DefBaseText.empty())
        DefBaseText = defaultBase();
    DefBase = platform::programPath(DefBaseText);
    CloseAllowed = ini.readInteger("Options", "Close", 1) != 0;
    AllowSort = ini.readBool("Options", "AllowSort", false);
    SetItemClasses(ini.readString("Options", "ID_A", "commercial"), ini.readString("Options", "ID_J", "jingle"),
                   storedColor(ini, "Color_A", kAdvertColor), storedColor(ini, "Color_J", kJingleColor));
    MonType = ini.readInteger("Options", "MonType", 0);
    // Type 1 puts the decks on the front speakers so the monitor can have the rear ones.
    ApplyMonTypeFlags();

    // The size: a negative width is a maximised window whose restored width is its absolute value.
    // A size larger than the screen (a damaged profile) is cut to it, and saved back so.
    const int storedWidth = ini.readInteger("Options", "FormWidth", kDefaultWidth);
    const int hgt = ini.readInteger("Options", "FormHeight", kDefaultHeight);
    const QSize size(storedWidth == INT32_MIN ? kDefaultWidth : std::abs(storedWidth), hgt);
    if (storedWidth != 0 && hgt > 0) {
        if (isMaximized())
            setWindowState(windowState() & ~Qt::WindowMaximized);
        if (storedWidth < 0)
            resize(controls::fitSize(size, controls::availableScreenArea(this)));
        else
            CentreOnScreen(size);
    }
    // Without showing a hidden window: the state applies when it is shown.
    if (storedWidth < 0)
        setWindowState(windowState() | Qt::WindowMaximized);

    QPalette clock = timelabel->palette();
    clock.setColor(QPalette::WindowText, storedColor(ini, "ClockFontColor", 0));
    timelabel->setPalette(clock);
    SetCutSilence(ini.readBool("Options", "CutSilence", true));
}

void TForm1::CentreOnScreen(const QSize& size)
{
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                           frame.bottom() - client.bottom());
    const QRect area = controls::availableScreenArea(this);
    const QRect placed = controls::centredFrame(size, margins, area);
    resize(placed.size().shrunkBy(margins));
    if (!area.isEmpty())
        move(placed.topLeft());
    // Before its first showing the window has no frame yet: once the desktop has framed it, it
    // is placed again by the real frame.
    CentreWhenFramed = margins.isNull();
}

void TForm1::SaveWindowProfile(platform::IniFile& ini)
{
    const std::string base = DefBase.empty() ? defaultBase() : DefBase;
    ini.writeString("Options", "DefBase",
                    !DefBaseText.empty() && platform::programPath(DefBaseText) == base ? DefBaseText : base);
    ini.writeString("Options", "ID_A", keywordText(AdvertId, LVMaster->AdvertKeyword));
    ini.writeString("Options", "ID_J", keywordText(JingleId, LVMaster->JingleKeyword));
    ini.writeInteger("Options", "Close", CloseAllowed ? 1 : 0);
    ini.writeBool("Options", "AllowSort", AllowSort);
    writeColor(ini, "Color_J", LVMaster->JingleColor);
    writeColor(ini, "Color_A", LVMaster->AdvertColor);
    ini.writeInteger("Options", "MonType", MonType);
    // A maximised window is stored as the default size, maximised.
    ini.writeInteger("Options", "FormWidth", isMaximized() ? -kDefaultWidth : width());
    ini.writeInteger("Options", "FormHeight", isMaximized() ? kDefaultHeight : height());
    writeColor(ini, "ClockFontColor", timelabel->palette().color(QPalette::WindowText));
    ini.writeBool("Options", "CutSilence", CutSilence);
}

}  // namespace player
