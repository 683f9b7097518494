// One frame's branch pass on the OpenGL driver at hand (Mesa's software
// renderer under Xvfb here): 10,000 and 100,000 branch points of a hand-built
// tree streamed into a buffer and drawn through programDrawVeja into an
// offscreen 1280 x 720 framebuffer, as the scene drawing does it (bark on unit
// 0, a 1024 x 1024 shadow map on unit 2, front faces culled, colours by
// attribute off), timed to glFinish. The geometry stage turns every point into
// a 26-vertex tube. The shadow-map pass draws the same points again with
// InsideShadowMapping into the 1024 x 1024 depth target. Wall-clock time: the
// driver renders on threads of its own.

#include <benchmark/benchmark.h>

#include "model/tree.h"
#include "support/treebuilders.h"
#include "view/shaderset.h"
#include "view/utils.h"
#include "view/vertexdata.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kShadowSize = 1024;

// The context, programs and targets, made once for all runs.
struct BranchPassScene {
    std::unique_ptr<QOpenGLContext> context;
    std::unique_ptr<QOffscreenSurface> surface;
    QOpenGLFunctions_3_3_Core* gl = nullptr;
    ShaderSet shaders;
    unsigned int vertexArray = 0;
    unsigned int streamVbo = 0;
    unsigned int framebuffer = 0;
    unsigned int shadowFramebuffer = 0;
    unsigned int shadowTexture = 0;
    unsigned int barkTexture = 0;
    std::string error;

    BranchPassScene()
    {
        if (!QGuiApplication::instance()) {
            static int argc = 1;
            static char name[] = "bench_environment";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
        QSurfaceFormat format;
        format.setVersion(3, 3);
        format.setProfile(QSurfaceFormat::CoreProfile);
        context = std::make_unique<QOpenGLContext>();
        context->setFormat(format);
        surface = std::make_unique<QOffscreenSurface>();
        if (!context->create()) {
            error = "no OpenGL 3.3 core context (run under xvfb-run)";
            return;
        }
        surface->setFormat(context->format());
        surface->create();
        context->makeCurrent(surface.get());
        gl = context->versionFunctions<QOpenGLFunctions_3_3_Core>();
        if (!gl) {
            error = "no OpenGL 3.3 core functions";
            return;
        }
        shaders.loadAll();

        gl->glGenVertexArrays(1, &vertexArray);
        gl->glBindVertexArray(vertexArray);
        gl->glGenBuffers(1, &streamVbo);

        unsigned int colour = 0;
        unsigned int depth = 0;
        gl->glGenFramebuffers(1, &framebuffer);
        gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        gl->glGenRenderbuffers(1, &colour);
        gl->glBindRenderbuffer(GL_RENDERBUFFER, colour);
        gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
        gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        gl->glGenRenderbuffers(1, &depth);
        gl->glBindRenderbuffer(GL_RENDERBUFFER, depth);
        gl->glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kWidth, kHeight);
        gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);

        // The shadow map as the widget makes it.
        gl->glGenTextures(1, &shadowTexture);
        gl->glBindTexture(GL_TEXTURE_2D, shadowTexture);
        gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, kShadowSize, kShadowSize, 0, GL_DEPTH_COMPONENT,
                         GL_UNSIGNED_BYTE, nullptr);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
        const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        gl->glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, white);
        gl->glGenFramebuffers(1, &shadowFramebuffer);
        gl->glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
        gl->glDrawBuffer(GL_NONE);
        gl->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, shadowTexture, 0);
        gl->glClear(GL_DEPTH_BUFFER_BIT);

        gl->glGenTextures(1, &barkTexture);
        const std::string bark = QCoreApplication::applicationDirPath().toStdString() + "/tex/woodInMladWood.jpg";
        try {
            gl->glActiveTexture(GL_TEXTURE0);
            loadTexture(bark.c_str(), barkTexture, false);
        } catch (const std::string& message) {
            error = message;
        }
    }
};

BranchPassScene& scene()
{
    static BranchPassScene instance;
    return instance;
}

// Exactly `count` branch points: the depth-first start of an axis tree of a
// little more than count / 2 internodes (each internode and each bud is a point).
std::vector<BranchPoint> branchPointsOf(int count)
{
    makeOnlyTree(buildTreeOfAbout(count / 2 + count / 20));
    std::vector<BranchPoint> branchPoints;
    std::vector<LeafPoint> leafPoints;
    std::vector<Internode*> pickTable;
    GeometryAttributes attributes;
    std::vector<CapPoint> capPoints;
    buildAllTreeGeometry(branchPoints, leafPoints, pickTable, attributes, capPoints);
    deleteAllTrees();
    branchPoints.resize(static_cast<size_t>(count));
    return branchPoints;
}

