#include "view/widgetrisanje.h"

#include <QStringList>

#include "view/shaderset.h"

unsigned int WidgetRisanje::barkTextures[2] = {0, 0};
unsigned int WidgetRisanje::leafTexture = 0;
unsigned int WidgetRisanje::groundVbo = 0;
unsigned int WidgetRisanje::skyBoxVbo = 0;

void parseClArguments(const QStringList&, int& platform, int& device)
{
    platform = -1;
    device = -1;
}

WidgetRisanje::WidgetRisanje(QWidget* parent)
    : QOpenGLWidget(parent), selection(new Selection), shaders(new ShaderSet)
{
    savedCamera = camera;
}

WidgetRisanje::~WidgetRisanje() = default;

void WidgetRisanje::onTimerTick() {}
void WidgetRisanje::growOrRestart(bool) {}
void WidgetRisanje::growStep() {}
void WidgetRisanje::resetTrees() {}
void WidgetRisanje::rebuildGeometry(bool) {}
void WidgetRisanje::clearOperations() {}
void WidgetRisanje::initSceneResources() {}
void WidgetRisanje::loadTextures() {}
void WidgetRisanje::forgetTreePointers() {}
