// Boxes with nobody to click them: kept during a start and shown later, logged during an end.
#include "platform/recordedusermessages.h"
#include "platform/unattendedmessages.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace platform;

TEST(HeldMessages, InformingBoxesWaitQuestionsAndDialogsDoNot)
{
    RecordedUserMessages screen;
    screen.pushAnswer(IDNO);
    HeldUserMessages held(screen);
    EXPECT_EQ(held.messageBox("Error: -1, \r\nFile: /ro/Report\r\nFunc: CreateDir (Report)", "Player: Error",
                              MB_ICONERROR),
              IDOK);
    EXPECT_EQ(held.messageBox("second", "c", MB_OK | MB_ICONWARNING), IDOK);
    EXPECT_TRUE(screen.shown().empty()) << "nothing is shown while held";
    // A question needs its answer now.
    EXPECT_EQ(held.messageBox("Save?", "q", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    screen.pushText("/lists/a.m3u");
    EXPECT_EQ(held.openFileName("Open", "M3U Playlist|*.m3u", ""), "/lists/a.m3u");
    ASSERT_EQ(screen.shown().size(), 2u);

    const auto kept = held.takeHeld();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].caption, "Player: Error");
    EXPECT_EQ(kept[0].flags, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(kept[1].text, "second");
    EXPECT_TRUE(held.takeHeld().empty()) << "taken once";
}

TEST(LoggedMessages, EveryBoxGoesToTheLogAndGetsItsDefaultButton)
{
    QTemporaryDir dir;
    const std::string log = dir.filePath("player.log").toStdString();
    LoggedUserMessages logged(log);
    EXPECT_EQ(logged.messageBox("Error: -1, \r\nFile: /p/Default.prf\r\nFunc: TIniFile.Create (No space left on device)",
                                "Player: Error", MB_ICONERROR),
              IDOK);
    EXPECT_EQ(logged.messageBox("Save?", "q", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(logged.saveFileName("Save as", "M3U Playlist|*.m3u", "", "m3u"), std::nullopt);
    std::ifstream in(log);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Player: Error: Error: -1,  File: /p/Default.prf Func: TIniFile.Create (No space left on device)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("q: Save?\n"), std::string::npos);
    EXPECT_NE(text.find("Save as: save dialog not shown\n"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << "one line per report";

    // A log that cannot be written costs only the file: the error output still has it.
    LoggedUserMessages nowhere(dir.filePath("no such folder/player.log").toStdString());
    EXPECT_EQ(nowhere.messageBox("x", "y", MB_OKCANCEL), IDOK);
}

TEST(LoggedMessages, DefaultButtons)
{
    EXPECT_EQ(defaultAnswer(MB_OK), IDOK);
    EXPECT_EQ(defaultAnswer(MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(defaultAnswer(MB_YESNO), IDYES);
    EXPECT_EQ(defaultAnswer(MB_ABORTRETRYIGNORE | MB_DEFBUTTON2), IDRETRY);
    EXPECT_EQ(defaultAnswer(MB_RETRYCANCEL), IDRETRY);
}
