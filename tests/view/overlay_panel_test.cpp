// The 2D overlays on a shown drawing widget: the info text rendered into its
// texture (white text over a black copy 3 pixels right and down, at the size of
// the mode, Unicode intact, only when the text changed) and the colour legend,
// which only the information mode shows.

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QPainter>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/widgetfixture.h"
#include "view/widgetrisanje.h"

namespace {

using widgettest::TestWidget;

constexpr int textureSide = 512;

// The info text texture read back, top row first (the upload stores it bottom
// row first).
QImage readTextTexture(WidgetRisanje& w)
{
    w.makeCurrent();
    auto* gl = w.context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
    std::vector<unsigned char> rgba(std::size_t(textureSide) * textureSide * 4);
    gl->glActiveTexture(GL_TEXTURE1);
    gl->glBindTexture(GL_TEXTURE_2D, w.infoTextTexture);
    gl->glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    w.doneCurrent();
    QImage image(textureSide, textureSide, QImage::Format_RGBA8888);
    for (int y = 0; y < textureSide; ++y)
        std::copy_n(&rgba[std::size_t(textureSide - 1 - y) * textureSide * 4], textureSide * 4, image.scanLine(y));
    return image;
}

// The coverage of `text` drawn alone in the panel's font, at an offset.
QImage coverage(const QString& text, int pointSize, int offset)
{
    QImage image(textureSide, textureSide, QImage::Format_ARGB32);
    image.fill(0);
    QPainter painter(&image);
    painter.setFont(QFont(QStringLiteral("Arial"), pointSize, 1));
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(QColor(255, 255, 255, 255));
    painter.drawText(QRect(offset, offset, textureSide, textureSide), Qt::AlignCenter | Qt::TextWordWrap, text);
    painter.end();
    return image;
}

class Overlays : public ::testing::Test {
protected:
    static void SetUpTestSuite() { widget = new TestWidget(640, 480); }
    static void TearDownTestSuite()
    {
        delete widget;
        widget = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(widget->ready()) << widget->failure();
        w().pickPosition = glm::vec2(w().width() / 2, w().height() / 2);
        w().thickBranchHovered = false;
    }
    static WidgetRisanje& w() { return **widget; }
    static TestWidget* widget;
};

TestWidget* Overlays::widget = nullptr;

TEST_F(Overlays, InfoTextTextureIsWhiteTextOverItsBlackCopyOffsetByThreePixels)
{
    struct Case {
        int mode;
        QString text;
        int pointSize;
        bool thickBranchHovered = false;
        bool showHints = false;
        bool shown = true;  // the panel is drawn (and its text rendered)
    };
    const std::vector<Case> cases = {
        {ModeInformation, QStringLiteral("v: 2.5\n|c|: 7\nQsum: 0.123457\nyear: 3\nLighting index: 0.333333\n"), 40},
        {ModeLength, QStringLiteral("12.34m"), 100},
        {ModeAngle, QString::fromUtf8("90.00\u00b0"), 100},  // the degree sign survives
        // Pruning shows the panel over a thick branch only with hints on.
        {ModePruning, QStringLiteral("hint"), 100, true, true, true},
        {ModePruning, QStringLiteral("no hint"), 100, true, false, false},
        {ModePruning, QStringLiteral("thin"), 100, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        w().mode = c.mode;
        w().thickBranchHovered = c.thickBranchHovered;
        w().showHints = c.showHints;
        w().infoText = c.text;
        w().infoTextDirty = true;
        const std::vector<std::string> errors = widget->paintAndCollectErrors();
        w().showHints = false;
        EXPECT_TRUE(errors.empty()) << errors.front();
        EXPECT_EQ(w().infoTextDirty, !c.shown);
        if (!c.shown)
            continue;

        widgettest::keepScreenshot(widget->grab(), QStringLiteral("overlay_panel_mode%1").arg(c.mode));
        const QImage texture = readTextTexture(w());
        const QImage white = coverage(c.text, c.pointSize, 0);
        const QImage shadow = coverage(c.text, c.pointSize, 3);
        int whitePixels = 0, blackPixels = 0, emptyPixels = 0, wrong = 0;
        for (int y = 0; y < textureSide; ++y) {
            for (int x = 0; x < textureSide; ++x) {
                const int front = qAlpha(white.pixel(x, y));
                const int back = qAlpha(shadow.pixel(x, y));
                const QColor got = texture.pixelColor(x, y);
                auto near = [](int a, int b) { return std::abs(a - b) <= 2; };
                if (front == 255) {
                    ++whitePixels;
                    wrong += !(near(got.red(), 255) && near(got.green(), 255) && near(got.blue(), 255) &&
                               near(got.alpha(), 255));
                } else if (front == 0 && back == 255) {
                    ++blackPixels;
                    wrong += !(near(got.red(), 0) && near(got.green(), 0) && near(got.blue(), 0) &&
                               near(got.alpha(), 255));
                } else if (front == 0 && back == 0) {
                    ++emptyPixels;
                    wrong += got.alpha() != 0;
                }
            }
        }
        EXPECT_GT(whitePixels, 100);
        EXPECT_GT(blackPixels, 100);
        EXPECT_GT(emptyPixels, textureSide * textureSide / 2);
        EXPECT_EQ(wrong, 0) << "of " << whitePixels << " white, " << blackPixels << " black, " << emptyPixels
                            << " empty pixels";
    }
}

TEST_F(Overlays, InfoTextIsRenderedOnlyWhenMarkedDirty)
{
    w().mode = ModeInformation;
    w().infoText = QStringLiteral("first");
    w().infoTextDirty = true;
    widget->grab();
    const QImage first = readTextTexture(w());

    w().infoText = QStringLiteral("second text");
    widget->grab();
    EXPECT_EQ(readTextTexture(w()), first) << "no render without the dirty flag";

    w().infoTextDirty = true;
    widget->grab();
    EXPECT_NE(readTextTexture(w()), first);
}

TEST_F(Overlays, ColourLegendOnlyInTheInformationMode)
{
    const QImage legend = QImage(QStringLiteral("tex/grad.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(legend.size(), QSize(32, 256));
    for (int mode : {ModeNavigation, ModeFiltering, ModeInformation, ModeLength, ModePruning}) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        w().mode = mode;
        w().infoText = QString();
        w().infoTextDirty = true;
        const QImage frame = widget->grab();
        if (mode == ModeInformation)
            widgettest::keepScreenshot(frame, QStringLiteral("overlay_legend"));
        int matching = 0, samples = 0;
        for (int column : {4, 16, 27}) {
            for (int fromBottom = 8; fromBottom < 256; fromBottom += 24) {
                const QColor got = frame.pixelColor(column, frame.height() - 1 - fromBottom);
                const QColor want = legend.pixelColor(column, 255 - fromBottom);
                ++samples;
                matching += std::abs(got.red() - want.red()) <= 8 && std::abs(got.green() - want.green()) <= 8 &&
                            std::abs(got.blue() - want.blue()) <= 8;
            }
        }
        if (mode == ModeInformation)
            EXPECT_EQ(matching, samples) << "the legend strip in the bottom-left corner";
        else
            EXPECT_LT(matching, samples / 2) << "no legend";
    }
}

}  // namespace
