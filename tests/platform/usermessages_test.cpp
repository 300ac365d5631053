// User messages: the Qt boxes (driven offscreen), the conversions they use, and the scripted
// service that tests of the programs rely on.
#include "platform/recordedusermessages.h"
#include "platform/usermessagesqt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace platform;

namespace {

// Waits for the next modal message box, remembers its text and presses the given button.
void answerNextBox(QMessageBox::StandardButton button, QString* text, QString* title)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        *text = box->text();
        *title = box->windowTitle();
        if (QAbstractButton* b = box->button(button))
            b->click();
        else
            box->reject();
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
}

}  // namespace

TEST(UserMessageText, CarriageReturnsBecomeLineBreaks)
{
    EXPECT_EQ(toDisplayLineBreaks("a\r\nb\r\rc\rd\ne"), "a\nb\nc\nd\ne");
    EXPECT_EQ(toDisplayLineBreaks("end\r"), "end\n");
    EXPECT_EQ(toDisplayLineBreaks("\r\r\n"), "\n\n");
    EXPECT_EQ(toDisplayLineBreaks(""), "");
}

TEST(QtMessageMapping, ButtonSetsIconsDefaultsAndAnswers)
{
    using B = QMessageBox::StandardButton;
    EXPECT_EQ(qtmessages::buttons(MB_OK), (std::vector<B>{QMessageBox::Ok}));
    EXPECT_EQ(qtmessages::buttons(MB_YESNOCANCEL | MB_ICONQUESTION),
              (std::vector<B>{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}));
    EXPECT_EQ(qtmessages::buttons(MB_ABORTRETRYIGNORE),
              (std::vector<B>{QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}));
    EXPECT_EQ(qtmessages::buttons(MB_RETRYCANCEL), (std::vector<B>{QMessageBox::Retry, QMessageBox::Cancel}));
    EXPECT_EQ(qtmessages::defaultButton(MB_YESNO), QMessageBox::Yes);
    EXPECT_EQ(qtmessages::defaultButton(MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING), QMessageBox::No);
    EXPECT_EQ(qtmessages::defaultButton(MB_OK | MB_DEFBUTTON2), QMessageBox::Ok);
    EXPECT_EQ(qtmessages::icon(MB_OKCANCEL | MB_ICONERROR), QMessageBox::Critical);
    EXPECT_EQ(qtmessages::icon(MB_ICONQUESTION), QMessageBox::Question);
    EXPECT_EQ(qtmessages::icon(MB_YESNO | MB_ICONWARNING), QMessageBox::Warning);
    EXPECT_EQ(qtmessages::icon(MB_ICONINFORMATION), QMessageBox::Information);
    EXPECT_EQ(qtmessages::icon(MB_OK), QMessageBox::NoIcon);
    EXPECT_EQ(qtmessages::answer(QMessageBox::Yes), IDYES);
    EXPECT_EQ(qtmessages::answer(QMessageBox::No), IDNO);
    EXPECT_EQ(qtmessages::answer(QMessageBox::Abort), IDABORT);
    EXPECT_EQ(qtmessages::answer(QMessageBox::Retry), IDRETRY);
    EXPECT_EQ(qtmessages::answer(QMessageBox::Ignore), IDIGNORE);
    EXPECT_EQ(qtmessages::answer(QMessageBox::Cancel), IDCANCEL);
}

TEST(QtMessageMapping, FiltersAndColours)
{
    EXPECT_EQ(qtmessages::fileFilter("Playlists|*.m3u|All files|*.*"), "Playlists (*.m3u);;All files (*.*)");
    EXPECT_EQ(qtmessages::fileFilter("Audio|*.mp3;*.wav; *.ogg"), "Audio (*.mp3 *.wav *.ogg)");
    EXPECT_EQ(qtmessages::fileFilter("Lonely name"), "Lonely name (*)");
    EXPECT_EQ(qtmessages::fileFilter("|*.txt|"), "*.txt (*.txt)");
    EXPECT_EQ(qtmessages::fileFilter("Database files (*.dfs)|*.dfs"), "Database files (*.dfs)");
    EXPECT_EQ(qtmessages::fileFilter(""), "");
    const QColor c = qtmessages::toQColor(0x00336699);  // BBGGRR
    EXPECT_EQ(c.red(), 0x99);
    EXPECT_EQ(c.green(), 0x66);
    EXPECT_EQ(c.blue(), 0x33);
    EXPECT_EQ(qtmessages::fromQColor(c), 0x00336699u);
}

