#include "view/widgetrisanje.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QStringList>

#include <chrono>
#include <iostream>
#include <string>

#include "environment/environment.h"
#include "environment/openclholder.h"
#include "model/growth.h"
#include "model/internode.h"
#include "model/lightpass.h"
#include "model/tree.h"
#include "view/eventloopfailure.h"
#include "view/shaderset.h"
#include "view/utils.h"

unsigned int WidgetRisanje::barkTextures[2] = {0, 0};
unsigned int WidgetRisanje::leafTexture = 0;
unsigned int WidgetRisanje::groundVbo = 0;
unsigned int WidgetRisanje::skyBoxVbo = 0;

namespace {

constexpr int kReserved = 100000;

std::string here(int line) { return "widgetrisanje: " + std::to_string(line); }

} // namespace

void parseClArguments(const QStringList& arguments, int& platform, int& device)
{
    platform = -1;
    device = -1;
    for (const QString& argument : arguments) {
        // toInt gives 0 for a piece that is not a number, as "clPlatform" alone does.
        const int value = argument.split(QLatin1Char('=')).last().toInt(nullptr, 10);
        if (argument.startsWith(QLatin1String("clPlatform")))
            platform = value;
        else if (argument.startsWith(QLatin1String("clDevice")))
            device = value;
    }
}

WidgetRisanje::WidgetRisanje(QWidget* parent)
    : QOpenGLWidget(parent), selection(new Selection), shaders(new ShaderSet)
{
    // A pick-only repaint draws nothing into the widget's framebuffer; with
    // partial updates the last frame stays there instead of being invalidated.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    pickTable.reserve(kReserved);
    branchPoints.reserve(kReserved);
    leafPoints.reserve(kReserved);
    capPoints.reserve(kReserved);
    geometryAttributes.reserve(kReserved);
    savedCamera = camera;
    connect(&timer, &QTimer::timeout, this, &WidgetRisanje::onTimerTick);
}

// selection and shaders stay (the GL programs outlive the widget anyway); the
// members release themselves.
WidgetRisanje::~WidgetRisanje() = default;

void WidgetRisanje::onTimerTick()
{
    // A slot: nothing may be thrown back into Qt's dispatch.
    runGuarded([this] {
        if (mouseMoved) {
            mouseMoved = false;
            processPendingMouse();
        }
        if (needsRepaint && !cameraSyncPending) {
            needsRepaint = false;
            repaint();
        }
    });
}

void WidgetRisanje::clearOperations()
{
    attachments.weights.clear();
    attachments.spreaders.clear();
    attachments.ties.clear();
}

void WidgetRisanje::forgetTreePointers()
{
    pickTable.clear();
    selection->Clear();
    bendTarget.state = 0;
    bendTarget.pickedId = -1;
    bendChain.segments.clear();
    attachments.bendPath.clear();
    attachments.pendingWeight = WeightRecord();
    attachments.pendingSpreader = SpreaderRecord();
    attachments.pendingTie = TieRecord();
    angleFirstId = 0;  // an id of the old table names another node in the new one
    if (treesChangedCallback)
        treesChangedCallback();
}

void WidgetRisanje::growStep()
{
    clearOperations();
    simulationStep();
    // A step can shed subtrees: what pointed into them is gone.
    forgetTreePointers();
    needsRepaint = true;
    // Otherwise only the debug stream would say why the tree did not grow.
    if (budsOverResourceLimit > 0 && statusMessageCallback)
        statusMessageCallback(
            QStringLiteral("The growth curve gave a bud more than the limit of %1 units: that bud grew nothing")
                .arg(static_cast<double>(maxBudResources)));
}

void WidgetRisanje::resetTrees()
{
    clearOperations();
    restartWithOneTree();
    forgetTreePointers();
    clearMeasurements();
    needsRepaint = true;
}

