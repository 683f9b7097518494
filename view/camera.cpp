#include "view/camerastate.h"
#include "view/widgetrisanje.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <limits>

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
const glm::vec3 kAxisX(1.0f, 0.0f, 0.0f);
const glm::vec3 kAxisY(0.0f, 1.0f, 0.0f);

} // namespace

void CameraState::updateMatrices(int width, int height)
{
    // An empty widget would divide by zero; it is drawn as if one pixel high (or wide).
    const float aspect = static_cast<float>(width > 0 ? width : 1) / static_cast<float>(height > 0 ? height : 1);
    const float fovy = static_cast<float>(zoom);
    // Zoom is read as radians: its half-angle tangent may be 0 (zoom 0, or a
    // multiple of 2 pi), infinite or NaN, and the projection would be too.
    const float halfTangent = std::tan(fovy / 2.0f);
    if (std::isfinite(halfTangent) && std::fabs(halfTangent) >= 1e-6f)
        projection = glm::perspective(fovy, aspect, 0.1f, 10000.0f);

    model = glm::mat4(1.0f);

    glm::mat4 v(1.0f);
    v = glm::rotate(v, cameraRotationY * kDegreesToRadians, kAxisX);
    v = glm::rotate(v, cameraRotationX * kDegreesToRadians, kAxisY);
    v = glm::translate(v, location);
    v = glm::rotate(v, objectRotationX * kDegreesToRadians, kAxisY);
    v = glm::rotate(v, objectRotationY * kDegreesToRadians, kAxisX);
    v = glm::translate(v, -pivot);
    view = v;

    mvp = (projection * view) * model;
}

glm::vec3 projectToScreen(const glm::vec3& point, const glm::mat4& matrix, int width, int height)
{
    const glm::vec4 h = matrix * glm::vec4(point, 1.0f);
    // On or behind the camera plane the division mirrors the point or blows
    // up: there is no window position.
    if (!(h.w > 0.0f))
        return glm::vec3(std::numeric_limits<float>::quiet_NaN());
    const float x = h.x / h.w;
    const float y = h.y / h.w;
    const float z = h.z / h.w;
    const float w = static_cast<float>(width);
    const float ht = static_cast<float>(height);
    return glm::vec3((x * 0.5f + 0.5f) * w, ht - (y * 0.5f + 0.5f) * ht, z);
}

bool sameView(const CameraState& a, const CameraState& b)
{
    return a.pivot == b.pivot && a.objectRotationX == b.objectRotationX && a.objectRotationY == b.objectRotationY &&
           a.location == b.location && a.cameraRotationX == b.cameraRotationX &&
           a.cameraRotationY == b.cameraRotationY && a.zoom == b.zoom;
}

bool isFinitePoint(const glm::vec3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

void WidgetRisanje::updateMatrices() { camera.updateMatrices(width(), height()); }

void WidgetRisanje::resetView()
{
    camera.objectRotationX = 0.0f;
    camera.objectRotationY = 0.0f;
    camera.location = glm::vec3(0.0f, -30.0f, -100.0f);
    camera.cameraRotationX = 0.0f;
    camera.cameraRotationY = 0.0f;
    camera.zoom = 45.0;
    repaint();
    emit CameraUpdatedFromMouseKeyboards();
}

void WidgetRisanje::topView()
{
    camera.objectRotationX = 0.0f;
    camera.objectRotationY = 0.0f;
    camera.cameraRotationX = 0.0f;
    camera.cameraRotationY = 90.0f;
    camera.location = glm::vec3(0.0f, -100.0f, 0.0f);
    camera.zoom = 45.0;
    repaint();
    emit CameraUpdatedFromMouseKeyboards();
}

void WidgetRisanje::saveView() { savedCamera = camera; }

void WidgetRisanje::repaintIfCameraMoved()
{
    cameraSyncPending = false;
    if (!needsRepaint && sameView(camera, drawnCamera))
        return;
    needsRepaint = false;
    repaint();
}

void WidgetRisanje::loadView()
{
    camera = savedCamera;
    repaint();
    emit CameraUpdatedFromMouseKeyboards();
}

glm::vec3 WidgetRisanje::projectToScreen(const glm::vec3& point, const glm::mat4& matrix) const
{
    return ::projectToScreen(point, matrix, width(), height());
}
