// The environment display on a shown drawing widget with the real OpenCL device:
// refills of the display buffer from outside the GL callbacks (as the main
// window's commands run them), the refusal of sizes the device cannot hold,
// and the drawn field and marker slices seen in the framebuffer.

#include <gtest/gtest.h>

#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>

#include <cmath>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "environment/environment.h"
#include "environment/openclholder.h"
#include "environment/shadowgrid.h"
#include "environment/stozci.h"
#include "support/streamcapture.h"
#include "support/widgetfixture.h"
#include "view/widgetrisanje.h"

namespace {

using widgettest::TestWidget;

struct BufferContents {
    std::int64_t bytes = 0;
    std::vector<glm::vec4> records;
};

BufferContents readDisplayBuffer(WidgetRisanje& w)
{
    BufferContents contents;
    w.makeCurrent();
    auto* gl = w.context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
    gl->glBindBuffer(GL_ARRAY_BUFFER, w.environmentVbo);
    GLint64 size = 0;
    gl->glGetBufferParameteri64v(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    contents.bytes = size;
    contents.records.resize(std::size_t(size) / sizeof(glm::vec4));
    if (size > 0)
        gl->glGetBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(contents.records.size() * sizeof(glm::vec4)),
                               contents.records.data());
    gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
    w.doneCurrent();
    return contents;
}

std::size_t cube(int n) { return std::size_t(n) * std::size_t(n) * std::size_t(n); }

class EnvironmentDisplay : public ::testing::Test {
protected:
    static void SetUpTestSuite() { widget = new TestWidget(480, 360); }
    static void TearDownTestSuite()
    {
        Environment::instance->type = 2;
        Environment::instance->showEnvironment = false;
        Environment::instance->showBox = false;
        delete widget;
        widget = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(widget->ready()) << widget->failure();
        Environment::instance->showEnvironment = false;
        Environment::instance->showBox = false;
        ShadowGrid::instance->displayAlpha = 0.5f;
    }
    static WidgetRisanje& w() { return **widget; }

    // The device grid of dim^3 cells holding the pyramids of `buds`, and the
    // same grid computed on the CPU for comparison.
    static void makeGrid(int dim, const std::vector<glm::vec3>& buds, ShadowGrid& cpu)
    {
        Environment::instance->type = 0;
        ShadowGrid::instance->dim = dim;
        Environment::instance->reset();
        ShadowGrid::instance->clearShadowQueues();
        ShadowGrid::instance->pendingAdd = buds;
        ShadowGrid::instance->applyQueuedShadowsGpu();
        ShadowGrid::instance->clearShadowQueues();
        cpu.useGpu = false;
        cpu.setDim(dim);
        for (const glm::vec3& bud : buds)
            cpu.propagateShadow(bud, 1.0f);
    }