void WidgetRisanje::rebuildGeometry(bool upload)
{
    buildAllTreeGeometry(branchPoints, leafPoints, pickTable, geometryAttributes, capPoints);
    // Before initializeGL there are no buffers to fill; the first paint after
    // set-up uploads through initSceneResources.
    if (upload && branchVbo != 0 && context()) {
        // Called from main-window commands too, when the current context is
        // Qt's own or none; inside the GL callbacks ours is current already.
        const bool borrowContext = QOpenGLContext::currentContext() != context();
        if (borrowContext)
            makeCurrent();
        glBindBuffer(GL_ARRAY_BUFFER, branchVbo);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(branchPoints.size() * sizeof(BranchPoint)),
                     branchPoints.data(), GL_STATIC_DRAW);
        branchVertexCount = static_cast<int>(branchPoints.size());
        glBindBuffer(GL_ARRAY_BUFFER, capVbo);
        if (capPoints.empty())
            glBufferData(GL_ARRAY_BUFFER, sizeof(CapPoint), nullptr, GL_STATIC_DRAW);
        else
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capPoints.size() * sizeof(CapPoint)),
                         capPoints.data(), GL_STATIC_DRAW);
        capVertexCount = static_cast<int>(capPoints.size());
        checkGLError(here(__LINE__));
        if (borrowContext)
            doneCurrent();
        selection->cutLines.clear();
    }
    selection->Clear();
    repaint();
}

void WidgetRisanje::growOrRestart(bool restart)
{
    const auto start = std::chrono::steady_clock::now();
    // Both paths empty the lists of applied tools first.
    if (restart) {
        resetTrees();
        rebuildGeometry(true);
        lightAndAllocationPass();
    } else {
        growStep();
        rebuildGeometry(true);
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const long long microseconds = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
    const float seconds = static_cast<float>(microseconds) / 1000000.0f;

    int internodes = 0;
    for (const Tree* tree : allTrees)
        internodes += tree->root->internodeCount;
    std::cout << " generation time: " << seconds << "s, num internodes: " << internodes << "\n" << std::flush;
}

void WidgetRisanje::loadTextures()
{
    // Nine images and the info text's texture, which overlays render into.
    unsigned int names[10] = {};
    glGenTextures(10, names);
    barkTextures[0] = names[0];
    barkTextures[1] = names[1];
    leafTexture = names[2];
    sawTexture = names[3];
    rulerTexture = names[4];
    grassTexture = names[5];
    infoTextTexture = names[6];
    skyTexture = names[7];
    ropeTexture = names[8];
    legendTexture = names[9];

    loadTexture("tex/woodInMladWood.jpg", barkTextures[0], false);
    checkGLError(here(__LINE__));
    loadTexture("tex/woodInMladWoodInvert.jpg", barkTextures[1], false);
    loadTexture("tex/listInRezina.png", leafTexture, true);
    loadTexture("tex/zaga2.png", sawTexture, true);
    loadTexture("tex/ravnilo.png", rulerTexture, true);
    loadTexture("tex/grass.jpg", grassTexture, true);
    loadTexture("tex/Above_The_Sea.jpg", skyTexture, true);
    loadTexture("tex/grad.png", legendTexture, true);
    loadTexture("tex/rope.png", ropeTexture, true);
}

void WidgetRisanje::initSceneResources()
{
    checkGLError(here(__LINE__));
    loadTextures();
    checkGLError(here(__LINE__));

    int platform = -1;
    int device = -1;
    parseClArguments(QCoreApplication::arguments(), platform, device);
    // A second set-up (a new context after reparenting) replaces the holder
    // instead of leaking it.
    delete OpenClHolder::instance;
    OpenClHolder::create(true, platform, device);
    Environment::instance->reset();
    checkGLError(here(__LINE__));

    resetTrees();
    growStep();
    rebuildGeometry(true);
    checkGLError(here(__LINE__));

    const std::pair<unsigned int*, int*> meshes[2] = {{&weightMeshVbo, &weightMeshVertexCount},
                                                       {&torusMeshVbo, &torusMeshVertexCount}};
    const char* paths[2] = {":/objs/objs/utez.obj", ":/objs/objs/torus.obj"};
    for (int i = 0; i < 2; ++i) {
        glGenBuffers(1, meshes[i].first);
        glBindBuffer(GL_ARRAY_BUFFER, *meshes[i].first);
        const std::vector<MeshTriangle> triangles = loadObjMesh(paths[i]);
        *meshes[i].second = static_cast<int>(triangles.size() * 3);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(*meshes[i].second * sizeof(MeshVertex)),
                     triangles.data(), GL_DYNAMIC_DRAW);
    }
    checkGLError(here(__LINE__));
}
