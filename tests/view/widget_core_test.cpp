// The drawing widget itself on the real renderer and OpenCL device: start
// values, the command-line table, the tick, the scene commands with their
// printed line, the rebuild with and without upload (also from outside the GL
// callbacks), the status-bar message of a growth curve over the bud limit, and
// the nine textures.

#include "support/streamcapture.h"
#include "support/paintcounter.h"
#include "support/widgetfixture.h"

#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"
#include "view/widgetrisanje.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <regex>
#include <string>
#include <vector>

using widgettest::TestWidget;

namespace {


QOpenGLFunctions_3_3_Core* glOf(WidgetRisanje& widget)
{
    return widget.context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
}

// The size in bytes of a buffer of the widget's context.
int bufferSize(WidgetRisanje& widget, unsigned int buffer)
{
    widget.makeCurrent();
    QOpenGLFunctions_3_3_Core* gl = glOf(widget);
    GLint size = -1;
    gl->glBindBuffer(GL_ARRAY_BUFFER, buffer);
    gl->glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    widget.doneCurrent();
    return size;
}

// Paints now what Qt has put off: a repaint() within one display frame of the
// window's last composition becomes an update request posted for later. Once
// it has run, every paint that the ticks so far asked for has been counted.
void deliverPutOffPaints(QWidget& widget) { QCoreApplication::sendPostedEvents(&widget, QEvent::UpdateRequest); }

int firstNumberAfter(const std::string& text, const std::string& label)
{
    const std::size_t at = text.rfind(label);
    if (at == std::string::npos)
        return -1;
    return std::stoi(text.substr(at + label.size()));
}

} // namespace

TEST(WidgetStart, MembersTakeTheirStartValuesWithoutAnyGlCall)
{
    widgettest::setUpProcess();
    WidgetRisanje widget;
    EXPECT_FALSE(widget.glReady);
    EXPECT_FALSE(widget.timer.isActive());
    EXPECT_TRUE(widget.needsRepaint);
    EXPECT_FALSE(widget.mouseMoved);
    EXPECT_NE(widget.selection, nullptr);
    EXPECT_NE(widget.shaders, nullptr);
    EXPECT_EQ(widget.infoText, QStringLiteral("EMPTY"));
    EXPECT_TRUE(widget.infoTextDirty);
    EXPECT_TRUE(widget.cutImmediately);
    EXPECT_TRUE(widget.showRuler);
    EXPECT_TRUE(widget.castShadows);
    EXPECT_EQ(widget.mode, ModePruning);
    EXPECT_EQ(widget.pickedId, -1);
    EXPECT_EQ(widget.lightPosition, glm::vec3(10.0f, 200.0f, 10.0f));
    EXPECT_EQ(widget.sawSize, 1.0f);
    for (std::size_t capacity : {widget.pickTable.capacity(), widget.branchPoints.capacity(),
                                 widget.leafPoints.capacity(), widget.capPoints.capacity(),
                                 widget.geometryAttributes.nodeQ.capacity()})
        EXPECT_GE(capacity, 100000u);
    // The saved view is the start camera.
    EXPECT_EQ(widget.savedCamera.location, widget.camera.location);
    EXPECT_EQ(widget.savedCamera.zoom, widget.camera.zoom);
    EXPECT_EQ(widget.updateBehavior(), QOpenGLWidget::PartialUpdate);
}

TEST(WidgetStart, ClArgumentsChoosePlatformAndDevice)
{
    struct Case {
        QStringList arguments;
        int platform;
        int device;
    };
    const std::vector<Case> cases = {
        {{"trelimo"}, -1, -1},
        {{"trelimo", "clDevice=3"}, -1, 3},
        {{"trelimo", "clDevice"}, -1, 0},
        {{"trelimo", "clPlatform=2", "clDevice=1"}, 2, 1},
        {{"trelimo", "clPlatform=x=5"}, 5, -1},      // the piece after the last "="
        {{"trelimo", "clPlatform=abc"}, 0, -1},      // not a number reads as 0
        {{"trelimo", "clDevice=1", "clDevice=4"}, -1, 4},  // the later one wins
        {{"trelimo", "xclDevice=1", "device=2"}, -1, -1},  // must start with the word
    };
    for (const Case& c : cases) {
        int platform = 99;
        int device = 99;
        parseClArguments(c.arguments, platform, device);
        EXPECT_EQ(platform, c.platform) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(device, c.device) << c.arguments.join(' ').toStdString();
    }
}