    static TestWidget* widget;
};

TestWidget* EnvironmentDisplay::widget = nullptr;

TEST_F(EnvironmentDisplay, RefillByTypeFromOutsideThePaint)
{
    enum Expect { GridRecords, ConeLattice, ConeEmpty, Unchanged };
    struct Case {
        const char* name;
        int type;
        bool show;
        int dim;  // grid cells or lattice points per axis
        std::vector<glm::vec3> buds;
        std::vector<glm::vec4> apexes;
        Expect expect;
    };
    const std::vector<Case> cases = {
        {"grid", 0, true, 6, {{-50, 20, 50}, {-50, 20, 50}, {30, 150, -10}, {90, 190, 90}}, {}, GridRecords},
        {"grid, display off", 0, false, 5, {{0, 100, 0}}, {}, Unchanged},
        {"cones", 2, true, 7, {}, {{0, 10, 0, 0}, {5, 20, -3, 0}, {-4, 3, 2, 0}}, ConeLattice},
        {"cones before any light batch", 2, true, 5, {}, {}, ConeEmpty},
        {"space", 1, true, 6, {}, {}, Unchanged},
    };
    const glm::vec3 origin = Environment::instance->boxOrigin;
    const glm::vec3 size = Environment::instance->boxSize;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Something to keep: a filled display of another size.
        ShadowGrid scratch;
        makeGrid(3, {{0, 100, 0}}, scratch);
        w().updateEnvironmentVbo(true);
        const BufferContents before = readDisplayBuffer(w());
        const std::size_t countBefore = w().environmentPointCount;
        ASSERT_EQ(countBefore, cube(3));

        ShadowGrid cpu;
        if (c.type == 0)
            makeGrid(c.dim, c.buds, cpu);
        Environment::instance->type = c.type;
        Stozci::instance->vboDim = c.dim;
        Stozci::instance->stozciVOkolju = c.apexes;
        DebugCapture debug;
        const std::vector<std::string> errors = widgettest::errorLines([&] { w().updateEnvironmentVbo(c.show); });
        EXPECT_TRUE(errors.empty()) << errors.front();
        const BufferContents after = readDisplayBuffer(w());
        const int emptyLines = DebugCapture::countStartingWith("Stozci::instance->stozciVOkolju.size()<=0");

        if (c.expect == Unchanged) {
            EXPECT_EQ(w().environmentPointCount, countBefore);
            EXPECT_EQ(after.bytes, before.bytes);
            EXPECT_TRUE(after.records == before.records);
            EXPECT_EQ(emptyLines, 0);
            continue;
        }
        const std::size_t n = cube(c.dim);
        EXPECT_EQ(w().environmentPointCount, n);
        ASSERT_GE(after.records.size(), n);
        if (c.expect == GridRecords) {
            EXPECT_EQ(after.bytes, std::int64_t(n * 16));
            const glm::vec3 step = size / float(c.dim);
            for (std::size_t i = 0; i < n; ++i) {
                const glm::vec3 cell(i % c.dim, (i / c.dim) % c.dim, i / (std::size_t(c.dim) * c.dim));
                const glm::vec3 centre = origin + (cell + 0.5f) * step;
                EXPECT_NEAR(glm::length(glm::vec3(after.records[i]) - centre), 0.0f, 1e-3f) << i;
                EXPECT_NEAR(after.records[i].w, cpu.cells[i], 1e-5f) << i;
            }
        } else {
            EXPECT_EQ(emptyLines, c.expect == ConeEmpty ? 1 : 0);
            glm::vec3 lo(999999.0f), hi(-999999.0f);
            for (const glm::vec4& apex : c.apexes) {
                lo = glm::min(lo, glm::vec3(apex));
                hi = glm::max(hi, glm::vec3(apex));
            }
            EXPECT_EQ(Stozci::instance->coneFieldMin, lo - 5.0f);
            EXPECT_EQ(Stozci::instance->coneFieldMax, hi + 5.0f);
            if (c.expect == ConeLattice) {
                const glm::vec3 step = (hi - lo + 10.0f) / float(c.dim);
                float darkest = -1e30f, lightest = 1e30f;
                for (std::size_t i = 0; i < n; ++i) {
                    const glm::vec3 cell(i % c.dim, (i / c.dim) % c.dim, i / (std::size_t(c.dim) * c.dim));
                    EXPECT_NEAR(glm::length(glm::vec3(after.records[i]) - (lo - 5.0f + cell * step)), 0.0f, 1e-3f);
                    EXPECT_TRUE(std::isfinite(after.records[i].w) && after.records[i].w <= 1.0f);
                    darkest = std::max(darkest, after.records[i].w);
                    lightest = std::min(lightest, after.records[i].w);
                }
                EXPECT_GT(darkest, lightest + 1e-4f) << "the apexes shade parts of the lattice";
            }
        }
    }
}

TEST_F(EnvironmentDisplay, SizesBeyondTheDeviceLimitAreRefusedAndTheOldDisplayStays)
{
    const std::uint64_t limit = OpenClHolder::instance->device.getInfo<CL_DEVICE_MAX_MEM_ALLOC_SIZE>();
    int justAbove = 1;
    while (std::uint64_t(cube(justAbove)) * 16 <= limit)
        ++justAbove;
    struct Case {
        int type;
        int dim;
    };
    std::vector<Case> cases = {{0, justAbove}, {2, justAbove}};
    if ((std::uint64_t(1) << 37) > limit)
        cases.push_back({0, 2048});  // 2048^3 * 16 bytes is 0 in 32-bit arithmetic
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " dim " << c.dim);
        ShadowGrid cpu;
        makeGrid(4, {{0, 100, 0}}, cpu);
        w().updateEnvironmentVbo(true);
        const BufferContents before = readDisplayBuffer(w());

        Environment::instance->type = c.type;
        ShadowGrid::instance->dim = c.dim;
        Stozci::instance->vboDim = c.dim;
        std::vector<QString> messages;
        w().statusMessageCallback = [&messages](const QString& text) { messages.push_back(text); };
        std::string printed;
        {
            StreamCapture err(std::cerr);
            w().updateEnvironmentVbo(true);
            printed = err.text();
        }
        w().statusMessageCallback = nullptr;
        ShadowGrid::instance->dim = 4;
        Stozci::instance->vboDim = 50;

        const std::string bytes = std::to_string(std::uint64_t(cube(c.dim)) * 16);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].toStdString().find(bytes), std::string::npos) << messages[0].toStdString();
        EXPECT_NE(printed.find(bytes), std::string::npos) << printed;
        EXPECT_EQ(w().environmentPointCount, cube(4));
        const BufferContents after = readDisplayBuffer(w());
        EXPECT_EQ(after.bytes, before.bytes);
        EXPECT_TRUE(after.records == before.records);
        EXPECT_TRUE(widget->paintAndCollectErrors().empty());
    }
}

