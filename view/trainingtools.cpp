#include "view/widgetrisanje.h"

void WidgetRisanje::hoverLength(glm::vec2) {}
void WidgetRisanje::rightClickLength(glm::vec2) {}
void WidgetRisanje::hoverAngle(glm::vec2) {}
void WidgetRisanje::rightClickAngle(glm::vec2) {}
void WidgetRisanje::hoverPlanting(glm::vec2) {}
void WidgetRisanje::rightClickPlanting(glm::vec2) {}
void WidgetRisanje::hoverBending(glm::vec2) {}
void WidgetRisanje::rightClickBending(glm::vec2) {}
void WidgetRisanje::updateBendingPreview() {}
void WidgetRisanje::applyBending() {}
void WidgetRisanje::cancelBending() {}
