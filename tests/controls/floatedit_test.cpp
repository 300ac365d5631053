// Float edit: the key filter table, conversion and text form, the value rules, the error texts,
// leaving the box, spinning, and text from the clipboard or a drop.
#include "controls/spinfloatedit.h"

#include "platform/recordedusermessages.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <gtest/gtest.h>

#include <stdexcept>

using controls::FloatEditLogic;
using controls::FloatKeyResult;
using controls::TSpinFloatEdit;

namespace {

FloatEditLogic logic(long double min, long double max, int digits, QChar dc = '.')
{
    FloatEditLogic l;
    l.Min = min;
    l.Max = max;
    l.Digits = digits;
    l.DecimalChar = dc;
    return l;
}

struct KeyCase {
    const char* text;
    int selStart;
    int selLength;
    char key;
    FloatKeyResult::Action expected;
};

}  // namespace

TEST(FloatKeyFilter, TableOfKeystrokes)
{
    const FloatEditLogic l = logic(0, 10, 1);
    const KeyCase cases[] = {
        {"0.0", 0, 3, '1', FloatKeyResult::Accept},
        {"1", 1, 0, '2', FloatKeyResult::Refuse},    // 12 is above the maximum
        {"5", 1, 0, '.', FloatKeyResult::Accept},    // "5." reads as 5
        {"5.2", 3, 0, '5', FloatKeyResult::Refuse},  // two decimals
        {"5.2", 0, 0, '1', FloatKeyResult::Refuse},  // 15.2
        {"5", 1, 0, 'x', FloatKeyResult::Refuse},
        {"5", 1, 0, ',', FloatKeyResult::Refuse},    // not this box's separator
        {"5", 1, 0, 'E', FloatKeyResult::Refuse},    // only the lower-case e is typed
        {"5", 1, 0, 'e', FloatKeyResult::Refuse},    // "5e" does not convert
        {"5", 0, 0, '-', FloatKeyResult::Refuse},    // below the minimum
        {"1e", 2, 0, '0', FloatKeyResult::Accept},   // 1e0 = 1
        {"1e0", 2, 0, '1', FloatKeyResult::Refuse},  // 1e10
        {"0.0", 0, 3, '-', FloatKeyResult::Replace},
        {"0.0", 0, 3, '.', FloatKeyResult::Replace},
    };
    for (const auto& c : cases) {
        const auto r = l.filterKey(c.text, c.selStart, c.selLength, QChar(c.key));
        EXPECT_EQ(r.action, c.expected) << c.text << " + " << c.key;
    }
}

TEST(FloatKeyFilter, ReplacementsSelectTheDigitToOverwrite)
{
    const FloatEditLogic l = logic(-5, 10, 1, ',');
    const auto minus = l.filterKey("3,0", 0, 3, '-');
    EXPECT_EQ(minus.text, "-0");
    EXPECT_EQ(minus.selStart, 1);
    EXPECT_EQ(minus.selLength, 1);
    const auto sep = l.filterKey("", 0, 0, ',');
    EXPECT_EQ(sep.text, "0,0");
    EXPECT_EQ(sep.selStart, 2);
    EXPECT_EQ(sep.selLength, 1);
    EXPECT_EQ(l.filterKey("1", 1, 0, '.').action, FloatKeyResult::Refuse);

    const FloatEditLogic whole = logic(0, 100, 0);
    EXPECT_EQ(whole.filterKey("5", 1, 0, '.').action, FloatKeyResult::Refuse);
    // Selections past the text are cut to it.
    EXPECT_EQ(whole.filterKey("5", 7, 9, '1').action, FloatKeyResult::Accept);
}

