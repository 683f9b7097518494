#include "view/widgetrisanje.h"

void WidgetRisanje::drawGround() {}
void WidgetRisanje::drawSkyBox() {}
void WidgetRisanje::drawRuler() {}
void WidgetRisanje::drawSpreaderBar(const glm::vec3&, const glm::vec3&) {}
void WidgetRisanje::drawTieRope(bool, const TieRecord&) {}
void WidgetRisanje::drawTieRing(const glm::mat4&, const TieRecord&) {}
