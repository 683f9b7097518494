// The camera and the light moved by mouse drags, the wheel and the keys, driven
// through real Qt events on a shown drawing widget (window-system mouse events,
// so the application's keyboard modifiers follow them as they do for a user).

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/paintcounter.h"
#include "support/widgetfixture.h"
#include "view/widgetrisanje.h"

namespace {

using widgettest::TestWidget;


// What the table compares: the camera fields and the light a drag may move.
struct ViewState {
    float objectRotationX, objectRotationY, cameraRotationX, cameraRotationY;
    glm::vec3 location, light;
};

ViewState stateOf(const WidgetRisanje& w)
{
    return {w.camera.objectRotationX, w.camera.objectRotationY, w.camera.cameraRotationX,
            w.camera.cameraRotationY, w.camera.location, w.lightPosition};
}

void expectNear(const ViewState& actual, const ViewState& expected, const std::string& what)
{
    const float tol = 1e-3f;
    EXPECT_NEAR(actual.objectRotationX, expected.objectRotationX, tol) << what;
    EXPECT_NEAR(actual.objectRotationY, expected.objectRotationY, tol) << what;
    EXPECT_NEAR(actual.cameraRotationX, expected.cameraRotationX, tol) << what;
    EXPECT_NEAR(actual.cameraRotationY, expected.cameraRotationY, tol) << what;
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(actual.location[i], expected.location[i], tol) << what << " location " << i;
        EXPECT_NEAR(actual.light[i], expected.light[i], tol) << what << " light " << i;
    }
}

class InputCamera : public ::testing::Test {
protected:
    static void SetUpTestSuite() { widget = new TestWidget(480, 360); }
    static void TearDownTestSuite()
    {
        delete widget;
        widget = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(widget->ready()) << widget->failure();
        w().mode = ModeNavigation;
        w().camera = CameraState();
        w().camera.cameraRotationX = 30.0f;  // a heading, so that pans and steps turn with it
        w().lightPosition = glm::vec3(10.0f, 200.0f, 10.0f);
        w().installEventFilter(&paints);
        announcements = 0;
        connection = QObject::connect(widget->get(), &WidgetRisanje::CameraUpdatedFromMouseKeyboards,
                                      [this] { ++announcements; });
        ASSERT_TRUE(widget->waitForTicks(2));
    }

    void TearDown() override
    {
        QObject::disconnect(connection);
        w().removeEventFilter(&paints);
    }

    static WidgetRisanje& w() { return **widget; }
    static QWindow* window() { return w().windowHandle(); }

    static TestWidget* widget;
    PaintCounter paints;
    int announcements = 0;
    QMetaObject::Connection connection;
};

TestWidget* InputCamera::widget = nullptr;

struct DragCase {
    const char* name;
    Qt::KeyboardModifiers modifiers;
    std::vector<Qt::MouseButton> buttons;
    bool repaints;
    // The expected state after a drag by (dx, dy) from `before`.
    std::function<void(ViewState&, double dx, double dy)> move;
};

constexpr double headingFactor = 0.017453292;