TEST(FloatEditText, ConversionAndTextForm)
{
    const FloatEditLogic l = logic(0, 10, 1, ',');
    EXPECT_EQ(l.format(2.5L), "2,5");
    EXPECT_EQ(l.format(0), "0,0");
    EXPECT_EQ(logic(0, 10, 0).format(2.5L), "2");
    EXPECT_EQ(l.convert(" 2,5 "), 2.5L);
    EXPECT_EQ(l.convert("+3"), 3.0L);
    EXPECT_FALSE(l.convert("2.5").has_value());
    EXPECT_FALSE(l.convert("inf").has_value());
    EXPECT_FALSE(l.convert("nan").has_value());
    EXPECT_FALSE(l.convert("1 000").has_value());
    EXPECT_FALSE(l.convert("++1").has_value());
    EXPECT_FALSE(l.convert("1e99999").has_value());

    const FloatEditLogic r = logic(1, 10, 1);
    EXPECT_EQ(r.valueFromText("-"), 1);  // 0, clamped up to the minimum
    EXPECT_EQ(r.valueFromText("abc"), 1);
    EXPECT_EQ(r.valueFromText("12"), 10);
    EXPECT_EQ(r.valueFromText("4.5"), 4.5L);
    EXPECT_EQ(r.exitValue(""), 1);
    EXPECT_FALSE(r.exitValue("11").has_value());
    EXPECT_FALSE(r.exitValue("x").has_value());
}

class FloatEditTest : public ::testing::Test {
protected:
    void SetUp() override { platform::setUserMessages(&messages); }
    void TearDown() override { platform::setUserMessages(nullptr); }

    void typeText(TSpinFloatEdit& box, const QString& keys)
    {
        for (QChar k : keys)
            box.typeChar(k);
    }

    platform::RecordedUserMessages messages;
};

TEST_F(FloatEditTest, TypingOverTheSelectedText)
{
    TSpinFloatEdit box;
    box.setMax(10);
    const QChar dc = box.DecimalChar();
    EXPECT_EQ(box.text(), QString("0") + dc + "0");

    box.selectAll();
    typeText(box, "12");
    EXPECT_EQ(box.text(), "1");

    box.selectAll();
    typeText(box, QString("5") + dc + "25");
    EXPECT_EQ(box.text(), QString("5") + dc + "2");

    box.selectAll();
    typeText(box, "-");
    EXPECT_EQ(box.text(), "-0");
    EXPECT_EQ(box.selectedText(), "0");
    typeText(box, "3");  // -3 is below the minimum of 0
    EXPECT_EQ(box.text(), "-0");

    box.selectAll();
    typeText(box, QString(dc));
    EXPECT_EQ(box.text(), QString("0") + dc + "0");
    EXPECT_EQ(box.selectionStart(), 2);
}

TEST_F(FloatEditTest, EditingKeysAreNotFiltered)
{
    TSpinFloatEdit box;
    box.setText("12");
    box.setCursorPosition(0);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)));
    QApplication::sendEvent(&box, &del);
    EXPECT_EQ(box.text(), "2");
    box.setCursorPosition(1);
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
    QApplication::sendEvent(&box, &back);
    EXPECT_EQ(box.text(), "");
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&box, &letter);
    EXPECT_EQ(box.text(), "");
    QKeyEvent digit(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
    QApplication::sendEvent(&box, &digit);
    EXPECT_EQ(box.text(), "7");
}

TEST_F(FloatEditTest, EscapeRestoresTheEntryValueAndEnterIsSwallowed)
{
    TSpinFloatEdit box;
    box.SetValue(3);
    box.DoEnter();
    box.selectAll();
    QChar seenByEnter;
    box.OnEnterPress = [&](QObject*, QChar& k) { seenByEnter = k; };
    std::vector<int> seenByKeyPress;
    box.OnKeyPress = [&](QObject*, QChar& k) { seenByKeyPress.push_back(k.unicode()); };
    typeText(box, "7");
    box.typeChar('\r');
    EXPECT_EQ(box.Value(), 7);
    EXPECT_EQ(seenByEnter, QChar('\r'));
    box.typeChar(QChar(27));
    EXPECT_EQ(box.Value(), 3);
    EXPECT_EQ(box.selectedText(), box.text());
    EXPECT_EQ(seenByKeyPress, (std::vector<int>{'7', 0}));
}

