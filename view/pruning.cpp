#include "view/widgetrisanje.h"

void WidgetRisanje::hoverPruning(glm::vec2) {}
void WidgetRisanje::rightClickPruning(glm::vec2) {}
bool WidgetRisanje::removeAttachmentsOnCut(Internode*, bool) { return false; }
void WidgetRisanje::applyPruning() {}