TEST(WidgetTick, DrainsThePendingMoveAndRepaintsOnce)
{
    TestWidget widget;
    ASSERT_TRUE(widget.ready()) << widget.failure();
    ASSERT_TRUE(widget->timer.isActive());
    EXPECT_EQ(widget->timer.interval(), 10);
    PaintCounter counter(widget.get());

    widget->mouseMoved = true;
    widget->needsRepaint = true;
    ASSERT_TRUE(widget.waitForTicks(1));
    EXPECT_FALSE(widget->mouseMoved);
    EXPECT_FALSE(widget->needsRepaint);
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 5000));

    // Nothing pending: the later ticks paint nothing.
    ASSERT_TRUE(widget.waitForTicks(3));
    deliverPutOffPaints(*widget);
    EXPECT_EQ(counter.paints, 1);
}

TEST(WidgetScene, RebuildWithoutUploadLeavesTheGpuBuffersAndCutLines)
{
    TestWidget widget;
    ASSERT_TRUE(widget.ready()) << widget.failure();
    const std::size_t before = widget->branchPoints.size();
    ASSERT_EQ(bufferSize(*widget, widget->branchVbo), static_cast<int>(before * sizeof(BranchPoint)));
    ASSERT_EQ(widget->branchVertexCount, static_cast<int>(before));

    // A step alone rebuilds nothing.
    widget->growStep();
    EXPECT_EQ(widget->branchPoints.size(), before);
    EXPECT_TRUE(widget->needsRepaint);

    widget->selection->cutLines.resize(2);
    widget->rebuildGeometry(false);
    const std::size_t after = widget->branchPoints.size();
    ASSERT_GT(after, before);
    EXPECT_EQ(widget->pickTable.size(), after);
    EXPECT_EQ(bufferSize(*widget, widget->branchVbo), static_cast<int>(before * sizeof(BranchPoint)));
    EXPECT_EQ(widget->branchVertexCount, static_cast<int>(before));
    EXPECT_EQ(widget->selection->cutLines.size(), 2u);

    // With upload, from here (a main-window command: not inside a GL
    // callback) the widget's own buffers take the new points.
    const std::vector<std::string> errors = widgettest::errorLines([&] { widget->rebuildGeometry(true); });
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(bufferSize(*widget, widget->branchVbo), static_cast<int>(after * sizeof(BranchPoint)));
    EXPECT_EQ(widget->branchVertexCount, static_cast<int>(after));
    const int capBytes = bufferSize(*widget, widget->capVbo);
    EXPECT_EQ(capBytes, static_cast<int>(std::max<std::size_t>(1, widget->capPoints.size()) * sizeof(CapPoint)));
    EXPECT_EQ(widget->capVertexCount, static_cast<int>(widget->capPoints.size()));
    EXPECT_TRUE(widget->selection->cutLines.empty());
    EXPECT_TRUE(widgettest::pendingGlErrors(*widget).empty());
}

TEST(WidgetScene, GenerationLineCountsTheInternodesOfTheStep)
{
    TestWidget widget;
    ASSERT_TRUE(widget.ready()) << widget.failure();
    const std::regex line(R"( generation time: ([0-9.e+-]+)s, num internodes: (\d+)\n)");

    for (int i = 0; i < 2; ++i) {
        StreamCapture out(std::cout);
        widget->growOrRestart(false);
        const std::string text = out.text();
        std::smatch match;
        ASSERT_TRUE(std::regex_search(text, match, line)) << text;
        EXPECT_GE(std::stod(match[1]), 0.0);
        // The count is that of the step's own line, printed just before.
        const std::string beforeLine = text.substr(0, static_cast<std::size_t>(match.position(0)));
        EXPECT_EQ(std::stoi(match[2]), firstNumberAfter(beforeLine, "Number of internodes: ")) << text;
        EXPECT_EQ(widget->branchVertexCount, static_cast<int>(widget->branchPoints.size()));
    }

    StreamCapture out(std::cout);
    widget->growOrRestart(true);
    std::smatch match;
    const std::string text = out.text();
    ASSERT_TRUE(std::regex_search(text, match, line)) << text;
    EXPECT_EQ(std::stoi(match[2]), 0);
    ASSERT_EQ(allTrees.size(), 1u);
    EXPECT_TRUE(allTrees[0]->root->isBud);
    EXPECT_EQ(widget->branchPoints.size(), 1u);
}

