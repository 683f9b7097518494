// The two environment display fills through a real OpenGL buffer (Mesa under
// Xvfb). pocl offers no OpenGL sharing, so both fills take the read-back path:
// the records are computed on the device, read back and uploaded.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QSurfaceFormat>

#include <cmath>
#include <vector>

#include "light_support.h"

namespace {

// An OpenGL 3.3 core context on an offscreen surface, current while it lives,
// with one array buffer.
struct GlBuffer {
    QOffscreenSurface surface;
    QOpenGLContext context;
    QOpenGLFunctions_3_3_Core* gl = nullptr;
    GLuint name = 0;

    GlBuffer()
    {
        QSurfaceFormat format;
        format.setVersion(3, 3);
        format.setProfile(QSurfaceFormat::CoreProfile);
        surface.setFormat(format);
        surface.create();
        context.setFormat(format);
        if (!context.create() || !context.makeCurrent(&surface))
            return;
        gl = context.versionFunctions<QOpenGLFunctions_3_3_Core>();
        if (!gl || !gl->initializeOpenGLFunctions()) {
            gl = nullptr;
            return;
        }
        gl->glGenBuffers(1, &name);
    }
    ~GlBuffer()
    {
        if (gl)
            gl->glDeleteBuffers(1, &name);
        context.doneCurrent();
    }

    // Gives the buffer `records` records of recognisable junk, as a buffer
    // allocated without contents might hold.
    void fillWithJunk(int records)
    {
        const std::vector<glm::vec4> junk(records, glm::vec4(42.0f));
        gl->glBindBuffer(GL_ARRAY_BUFFER, name);
        gl->glBufferData(GL_ARRAY_BUFFER, records * 16, junk.data(), GL_DYNAMIC_DRAW);
        gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
    }

    GLint size()
    {
        GLint bytes = 0;
        gl->glBindBuffer(GL_ARRAY_BUFFER, name);
        gl->glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
        return bytes;
    }

