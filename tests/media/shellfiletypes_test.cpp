// The player's file types in the registry store: every row, the unquoted program path, values
// overwritten, and a refused write stopping the rows after it; and the same types on the desktop.
#include "media/shellfiletypes.h"

#include "platform/desktoptypes.h"
#include "platform/registry.h"

#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using platform::Registry;
using platform::RegistryRoot;

std::string classValue(const std::string& key)
{
    return Registry::readString(RegistryRoot::ClassesRoot, key, "").value_or("<none>");
}

TEST(RegisterFileTypes, WritesEveryTypeWithTheProgramPathUnquoted)
{
    ASSERT_TRUE(Registry::writeString(RegistryRoot::ClassesRoot, ".mp3", "", "OtherPlayer.mp3"));
    const std::string program = "/opt/on air/player";
    media::RegisterFileTypes(program);
    for (const char* ext : {".mp3", ".wav", ".wma", ".ogg"})
        EXPECT_EQ(classValue(ext), "Quorvalen.File") << ext;
    EXPECT_EQ(classValue(".m3u"), "Quorvalen.List");
    EXPECT_EQ(classValue("Quorvalen.File"), "Media File");
    EXPECT_EQ(classValue("Quorvalen.List"), "Playlist File");
    EXPECT_EQ(classValue("Quorvalen.File\\DefaultIcon"), "/opt/on air/player,1");
    EXPECT_EQ(classValue("Quorvalen.List\\DefaultIcon"), "/opt/on air/player,2");
    EXPECT_EQ(classValue("Quorvalen.File\\Shell\\open\\command"), "/opt/on air/player file \"%1\"");
    EXPECT_EQ(classValue("Quorvalen.List\\Shell\\open\\command"), "/opt/on air/player list \"%1\"");

    media::RegisterFileTypes("/usr/bin/player");  // repeated on every call
    EXPECT_EQ(classValue("Quorvalen.File\\DefaultIcon"), "/usr/bin/player,1");
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(RegisterFileTypes, DesktopOpensBothTypesWithTheRightCommand)
{
    media::RegisterFileTypes("/opt/on air/player");
    const std::string apps = platform::xdgDataHome() + "/applications/";
    const std::string file = fileText(apps + "quorvalen-file.desktop");
    EXPECT_NE(file.find("\nExec=\"/opt/on air/player\" file %f\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\nName=Media File\n"), std::string::npos) << file;
    const std::string list = fileText(apps + "quorvalen-list.desktop");
    EXPECT_NE(list.find("\nExec=\"/opt/on air/player\" list %f\n"), std::string::npos) << list;
    const std::string defaults = fileText(platform::xdgConfigHome() + "/mimeapps.list");
    for (const char* type : {"audio/mpeg", "audio/x-wav", "audio/x-ms-wma", "audio/ogg"})
        EXPECT_NE(defaults.find(std::string(type) + "=quorvalen-file.desktop;"), std::string::npos) << type;
    EXPECT_NE(defaults.find("audio/x-mpegurl=quorvalen-list.desktop;"), std::string::npos) << defaults;
}

TEST(RegisterFileTypes, DesktopFailureIsReportedAfterEveryRegistryRow)
{
    Registry::deleteKey(RegistryRoot::ClassesRoot, "Quorvalen.List");
    const std::string saved = platform::xdgDataHome();
    QTemporaryDir dir;
    const std::string blocker = dir.filePath("blocker").toStdString();
    std::ofstream(blocker) << "not a folder";
    setenv("XDG_DATA_HOME", (blocker + "/data").c_str(), 1);
    try {
        media::RegisterFileTypes("/usr/bin/player");
        ADD_FAILURE() << "a desktop that cannot be written must be reported";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("Не удалось зарегистрировать типы файлов на рабочем столе"), std::string::npos)
            << e.what();
    }
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
    EXPECT_EQ(classValue("Quorvalen.List\\Shell\\open\\command"), "/usr/bin/player list \"%1\"");
}

TEST(RegisterFileTypes, RefusedWriteStopsTheRowsAfterIt)
{
    Registry::deleteKey(RegistryRoot::ClassesRoot, ".m3u");
    Registry::deleteKey(RegistryRoot::ClassesRoot, "Quorvalen.File");
    // A path too long for the store makes the icon row (the sixth) fail.
    const std::string longPath = "/" + std::string(4000, 'p');
    try {
        media::RegisterFileTypes(longPath);
        FAIL() << "a refused write must be reported";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for ''");
    }
    EXPECT_EQ(classValue("Quorvalen.File"), "Media File") << "rows before the failure stay";
    EXPECT_EQ(classValue(".m3u"), "<none>") << "rows after the failure are not written";
}

}  // namespace