// A camera in front of the box, looking along -z at its middle.
void lookAtTheBox(WidgetRisanje& w)
{
    w.camera = CameraState();
    w.camera.location = glm::vec3(0.0f, -100.0f, -600.0f);
}

QColor pixelAt(const QImage& frame, const WidgetRisanje& w, const glm::vec3& world)
{
    const glm::vec3 p = w.projectToScreen(world, w.camera.mvp);
    return frame.pixelColor(int(p.x), int(p.y));
}

// A darkening can only be seen over something bright enough.
bool darkenedBy(const QColor& seen, const QColor& behind, double factor)
{
    if (behind.red() + behind.green() + behind.blue() < 90)
        return false;
    auto near = [&](int s, int b) { return std::abs(s - b * factor) <= 4.0; };
    return near(seen.red(), behind.red()) && near(seen.green(), behind.green()) && near(seen.blue(), behind.blue());
}

TEST_F(EnvironmentDisplay, ShadedCellsDrawnWithTheirValueTimesTheDisplayAlpha)
{
    // One shaded cell of a 2^3 grid: (0, 0, 1), its front face centred on
    // (0, 99.9, 50) as seen from the camera; cell (1, 0, 1) beside it is unshaded.
    ShadowGrid cpu;
    makeGrid(2, std::vector<glm::vec3>(6, glm::vec3(-50.0f, 20.0f, 50.0f)), cpu);
    const float value = cpu.cells[gridIndex(0, 0, 1, 2)];
    ASSERT_GT(value, 0.3f);
    ASSERT_EQ(cpu.cells[gridIndex(1, 0, 1, 2)], 0.0f);
    w().updateEnvironmentVbo(true);
    lookAtTheBox(w());
    const QImage behind = widget->grab();

    Environment::instance->showEnvironment = true;
    for (float alpha : {0.25f, 0.5f, 1.0f}) {
        SCOPED_TRACE(testing::Message() << "alpha " << alpha);
        ShadowGrid::instance->displayAlpha = alpha;
        EXPECT_TRUE(widget->paintAndCollectErrors().empty());
        const QImage frame = widget->grab();
        if (alpha == 0.5f)
            widgettest::keepScreenshot(frame, QStringLiteral("envdisplay_field"));
        const glm::vec3 shaded(0.0f, 99.9f, 50.0f);
        const glm::vec3 unshaded(100.0f, 99.9f, 50.0f);
        EXPECT_TRUE(darkenedBy(pixelAt(frame, w(), shaded), pixelAt(behind, w(), shaded), 1.0 - value * alpha))
            << pixelAt(frame, w(), shaded).name().toStdString() << " over "
            << pixelAt(behind, w(), shaded).name().toStdString();
        EXPECT_TRUE(darkenedBy(pixelAt(frame, w(), unshaded), pixelAt(behind, w(), unshaded), 1.0));
    }
}

TEST_F(EnvironmentDisplay, MarkerSlicesEachCoverTheBoxWithOneOverMarkerDimOpacity)
{
    lookAtTheBox(w());
    const QImage behind = widget->grab();
    const int savedDim = Environment::instance->markerDim;
    Environment::instance->showBox = true;
    for (int markerDim : {5, 2, 4}) {
        SCOPED_TRACE(testing::Message() << "markerDim " << markerDim);
        Environment::instance->markerDim = markerDim;
        EXPECT_TRUE(widget->paintAndCollectErrors().empty());
        const QImage frame = widget->grab();
        if (markerDim == 5)
            widgettest::keepScreenshot(frame, QStringLiteral("envdisplay_slices"));
        // Every slice lies between the camera and the sky behind the box's middle.
        const double through = std::pow(1.0 - 1.0 / markerDim, markerDim);
        const glm::vec3 middle(0.0f, 100.0f, 0.0f);
        EXPECT_TRUE(darkenedBy(pixelAt(frame, w(), middle), pixelAt(behind, w(), middle), through))
            << pixelAt(frame, w(), middle).name().toStdString() << " over "
            << pixelAt(behind, w(), middle).name().toStdString();
        const glm::vec3 outside(250.0f, 100.0f, 0.0f);
        EXPECT_TRUE(darkenedBy(pixelAt(frame, w(), outside), pixelAt(behind, w(), outside), 1.0));
    }
    Environment::instance->markerDim = savedDim;
}

}  // namespace
