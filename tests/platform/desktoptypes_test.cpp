// Registering a file type with the desktop in private data and config folders: the launcher, the
// default-application entries, our own MIME package and its database refresh, and failures that
// leave the user's files as they were.
#include "platform/desktoptypes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

using namespace platform;

namespace {

class EnvVar {
public:
    explicit EnvVar(const char* name) : m_name(name)
    {
        if (const char* v = std::getenv(name))
            m_old = v;
    }
    ~EnvVar()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }
    EnvVar(const EnvVar&) = delete;
    EnvVar& operator=(const EnvVar&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class DesktopTypes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_data = m_dir.path().toStdString() + "/data";
        m_config = m_dir.path().toStdString() + "/config";
        setenv("XDG_DATA_HOME", m_data.c_str(), 1);
        setenv("XDG_CONFIG_HOME", m_config.c_str(), 1);
    }

    // PATH holds only a folder with (or without) a stand-in update-mime-database that logs its
    // arguments.
    void useMimeTool(bool present)
    {
        const std::string bin = m_dir.path().toStdString() + "/bin";
        QDir().mkpath(QString::fromStdString(bin));
        if (present) {
            const std::string tool = bin + "/update-mime-database";
            std::ofstream(tool) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << m_dir.path().toStdString()
                                << "/tool.log'\n: > \"$1/mime.cache\"\n";
            QFile::setPermissions(QString::fromStdString(tool),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        setenv("PATH", bin.c_str(), 1);
    }
    std::string toolLog() const { return readAll(m_dir.path().toStdString() + "/tool.log"); }

    static DesktopFileType mediaType() { return {"quorvalen-file", "Media File", {"file"}, {".mp3", ".OGG"}}; }
    static DesktopFileType baseType() { return {"quorvalen-dfs", "Music base", {}, {"dfs"}}; }

    EnvVar m_savedData{"XDG_DATA_HOME"};
    EnvVar m_savedConfig{"XDG_CONFIG_HOME"};
    EnvVar m_savedPath{"PATH"};
    EnvVar m_savedHome{"HOME"};
    QTemporaryDir m_dir;
    std::string m_data;
    std::string m_config;
};

TEST_F(DesktopTypes, LauncherAndDefaultsAreWritten)
{
    useMimeTool(true);
    ASSERT_TRUE(registerDesktopFileType(mediaType(), "/opt/on air/player"));
    const std::string entry = readAll(m_data + "/applications/quorvalen-file.desktop");
    EXPECT_EQ(entry.rfind("[Desktop Entry]\nType=Application\n", 0), 0u) << entry;
    EXPECT_NE(entry.find("\nNoDisplay=true\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nName=Media File\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nExec=\"/opt/on air/player\" file %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nMimeType=audio/mpeg;audio/ogg;audio/x-vorbis+ogg;\n"), std::string::npos) << entry;
    const std::string list = readAll(m_config + "/mimeapps.list");
    for (const char* type : {"audio/mpeg", "audio/ogg", "audio/x-vorbis+ogg"})
        EXPECT_NE(list.find(std::string(type) + "=quorvalen-file.desktop;\n"), std::string::npos) << list;
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_data + "/mime/packages/quorvalen-file.xml")))
        << "standard types need no package of ours";
    EXPECT_EQ(toolLog(), "") << "nor a database refresh";
}

TEST_F(DesktopTypes, ATypesIconIsInstalledAndNamedByItsLauncher)
{
    useMimeTool(false);
    DesktopFileType type = mediaType();
    EXPECT_EQ(readAll(m_data + "/applications/quorvalen-file.desktop").find("Icon="), std::string::npos);
    type.iconPng = std::string("\x89PNG\r\n\x1a\n", 8) + "picture";
    ASSERT_TRUE(registerDesktopFileType(type, "/usr/bin/player"));
    EXPECT_EQ(readAll(m_data + "/icons/hicolor/32x32/apps/quorvalen-file.png"), type.iconPng);
    const std::string entry = readAll(m_data + "/applications/quorvalen-file.desktop");
    EXPECT_NE(entry.find("\nIcon=quorvalen-file\n"), std::string::npos) << entry;
    // Without a picture the launcher names none.
    ASSERT_TRUE(registerDesktopFileType(mediaType(), "/usr/bin/player"));
    EXPECT_EQ(readAll(m_data + "/applications/quorvalen-file.desktop").find("Icon="), std::string::npos);
}

