// Mouse, wheel and keys of the drawing widget. Moves are only recorded here;
// the 10 ms tick runs processPendingMouse on the latest one, so a burst of moves
// costs one camera step or one hover pick. Presses act at once.

#include "view/widgetrisanje.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/internode.h"

namespace {

// Degrees to radians as the heading arithmetic has always used them.
constexpr double degreesToRadians = 0.017453292;

// Unit vector of v, or zero for a zero vector (a zero-length internode must not
// put NaN into the drawn path).
glm::vec3 unitOrZero(const glm::vec3& v)
{
    const float length = glm::length(v);
    return length > 0.0f ? v / length : glm::vec3(0.0f);
}

// The hover point stays one pixel inside the window; a window too small for
// that keeps the point on its pixels.
int clampInside(int value, int extent)
{
    const int lo = std::max(0, std::min(1, extent - 1));
    const int hi = std::max(lo, extent - 2);
    return std::clamp(value, lo, hi);
}

bool isBendingMode(int mode) { return mode == ModeTying || mode == ModeSpreading || mode == ModeWeighting; }

}  // namespace

void WidgetRisanje::setMode(int newMode)
{
    if (newMode != mode) {
        // A bend left pending in another mode would be confirmed by the next
        // right click on coming back, wherever it falls.
        if (bendTarget.state != 0)
            cancelBending();
        // The reading beside the cursor is the old mode's: a length, an angle
        // or an internode's values would otherwise follow the cursor in the new one.
        clearReading();
    }
    mode = newMode;
}

void WidgetRisanje::mouseMoveEvent(QMouseEvent* event)
{
    mouseMoved = true;
    mouseX = event->pos().x();
    mouseY = event->pos().y();
    mouseModifiers = static_cast<int>(QApplication::keyboardModifiers());
    mouseButtons = static_cast<int>(event->buttons());
}

void WidgetRisanje::mouseReleaseEvent(QMouseEvent*)
{
    // The main window answers the signal by reading the camera; a drag step
    // still waiting for the tick would otherwise be overwritten by the older one.
    if (mouseMoved) {
        mouseMoved = false;
        processPendingMouse();
    }
    emit CameraUpdatedFromMouseKeyboards();
}

void WidgetRisanje::wheelEvent(QWheelEvent* event)
{
    // A tilt wheel or a sideways touchpad scroll has no vertical angle: its
    // horizontal one steps the camera just the same.
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    const float d = static_cast<float>(delta * 0.01);
    const double h = camera.cameraRotationX * degreesToRadians;
    camera.location.x += d * std::sin(h);
    camera.location.z -= d * std::cos(h);
    needsRepaint = true;
    emit CameraUpdatedFromMouseKeyboards();
}

void WidgetRisanje::keyPressEvent(QKeyEvent* event)
{
    double side = 0.0;
    double forward = 0.0;
    switch (event->key()) {
    case Qt::Key_Left: side = -10.0; break;
    case Qt::Key_Right: side = 10.0; break;
    case Qt::Key_Up: forward = -10.0; break;
    case Qt::Key_Down: forward = 10.0; break;
    case Qt::Key_PageUp: camera.location.y -= 10.0f; break;
    case Qt::Key_PageDown: camera.location.y += 10.0f; break;
    default: break;
    }
    const double h = camera.cameraRotationX * degreesToRadians;
    camera.location.x -= std::cos(h) * side - std::sin(h) * forward;
    camera.location.z -= std::sin(h) * side + std::cos(h) * forward;
    needsRepaint = true;
    emit CameraUpdatedFromMouseKeyboards();
}

void WidgetRisanje::mousePressEvent(QMouseEvent* event)
{
    prevMouseX = event->pos().x();
    prevMouseY = event->pos().y();
    if (event->button() != Qt::RightButton || (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)))
        return;
    const glm::vec2 point(event->pos().x(), event->pos().y());
    switch (mode) {
    case ModePruning: rightClickPruning(point); break;
    case ModeLength: rightClickLength(point); break;
    case ModeAngle: rightClickAngle(point); break;
    case ModePlanting: rightClickPlanting(point); break;
    case ModeTying:
    case ModeSpreading:
    case ModeWeighting: rightClickBending(point); break;
    default: break;
    }
}