TEST(QtMessageBox, ShowsTheTextAndReturnsTheButtonPressed)
{
    QtUserMessages messages;
    QString text, title;
    answerNextBox(QMessageBox::No, &text, &title);
    EXPECT_EQ(messages.messageBox("Line one\r\nline two\r\rthree", "Player: Error", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(text, "Line one\nline two\nthree");
    EXPECT_EQ(title, "Player: Error");

    answerNextBox(QMessageBox::Retry, &text, &title);
    EXPECT_EQ(messages.messageBox("x", "c", MB_ABORTRETRYIGNORE), IDRETRY);
}

TEST(QtMessageBox, ClosingWithoutAButtonAnswersCancel)
{
    QtUserMessages messages;
    QString text, title;
    answerNextBox(QMessageBox::NoButton, &text, &title);  // rejects the box
    EXPECT_EQ(messages.messageBox("Save?", "c", MB_YESNOCANCEL), IDCANCEL);
}

TEST(QtMessageBox, AskedFromAWorkerThreadIsShownOnTheGuiThread)
{
    QtUserMessages messages;
    QString text, title;
    answerNextBox(QMessageBox::Ok, &text, &title);
    std::atomic<int> result{0};
    QEventLoop loop;
    std::thread worker([&] {
        result = messages.messageBox("from a worker", "c", MB_OKCANCEL);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    EXPECT_EQ(result.load(), IDOK);
    EXPECT_EQ(text, "from a worker");
}

TEST(QtDialogs, OpenOverTheWindowInFrontAndOutliveIt)
{
    // A window that stays on top, as the jingle list does: a dialog it opens must belong to it, or
    // the window manager keeps the dialog under it.
    auto* front = new QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
    front->show();
    front->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), front);
    QtUserMessages messages;
    QWidget* owner = nullptr;
    QTimer::singleShot(10, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        owner = dialog != nullptr ? dialog->parentWidget() : nullptr;
        if (dialog != nullptr)
            dialog->close();
    });
    EXPECT_FALSE(messages.openFileName("", "Audio|*.mp3", "/"));
    EXPECT_EQ(owner, front);

    // The window closes while its box is open (a jingle window at its end): the box comes back
    // over the window now in front and is answered there.
    QString text, title;
    QTimer::singleShot(10, [&text, &title, front] {
        delete front;
        answerNextBox(QMessageBox::Yes, &text, &title);
    });
    EXPECT_EQ(messages.messageBox("Still there?", "c", MB_YESNO), IDYES);
    EXPECT_EQ(text, "Still there?");
}

TEST(RecordedMessages, RecordsEverythingAndAnswersFromTheScript)
{
    RecordedUserMessages rec;
    setUserMessages(&rec);
    rec.pushAnswer(IDNO);
    EXPECT_EQ(messageBox("Delete?\r\n", "Base", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(messageBox("Done", "Base"), IDOK);  // script empty: the default answer
    rec.defaultAnswer = IDCANCEL;
    EXPECT_EQ(userMessages().messageBox("Again", "Base", MB_OKCANCEL), IDCANCEL);
    setUserMessages(nullptr);
    EXPECT_NE(&userMessages(), &rec);

    const auto shown = rec.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].kind, "messageBox");
    EXPECT_EQ(shown[0].text, "Delete?\r\n");
    EXPECT_EQ(shown[0].caption, "Base");
    EXPECT_EQ(shown[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(shown[1].flags, MB_OK);
}

TEST(RecordedMessages, DialogsTakeScriptedAnswersOrAreCancelled)
{
    RecordedUserMessages rec;
    std::string value = "initial";
    EXPECT_FALSE(rec.inputQuery("Name", "Enter a name", value));
    EXPECT_EQ(value, "initial");
    rec.pushText("typed");
    rec.pushText("/music/a.mp3");
    EXPECT_TRUE(rec.inputQuery("Name", "Enter a name", value));
    EXPECT_EQ(value, "typed");
    EXPECT_EQ(rec.openFileName("Open", "Audio|*.mp3", "/"), "/music/a.mp3");
    EXPECT_FALSE(rec.saveFileName("Save", "Lists|*.m3u", "/", "m3u"));
    EXPECT_FALSE(rec.selectFolder("Folder", "/home"));
    rec.pushTexts({"/a.mp3", "/b.mp3"});
    EXPECT_EQ(rec.openFileNames("Open", "", ""), (std::vector<std::string>{"/a.mp3", "/b.mp3"}));
    EXPECT_FALSE(rec.openFileNames("Open", "", ""));
    rec.pushColor(0x0000FF);
    EXPECT_EQ(rec.chooseColor(0), 0x0000FFu);
    EXPECT_FALSE(rec.chooseColor(0));
    FontSpec font;
    font.family = "Arial";
    font.bold = true;
    rec.pushFont(font);
    EXPECT_EQ(rec.chooseFont(FontSpec{})->family, "Arial");
    EXPECT_FALSE(rec.chooseFont(font));

    const auto shown = rec.shown();
    ASSERT_EQ(shown.size(), 11u);
    EXPECT_EQ(shown[0].kind, "inputQuery");
    EXPECT_EQ(shown[0].text, "Enter a name");
    EXPECT_EQ(shown[0].caption, "Name");
    EXPECT_EQ(shown[2].kind, "openFileName");
    EXPECT_EQ(shown[2].text, "Audio|*.mp3");
    EXPECT_EQ(shown[4].kind, "selectFolder");
    EXPECT_EQ(shown[4].text, "/home");
    rec.clear();
    EXPECT_TRUE(rec.shown().empty());
}