TEST_F(DesktopTypes, SecondTypeKeepsTheFirstAndTheUsersEntries)
{
    useMimeTool(false);
    QDir().mkpath(QString::fromStdString(m_config));
    const std::string user = "# mine\n[Default Applications]\naudio/mpeg=vlc.desktop;\ntext/plain=ed.desktop;\n";
    std::ofstream(m_config + "/mimeapps.list") << user;
    ASSERT_TRUE(registerDesktopFileType(mediaType(), "/usr/bin/player"));
    ASSERT_TRUE(registerDesktopFileType({"quorvalen-list", "Playlist File", {"list"}, {".m3u"}}, "/usr/bin/player"));
    const std::string list = readAll(m_config + "/mimeapps.list");
    EXPECT_EQ(list.rfind("# mine\n[Default Applications]\naudio/mpeg=quorvalen-file.desktop;vlc.desktop;\n"
                         "text/plain=ed.desktop;\n",
                         0),
              0u)
        << list;
    EXPECT_NE(list.find("audio/x-mpegurl=quorvalen-list.desktop;\n"), std::string::npos) << list;
    EXPECT_NE(list.find("audio/ogg=quorvalen-file.desktop;\n"), std::string::npos) << list;
}

TEST_F(DesktopTypes, OwnTypeGetsAPackageAndARefreshedDatabase)
{
    useMimeTool(true);
    ASSERT_TRUE(registerDesktopFileType(baseType(), "/usr/bin/Base"));
    const std::string package = readAll(m_data + "/mime/packages/quorvalen-dfs.xml");
    EXPECT_NE(package.find("<mime-type type=\"application/x-quorvalen-dfs\">"), std::string::npos) << package;
    EXPECT_NE(package.find("<glob pattern=\"*.dfs\"/>"), std::string::npos) << package;
    EXPECT_NE(package.find("<comment>Music base</comment>"), std::string::npos) << package;
    EXPECT_EQ(toolLog(), m_data + "/mime\n");
    EXPECT_NE(readAll(m_config + "/mimeapps.list").find("application/x-quorvalen-dfs=quorvalen-dfs.desktop;"),
              std::string::npos);
    EXPECT_NE(readAll(m_data + "/applications/quorvalen-dfs.desktop").find("\nExec=/usr/bin/Base %f\n"),
              std::string::npos);

    // Every start registers again; an unchanged package with a built database is not refreshed.
    ASSERT_TRUE(registerDesktopFileType(baseType(), "/usr/bin/Base"));
    EXPECT_EQ(toolLog(), m_data + "/mime\n");
}

TEST_F(DesktopTypes, MissingMimeToolIsNoFailure)
{
    useMimeTool(false);
    EXPECT_TRUE(registerDesktopFileType(baseType(), "/usr/bin/Base"));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(m_data + "/mime/packages/quorvalen-dfs.xml")));
}

// The installed shared-mime-info tool must accept our package and map the glob to our type.
TEST_F(DesktopTypes, RealMimeDatabaseKnowsOurType)
{
    if (QStandardPaths::findExecutable("update-mime-database").isEmpty())
        GTEST_SKIP() << "update-mime-database is not installed";
    ASSERT_TRUE(registerDesktopFileType(baseType(), "/usr/bin/Base"));
    EXPECT_NE(readAll(m_data + "/mime/globs2").find("application/x-quorvalen-dfs:*.dfs"), std::string::npos);
}

TEST_F(DesktopTypes, FailuresLeaveTheUsersListAlone)
{
    useMimeTool(false);
    EXPECT_FALSE(registerDesktopFileType({"bad/id", "X", {}, {"mp3"}}, "/usr/bin/player"));
    EXPECT_FALSE(registerDesktopFileType({"quorvalen-x", "X", {}, {"a b"}}, "/usr/bin/player"));
    EXPECT_FALSE(registerDesktopFileType({"quorvalen-x", "X", {}, {}}, "/usr/bin/player"));
    EXPECT_FALSE(registerDesktopFileType(mediaType(), "/opt/\xFF/player"));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_config + "/mimeapps.list")));

    // A list that cannot be read whole is not rewritten.
    QDir().mkpath(QString::fromStdString(m_config + "/mimeapps.list"));
    EXPECT_FALSE(registerDesktopFileType(mediaType(), "/usr/bin/player"));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(m_config + "/mimeapps.list")).isDir());
    QDir(QString::fromStdString(m_config + "/mimeapps.list")).removeRecursively();
    const std::string huge = "[Default Applications]\n" + std::string(5 * 1024 * 1024, '#') + "\n";
    std::ofstream(m_config + "/mimeapps.list") << huge;
    EXPECT_FALSE(registerDesktopFileType(mediaType(), "/usr/bin/player"));
    EXPECT_EQ(readAll(m_config + "/mimeapps.list"), huge);

    // A data folder that cannot be made fails before the list is touched.
    std::ofstream(m_config + "/mimeapps.list", std::ios::trunc) << "[Default Applications]\n";
    std::ofstream(m_dir.path().toStdString() + "/blocker") << "x";
    setenv("XDG_DATA_HOME", (m_dir.path().toStdString() + "/blocker/data").c_str(), 1);
    EXPECT_FALSE(registerDesktopFileType(mediaType(), "/usr/bin/player"));
    EXPECT_EQ(readAll(m_config + "/mimeapps.list"), "[Default Applications]\n");
}

