// Editing the user's mimeapps.list: our keys become ours, everything else in the file survives
// byte for byte, also when the file is damaged.
#include "platform/mimeappslist.h"

#include <gtest/gtest.h>

#include <random>

using namespace platform;

namespace {

const std::vector<std::string> kTypes = {"audio/mpeg", "audio/x-wav"};
constexpr const char* kId = "quorvalen-file.desktop";

TEST(MimeAppsMerge, KeepsForeignLinesGroupsAndComments)
{
    const std::string user = "# my associations\n"
                             "[Added Associations]\n"
                             "audio/mpeg=vlc.desktop;\n"
                             "\n"
                             "[Default Applications]\n"
                             "text/plain=gedit.desktop;\n"
                             "audio/mpeg = vlc.desktop;mpv.desktop;\n"
                             "; odd comment\n"
                             "\n"
                             "[Removed Associations]\n"
                             "image/png=gimp.desktop;\n";
    const std::string expected = "# my associations\n"
                                 "[Added Associations]\n"
                                 "audio/mpeg=vlc.desktop;\n"
                                 "\n"
                                 "[Default Applications]\n"
                                 "text/plain=gedit.desktop;\n"
                                 "audio/mpeg=quorvalen-file.desktop;vlc.desktop;mpv.desktop;\n"
                                 "; odd comment\n"
                                 "audio/x-wav=quorvalen-file.desktop;\n"
                                 "\n"
                                 "[Removed Associations]\n"
                                 "image/png=gimp.desktop;\n";
    EXPECT_EQ(setDefaultApplications(user, kTypes, kId), expected);
}

TEST(MimeAppsMerge, RepeatedRegistrationChangesNothingMore)
{
    const std::string user = "[Default Applications]\naudio/mpeg=mpv.desktop;quorvalen-file.desktop;\n";
    const std::string once = setDefaultApplications(user, kTypes, kId);
    EXPECT_EQ(once, "[Default Applications]\naudio/mpeg=quorvalen-file.desktop;mpv.desktop;\n"
                    "audio/x-wav=quorvalen-file.desktop;\n");
    EXPECT_EQ(setDefaultApplications(once, kTypes, kId), once);
}

TEST(MimeAppsMerge, NewOrEmptyFileGetsTheGroup)
{
    const std::string group = "[Default Applications]\naudio/mpeg=quorvalen-file.desktop;\n"
                              "audio/x-wav=quorvalen-file.desktop;\n";
    EXPECT_EQ(setDefaultApplications("", kTypes, kId), group);
    // A last line without its line end keeps its bytes and is ended before the new group.
    EXPECT_EQ(setDefaultApplications("[Added Associations]\nx/y=a.desktop;", kTypes, kId),
              "[Added Associations]\nx/y=a.desktop;\n\n" + group);
}

TEST(MimeAppsMerge, EveryCopyOfAKeyAndEveryLineEndIsKept)
{
    // Two groups of the same name (readers merge them) and a CRLF file.
    const std::string user = "[Default Applications]\r\naudio/mpeg=a.desktop\r\n[Other]\r\nk=v\r\n"
                             "[Default Applications]\r\naudio/mpeg=b.desktop;\r\n";
    EXPECT_EQ(setDefaultApplications(user, kTypes, kId),
              "[Default Applications]\r\naudio/mpeg=quorvalen-file.desktop;a.desktop;\r\n"
              "audio/x-wav=quorvalen-file.desktop;\r\n[Other]\r\nk=v\r\n"
              "[Default Applications]\r\naudio/mpeg=quorvalen-file.desktop;b.desktop;\r\n");
}

TEST(MimeAppsMerge, DamagedTextSurvivesAroundOurKeys)
{
    const std::string damaged = std::string("\xFF\xFE garbage\n[Default Applications\n") +
                                std::string("audio/mpeg\0=x\n", 14) +
                                "[Default Applications]\n"
                                "=no key\n"
                                "just words\n"
                                "audio/x-wav=\xE9t\xE9.desktop;;;\n"
                                "[unterminated\n"  // no group: the keys after it are still ours
                                "audio/mpeg=kept.desktop;";
    const std::string expected = std::string("\xFF\xFE garbage\n[Default Applications\n") +
                                 std::string("audio/mpeg\0=x\n", 14) +
                                 "[Default Applications]\n"
                                 "=no key\n"
                                 "just words\n"
                                 "audio/x-wav=quorvalen-file.desktop;\xE9t\xE9.desktop;\n"
                                 "[unterminated\n"
                                 "audio/mpeg=quorvalen-file.desktop;kept.desktop;";
    EXPECT_EQ(setDefaultApplications(damaged, kTypes, kId), expected);
}

// Random text: no crash, our keys are there afterwards, a second pass changes nothing, and no
// byte of the input outside our keys' lines disappears (checked by counting).
TEST(MimeAppsMerge, RandomBytesAreHandledSafely)
{
    std::mt19937 random(20261208);
    const std::string alphabet = std::string("[]=;#\n\r \t\0\xFF", 11) + "Default Applications audio/mpeg x-wav";
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        if (round % 3 == 0)
            text = "[Default Applications]\n" + text;
        const std::string once = setDefaultApplications(text, kTypes, kId);
        EXPECT_NE(once.find("audio/mpeg=quorvalen-file.desktop;"), std::string::npos) << text;
        EXPECT_NE(once.find("audio/x-wav=quorvalen-file.desktop;"), std::string::npos) << text;
        EXPECT_EQ(setDefaultApplications(once, kTypes, kId), once) << text;
        EXPECT_GE(std::count(once.begin(), once.end(), '['), std::count(text.begin(), text.end(), '['));
        EXPECT_GE(std::count(once.begin(), once.end(), '#'), std::count(text.begin(), text.end(), '#'));
    }
}

}  // namespace
