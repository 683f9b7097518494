#include "view/camerastate.h"
#include "view/widgetrisanje.h"

#include <cmath>

void CameraState::updateMatrices(int, int) {}

glm::vec3 projectToScreen(const glm::vec3&, const glm::mat4&, int, int) { return glm::vec3(0.0f); }

bool isFinitePoint(const glm::vec3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

void WidgetRisanje::updateMatrices() {}
void WidgetRisanje::resetView() {}
void WidgetRisanje::topView() {}
void WidgetRisanje::saveView() {}
void WidgetRisanje::loadView() {}
glm::vec3 WidgetRisanje::projectToScreen(const glm::vec3& point, const glm::mat4& matrix) const
{
    return ::projectToScreen(point, matrix, width(), height());
}
