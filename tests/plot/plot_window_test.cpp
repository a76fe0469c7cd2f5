// The plot window on its own, driven with Qt Test offscreen on a fake settings store and colour
// chooser. Opening it from the Setup window is in the program's window tests.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "platform/FakePlatform.h"
#include "plot/ui/Plot.h"
#include "plot/ui/PlotPicture.h"

namespace {

constexpr QRgb kYellow = 0xFFFFFF00;
constexpr QRgb kBlue = 0xFF0000FF;

int pixelsOf(const QImage& image, QRgb color) {
    int found = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            found += image.pixel(x, y) == color ? 1 : 0;
    return found;
}

// Field texts beyond the axes (uncommitted, so never clamped) are drawn off the area without harm.
TEST(PlotWindow, drawsInTheStoredColourOnAFixedAreaAndAGridColourChoiceIsStoredAndRepaints) {
    tune::Tune tune = tune::Tune::startup(tune::Edition::BEL);
    tune.baseTiming[2] = "1E20";
    tune.rpm[4] = "-1E30";
    tune.map[1] = "&H7FFFFFFF";
    platform::FakeSettingsStore store;
    platform::FakeColorDialog colors;
    colors.answers = {std::nullopt, 16711680, 255};
    store.write("Realtime", "RPM", "12");
    plot::Plot window(tune, store, colors);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(window.windowTitle(), "Ignition Timing Plot");
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(),
              "Note: Cranking Mode and Ported Vacuum  not shown.");
    for (const plot::Primitive& p : window.timing().load())  // no overflow to infinity
        EXPECT_TRUE(std::isfinite(p.from.x) && std::isfinite(p.from.y) && std::isfinite(p.to.x) &&
                    std::isfinite(p.to.y))
            << plot::describe(p);
    QPushButton* button = window.findChild<QPushButton*>("cmdGridColor");
    EXPECT_EQ(button->text(), "Grid Color");
    EXPECT_EQ(window.timing().RPMmax(), 12000);
    // 8055 x 4935 twips at the offscreen screen's 96 DPI, 120 twips in from the corner.
    QWidget* picture = window.findChild<QWidget*>("Picture1");
    EXPECT_EQ(picture->geometry(), QRect(8, 8, 537, 329));
    const QImage before = window.picture().image();
    EXPECT_GT(pixelsOf(before, kYellow), 100);
    // Covered and shown again: the same picture, from the image it keeps.
    EXPECT_EQ(picture->grab().toImage().convertToFormat(QImage::Format_RGB32), before);

    QTest::mouseClick(button, Qt::LeftButton);  // cancelled
    EXPECT_EQ(window.picture().image(), before);
    EXPECT_EQ(store.values.size(), 1u);
    QTest::mouseClick(button, Qt::LeftButton);
    const QImage after = window.picture().image();
    // Drawn over itself: not a yellow pixel is left, and the frame and grid stay.
    EXPECT_EQ(pixelsOf(after, kYellow), 0);
    EXPECT_EQ(pixelsOf(after, kBlue), pixelsOf(before, kYellow));
    QTest::mouseClick(button, Qt::LeftButton);  // the chooser starts on the last choice
    EXPECT_EQ(colors.initials, (std::vector<std::uint32_t>{0, 0, 16711680}));
    EXPECT_EQ(store.read("Plot", "GridColor", ""), "255");
}

}  // namespace
