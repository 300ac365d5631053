// Keys as the operator types them, sent to the control that has the focus: the main window's
// keys drive the transport, while keys typed into other windows, the folder tree and text fields
// reach no transport command; the playlist's edit and undo keys act only on the focused list;
// digits start jingles; the hot keys dialog captures a new key.
#include "tests/player/manualclockwindow.h"

#include "controls/spinfloatedit.h"
#include "controls/tbar.h"
#include "controls/zrfoldertreeview.h"
#include "platform/inifile.h"
#include "platform/keys.h"
#include "player/about/dbgfrm.h"
#include "player/notes/notesfrm.h"
#include "player/form1.h"
#include "player/hotkeys/hotkeyform.h"
#include "player/playlist/playlistrows.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <filesystem>

using namespace player;

namespace {

class KeyFilterWindow : public playertest::ManualClockWindow {
protected:
    void SetUp() override
    {
        ManualClockWindow::SetUp();
        addTone("one.wav", 440, 30);
        addTone("two.wav", 660, 30);
        form->show();
        activate(form.get());
        play(0);
        for (int i = 0; i < 10; ++i)
            tick();
    }
    void activate(QWidget* window)
    {
        window->activateWindow();
        for (int i = 0; i < 100 && !window->isActiveWindow(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_TRUE(window->isActiveWindow());
    }
    void focus(QWidget* w)
    {
        activate(w->window());
        w->setFocus();
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), w);
    }
    // Brings the pages that hold w to the front.
    static void reveal(QWidget* w)
    {
        for (QWidget* c = w; c->parentWidget() != nullptr; c = c->parentWidget()) {
            if (auto* tabs = qobject_cast<QTabWidget*>(c->parentWidget()->parentWidget());
                tabs != nullptr && tabs->indexOf(c) >= 0)
                tabs->setCurrentWidget(c);
        }
    }
    // A key pressed and released as the keyboard would send it: to the focused control.
    void press(Qt::Key key, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QKeyEvent down(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, mods, text);
        QApplication::sendEvent(target, &up);
    }
    void type(const QString& text)
    {
        for (QChar c : text)
            press(static_cast<Qt::Key>(c.toUpper().unicode()), c);
    }
    std::int32_t position() { return onAir().GetPosition(); }
    bool onAirPlays() { return onAir().State() == engine::STATE_PLAY && hl() == 0; }
};

TEST_F(KeyFilterWindow, TheMainWindowsKeysDriveTheTransport)
{
    focus(form->LVMaster);
    press(Qt::Key_Space, " ");
    EXPECT_EQ(onAir().State(), engine::STATE_PAUSE);
    press(Qt::Key_Space, " ");
    EXPECT_EQ(onAir().State(), engine::STATE_PLAY);
    form->tbVolume->setValue(50);
    press(Qt::Key_Comma, ",");
    EXPECT_EQ(form->tbVolume->value(), 49);
    press(Qt::Key_Period, ".");
    press(Qt::Key_Period, ".");
    EXPECT_EQ(form->tbVolume->value(), 51);
    for (int i = 0; i < 120; ++i)
        tick();  // 6 s in
    const std::int32_t before = position();
    press(Qt::Key_Left);
    EXPECT_NEAR(position(), before - 5000, 100);
    press(Qt::Key_Right);
    EXPECT_NEAR(position(), before, 100);
    press(Qt::Key_N, "n");
    EXPECT_EQ(hl(), 1);
    press(Qt::Key_B, "b");
    EXPECT_TRUE(form->btBreak->isChecked()) << "a checkable button toggled twice";
    press(Qt::Key_R, "r");
    EXPECT_TRUE(form->btRepeat->isChecked());
    EXPECT_FALSE(form->btBreak->isChecked());
    press(Qt::Key_R, "r");
    press(Qt::Key_S, "s");
    EXPECT_EQ(hl(), -1);
    EXPECT_TRUE(form->Sequencer->userStop());
    form->LVMaster->selectRows({0});
    press(Qt::Key_Return, "\r");
    EXPECT_EQ(hl(), 0);
}

TEST_F(KeyFilterWindow, TheLockHoldsTheTransportKeys)
{
    EXPECT_EQ(form->aBlockPlayAction->shortcut(), QKeySequence(Qt::ALT | Qt::Key_B));
    form->aBlockPlayAction->trigger();
    ASSERT_TRUE(form->PlayLocked);
    focus(form->LVMaster);
    for (auto [key, text] : {std::pair{Qt::Key_S, "s"}, std::pair{Qt::Key_N, "n"}, std::pair{Qt::Key_Space, " "}}) {
        press(key, text);
        EXPECT_TRUE(onAirPlays()) << text;
    }
    press(Qt::Key_B, "b");
    EXPECT_TRUE(form->btBreak->isChecked());
}

TEST_F(KeyFilterWindow, ShortcutsOfMenusAndActionsComeFirst)
{
    focus(form->LVMaster);
    // Alt+B is the lock's shortcut, though B is the break's hot key.
    QTest::keyClick(form->LVMaster, Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(form->PlayLocked);
    EXPECT_FALSE(form->btBreak->isChecked()) << "the hot key took the shortcut's key";
    // Ctrl+S saves the list, though S is the stop's hot key.
    QTest::keyClick(form->LVMaster, Qt::Key_S, Qt::ControlModifier);
    bool asked = false;
    for (const auto& shown : messages.shown())
        asked = asked || shown.kind == "saveFileName";
    EXPECT_TRUE(asked);
    EXPECT_TRUE(onAirPlays());
    QTest::keyClick(form->LVMaster, Qt::Key_B, Qt::AltModifier);
    EXPECT_FALSE(form->PlayLocked);
    // Without a shortcut the hot key acts, whatever the modifier.
    QTest::keyClick(form->LVMaster, Qt::Key_B, Qt::ShiftModifier);
    EXPECT_TRUE(form->btBreak->isChecked());
}

TEST_F(KeyFilterWindow, TheHotKeysAnswerUntilTheOperatorChoosesTheFolderTree)
{
    // Nothing clicked yet: the keyboard is the Main list's.
    QWidget* start = QApplication::focusWidget();
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start, form->LVMaster);
    QTest::keyClick(start, Qt::Key_N);
    EXPECT_EQ(hl(), 1) << "N did nothing until a click";
    // A profile moves the tree, which takes the focus itself: its letters are still the hot keys.
    std::filesystem::create_directories(programDir.path() + "/Profile");
    std::filesystem::create_directories(programDir.path() + "/music");
    form->LoadProfile(programDir.write("Profile/Other.prf", "[Explorer]\nPath=music\n"));
    ASSERT_EQ(QApplication::focusWidget(), form->SHView);
    QTest::keyClick(form->SHView, Qt::Key_S);
    EXPECT_EQ(hl(), -1);
}

TEST_F(KeyFilterWindow, TheEditKeysAreTheListsOnlyWhileItHasTheFocus)
{
    form->LVMaster->selectRows({1});
    form->aEditCopyExecute();
    form->LVMaster->selectRows({0});  // the row on air: cutting it would stop the air
    form->LVMaster->SaveUndo();  // an undo that Ctrl+Z from elsewhere must leave alone
    auto* search = form->findChild<QLineEdit*>("edFindText");
    ASSERT_NE(search, nullptr);
    search->setEnabled(true);
    for (QWidget* control : std::initializer_list<QWidget*>{form->SHView, search, form->LVFindResult, form->title,
                                                            form->musmix, form->TBar1, form->findChild<QTreeWidget*>("rasp")}) {
        ASSERT_NE(control, nullptr);
        control->setEnabled(true);
        reveal(control);
        SCOPED_TRACE(control->objectName().toStdString());
        QApplication::clipboard()->clear();  // a crossfade edit would keep the focus on pasted junk
        focus(control);
        for (Qt::Key key : {Qt::Key_Delete, Qt::Key_V, Qt::Key_X, Qt::Key_C, Qt::Key_Z})
            QTest::keyClick(control, key, Qt::ControlModifier);
        EXPECT_EQ(form->LVMaster->rowCount(), 2);
        EXPECT_EQ(form->LVMaster->UndoDepth(), 1);
        EXPECT_TRUE(onAirPlays());
        ASSERT_EQ(controls::ClipboardRows().size(), 1u);
        EXPECT_EQ(controls::ClipboardRows()[0].SubItems[kColPath], form->LVMaster->Rows[1].SubItems[kColPath]);
    }
    // A text field edits its own text with them.
    search->setText("query");
    search->selectAll();
    focus(search);
    QTest::keyClick(search, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(search->text(), "");
    EXPECT_EQ(form->LVMaster->rowCount(), 2);

    // The popup of an empty Temp list offers nothing that needs a row.
    form->pcPlaylist->setCurrentWidget(form->_slave);
    focus(form->LVSlave);
    emit form->LVSlave->customContextMenuRequested(QPoint(5, 5));
    for (QAction* a : form->PopupMenu1->actions()) {
        if (!a->isVisible() || a->isSeparator())
            continue;
        EXPECT_EQ(a->isEnabled(), a == form->aEditPaste) << a->objectName().toStdString();
    }
    form->PopupMenu1->hide();

    // On the Main list Ctrl+Del empties it, and the air stops with its row.
    form->pcPlaylist->setCurrentWidget(form->_master);
    focus(form->LVMaster);
    QTest::keyClick(form->LVMaster, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(form->LVMaster->rowCount(), 0);
    EXPECT_NE(onAir().State(), engine::STATE_PLAY);
    QTest::keyClick(form->LVMaster, Qt::Key_Z, Qt::ControlModifier);  // and Ctrl+Z brings them back
    EXPECT_EQ(form->LVMaster->rowCount(), 2);
}

TEST_F(KeyFilterWindow, KeysTypedIntoOtherWindowsReachNoTransportCommand)
{
    // A window of its own with a text, as the notes window is.
    QWidget notes;
    notes.setObjectName("NotesFrm");
    auto* text = new QPlainTextEdit(&notes);
    (new QVBoxLayout(&notes))->addWidget(text);
    notes.show();
    focus(text);
    type("snbp 5 ");
    press(Qt::Key_Left);
    EXPECT_EQ(text->toPlainText(), "snbp 5 ");
    EXPECT_TRUE(onAirPlays()) << "typing in the notes moved the programme";
    EXPECT_FALSE(form->btBreak->isChecked());
    EXPECT_TRUE(jingleWindows().empty());
    notes.hide();

    // A dialog of the main window: Space clicks its button, the air goes on.
    QDialog dialog(form.get());
    auto* button = new QPushButton("OK", &dialog);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    dialog.show();
    focus(button);
    press(Qt::Key_Space, " ");
    type("s");
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(onAirPlays()) << "a key in a dialog paused or stopped the air";
    dialog.hide();

    // The folder tree, once the operator clicks into it: letters find folders, arrows fold them.
    activate(form.get());
    QTest::mouseClick(form->SHView->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(QApplication::focusWidget(), form->SHView);
    const std::int32_t before = position();
    type("ns5");
    press(Qt::Key_Left);
    press(Qt::Key_Right);
    EXPECT_TRUE(onAirPlays()) << "typing in the folder tree moved the programme";
    EXPECT_NEAR(position(), before, 100) << "an arrow in the tree sought the track on air";
    EXPECT_TRUE(jingleWindows().empty());
    // F5 still refreshes from there.
    int refreshes = 0;
    QObject::connect(form->Refresh1, &QAction::triggered, [&refreshes] { ++refreshes; });
    press(Qt::Key_F5);
    EXPECT_EQ(refreshes, 1);
    // The pause is no key of the tree's.
    press(Qt::Key_Space, " ");
    EXPECT_EQ(onAir().State(), engine::STATE_PAUSE);
}

TEST_F(KeyFilterWindow, ATextFieldOfTheMainWindowTypesItsKeys)
{
    auto* field = form->findChild<QLineEdit*>("edFindText");
    ASSERT_NE(field, nullptr);
    form->JingleSlots[5] = QString::fromStdString(programDir.write("j5.wav", playertest::toneWav(900, 2, kRate)));
    form->CreateDbgFrm();
    field->setEnabled(true);
    focus(field);
    type("ps5");
    EXPECT_EQ(field->text(), "ps5");
    EXPECT_TRUE(onAirPlays());
    EXPECT_TRUE(jingleWindows().empty()) << "a digit typed into the search field played a jingle";
    press(Qt::Key_D, "\x04", Qt::ControlModifier);
    EXPECT_TRUE(form->DbgFrm->isVisible()) << "Ctrl+D did not act from a text field";
    field->setReadOnly(true);
    press(Qt::Key_5, "5");
    EXPECT_EQ(jingleWindows().size(), 1u) << "a read-only field kept the digit";
}

TEST_F(KeyFilterWindow, DigitsStartJinglesAlsoFromAJingleWindow)
{
    form->JingleSlots[5] = QString::fromStdString(programDir.write("j5.wav", playertest::toneWav(900, 2, kRate)));
    form->JingleSlots[2] = QString::fromStdString(programDir.write("j2.wav", playertest::toneWav(950, 2, kRate)));
    focus(form->LVMaster);
    press(Qt::Key_5, "5", Qt::KeypadModifier);
    ASSERT_EQ(jingleWindows().size(), 1u);
    EXPECT_EQ(jingleWindows()[0]->FileName, form->JingleSlots[5]);
    press(Qt::Key_0, "0");
    EXPECT_EQ(jingleWindows().size(), 1u);
    TfrmJinPlay* first = jingleWindows()[0];
    focus(first->Button1);
    press(Qt::Key_2, "2");
    ASSERT_EQ(jingleWindows().size(), 2u);
    // Keys other than digits in a jingle window are its own: no transport.
    focus(first->Button1);
    type("s");
    EXPECT_TRUE(onAirPlays());
}

TEST_F(KeyFilterWindow, MuteNotesAndDiagnosticsReachTheirOwners)
{
    QToolButton* mute = form->SpeedButton11;
    ASSERT_NE(mute, nullptr);
    form->CreateDbgFrm();
    form->CreateNotesFrm();
    focus(form->LVMaster);
    press(Qt::Key_M, "m");
    EXPECT_TRUE(mute->isChecked()) << "a checkable button toggled twice";
    EXPECT_TRUE(form->MuteActive);
    press(Qt::Key_G, "g");
    EXPECT_FALSE(mute->isChecked());
    EXPECT_FALSE(form->MuteActive);
    press(Qt::Key_T, "t");
    EXPECT_TRUE(form->NotesFrm->isVisible());
    focus(form->LVMaster);
    press(Qt::Key_D, "\x04", Qt::ControlModifier);
    EXPECT_TRUE(form->DbgFrm->isVisible());
    focus(form->LVMaster);
    press(Qt::Key_D, "d");
    EXPECT_TRUE(form->DbgFrm->isVisible()) << "a plain D toggled the diagnostics";
}

TEST_F(KeyFilterWindow, TheHotKeysDialogCapturesANewLetter)
{
    form->N48->trigger();
    auto* dialog = form->findChild<TfrmHK*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "Hot keys");
    EXPECT_EQ(dialog->HintLabel->text(), "Click on white box to change hot key");
    auto* stop = dialog->findChild<QLabel*>("Panel2");
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->text(), "S");
    EXPECT_EQ(dialog->findChild<QLabel*>("Panel7")->text(), "T");
    focus(dialog->SpeedButton2);
    // Keys in the dialog reach neither the dialog's capture nor the main window.
    type("s");
    EXPECT_TRUE(onAirPlays());
    EXPECT_EQ(form->HotKeys[kHotKeyStop], 'S');

    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(2, 2), stop->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
    const QSize size = dialog->size();
    QApplication::sendEvent(stop, &click);
    EXPECT_TRUE(dialog->CapturePanel->isVisible());
    press(Qt::Key_1, "1");
    EXPECT_TRUE(dialog->capturing()) << "a digit was taken as a hot key";
    QCoreApplication::processEvents();
    press(Qt::Key_Escape, "\x1b");
    EXPECT_FALSE(dialog->CapturePanel->isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog->size(), size) << "the dialog kept the size it grew for the capture";
    EXPECT_EQ(form->HotKeys[kHotKeyStop], 'S');
    EXPECT_TRUE(dialog->isVisible()) << "Esc closed the dialog instead of the capture";

    QApplication::sendEvent(stop, &click);
    press(Qt::Key_Q, "q");
    EXPECT_FALSE(dialog->CapturePanel->isVisible());
    EXPECT_EQ(form->HotKeys[kHotKeyStop], 'Q');
    EXPECT_EQ(stop->text(), "Q");
    // From a Cyrillic layout the physical key counts: the key of "й" is Q.
    QApplication::sendEvent(dialog->findChild<QLabel*>("Panel3"), &click);
    press(static_cast<Qt::Key>(0x0419), QString::fromUtf8("й"));
    EXPECT_EQ(form->HotKeys[kHotKeyNext], 'Q');
    dialog->SpeedButton2->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->findChild<TfrmHK*>(), nullptr) << "the dialog was not freed";

    // The new key is in force at once.
    focus(form->LVMaster);
    press(Qt::Key_Q, "q");
    EXPECT_EQ(hl(), -1);
}

TEST_F(KeyFilterWindow, TheProfileKeepsTheHotKeys)
{
    std::filesystem::create_directories(programDir.path() + "/Profile");
    const std::string profile = programDir.write("Profile/Keys.prf", "[HotKeys]\nhk1=75\nhk3=$4C\nhk7=junk\n");
    form->LoadProfile(profile);
    EXPECT_EQ(form->HotKeys[kHotKeyPlay], 'K');
    EXPECT_EQ(form->HotKeys[kHotKeyNext], 'L');
    EXPECT_EQ(form->HotKeys[kHotKeyNotes], 'T');
    EXPECT_EQ(form->HotKeys[kHotKeyStop], 'S');
    form->HotKeys[kHotKeyMute] = 'X';
    const std::string saved = programDir.path() + "/Profile/Saved.prf";
    form->SaveProfile(saved);
    const platform::IniFile ini(saved);
    EXPECT_EQ(ini.readInteger("HotKeys", "hk1", 0), 'K');
    EXPECT_EQ(ini.readInteger("HotKeys", "hk6", 0), 'X');
    EXPECT_EQ(ini.readInteger("HotKeys", "hk7", 0), 'T');
}

}  // namespace