void WidgetRisanje::processPendingMouse()
{
    const int dx = mouseX - prevMouseX;
    const int dy = mouseY - prevMouseY;
    prevMouseX = mouseX;
    prevMouseY = mouseY;

    const int left = Qt::LeftButton;
    const int right = Qt::RightButton;
    const int middle = Qt::MiddleButton;
    const int modifiers = mouseModifiers & Qt::KeyboardModifierMask;

    if (modifiers & Qt::ControlModifier) {
        if (mouseButtons == left) {
            camera.cameraRotationX -= dx * 0.09;
            camera.cameraRotationY += dy * 0.09;
        } else if (mouseButtons == right) {
            const double h = camera.cameraRotationX * degreesToRadians;
            camera.location.x -= 0.5 * dx * std::cos(h) - 0.5 * dy * std::sin(h);
            camera.location.z -= 0.5 * dx * std::sin(h) + 0.5 * dy * std::cos(h);
        } else if (mouseButtons == middle) {
            camera.location.y += dy * 0.1;
        } else {
            return;
        }
    } else if (modifiers & Qt::ShiftModifier) {
        if (mouseButtons & left)
            return;
        if (mouseButtons == right) {
            lightPosition.x -= dx * 0.01;
            lightPosition.z += dy * 0.01;
        } else if (mouseButtons == middle) {
            lightPosition.y += dy * 0.01;
        } else {
            return;
        }
    } else if (modifiers != 0) {
        return;
    } else if (mouseButtons == left) {
        camera.objectRotationX -= dx * 0.09;
        camera.objectRotationY += dy * 0.09;
    } else if (mouseButtons == 0) {
        hover();
    }
    needsRepaint = true;
}

void WidgetRisanje::hover()
{
    prevMouseX = clampInside(mouseX, width());
    prevMouseY = clampInside(mouseY, height());
    const glm::vec2 point(prevMouseX, prevMouseY);
    thickBranchHovered = false;

    const bool idPick = mode == ModeFiltering || mode == ModeInformation || mode == ModePruning ||
                        (isBendingMode(mode) && bendTarget.state == 0);
    if (idPick)
        requestIdPick(point);

    switch (mode) {
    case ModeFiltering: {
        Internode* node = pickedNode(pickedId);
        if (node)
            rebuildHighlightPath(node);
        else
            highlightPath.clear();
        break;
    }
    case ModeInformation: {
        QString text;
        if (const Internode* node = pickedNode(pickedId)) {
            text = QStringLiteral("v: ") + QString::number(node->KolicinaResources, 'g', 6) + "\n" +
                   "|c|: " + QString::number(node->resourcesNumPopkov) + "\n" +
                   "Qsum: " + QString::number(node->resourcesQ, 'g', 6) + "\n" +
                   "year: " + QString::number(node->birthIteration) + "\n" +
                   "Lighting index: " + QString::number(node->lightingIndex, 'g', 6) + "\n";
        }
        if (text != infoText) {
            infoTextDirty = true;
            infoText = text;
        }
        break;
    }
    case ModeLength: hoverLength(point); break;
    case ModeAngle: hoverAngle(point); break;
    case ModePlanting: hoverPlanting(point); break;
    case ModeTying:
    case ModeSpreading:
    case ModeWeighting: hoverBending(point); break;
    case ModePruning: hoverPruning(point); break;
    default: break;
    }
}

void WidgetRisanje::rebuildHighlightPath(Internode* node)
{
    highlightPath.clear();
    // The way down to the root: one segment per ancestor internode.
    for (const Internode* n = node; n && n->parent; n = n->parent) {
        const Internode* p = n->parent;
        highlightPath.push_back({n->position, unitOrZero(n->direction) * n->thickness});
        highlightPath.push_back({p->position, unitOrZero(p->direction) * p->thickness});
    }
    // The subtree in the branch skeleton's order: a node, the whole subtree of
    // its apical child, then its lateral. Removed nodes end their branch.
    std::vector<const Internode*> stack{node};
    while (!stack.empty()) {
        const Internode* n = stack.back();
        stack.pop_back();
        if (!n || n->removed || n->isBud)
            continue;
        const glm::vec3 r = unitOrZero(n->direction) * n->thickness;
        highlightPath.push_back({n->position, r});
        highlightPath.push_back({n->position + n->direction, r});
        stack.push_back(n->children[1]);
        stack.push_back(n->children[0]);
    }
}

float WidgetRisanje::cutFractionAlongInternode(glm::vec2 point, const Internode* node) const
{
    const glm::vec3 a = projectToScreen(node->position, camera.mvp);
    const glm::vec3 b = projectToScreen(node->position + node->direction, camera.mvp);
    const float span = glm::length(glm::vec2(b) - glm::vec2(a));
    const float t = glm::length(point - glm::vec2(a)) / span;
    // An internode seen end-on has no extent on the screen; cutting it whole is
    // the only fraction that cannot put NaN into the tree.
    if (!(span >= 1e-6f) || !std::isfinite(t))
        return 1.0f;
    return std::clamp(t, 0.0f, 1.0f);
}
