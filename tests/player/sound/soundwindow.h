// The main window for the sound controls' tests: created on the "no sound" device's manual clock
// with a band table in system.ini, its timers stopped, and recording decks in deck A's and deck B's
// roles when a test asks for them.
#pragma once

#include "recordingdeck.h"

#include "audiolib/audiolib.h"
#include "platform/inifile.h"
#include "player/form1.h"
#include "player/profiles/profilehooks.h"
#include "player/sound/sounddeck.h"
#include "tests/player/windowfixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <string>

namespace soundtest {

inline const std::string kTwelveBands =
    "[Device]\r\nMainDev=0\r\n[Equalizer]\r\nBandsNum=12\r\nFreq0=60\r\nFreq1=170\r\nFreq2=310\r\nFreq3=600\r\n"
    "Freq4=1000\r\nFreq5=1500\r\nFreq6=3000\r\nFreq7=6000\r\nFreq8=12000\r\nFreq9=14000\r\nFreq10=16000\r\n"
    "Freq11=999\r\n";

class SoundWindow : public playertest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        audiolib::setManualClock(true);
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        audiolib::setManualClock(false);
    }
    // The window after FormCreate and the showing's band labels and preset lists.
    player::TForm1& open(const std::string& systemIni = kTwelveBands)
    {
        programDir.write("system.ini", systemIni);
        makeForm().FormCreate();
        form->maintimer->stop();
        form->vistimer->stop();
        form->Timer1->stop();
        form->SoundShow();
        return *form;
    }
    // Recording decks in place of the window's own.
    RecordingRoles& recordDecks()
    {
        auto* roles = new RecordingRoles;
        form->SoundDecks.reset(roles);
        return *roles;
    }
    // The sound controls' share of a profile holding text, loaded as a profile load does.
    void loadSoundProfile(const std::string& text)
    {
        form->LoadSoundProfile(platform::IniFile(programDir.write("Test.prf", text)), player::ProfileLoad{});
    }
    // A preset box's text replaced by typing, as the operator does.
    static void type(QComboBox* box, const QString& text)
    {
        box->lineEdit()->selectAll();
        box->lineEdit()->insert(text);
    }
    // A name chosen from a preset box's list, as the operator does: the list opened, the row taken
    // with Enter.
    static void choose(QComboBox* box, const QString& name)
    {
        box->showPopup();
        box->view()->setCurrentIndex(box->model()->index(box->findText(name), 0));
        QTest::keyClick(box->view(), Qt::Key_Return);
    }
    std::string presetPath(const std::string& relative) const { return programDir.path() + "/Presets/" + relative; }
    std::string writePreset(const std::string& relative, const std::string& bytes) const
    {
        std::filesystem::create_directories(std::filesystem::path(presetPath(relative)).parent_path());
        return programDir.write("Presets/" + relative, bytes);
    }
};

}  // namespace soundtest