TEST_F(FloatEditTest, ValueWritesClampWithTheErrorMessage)
{
    TSpinFloatEdit box;
    box.setMax(10);
    box.SetValue(11);
    EXPECT_TRUE(messages.shown().empty());  // no ErrorMessage: no box
    EXPECT_EQ(box.Value(), 10);
    box.ErrorMessage = "Out of range";
    box.SetValue(-1);
    EXPECT_EQ(box.Value(), 0);
    box.SetValue(std::numeric_limits<long double>::quiet_NaN());
    EXPECT_EQ(box.Value(), 10);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "Out of range");

    box.setDigits(25);
    EXPECT_EQ(box.Digits(), 18);
    box.setDigits(0);
    EXPECT_EQ(box.text(), "10");
}

TEST_F(FloatEditTest, RangeWritesThatCrossRaiseTheirErrorTexts)
{
    TSpinFloatEdit box;
    box.setMax(10);
    try {
        box.setMin(11);
        FAIL() << "no error";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Minimum value must not be greater than maximum value !");
    }
    box.setMin(2);
    try {
        box.setMax(1);
        FAIL() << "no error";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Maximum value must not be less than minimum value !");
    }
    EXPECT_EQ(box.Min(), 2);
    EXPECT_EQ(box.Max(), 10);
    EXPECT_EQ(box.Value(), 2);  // raising the minimum re-set the value
}

TEST_F(FloatEditTest, SpinningStopsAtTheMaximumAfterTheError)
{
    TSpinFloatEdit box;
    box.setMax(10);
    box.Increment = 0.2L;
    box.ErrorMessage = "Too big";
    box.SetValue(9.9L);
    box.UpClick();
    EXPECT_EQ(box.text(), QString("10") + box.DecimalChar() + "0");
    EXPECT_EQ(messages.shown().size(), 1u);
    box.DownClick();
    EXPECT_NEAR(static_cast<double>(box.Value()), 9.8, 1e-9);

    std::vector<bool> computed;
    box.OnComputedIncrement = [&](QObject*, bool up) { computed.push_back(up); };
    box.UpClick();
    box.DownClick();
    EXPECT_EQ(computed, (std::vector<bool>{true, false}));
    EXPECT_NEAR(static_cast<double>(box.Value()), 9.8, 1e-9);

    box.setReadOnly(true);
    box.OnComputedIncrement = nullptr;
    box.UpClick();
    EXPECT_NEAR(static_cast<double>(box.Value()), 9.8, 1e-9);
}

TEST_F(FloatEditTest, LeavingWithABadPastedTextRestoresTheEntryValue)
{
    TSpinFloatEdit box;
    box.setMax(10);
    box.SetValue(4);
    box.DoEnter();
    bool exited = false;
    box.OnExit = [&](QObject*) { exited = true; };
    box.setText("55");  // as a paste would, past the key filter
    EXPECT_FALSE(box.DoExit());
    EXPECT_FALSE(exited);
    EXPECT_EQ(box.Value(), 4);
    box.setText("7");
    EXPECT_TRUE(box.DoExit());
    EXPECT_TRUE(exited);
    EXPECT_EQ(box.text(), QString("7") + box.DecimalChar() + "0");
}

TEST_F(FloatEditTest, NoPasteWhileReadOnlyDisabledOrNotEditable)
{
    TSpinFloatEdit box;
    QApplication::clipboard()->setText("3");
    auto paste = [&box] {
        box.setText("1");
        box.selectAll();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QString());
        QApplication::sendEvent(&box, &key);
        return box.text();
    };
    if (QApplication::clipboard()->text() != "3")
        GTEST_SKIP() << "no clipboard on this platform";
    EXPECT_EQ(paste(), "3");
    box.setEditorEnabled(false);
    EXPECT_EQ(paste(), "1");
    box.setEditorEnabled(true);
    box.setReadOnly(true);
    EXPECT_EQ(paste(), "1");

    QMimeData mime;
    mime.setText("9");
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &enter);
    EXPECT_FALSE(enter.isAccepted());
}
