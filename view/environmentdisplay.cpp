#include "view/widgetrisanje.h"

void WidgetRisanje::updateEnvironmentVbo(bool) {}
void WidgetRisanje::drawEnvironment() {}
void WidgetRisanje::drawMarkerGridQuads() {}
