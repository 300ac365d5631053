// Window position saver: the 16 "PosData" bytes, values that are refused, and a window's bounds
// saved after it was shown and restored on the next run.
#include "controls/vqpossave.h"

#include "platform/registry.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdlib>

using controls::TVqPosSave;
using platform::Registry;
using platform::RegistryRoot;

namespace {

const char* const kKey = "Software\\Caldrivane\\PosTest";

class PosSaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setenv("QUORVALEN_REGISTRY_FILE", dir.filePath("registry.ini").toLocal8Bit().constData(), 1);
    }
    void TearDown() override { unsetenv("QUORVALEN_REGISTRY_FILE"); }

    std::optional<std::vector<std::uint8_t>> stored()
    {
        return Registry::readBinary(RegistryRoot::CurrentUser, kKey, "PosData");
    }

    QTemporaryDir dir;
};

}  // namespace

TEST(PosDataBytes, LittleEndianLeftTopWidthHeight)
{
    const auto bytes = TVqPosSave::encode(QRect(-5, 10, 300, 200));
    const std::vector<std::uint8_t> expected{0xFB, 0xFF, 0xFF, 0xFF, 0x0A, 0, 0, 0, 0x2C, 0x01, 0, 0, 0xC8, 0, 0, 0};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(TVqPosSave::decode(bytes), QRect(-5, 10, 300, 200));
}

TEST(PosDataBytes, RefusedValues)
{
    auto bytes = TVqPosSave::encode(QRect(10, 10, 300, 200));
    bytes.push_back(0);
    EXPECT_FALSE(TVqPosSave::decode(bytes));
    bytes.resize(15);
    EXPECT_FALSE(TVqPosSave::decode(bytes));
    EXPECT_FALSE(TVqPosSave::decode(TVqPosSave::encode(QRect(10, 10, 0, 200))));
    EXPECT_FALSE(TVqPosSave::decode(TVqPosSave::encode(QRect(10, 10, 300, -4))));
    EXPECT_FALSE(TVqPosSave::decode(TVqPosSave::encode(QRect(100000, 100000, 300, 200))));
    EXPECT_FALSE(TVqPosSave::decode({}));

    // Left 2000000000 and width 2000000000: the right edge lies past the int range, and folded
    // back it would seem to cover every screen.
    const std::vector<std::uint8_t> beyond{0x00, 0x94, 0x35, 0x77, 0, 0, 0, 0, 0x00, 0x94, 0x35, 0x77, 100, 0, 0, 0};
    EXPECT_FALSE(TVqPosSave::decode(beyond));
}

TEST_F(PosSaveTest, NeverShownWritesNothingThenMovesAreSavedAndRestored)
{
    {
        QWidget window;
        auto* saver = new TVqPosSave(&window);
        saver->Key = kKey;
        window.move(30, 40);
        window.resize(200, 150);
        saver->SavePosition();
        QApplication::processEvents();
        EXPECT_FALSE(stored().has_value());

        window.show();
        QApplication::processEvents();
        EXPECT_TRUE(saver->loaded());
        window.move(50, 60);
        window.resize(320, 240);
        QApplication::processEvents();
        ASSERT_TRUE(stored().has_value());
        EXPECT_EQ(TVqPosSave::decode(*stored()), QRect(50, 60, 320, 240));
    }
    QWidget next;
    auto* saver = new TVqPosSave(&next);
    saver->Key = kKey;
    next.move(5, 5);
    next.resize(100, 100);
    next.show();
    QApplication::processEvents();
    EXPECT_EQ(next.pos(), QPoint(50, 60));
    EXPECT_EQ(next.size(), QSize(320, 240));
}

TEST_F(PosSaveTest, ADamagedSizeOrPlaceIsFittedToTheScreen)
{
    // 100000 x 100000 at a place on the screen: the window would take gigabytes to paint.
    Registry::writeBinary(RegistryRoot::CurrentUser, kKey, "PosData", TVqPosSave::encode(QRect(10, 20, 100000, 100000)));
    QWidget window;
    auto* saver = new TVqPosSave(&window);
    saver->Key = kKey;
    saver->LoadPosition();
    const QRect area = window.screen()->availableGeometry();
    EXPECT_EQ(window.size(), area.size());
    EXPECT_EQ(window.pos(), area.topLeft());
    // Reaching past the right and bottom edges: moved back in, size kept.
    Registry::writeBinary(RegistryRoot::CurrentUser, kKey, "PosData",
                          TVqPosSave::encode(QRect(area.right() - 10, area.bottom() - 10, 200, 100)));
    saver->LoadPosition();
    EXPECT_EQ(window.size(), QSize(200, 100));
    EXPECT_EQ(window.pos(), QPoint(area.right() + 1 - 200, area.bottom() + 1 - 100));
}

TEST_F(PosSaveTest, StoredValuesOfTheWrongTypeOrLengthAreIgnored)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt == 0)
            Registry::writeString(RegistryRoot::CurrentUser, kKey, "PosData", "50,60,320,240");
        else
            Registry::writeBinary(RegistryRoot::CurrentUser, kKey, "PosData", {1, 2, 3});
        QWidget window;
        auto* saver = new TVqPosSave(&window);
        saver->Key = kKey;
        window.move(7, 8);
        window.resize(111, 99);
        saver->LoadPosition();
        EXPECT_EQ(window.pos(), QPoint(7, 8));
        EXPECT_EQ(window.size(), QSize(111, 99));
    }
}

TEST_F(PosSaveTest, AMaximisedWindowStoresItsNormalBounds)
{
    QWidget window;
    auto* saver = new TVqPosSave(&window);
    saver->Key = kKey;
    window.setGeometry(40, 50, 220, 160);
    window.show();
    QApplication::processEvents();
    window.move(60, 70);
    QApplication::processEvents();
    const QRect normal = *TVqPosSave::decode(*stored());
    window.showMaximized();
    QApplication::processEvents();
    if (!(window.windowState() & Qt::WindowMaximized))
        GTEST_SKIP() << "this platform cannot maximise";
    saver->SavePosition();
    ASSERT_TRUE(stored().has_value());
    EXPECT_EQ(TVqPosSave::decode(*stored())->size(), normal.size());
}
