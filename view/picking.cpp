#include "view/widgetrisanje.h"

Internode* WidgetRisanje::pickAt(glm::vec2, int*) { return nullptr; }
void WidgetRisanje::readDepthPick() {}
Internode* WidgetRisanje::pickedNode(int) const { return nullptr; }
void WidgetRisanje::requestIdPick(glm::vec2) {}
void WidgetRisanje::requestDepthPick(glm::vec2) {}