TEST_F(DesktopTypes, ListBehindALinkIsWrittenThroughIt)
{
    useMimeTool(false);
    const std::string target = m_dir.path().toStdString() + "/dotfiles/mimeapps.list";
    QDir().mkpath(QString::fromStdString(m_dir.path().toStdString() + "/dotfiles"));
    QDir().mkpath(QString::fromStdString(m_config));
    std::ofstream(target) << "[Other]\nk=v\n";
    ASSERT_TRUE(QFile::link(QString::fromStdString(target), QString::fromStdString(m_config + "/mimeapps.list")));
    ASSERT_TRUE(registerDesktopFileType(mediaType(), "/usr/bin/player"));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(m_config + "/mimeapps.list")).isSymLink());
    EXPECT_EQ(readAll(target).rfind("[Other]\nk=v\n\n[Default Applications]\naudio/mpeg=quorvalen-file.desktop;\n", 0),
              0u)
        << readAll(target);
}

// The player and the database program may register at the same moment; neither may lose the
// other's entries in the shared list.
TEST_F(DesktopTypes, RegistrationsAtOnceLoseNoEntry)
{
    useMimeTool(false);
    constexpr int kEach = 15;
    auto registerMany = [](char prefix, std::atomic<bool>* ok) {
        for (int i = 0; i < kEach; ++i) {
            const std::string ext = std::string(1, prefix) + std::to_string(i);
            if (!registerDesktopFileType({"quorvalen-" + ext, "T", {}, {ext}}, "/usr/bin/Base"))
                ok->store(false);
        }
    };
    std::atomic<bool> okA{true}, okB{true};
    std::thread a(registerMany, 'a', &okA);
    std::thread b(registerMany, 'b', &okB);
    a.join();
    b.join();
    EXPECT_TRUE(okA && okB);
    const std::string list = readAll(m_config + "/mimeapps.list");
    for (const char prefix : {'a', 'b'}) {
        for (int i = 0; i < kEach; ++i) {
            const std::string ext = std::string(1, prefix) + std::to_string(i);
            EXPECT_NE(list.find("application/x-quorvalen-" + ext + "=quorvalen-" + ext + ".desktop;\n"),
                      std::string::npos)
                << ext;
        }
    }
}

TEST(DesktopFolders, RelativeOrMissingValuesFallBackToHome)
{
    const EnvVar data("XDG_DATA_HOME"), config("XDG_CONFIG_HOME"), home("HOME");
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_DATA_HOME", "relative/data", 1);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(xdgDataHome(), "/home/someone/.local/share");
    EXPECT_EQ(xdgConfigHome(), "/home/someone/.config");
    setenv("XDG_DATA_HOME", "/x/data/", 1);
    EXPECT_EQ(xdgDataHome(), "/x/data");
}

TEST(DesktopMimeTypes, StandardTypesElseOurOwn)
{
    EXPECT_EQ(mimeTypesForExtension(".MP3"), std::vector<std::string>{"audio/mpeg"});
    EXPECT_EQ(mimeTypesForExtension("wav"), std::vector<std::string>{"audio/x-wav"});
    EXPECT_EQ(mimeTypesForExtension(".wma"), std::vector<std::string>{"audio/x-ms-wma"});
    EXPECT_EQ(mimeTypesForExtension(".m3u"), std::vector<std::string>{"audio/x-mpegurl"});
    EXPECT_EQ(mimeTypesForExtension(".Dfs"), std::vector<std::string>{"application/x-quorvalen-dfs"});
    EXPECT_TRUE(mimeTypesForExtension("").empty());
    EXPECT_TRUE(mimeTypesForExtension(".").empty());
    EXPECT_TRUE(mimeTypesForExtension("../x").empty());
}

}  // namespace