const std::vector<DragCase>& dragCases()
{
    static const std::vector<DragCase> cases = {
        {"left turns the scene", Qt::NoModifier, {Qt::LeftButton}, true,
         [](ViewState& s, double dx, double dy) {
             s.objectRotationX = float(s.objectRotationX - dx * 0.09);
             s.objectRotationY = float(s.objectRotationY + dy * 0.09);
         }},
        {"right alone moves nothing", Qt::NoModifier, {Qt::RightButton}, true, nullptr},
        {"middle alone moves nothing", Qt::NoModifier, {Qt::MiddleButton}, true, nullptr},
        {"left and right move nothing", Qt::NoModifier, {Qt::LeftButton, Qt::RightButton}, true, nullptr},
        {"ctrl left turns the camera", Qt::ControlModifier, {Qt::LeftButton}, true,
         [](ViewState& s, double dx, double dy) {
             s.cameraRotationX = float(s.cameraRotationX - dx * 0.09);
             s.cameraRotationY = float(s.cameraRotationY + dy * 0.09);
         }},
        {"ctrl shift left turns the camera too", Qt::ControlModifier | Qt::ShiftModifier, {Qt::LeftButton}, true,
         [](ViewState& s, double dx, double dy) {
             s.cameraRotationX = float(s.cameraRotationX - dx * 0.09);
             s.cameraRotationY = float(s.cameraRotationY + dy * 0.09);
         }},
        {"ctrl right pans along the heading", Qt::ControlModifier, {Qt::RightButton}, true,
         [](ViewState& s, double dx, double dy) {
             const double h = s.cameraRotationX * headingFactor;
             s.location.x = float(s.location.x - (0.5 * dx * std::cos(h) - 0.5 * dy * std::sin(h)));
             s.location.z = float(s.location.z - (0.5 * dx * std::sin(h) + 0.5 * dy * std::cos(h)));
         }},
        {"ctrl middle lifts the camera", Qt::ControlModifier, {Qt::MiddleButton}, true,
         [](ViewState& s, double, double dy) { s.location.y = float(s.location.y + dy * 0.1); }},
        {"ctrl left and right do nothing", Qt::ControlModifier, {Qt::LeftButton, Qt::RightButton}, false, nullptr},
        {"ctrl without a button does nothing", Qt::ControlModifier, {}, false, nullptr},
        {"shift left does nothing", Qt::ShiftModifier, {Qt::LeftButton}, false, nullptr},
        {"shift left and right do nothing", Qt::ShiftModifier, {Qt::LeftButton, Qt::RightButton}, false, nullptr},
        {"shift right moves the light in x and z", Qt::ShiftModifier, {Qt::RightButton}, true,
         [](ViewState& s, double dx, double dy) {
             s.light.x = float(s.light.x - dx * 0.01);
             s.light.z = float(s.light.z + dy * 0.01);
         }},
        {"shift middle moves the light in y", Qt::ShiftModifier, {Qt::MiddleButton}, true,
         [](ViewState& s, double, double dy) { s.light.y = float(s.light.y + dy * 0.01); }},
        {"shift without a button does nothing", Qt::ShiftModifier, {}, false, nullptr},
        {"alt left does nothing", Qt::AltModifier, {Qt::LeftButton}, false, nullptr},
    };
    return cases;
}

TEST_F(InputCamera, DragTableOfModifiersAndButtons)
{
    const QPoint start(200, 150);
    const QPoint end(236, 128);  // dx 36, dy -22
    for (const DragCase& c : dragCases()) {
        SCOPED_TRACE(c.name);
        QTest::mouseMove(window(), start);
        ASSERT_TRUE(widget->waitForTicks(2));
        const ViewState before = stateOf(w());
        for (Qt::MouseButton b : c.buttons)
            QTest::mousePress(window(), b, c.modifiers, start);
        paints.paints = 0;
        QTest::mouseEvent(QTest::MouseMove, window(), Qt::NoButton, c.modifiers, end);
        ASSERT_TRUE(widget->waitForTicks(3));
        const int painted = paints.paints;
        const ViewState after = stateOf(w());
        for (auto b = c.buttons.rbegin(); b != c.buttons.rend(); ++b)
            QTest::mouseRelease(window(), *b, c.modifiers, end);
        QTest::mouseEvent(QTest::MouseMove, window(), Qt::NoButton, Qt::NoModifier, start);

        ViewState expected = before;
        if (c.move)
            c.move(expected, end.x() - start.x(), end.y() - start.y());
        expectNear(after, expected, c.name);
        if (c.repaints) {
            EXPECT_GE(painted, 1);
        } else {
            EXPECT_EQ(painted, 0);
        }
        ASSERT_TRUE(widget->waitForTicks(2));
        w().camera = CameraState();
        w().camera.cameraRotationX = 30.0f;
        w().lightPosition = glm::vec3(10.0f, 200.0f, 10.0f);
    }
}

