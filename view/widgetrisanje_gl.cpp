#include "view/widgetrisanje.h"

void WidgetRisanje::initializeGL() {}
void WidgetRisanje::resizeGL(int, int) {}
void WidgetRisanje::paintGL() {}
void WidgetRisanje::resizePickingBuffers(int, int) {}
void WidgetRisanje::switchAttribArrays(std::vector<int>, std::vector<int>) {}
void WidgetRisanje::disableAttribArrays(std::vector<int>) {}
void WidgetRisanje::enableAttribArrays(std::vector<int>) {}
