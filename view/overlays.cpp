#include "view/widgetrisanje.h"

void WidgetRisanje::drawColorLegend() {}
void WidgetRisanje::drawInfoPanel() {}
void WidgetRisanje::renderTextTexture(unsigned int, const QString&, int) {}
