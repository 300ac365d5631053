// The options dialog on the window: boxes change their options at once, colours and the font go
// to the list, the output type reaches the preview deck, and closing the program stores it all.
#include "database/dialogs/optfrm.h"
#include "engine/audioengine.h"
#include "tests/database/mainwindowfixture.h"
#include "platform/inifile.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <filesystem>

using namespace database;
using dbtest::MainWindowTest;

namespace {

void clickPanel(QLabel* panel)
{
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 3), panel->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &release);
}

TEST_F(MainWindowTest, OptionsChangeAtOnceAndAreStoredWhenTheProgramCloses)
{
    const std::string base = makeBaseOf("b.dfs", {{.title = "W", .fileName = "/m/w.WMA"}, {.title = "X", .fileName = "/m/x.cda"}});
    {
        TBase_main_window w({base});
        w.show();
        QCoreApplication::processEvents();
        const QColor listBackground = w.ListView1->palette().color(QPalette::Base);
        bool ran = false;
        w.runDialog = [&](QDialog& dialog) {
            auto& d = dynamic_cast<TOptFrm&>(dialog);
            d.show();
            ran = true;
            EXPECT_EQ(d.windowTitle(), "Settings");
            EXPECT_TRUE(d.CheckBox1->isChecked());
            EXPECT_FALSE(d.cbOverwrite->isChecked());
            EXPECT_TRUE(d.montypeItems[3]->isChecked());
            EXPECT_EQ(d.Panels[0]->text(), "AaBbCcdefghijklmn 1234567890");
            EXPECT_EQ(d.Panels[1]->palette().color(QPalette::Window), listBackground);
            EXPECT_EQ(d.Panels[1]->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));

            d.CheckBox1->click();
            EXPECT_FALSE(w.Options.NoEmpty);  // at once, no OK
            d.cbOverwrite->click();
            EXPECT_TRUE(w.Options.OverwriteOnCopy);
            d.CheckBox3->click();
            d.CheckBox3->click();
            EXPECT_TRUE(w.Options.QSearch);

            messages.pushColor(0x123456);
            clickPanel(d.Panels[1]);
            EXPECT_EQ(w.Options.Colors[1], 0x123456u);
            EXPECT_EQ(d.Panels[1]->palette().color(QPalette::WindowText), QColor(0x56, 0x34, 0x12));
            clickPanel(d.Panels[2]);  // the colour dialog cancelled: nothing changes
            EXPECT_EQ(w.Options.Colors[2], 0x800000u);

            d.montypeItems[1]->click();
            EXPECT_EQ(w.Options.MonType, 1);
            EXPECT_EQ(w.previewDeck()->StreamFlags, 0x2000000);
            d.montypeItems[0]->click();
            EXPECT_EQ(w.Options.MonType, 0);
            EXPECT_EQ(w.previewDeck()->StreamFlags, 0);

            platform::FontSpec font;
            font.family = "Sans Serif";
            font.pointSize = 13;
            font.bold = true;
            messages.pushFont(font);
            d.Button2->click();
            EXPECT_EQ(w.ListView1->font().pointSize(), 13);
            EXPECT_TRUE(w.ListView1->font().bold());

            d.Button1->click();
            return d.result();
        };
        w.Button7Click();
        EXPECT_TRUE(ran);
        // The list is drawn with the new colour; the cd track and the WMA row by their types.
        EXPECT_EQ(w.model()->data(w.model()->index(0, 0), Qt::ForegroundRole).value<QColor>(), QColor(0x56, 0x34, 0x12));
        EXPECT_EQ(w.model()->data(w.model()->index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0));
        EXPECT_EQ(w.ListView1->font().pointSize(), 13);  // the view update keeps the font chosen
        w.close();
    }
    const platform::IniFile ini(baseIni());
    EXPECT_EQ(ini.readString("Options", "NoEmpty", ""), "0");
    EXPECT_EQ(ini.readString("Options", "OverwriteOnCopy", ""), "1");
    EXPECT_EQ(ini.readInteger("Options", "MonType", -1), 0);
    EXPECT_EQ(ini.readString("Options", "Colors", ""), "00000000563412000000800000800000");
    EXPECT_EQ(ini.readInteger("Font", "Size", 0), 13);
    EXPECT_EQ(ini.readInteger("Font", "Style", 0), 2);

    // Read back at the next start, and shown by the dialog, translated from the language file.
    std::filesystem::create_directories(path("Lang/Ru"));
    dbtest::writeAll(path("Lang/Ru/lang_b.ini"), "[Options.Captions]\nOptFrm=Einstellungen\nCheckBox1=Keine leeren\n"
                                              "montype=Ausgabe\nTabSheet2=Farbe\nButton1=Schliessen\n");
    TBase_main_window w({base});
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Options.MonType, 0);
    w.runDialog = [&](QDialog& dialog) {
        auto& d = dynamic_cast<TOptFrm&>(dialog);
        d.show();
        EXPECT_FALSE(d.CheckBox1->isChecked());
        EXPECT_TRUE(d.cbOverwrite->isChecked());
        EXPECT_TRUE(d.montypeItems[0]->isChecked());
        EXPECT_EQ(d.windowTitle(), "Einstellungen");
        EXPECT_EQ(d.CheckBox1->text(), "Keine leeren");
        EXPECT_EQ(d.montype->title(), "Ausgabe");
        EXPECT_EQ(d.Button1->text(), "Schliessen");
        EXPECT_EQ(d.findChild<QTabWidget*>()->tabText(1), "Farbe");
        d.close();
        return d.result();
    };
    w.Button7Click();
    w.close();
}

}  // namespace
