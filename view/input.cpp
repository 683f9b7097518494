#include "view/widgetrisanje.h"

void WidgetRisanje::mousePressEvent(QMouseEvent*) {}
void WidgetRisanje::mouseReleaseEvent(QMouseEvent*) {}
void WidgetRisanje::mouseMoveEvent(QMouseEvent*) {}
void WidgetRisanje::wheelEvent(QWheelEvent*) {}
void WidgetRisanje::keyPressEvent(QKeyEvent*) {}
void WidgetRisanje::processPendingMouse() {}
void WidgetRisanje::hover() {}
void WidgetRisanje::rebuildHighlightPath(Internode*) {}
float WidgetRisanje::cutFractionAlongInternode(glm::vec2, const Internode*) const { return 1.0f; }
