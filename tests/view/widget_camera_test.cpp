// The camera: the projection's focal scale and aspect, degenerate zooms and
// sizes, the view transform seen through where known points land in the
// window, the presets with their signal, and the saved view.

#include "support/widgetfixture.h"

#include "view/camerastate.h"
#include "view/widgetrisanje.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

bool isFiniteMatrix(const glm::mat4& m)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (!std::isfinite(m[c][r]))
                return false;
    return true;
}

} // namespace

TEST(Camera, FocalScaleIsOneOverTanOfHalfTheZoomReadAsRadians)
{
    for (double zoom : {45.0, 120.0, 1.0}) {
        CameraState camera;
        camera.zoom = zoom;
        camera.updateMatrices(kWidth, kHeight);
        const double f = 1.0 / std::tan(zoom / 2.0);
        EXPECT_NEAR(camera.projection[1][1], f, 1e-4 * std::fabs(f)) << zoom;
        EXPECT_NEAR(camera.projection[0][0], f * kHeight / kWidth, 1e-4 * std::fabs(f)) << zoom;
        EXPECT_EQ(camera.model, glm::mat4(1.0f));
        EXPECT_EQ(camera.mvp, camera.projection * camera.view);
    }
}

TEST(Camera, DegenerateZoomKeepsThePreviousProjectionAndHeightZeroCountsAsOne)
{
    for (double zoom : {0.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        CameraState camera;
        camera.updateMatrices(kWidth, kHeight);
        const glm::mat4 before = camera.projection;
        camera.zoom = zoom;
        camera.location.x += 5.0f;  // the view still follows
        camera.updateMatrices(kWidth, kHeight);
        EXPECT_EQ(camera.projection, before) << zoom;
        EXPECT_TRUE(isFiniteMatrix(camera.mvp)) << zoom;
        EXPECT_EQ(camera.mvp, camera.projection * camera.view) << zoom;
    }

    CameraState camera;
    camera.updateMatrices(kWidth, 0);
    EXPECT_TRUE(isFiniteMatrix(camera.projection));
    EXPECT_NEAR(camera.projection[1][1] / camera.projection[0][0], static_cast<float>(kWidth), 1e-2f);
}

// The start camera sits 40 in front of the scene and 10 above its origin: the
// point (0, 10, 0) is on the axis. From the top view the origin of the ground is
// on the axis, +x is to the right and +z towards the bottom of the window.
TEST(Camera, PointsLandWhereTheViewPutsThem)
{
    const glm::vec2 centre(kWidth / 2.0f, kHeight / 2.0f);
    CameraState start;
    start.updateMatrices(kWidth, kHeight);
    const glm::vec3 axis = projectToScreen({0.0f, 10.0f, 0.0f}, start.mvp, kWidth, kHeight);
    EXPECT_NEAR(axis.x, centre.x, 1e-3f);
    EXPECT_NEAR(axis.y, centre.y, 1e-3f);
    EXPECT_GT(axis.z, -1.0f);
    EXPECT_LT(axis.z, 1.0f);
    // Window y grows downwards: higher points have smaller y.
    EXPECT_LT(projectToScreen({0.0f, 15.0f, 0.0f}, start.mvp, kWidth, kHeight).y, centre.y);
    EXPECT_GT(projectToScreen({3.0f, 10.0f, 0.0f}, start.mvp, kWidth, kHeight).x, centre.x);

    widgettest::setUpProcess();
    WidgetRisanje widget;
    widget.resize(kWidth, kHeight);
    widget.topView();
    widget.updateMatrices();
    const glm::mat4& top = widget.camera.mvp;
    const glm::vec3 origin = widget.projectToScreen({0.0f, 0.0f, 0.0f}, top);
    EXPECT_NEAR(origin.x, centre.x, 1e-3f);
    EXPECT_NEAR(origin.y, centre.y, 1e-3f);
    const glm::vec3 east = widget.projectToScreen({10.0f, 0.0f, 0.0f}, top);
    const glm::vec3 south = widget.projectToScreen({0.0f, 0.0f, 10.0f}, top);
    EXPECT_GT(east.x, centre.x);
    EXPECT_NEAR(east.y, centre.y, 1e-3f);
    EXPECT_GT(south.y, centre.y);
    EXPECT_NEAR(south.x, centre.x, 1e-3f);
    // 10 units at a distance of 100, in pixels: half the height per tan of
    // half the opening.
    const float pixelsPerUnit = (kHeight / 2.0f) / (100.0f * static_cast<float>(std::tan(45.0 / 2.0)));
    EXPECT_NEAR(east.x - centre.x, 10.0f * pixelsPerUnit, 0.01f);
}

// Each camera puts its point on the axis, at the window centre: the scene is
// turned about its own origin before the camera moves it.
TEST(Camera, PointsOnTheAxisForEachOrderOfTransforms)
{
    struct Row {
        const char* name;
        float objectRotationX, cameraRotationX;
        glm::vec3 point;
    };
    const std::vector<Row> rows = {
        {"scene turned a quarter about y", 90.0f, 0.0f, {10.0f, 10.0f, 0.0f}},
        {"camera turned a quarter about y", 0.0f, 90.0f, {50.0f, 10.0f, 40.0f}},
    };
    for (const Row& row : rows) {
        CameraState camera;
        camera.objectRotationX = row.objectRotationX;
        camera.cameraRotationX = row.cameraRotationX;
        camera.updateMatrices(kWidth, kHeight);
        const glm::vec3 at = projectToScreen(row.point, camera.mvp, kWidth, kHeight);
        EXPECT_NEAR(at.x, kWidth / 2.0f, 1e-2f) << row.name;
        EXPECT_NEAR(at.y, kHeight / 2.0f, 1e-2f) << row.name;
    }
}

TEST(Camera, PointsOnOrBehindTheCameraPlaneHaveNoWindowPosition)
{
    CameraState camera;
    camera.updateMatrices(kWidth, kHeight);
    // The camera is at (0, 10, 40) looking down -z.
    for (const glm::vec3& point : {glm::vec3(0.0f, 10.0f, 40.0f), glm::vec3(5.0f, 10.0f, 40.0f),
                                   glm::vec3(0.0f, 10.0f, 60.0f), glm::vec3(-3.0f, 0.0f, 100.0f)})
        EXPECT_FALSE(isFinitePoint(projectToScreen(point, camera.mvp, kWidth, kHeight)))
            << point.x << " " << point.y << " " << point.z;
    EXPECT_TRUE(isFinitePoint(projectToScreen({0.0f, 10.0f, 39.0f}, camera.mvp, kWidth, kHeight)));
}

TEST(Camera, PresetsAndTheSavedView)
{
    widgettest::setUpProcess();
    WidgetRisanje widget;
    QSignalSpy updated(&widget, &WidgetRisanje::CameraUpdatedFromMouseKeyboards);

    // Loading before any save gives the start camera back.
    const CameraState start = widget.camera;
    widget.camera.location = glm::vec3(1.0f, 2.0f, 3.0f);
    widget.camera.zoom = 7.0;
    widget.loadView();
    EXPECT_EQ(widget.camera.location, start.location);
    EXPECT_EQ(widget.camera.zoom, start.zoom);
    EXPECT_EQ(updated.count(), 1);

    struct Preset {
        const char* name;
        void (WidgetRisanje::*apply)();
        glm::vec3 location;
        float pitch;
    };
    const std::vector<Preset> presets = {
        {"reset", &WidgetRisanje::resetView, {0.0f, -30.0f, -100.0f}, 0.0f},
        {"top", &WidgetRisanje::topView, {0.0f, -100.0f, 0.0f}, 90.0f},
    };
    for (const Preset& preset : presets) {
        widget.camera.objectRotationX = 12.0f;
        widget.camera.objectRotationY = -7.0f;
        widget.camera.cameraRotationX = 33.0f;
        widget.camera.cameraRotationY = 4.0f;
        widget.camera.zoom = 3.0;
        const int emitted = updated.count();
        (widget.*preset.apply)();
        EXPECT_EQ(updated.count(), emitted + 1) << preset.name;
        EXPECT_EQ(widget.camera.location, preset.location) << preset.name;
        EXPECT_EQ(widget.camera.cameraRotationY, preset.pitch) << preset.name;
        EXPECT_EQ(widget.camera.cameraRotationX, 0.0f) << preset.name;
        EXPECT_EQ(widget.camera.objectRotationX, 0.0f) << preset.name;
        EXPECT_EQ(widget.camera.objectRotationY, 0.0f) << preset.name;
        EXPECT_EQ(widget.camera.zoom, 45.0) << preset.name;
    }

    // Save keeps everything, matrices included, and says nothing.
    widget.camera.location = glm::vec3(4.0f, -5.0f, 6.0f);
    widget.camera.zoom = 80.0;
    widget.updateMatrices();
    const glm::mat4 savedMvp = widget.camera.mvp;
    const int emitted = updated.count();
    widget.saveView();
    EXPECT_EQ(updated.count(), emitted);
    widget.resetView();
    widget.loadView();
    EXPECT_EQ(widget.camera.location, glm::vec3(4.0f, -5.0f, 6.0f));
    EXPECT_EQ(widget.camera.zoom, 80.0);
    EXPECT_EQ(widget.camera.mvp, savedMvp);
}
