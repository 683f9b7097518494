// The drawing widget on a screen with a device pixel ratio of 2: the frame
// fills the whole framebuffer (twice the widget's size in each direction), the
// overlays keep their places in window coordinates, and the id and depth picks
// of a hover find what is drawn under the cursor, as at a ratio of 1.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "model/internode.h"
#include "model/tree.h"
#include "support/treebuilders.h"
#include "support/widgetfixture.h"
#include "view/widgetrisanje.h"

namespace {

using widgettest::TestWidget;

constexpr int kRatio = 2;
// Twice this fits the fixture's 1280 x 1024 X screen.
constexpr int kWidth = 480;
constexpr int kHeight = 360;

class HighDpi : public ::testing::Test {
protected:
    static void SetUpTestSuite() { widget = new TestWidget(kWidth, kHeight); }
    static void TearDownTestSuite()
    {
        delete widget;
        widget = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(widget->ready()) << widget->failure();
        ASSERT_EQ(w().devicePixelRatioF(), kRatio) << "QT_SCALE_FACTOR not in force";
        w().mode = ModeNavigation;
        w().camera = CameraState();
    }
    static WidgetRisanje& w() { return **widget; }
    static TestWidget* widget;
};

TestWidget* HighDpi::widget = nullptr;

// A pixel the frame drew: the framebuffer is cleared to black, and sky, ground
// and tree are all lighter.
bool drawn(QRgb pixel) { return std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) > 16; }

// The start-up scene's sky and ground cover the whole window, so each quarter
// of the framebuffer is drawn nearly everywhere.
TEST_F(HighDpi, FrameFillsEveryQuarterOfTheFramebuffer)
{
    const QImage frame = widget->grab();
    widgettest::keepScreenshot(frame, QStringLiteral("highdpi_startup"));
    ASSERT_EQ(frame.size(), QSize(kWidth * kRatio, kHeight * kRatio));
    const int halfW = frame.width() / 2;
    const int halfH = frame.height() / 2;
    for (int quarter = 0; quarter < 4; ++quarter) {
        const int x0 = (quarter % 2) * halfW;
        const int y0 = (quarter / 2) * halfH;
        int count = 0;
        for (int y = y0; y < y0 + halfH; ++y)
            for (int x = x0; x < x0 + halfW; ++x)
                count += drawn(frame.pixel(x, y));
        EXPECT_GT(count, halfW * halfH * 9 / 10) << "quarter " << quarter << " (0 top left, 3 bottom right)";
    }
}

// The colour legend is the 32 x 256 strip at the window's bottom-left corner in
// window coordinates: 64 x 512 framebuffer pixels.
TEST_F(HighDpi, ColourLegendKeepsItsPlaceInWindowCoordinates)
{
    const QImage legend = QImage(QStringLiteral("tex/grad.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(legend.size(), QSize(32, 256));
    w().mode = ModeInformation;
    w().pickPosition = glm::vec2(kWidth / 2, kHeight / 2);
    w().infoText = QString();
    w().infoTextDirty = true;
    const QImage frame = widget->grab();
    widgettest::keepScreenshot(frame, QStringLiteral("highdpi_legend"));
    int matching = 0;
    int samples = 0;
    for (int column : {4, 16, 27}) {
        for (int fromBottom = 8; fromBottom < 256; fromBottom += 24) {
            // The texel's centre in framebuffer pixels.
            const QColor got = frame.pixelColor(kRatio * column + 1, frame.height() - 1 - (kRatio * fromBottom + 1));
            const QColor want = legend.pixelColor(column, 255 - fromBottom);
            ++samples;
            matching += std::abs(got.red() - want.red()) <= 8 && std::abs(got.green() - want.green()) <= 8 &&
                        std::abs(got.blue() - want.blue()) <= 8;
        }
    }
    EXPECT_EQ(matching, samples);
}

// Moves the cursor to `point` (no button) and lets the tick's hover handle it.
void hoverAt(TestWidget& widget, QPoint point)
{
    QTest::mouseMove(widget->windowHandle(), point);
    ASSERT_TRUE(widget.waitForTicks(2));
    ASSERT_EQ(QPoint(widget->mouseX, widget->mouseY), point) << "mouse positions stay in window coordinates";
}

// A hand-built tree whose middle internode (radius 1) runs up through the
// window's centre: the start camera looks along -z at (0, 10, 0). Where it
// lies on the screen comes from the camera on the CPU, in window coordinates,
// which the ratio does not change. An id pick there names it, and a depth pick
// lands on its front surface, on the ray through the centre.
TEST_F(HighDpi, PicksAtTheCentreFindTheInternodeDrawnThere)
{
    auto built = std::make_unique<Tree>();
    built->age = 1;
    Internode* trunk = built->root;
    trunk->direction = glm::vec3(0.0f, 6.0f, 0.0f);
    trunk->thickness = 1.0f;
    Internode* middle = attachNode(trunk, 0, {0.0f, 8.0f, 0.0f}, 1.0f);
    Internode* top = attachNode(middle, 0, {0.0f, 6.0f, 0.0f}, 0.6f);
    attachNode(top, 0, {0.0f, 0.5f, 0.0f}, 0.1f);
    attachNode(top, 1, {0.3f, 0.3f, 0.0f}, 0.1f);
    Internode* lateral = attachNode(middle, 1, {8.0f, 2.0f, 0.0f}, 0.5f);
    attachNode(lateral, 0, {0.5f, 0.0f, 0.0f}, 0.1f);
    attachNode(lateral, 1, {0.3f, 0.3f, 0.0f}, 0.1f);
    attachNode(trunk, 1, {0.3f, 0.3f, 0.0f}, 0.1f);
    makeOnlyTree(std::move(built));
    w().forgetTreePointers();
    w().rebuildGeometry(true);

    const QPoint centre(kWidth / 2, kHeight / 2);
    w().updateMatrices();
    const glm::vec3 below = w().projectToScreen(middle->position, w().camera.mvp);
    const glm::vec3 above = w().projectToScreen(middle->position + middle->direction, w().camera.mvp);
    ASSERT_NEAR(below.x, centre.x(), 1.0f);
    ASSERT_NEAR(above.x, centre.x(), 1.0f);
    ASSERT_GT(below.y, centre.y() + 10.0f) << "the centre well inside the middle internode's image";
    ASSERT_LT(above.y, centre.y() - 10.0f);

    w().mode = ModeInformation;
    hoverAt(*widget, centre);
    EXPECT_EQ(w().pickedNode(w().pickedId), middle) << "picked id " << w().pickedId;
    widgettest::keepScreenshot(widget->grab(), QStringLiteral("highdpi_information"));

    // Planting hovers with a depth pick; its marker stands at the point found.
    w().mode = ModePlanting;
    // Away first: a move to where the cursor already is may bring no event.
    hoverAt(*widget, QPoint(10, 10));
    hoverAt(*widget, centre);
    ASSERT_TRUE(w().depthPointValid);
    EXPECT_NEAR(w().depthPoint.x, 0.0f, 0.1f);
    EXPECT_NEAR(w().depthPoint.y, 10.0f, 0.1f);
    EXPECT_GT(w().depthPoint.z, 0.9f);
    EXPECT_LT(w().depthPoint.z, 1.05f);
    widgettest::keepScreenshot(widget->grab(), QStringLiteral("highdpi_planting"));
}

}  // namespace

int main(int argc, char** argv)
{
    // Before the application object exists: the fixture creates it.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(kRatio));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