    std::vector<glm::vec4> records(int count)
    {
        std::vector<glm::vec4> data(count);
        gl->glBindBuffer(GL_ARRAY_BUFFER, name);
        gl->glGetBufferSubData(GL_ARRAY_BUFFER, 0, count * 16, data.data());
        return data;
    }
};

glm::vec3 latticeCell(int i, int dim) { return glm::vec3(i % dim, (i / dim) % dim, i / (dim * dim)); }

// The cone shadow of one apex on one point, in double precision.
double coneShadow(const glm::dvec3& apex, const glm::dvec3& point)
{
    const double r = glm::length(apex - point);
    if (r <= 0.0)
        return 1.0;
    double v = std::pow(std::tanh(1.0 / r), r);
    const double dy = apex.y - point.y;
    if (dy <= 0.0)
        return v;
    const double dR = 2.0 * glm::length(glm::dvec2(apex.x - point.x, apex.z - point.z));
    return v + (dy / 5.0) / std::sinh(dR + dy / 5.0);
}

TEST(GridDisplay, WithoutSharingEveryCellIsReadBackToItsCentre)
{
    OpenClHolder& holder = lightHolder();
    GlBuffer buffer;
    ASSERT_NE(buffer.gl, nullptr) << "no OpenGL 3.3 context (is an X server running?)";
    if (holder.glSharing)
        GTEST_SKIP() << "this device shares buffers with OpenGL";

    // Box 0..10 in 4 cells per axis (2.5 each); one bud in cell (2, 3, 0).
    Environment& environment = freshEnvironment(0);
    environment.boxOrigin = glm::vec3(0.0f);
    environment.boxSize = glm::vec3(10.0f);
    ShadowGrid& grid = *ShadowGrid::instance;
    grid.useGpu = false;
    grid.setDim(4);
    grid.propagateShadow({6.0f, 9.0f, 1.0f}, 1.0f);
    const std::vector<float> expected(grid.cells.get(), grid.cells.get() + 64);
    freshEnvironment(0);
    environment.boxOrigin = glm::vec3(0.0f);
    environment.boxSize = glm::vec3(10.0f);

    StreamCapture out(std::cout);
    StreamCapture err(std::cerr);
    ShadowGrid::instance->setDim(4);
    ShadowGrid::instance->pendingAdd = {{6.0f, 9.0f, 1.0f}};
    ShadowGrid::instance->applyQueuedShadowsGpu();
    const std::string before = out.text();
    buffer.fillWithJunk(64);
    holder.CalcVBOShadowProp(buffer.name, 4, environment.boxOrigin, environment.boxSize, 0.5f);

    EXPECT_EQ(out.text().substr(before.size()), "CalcVBOShadowProp\n");
    EXPECT_EQ(err.text(), " Opengl+OpenCL NOK");
    ASSERT_EQ(buffer.size(), 64 * 16);
    const std::vector<glm::vec4> records = buffer.records(64);
    int shaded = 0;
    for (int i = 0; i < 64; ++i) {
        const glm::vec3 centre = latticeCell(i, 4) * 2.5f + 1.25f;
        ASSERT_EQ(glm::vec3(records[i]), centre) << i;
        ASSERT_NEAR(records[i].w, 0.5f * expected[i], 1e-6) << i;
        shaded += expected[i] > 0.0f;
    }
    // Layers y = 3 to 0 of the pyramid, clipped at x = 3 and z = 0: 1, 3 x 2,
    // 4 x 3 and 4 x 4 cells.
    EXPECT_EQ(shaded, 1 + 6 + 12 + 16);
}

TEST(ConeDisplay, WithNoPointsTheCornersAreTheSentinelsAndEveryRecordIsWritten)
{
    OpenClHolder& holder = lightHolder();
    GlBuffer buffer;
    ASSERT_NE(buffer.gl, nullptr) << "no OpenGL 3.3 context (is an X server running?)";
    if (holder.glSharing)
        GTEST_SKIP() << "this device shares buffers with OpenGL";

    buffer.fillWithJunk(100);
    glm::vec3 fieldMin(0.0f), fieldMax(0.0f);
    StreamCapture out(std::cout);
    StreamCapture err(std::cerr);
    holder.CalcVboIzStozcev(buffer.name, nullptr, 0, 3, fieldMin, fieldMax);

    EXPECT_EQ(out.text(), "CalcVboIzStozcev\nMemSet\n");
    EXPECT_EQ(err.text(), " Opengl,OpenCL shraing not supported. Using bypass.");
    EXPECT_EQ(fieldMin, glm::vec3(999994.0f));
    EXPECT_EQ(fieldMax, glm::vec3(-999994.0f));
    ASSERT_EQ(buffer.size(), 27 * 16);
    // Lattice step (max - min) / 3 per axis; with no shadow the sum is 0 and the
    // value 1 - max(1 - (0 - 1) / 80, 0) = -1/80.
    const float step = (-999994.0f - 999994.0f) / 3.0f;
    const std::vector<glm::vec4> records = buffer.records(27);
    for (int i = 0; i < 27; ++i) {
        const glm::vec3 point = glm::vec3(999994.0f) + step * latticeCell(i, 3);
        for (int axis = 0; axis < 3; ++axis)
            ASSERT_NEAR(records[i][axis], point[axis], 1.0) << i;
        ASSERT_NEAR(records[i].w, -1.0f / 80.0f, 1e-6) << i;
    }
}

TEST(ConeDisplay, OnePointSpansALatticeFiveUnitsAroundIt)
{
    OpenClHolder& holder = lightHolder();
    GlBuffer buffer;
    ASSERT_NE(buffer.gl, nullptr) << "no OpenGL 3.3 context (is an X server running?)";
    if (holder.glSharing)
        GTEST_SKIP() << "this device shares buffers with OpenGL";

    const glm::vec4 apex(1.0f, 2.0f, 3.0f, 0.0f);
    glm::vec3 fieldMin(0.0f), fieldMax(0.0f);
    StreamCapture out(std::cout);
    StreamCapture err(std::cerr);
    holder.CalcVboIzStozcev(buffer.name, &apex, 1, 5, fieldMin, fieldMax);

    EXPECT_EQ(fieldMin, glm::vec3(-4.0f, -3.0f, -2.0f));
    EXPECT_EQ(fieldMax, glm::vec3(6.0f, 7.0f, 8.0f));
    const std::vector<glm::vec4> records = buffer.records(125);
    for (int i = 0; i < 125; ++i) {
        const glm::vec3 point = fieldMin + 2.0f * latticeCell(i, 5);
        ASSERT_NEAR(glm::length(glm::vec3(records[i]) - point), 0.0f, 1e-5) << i;
        const double sum = coneShadow(glm::dvec3(apex), glm::dvec3(point));
        const double value = 1.0 - std::max(1.0 - (sum - 1.0) / 80.0, 0.0);
        ASSERT_NEAR(records[i].w, value, 1e-5) << i;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