TEST_F(InputCamera, ReleaseFinishesTheLastDragStepBeforeAnnouncingTheCamera)
{
    const QPoint start(100, 100);
    const QPoint end(140, 112);
    QTest::mouseMove(window(), start);
    ASSERT_TRUE(widget->waitForTicks(2));
    const float before = w().camera.objectRotationX;
    float announced = before;
    const QMetaObject::Connection reader = QObject::connect(
        widget->get(), &WidgetRisanje::CameraUpdatedFromMouseKeyboards,
        [&announced] { announced = w().camera.objectRotationX; });

    // No tick between the last move and the release.
    w().timer.stop();
    QTest::mousePress(window(), Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseEvent(QTest::MouseMove, window(), Qt::NoButton, Qt::NoModifier, end);
    QTest::mouseRelease(window(), Qt::LeftButton, Qt::NoModifier, end);
    w().timer.start();
    QObject::disconnect(reader);

    EXPECT_EQ(announcements, 1);
    EXPECT_NEAR(announced, float(before - (end.x() - start.x()) * 0.09), 1e-4f);
    ASSERT_TRUE(widget->waitForTicks(2));
    EXPECT_NEAR(w().camera.objectRotationX, announced, 1e-6f) << "the tick does not apply the step again";
}

struct WheelCase {
    float heading;
    QPoint angle;  // the event's angle delta (x sideways, y vertical)
    int delta;     // the step it stands for: the vertical angle, else the horizontal one
};

TEST_F(InputCamera, WheelMovesAlongTheHeading)
{
    const std::vector<WheelCase> cases = {
        {0.0f, {0, 120}, 120},    {30.0f, {0, -240}, -240}, {-135.0f, {0, 60}, 60},
        {90.0f, {0, 360}, 360},   {30.0f, {-120, 0}, -120}, {-60.0f, {240, 0}, 240},
        {45.0f, {120, -240}, -240},
    };
    for (const WheelCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "heading " << c.heading << " angle " << c.angle.x() << ", " << c.angle.y());
        w().camera.cameraRotationX = c.heading;
        const glm::vec3 before = w().camera.location;
        const int signalsBefore = announcements;
        QWheelEvent event(QPointF(50, 50), QPointF(w().mapToGlobal(QPoint(50, 50))), QPoint(), c.angle,
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget->get(), &event);

        const double d = float(c.delta * 0.01);
        const double h = c.heading * headingFactor;
        EXPECT_NEAR(w().camera.location.x, before.x + d * std::sin(h), 1e-4);
        EXPECT_NEAR(w().camera.location.y, before.y, 1e-6);
        EXPECT_NEAR(w().camera.location.z, before.z - d * std::cos(h), 1e-4);
        EXPECT_EQ(announcements, signalsBefore + 1);
        EXPECT_TRUE(w().needsRepaint);
    }
}

struct KeyCase {
    Qt::Key key;
    double side, forward, up;  // the step the key stands for
};

TEST_F(InputCamera, KeysStepAlongTheHeadingAndEveryKeyAnnouncesTheCamera)
{
    const std::vector<KeyCase> cases = {
        {Qt::Key_Left, -10, 0, 0},   {Qt::Key_Right, 10, 0, 0},    {Qt::Key_Up, 0, -10, 0},
        {Qt::Key_Down, 0, 10, 0},    {Qt::Key_PageUp, 0, 0, -10},  {Qt::Key_PageDown, 0, 0, 10},
        {Qt::Key_A, 0, 0, 0},        {Qt::Key_Space, 0, 0, 0},
    };
    for (float heading : {0.0f, 30.0f, -120.0f}) {
        for (const KeyCase& c : cases) {
            SCOPED_TRACE(testing::Message() << "heading " << heading << " key " << c.key);
            w().camera.cameraRotationX = heading;
            w().needsRepaint = false;
            const glm::vec3 before = w().camera.location;
            const int signalsBefore = announcements;
            QTest::keyClick(widget->get(), c.key);

            const double h = heading * headingFactor;
            EXPECT_NEAR(w().camera.location.x, before.x - (std::cos(h) * c.side - std::sin(h) * c.forward), 1e-4);
            EXPECT_NEAR(w().camera.location.y, before.y + c.up, 1e-4);
            EXPECT_NEAR(w().camera.location.z, before.z - (std::sin(h) * c.side + std::cos(h) * c.forward), 1e-4);
            EXPECT_EQ(announcements, signalsBefore + 1);
            EXPECT_TRUE(w().needsRepaint);
        }
    }
}

}  // namespace
