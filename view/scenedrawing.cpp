#include "view/widgetrisanje.h"

void WidgetRisanje::drawScene(glm::mat4, glm::mat4, glm::mat4, bool, glm::mat4) {}