TEST(WidgetScene, AGrowthCurveOverTheBudLimitIsToldInTheStatusBar)
{
    TestWidget widget;
    ASSERT_TRUE(widget.ready()) << widget.failure();
    const std::string savedCurve = growthCurveExpression;
    std::vector<QString> told;
    widget->statusMessageCallback = [&](const QString& text) { told.push_back(text); };
    const std::vector<QString> overLimit = {
        QStringLiteral("The growth curve gave a bud more than the limit of 10000 units: that bud grew nothing")};
    struct Row {
        const char* curve;
        std::function<void(WidgetRisanje&)> grow;  // the grow action's path, or generate's
        std::vector<QString> told;
    };
    // Over the limit first, so that what it left behind would show in the next row.
    const Row rows[] = {
        {"20000", [](WidgetRisanje& w) { w.growOrRestart(false); }, overLimit},
        {"20000", [](WidgetRisanje& w) { w.growStep(); }, overLimit},
        {"2", [](WidgetRisanje& w) { w.growOrRestart(false); }, {}},
        // A curve that does not compile leaves the bud a NaN, which is reset too.
        {"2+", [](WidgetRisanje& w) { w.growOrRestart(false); }, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.curve);
        growthCurveExpression = row.curve;
        StreamCapture out(std::cout);
        // The restart's light pass gives the root bud the curve's value.
        widget->growOrRestart(true);
        told.clear();
        row.grow(*widget);
        EXPECT_EQ(told, row.told);
    }
    growthCurveExpression = savedCurve;
}

TEST(WidgetTextures, NineImagesWithTheirWrapModes)
{
    TestWidget widget;
    ASSERT_TRUE(widget.ready()) << widget.failure();
    struct Case {
        const char* file;
        unsigned int texture;
        GLint wrap;
    };
    const std::vector<Case> cases = {
        {"tex/woodInMladWood.jpg", WidgetRisanje::barkTextures[0], GL_CLAMP_TO_EDGE},
        {"tex/woodInMladWoodInvert.jpg", WidgetRisanje::barkTextures[1], GL_CLAMP_TO_EDGE},
        {"tex/listInRezina.png", WidgetRisanje::leafTexture, GL_REPEAT},
        {"tex/zaga2.png", widget->sawTexture, GL_REPEAT},
        {"tex/ravnilo.png", widget->rulerTexture, GL_REPEAT},
        {"tex/grass.jpg", widget->grassTexture, GL_REPEAT},
        {"tex/Above_The_Sea.jpg", widget->skyTexture, GL_REPEAT},
        {"tex/grad.png", widget->legendTexture, GL_REPEAT},
        {"tex/rope.png", widget->ropeTexture, GL_REPEAT},
    };
    std::vector<unsigned int> names;
    widget->makeCurrent();
    QOpenGLFunctions_3_3_Core* gl = glOf(*widget);
    for (const Case& c : cases) {
        const QImage image(c.file);
        ASSERT_FALSE(image.isNull()) << c.file;
        gl->glBindTexture(GL_TEXTURE_2D, c.texture);
        GLint width = 0, height = 0, wrapS = 0, wrapT = 0;
        gl->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        gl->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        gl->glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
        gl->glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
        EXPECT_EQ(width, image.width()) << c.file;
        EXPECT_EQ(height, image.height()) << c.file;
        EXPECT_EQ(wrapS, c.wrap) << c.file;
        EXPECT_EQ(wrapT, c.wrap) << c.file;
        names.push_back(c.texture);
    }
    // The info text's texture name is reserved too (filled later) and is none
    // of the images.
    EXPECT_NE(widget->infoTextTexture, 0u);
    names.push_back(widget->infoTextTexture);
    widget->doneCurrent();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end()) << "two roles share a texture";
}

TEST(WidgetTextures, AMissingFileStopsTheSetUpWithItsPath)
{
    widgettest::setUpProcess();
    const QString home = QDir::currentPath();
    const QStringList files = QDir(home + "/tex").entryList(QDir::Files);
    ASSERT_EQ(files.size(), 9);
    for (const QString& missing : files) {
        QTemporaryDir folder;
        ASSERT_TRUE(QDir(folder.path()).mkdir("tex"));
        for (const QString& file : files) {
            if (file != missing) {
                ASSERT_TRUE(QFile::copy(home + "/tex/" + file, folder.path() + "/tex/" + file));
            }
        }
        QDir::setCurrent(folder.path());
        {
            TestWidget widget;
            EXPECT_FALSE(widget.ready());
            EXPECT_EQ(widget.failure(), "Does not exist tex/" + missing.toStdString());
            EXPECT_FALSE(widget->timer.isActive());
            // Unready, a frame draws nothing, and so fails at nothing.
            EXPECT_TRUE(widget.paintAndCollectErrors().empty());
        }
        QDir::setCurrent(home);
    }
}