// A camera that frames all points from the side and a little above, as the
// view starts out.
glm::mat4 framingCamera(const std::vector<BranchPoint>& points)
{
    glm::vec3 low(1e30f);
    glm::vec3 high(-1e30f);
    for (const BranchPoint& p : points) {
        low = glm::min(low, glm::min(p.base, p.tip));
        high = glm::max(high, glm::max(p.base, p.tip));
    }
    const glm::vec3 centre = (low + high) * 0.5f;
    const float radius = glm::length(high - low) * 0.5f;
    const glm::vec3 eye = centre + glm::normalize(glm::vec3(0.3f, 0.3f, 1.0f)) * radius * 2.4f;
    const glm::mat4 projection = glm::perspective(glm::radians(45.0f), float(kWidth) / kHeight, 0.1f, 10000.0f);
    return projection * glm::lookAt(eye, centre, glm::vec3(0.0f, 1.0f, 0.0f));
}

void streamAndDraw(QOpenGLFunctions_3_3_Core* gl, unsigned int buffer, const std::vector<BranchPoint>& points)
{
    const GLsizei stride = sizeof(BranchPoint);
    auto offset = [](size_t bytes) { return reinterpret_cast<const void*>(bytes); };
    gl->glBindBuffer(GL_ARRAY_BUFFER, buffer);
    gl->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size() * sizeof(BranchPoint)), points.data(),
                     GL_DYNAMIC_DRAW);
    gl->glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, base)));
    gl->glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, tip)));
    gl->glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, startRadius)));
    gl->glVertexAttribPointer(3, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, endRadius)));
    gl->glVertexAttribIPointer(6, 1, GL_INT, stride, offset(offsetof(BranchPoint, age)));
    for (int i : {0, 1, 2, 3, 6})
        gl->glEnableVertexAttribArray(i);
    gl->glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(points.size()));
    for (int i : {0, 1, 2, 3, 6})
        gl->glDisableVertexAttribArray(i);
}

void setBranchUniforms(BranchPassScene& s, const glm::mat4& pvm, bool shadowPass)
{
    QOpenGLFunctions_3_3_Core* gl = s.gl;
    const ShaderSet& sh = s.shaders;
    s.shaders.programDrawVeja.Use();
    gl->glUniformMatrix4fv(sh.vejaPVM, 1, GL_FALSE, glm::value_ptr(pvm));
    gl->glUniformMatrix4fv(sh.vejaShadowmat, 1, GL_FALSE, glm::value_ptr(pvm));
    gl->glUniform1i(sh.vejaShadowMap, 2);
    gl->glUniform3f(sh.vejaLightPos, 10.0f, 200.0f, 10.0f);
    gl->glUniform4f(sh.vejaAddColor, 0.4f, 0.4f, 0.4f, 0.0f);
    gl->glUniform1i(sh.vejaOsvetlitevE, 1);
    gl->glUniform1i(sh.vejaShadowsE, 1);
    gl->glUniform1i(sh.vejaIntoQSumE, 0);
    gl->glUniform1i(sh.vejaInsideShadowMapping, shadowPass ? 1 : 0);
    gl->glUniform1f(sh.vejaTexRepeat, 1.0f);
    gl->glUniform1f(sh.vejaTexXFrom, 0.0f);
    gl->glUniform1f(sh.vejaTexXTo, 1.0f);
}

void runBranchPass(benchmark::State& state, bool shadowPass)
{
    BranchPassScene& s = scene();
    if (!s.error.empty()) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    QOpenGLFunctions_3_3_Core* gl = s.gl;
    const std::vector<BranchPoint> points = branchPointsOf(static_cast<int>(state.range(0)));
    const glm::mat4 pvm = framingCamera(points);

    gl->glBindFramebuffer(GL_FRAMEBUFFER, shadowPass ? s.shadowFramebuffer : s.framebuffer);
    gl->glViewport(0, 0, shadowPass ? kShadowSize : kWidth, shadowPass ? kShadowSize : kHeight);
    gl->glActiveTexture(GL_TEXTURE0);
    gl->glBindTexture(GL_TEXTURE_2D, s.barkTexture);
    gl->glActiveTexture(GL_TEXTURE2);
    // The shadow pass renders into the shadow map, so it samples none.
    gl->glBindTexture(GL_TEXTURE_2D, shadowPass ? 0 : s.shadowTexture);
    gl->glActiveTexture(GL_TEXTURE0);
    gl->glEnable(GL_DEPTH_TEST);
    gl->glDepthFunc(GL_LESS);
    gl->glEnable(GL_CULL_FACE);
    gl->glFrontFace(GL_CCW);
    gl->glCullFace(GL_FRONT);
    gl->glEnable(GL_BLEND);
    gl->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    setBranchUniforms(s, pvm, shadowPass);
    // The driver compiles its variant of the programs at the first draw.
    streamAndDraw(gl, s.streamVbo, points);
    gl->glFinish();

    for (auto _ : state) {
        gl->glClear(shadowPass ? GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        streamAndDraw(gl, s.streamVbo, points);
        gl->glFinish();
    }
    checkGLError("bench_branchpass");

    state.counters["points"] = static_cast<double>(points.size());
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(points.size()), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_BranchPassMain(benchmark::State& state) { runBranchPass(state, false); }
void BM_BranchPassShadowMap(benchmark::State& state) { runBranchPass(state, true); }

}  // namespace

BENCHMARK(BM_BranchPassMain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BranchPassShadowMap)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
