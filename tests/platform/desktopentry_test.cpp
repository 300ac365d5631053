// Launcher text: the Exec line must give the program back exactly, whatever its path holds, when
// a desktop undoes the quoting; checked with a decoder written from the launcher rules and, where
// installed, with the desktop's own launcher tool.
#include "platform/desktopentry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <fstream>

using namespace platform;

namespace {

// Undoes a launcher's Exec value the way a desktop does: string escapes, then argument quoting,
// then the field codes, with `file` for %f.
std::vector<std::string> launchedArguments(const std::string& value, const std::string& file)
{
    std::string line;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            line += value[i];
            continue;
        }
        const char next = value[++i];
        line += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
    }
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                // Inside quotes exactly these four are escaped, and must be.
                const bool special = std::string("`$\\").find(line[i]) != std::string::npos;
                if (line[i] == '\\' && i + 1 < line.size() && std::string("\"`$\\").find(line[i + 1]) != std::string::npos)
                    ++i;
                else if (special)
                    ADD_FAILURE() << "unescaped " << line[i] << " in " << line;
                word += line[i];
            }
            EXPECT_LT(i, line.size()) << "unterminated quote in " << line;
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ')
                word += line[i++];
        }
        words.push_back(word);
    }
    for (auto& word : words) {
        std::string expanded;
        for (std::size_t k = 0; k < word.size(); ++k) {
            if (word[k] == '%' && k + 1 < word.size()) {
                expanded += word[k + 1] == 'f' ? file : std::string(1, word[k + 1]);
                ++k;
            } else {
                expanded += word[k];
            }
        }
        word = expanded;
    }
    return words;
}

TEST(DesktopExecLine, GivesBackEveryAwkwardProgramPath)
{
    const std::vector<std::string> programs = {
        "/usr/bin/player",
        "/opt/on air/player",
        "/opt/it's \"here\"/player",
        "/opt/a\\b/$HOME/`id`/player",
        "/opt/100%/%f/player",
        "/opt/~x;y|z&(1)*?#<>/player",
        "/opt/tab\there/new\nline/player",
        "/opt/Радио/player",
    };
    for (const auto& program : programs) {
        const auto value = execValue(program, {"file"});
        ASSERT_TRUE(value) << program;
        EXPECT_EQ(value->find('\n'), std::string::npos) << "a line break would end the key";
        const std::vector<std::string> expected = {program, "file", "/music/a b.mp3"};
        EXPECT_EQ(launchedArguments(*value, "/music/a b.mp3"), expected) << *value;
    }
}

TEST(DesktopExecLine, PlainPathStaysUnquotedAndArgumentsAreQuotedToo)
{
    EXPECT_EQ(execValue("/usr/bin/Base", {}), "/usr/bin/Base %f");
    const auto value = execValue("/usr/bin/player", {"two words", ""});
    ASSERT_TRUE(value);
    const std::vector<std::string> expected = {"/usr/bin/player", "two words", "", "F"};
    EXPECT_EQ(launchedArguments(*value, "F"), expected);
}

TEST(DesktopExecLine, RefusesWhatTheFileCannotHold)
{
    EXPECT_FALSE(execValue("", {}));
    EXPECT_FALSE(execValue(std::string("/opt/a\0b", 8), {}));
    EXPECT_FALSE(execValue("/opt/\xC0\xFF/player", {}));
    EXPECT_FALSE(execValue("/opt/player", {"\xE9t\xE9"}));
    EXPECT_FALSE(desktopEntryText("Bad \xFF name", "/opt/player", {}, {"audio/mpeg"}));
    EXPECT_FALSE(desktopEntryText("Name", "/opt/player", {}, {"audio/mpeg"}, "bad\xFF"));
    const auto withIcon = desktopEntryText("Name", "/opt/player", {}, {"audio/mpeg"}, "quorvalen-file");
    ASSERT_TRUE(withIcon);
    EXPECT_NE(withIcon->find("\nName=Name\nIcon=quorvalen-file\n"), std::string::npos) << *withIcon;
}

// The desktop's own launcher starts a script installed under an awkward path and records what it
// was given. ("%" is left out of the path: that launcher looks the program up before it turns
// "%%" back into "%", so such a path cannot be launched by it at all.)
TEST(DesktopEntry, DesktopLauncherStartsTheProgramWithTheFile)
{
    const QString gio = QStandardPaths::findExecutable("gio");
    if (gio.isEmpty())
        GTEST_SKIP() << "gio is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString() + "/on air's \"x\" $HOME `y` a\\b";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    const std::string program = folder + "/play er";
    const std::string record = dir.path().toStdString() + "/args.txt";
    {
        std::ofstream script(program);
        script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << record << ".part'\n"
               << "mv '" << record << ".part' '" << record << "'\n";
    }
    QFile::setPermissions(QString::fromStdString(program), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto text = desktopEntryText("Media File", program, {"file"}, {"audio/mpeg"});
    ASSERT_TRUE(text);
    const QString launcher = dir.filePath("quorvalen-test.desktop");
    {
        std::ofstream(launcher.toStdString()) << *text;
    }
    const QString opened = dir.filePath("my song.mp3");
    ASSERT_EQ(QProcess::execute(gio, {"launch", launcher, opened}), 0);
    for (int i = 0; i < 200 && !QFile::exists(QString::fromStdString(record)); ++i)
        QThread::msleep(25);
    std::ifstream in(record);
    std::vector<std::string> got;
    for (std::string line; std::getline(in, line);)
        got.push_back(line);
    const std::vector<std::string> expected = {"file", opened.toStdString()};
    EXPECT_EQ(got, expected);
}

}  // namespace
