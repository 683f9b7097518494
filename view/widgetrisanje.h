#pragma once
// The 3D drawing widget in the centre of the main window. It owns the view state
// (camera, light, interaction mode, display switches), the CPU copies of the
// tree geometry, the pick table, the pending pruning selection and the training
// tools, and every OpenGL object of the view.
//
// The widget is split by concern:
//   widgetrisanje.cpp       construction, the tick, scene commands, start-up resources
//   camera.cpp              camera matrices, presets, saved view, projection to the window
//   widgetrisanje_gl.cpp    initializeGL, resizeGL, paintGL and the frame kinds
//   scenedrawing.cpp        drawScene: the shadow pass and the main pass
//   sceneelements.cpp       ground, sky box, ruler, spreader bars, tie ropes and rings
//   picking.cpp             the id pick and the depth pick
//   input.cpp               mouse, wheel and keys, hover per interaction mode
//   overlays.cpp            colour legend, info panel, text textures
//   environmentdisplay.cpp  the environment point field and the marker slices
//   pruning.cpp             marking and applying cuts
//   trainingtools.cpp       measuring, planting, ties, spreaders and weights
//
// Lifetimes: every pointer into the trees (pickTable, the selection's ids, the
// attachment records, the bending state) is valid only until the next change of
// the trees; forgetTreePointers() drops them all at every such change. GL
// objects exist from initializeGL on and live until the process ends.

#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLWidget>
#include <QSize>
#include <QString>
#include <QTimer>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include <glm/glm.hpp>

#include "model/bendchain.h"
#include "view/attachments.h"
#include "view/camerastate.h"
#include "view/objloader.h"
#include "view/selection.h"
#include "view/vertexdata.h"

struct Internode;
struct ShaderSet;
struct Tree;
class QStringList;

// The index of the main window's mode combo box.
enum InteractionMode {
    ModeNavigation = 0,      // "Premikanje"
    ModeFiltering = 1,       // "Filtriranje"
    ModeInformation = 2,     // "Prikaz informacij"
    ModeLength = 3,          // "Merjenje dolžine"
    ModeAngle = 4,           // "Merjenje kotov"
    ModePlanting = 5,        // "Sajenje dreves"
    ModeTying = 6,           // "Privezovanje"
    ModeSpreading = 7,       // "Raztezanje"
    ModeWeighting = 8,       // "Utezi"
    ModePruning = 9,         // "Rezanje"
};

// The OpenCL platform and device indexes chosen on the command line: an argument
// starting with "clPlatform" or "clDevice" gives the integer after its last "="
// (0 when that is not a number); both stay -1 without one.
void parseClArguments(const QStringList& arguments, int& platform, int& device);

class WidgetRisanje : public QOpenGLWidget, protected QOpenGLFunctions_3_3_Core {
    Q_OBJECT

public:
    explicit WidgetRisanje(QWidget* parent = nullptr);
    ~WidgetRisanje() override;

    QTimer timer;  // 10 ms tick, started at the end of initializeGL
    bool needsRepaint = true;
    // Set by the main window between a camera announcement and its camera
    // controls' write-back: the tick leaves the repaint to the write-back, so
    // that a changed camera is drawn once, whichever of the two runs first.
    bool cameraSyncPending = false;
    bool mouseMoved = false;
    int mouseModifiers = 0;
    int mouseX = 0;
    int mouseY = 0;
    int mouseButtons = 0;
    Selection* selection;  // never deleted
    std::function<void(const QString&)> statusMessageCallback;
    unsigned int weightMeshVbo = 0;
    int weightMeshVertexCount = 0;
    unsigned int torusMeshVbo = 0;
    int torusMeshVertexCount = 0;
    std::vector<Internode*> pickTable;  // index = pick id; id 0 means no node
    unsigned int infoTextTexture = 0;
    QString infoText = QStringLiteral("EMPTY");
    bool infoTextDirty = true;
    bool cutImmediately = true;
    std::vector<BranchPoint> branchPoints;
    std::vector<LeafPoint> leafPoints;
    bool thickBranchHovered = false;
    bool showHints = false;
    bool showSaws = false;
    float sawSize = 1.0f;
    bool showRuler = true;
    int mode = ModePruning;
    int infoDisplayType = 0;
    bool invertColours = false;
    ShaderSet* shaders;  // never deleted
    CameraState camera;
    CameraState savedCamera;
    // The camera of the last frame drawn for the window (picks leave it).
    CameraState drawnCamera;
    int prevMouseX = 0;
    int prevMouseY = 0;
    glm::vec3 lightPosition{10.0f, 200.0f, 10.0f};
    Attachments attachments;
    unsigned int sawTexture = 0;
    unsigned int rulerTexture = 0;
    unsigned int grassTexture = 0;
    unsigned int skyTexture = 0;
    unsigned int legendTexture = 0;
    unsigned int ropeTexture = 0;
    unsigned int environmentVbo = 0;
    std::vector<CapPoint> capPoints;
    GeometryAttributes geometryAttributes;
    bool pickRequested = false;
    glm::vec2 pickPosition{0.0f};
    int pickedId = -1;
    bool depthPickRequested = false;
    glm::vec3 depthPoint{0.0f};
    // Whether the last depth pick hit the scene at a finite point inside the
    // window; the tools that place something act only on such a point.
    bool depthPointValid = false;
    int angleFirstId = 0;
    int angleSecondId = 0;
    glm::vec3 anglePointA{0.0f};
    glm::vec3 anglePointB{0.0f};
    glm::vec3 angleVertex{0.0f};
    glm::vec3 lengthPointA{0.0f};
    glm::vec3 lengthPointB{0.0f};
    int lengthStage = 0;
    std::vector<LineVertex> highlightPath;
    unsigned int branchVbo = 0;
    int branchVertexCount = 0;
    unsigned int capVbo = 0;
    int capVertexCount = 0;
    bool showFromSeasonStart = false;
    bool castShadows = true;
    BendTarget bendTarget;
    BendChain bendChain;

    // Frame objects (widgetrisanje_gl.cpp).
    unsigned int pickFramebuffer = 0;
    unsigned int pickIdTexture = 0;
    unsigned int pickDepthRenderbuffer = 0;
    unsigned int shadowDepthTexture = 0;
    unsigned int shadowFramebuffer = 0;
    int shadowMapWidth = 1024;
    int shadowMapHeight = 1024;
    unsigned int vertexArray = 0;
    unsigned int streamVbo = 0;
    // Points written by the last fill of environmentVbo; the draw never reads
    // more, whatever dim says now.
    std::size_t environmentPointCount = 0;
    // Set at the end of initializeGL; a paint before that (or after a failed
    // set-up) draws nothing.
    bool glReady = false;

    // Program-wide textures and buffers shared by every widget.
    static unsigned int barkTextures[2];  // bark, inverted bark
    static unsigned int leafTexture;
    static unsigned int groundVbo;  // 0 until the ground is first drawn
    static unsigned int skyBoxVbo;  // 0 until the sky box is first drawn

    // Told of every change of the trees (after the pointers were dropped), so
    // that views on the trees elsewhere can let go of their nodes.
    std::function<void()> treesChangedCallback;

    // Scene commands (widgetrisanje.cpp).
    void onTimerTick();
    void growOrRestart(bool restart);
    // One growth iteration; tells the status bar when the growth curve gave a
    // bud more than maxBudResources, which then grew nothing.
    void growStep();
    void resetTrees();
    void rebuildGeometry(bool upload);
    void clearOperations();
    void initSceneResources();
    void loadTextures();
    // Drops every pointer into the trees the widget holds: empties the pick
    // table and the selection, resets the bending state and the pending records.
    // Drawn geometry stays until the next rebuild (the point arrays hold no
    // pointers).
    void forgetTreePointers();

    // Camera (camera.cpp).
    void updateMatrices();
    void resetView();
    void topView();
    void saveView();
    void loadView();
    // Ends a pending camera sync with one frame, or none when no repaint is
    // pending and the last frame shows this camera already.
    void repaintIfCameraMoved();
    glm::vec3 projectToScreen(const glm::vec3& point, const glm::mat4& matrix) const;

    // Frame (widgetrisanje_gl.cpp).
    // The size of the widget's framebuffer in device pixels: the widget's size
    // times the device pixel ratio.
    QSize framebufferSize() const;
    void resizePickingBuffers(int w, int h);
    void switchAttribArrays(std::vector<int> disable, std::vector<int> enable);
    void disableAttribArrays(std::vector<int> locations);
    void enableAttribArrays(std::vector<int> locations);

    // Scene drawing (scenedrawing.cpp, sceneelements.cpp).
    void drawScene(glm::mat4 P, glm::mat4 V, glm::mat4 M, bool shadowPass, glm::mat4 lightMatrix);
    void drawGround();
    void drawSkyBox();
    void drawRuler();
    void drawSpreaderBar(const glm::vec3& a, const glm::vec3& b);
    void drawTieRope(bool withRopeEnd, const TieRecord& tie);
    void drawTieRing(const glm::mat4& model, const TieRecord& tie);

    // Picking (picking.cpp).
    Internode* pickAt(glm::vec2 position, int* id);
    void readDepthPick();
    Internode* pickedNode(int id) const;

    // Input (input.cpp).
    // Changes the interaction mode; a bend pending in the old mode is cancelled.
    void setMode(int newMode);
    void processPendingMouse();
    void hover();
    void rebuildHighlightPath(Internode* node);
    float cutFractionAlongInternode(glm::vec2 point, const Internode* node) const;

    // Overlays (overlays.cpp).
    void drawColorLegend();
    void drawInfoPanel();
    void renderTextTexture(unsigned int texture, const QString& text, int pointSize);

    // Environment display (environmentdisplay.cpp).
    void updateEnvironmentVbo(bool show);
    void drawEnvironment();
    void drawMarkerGridQuads();

    // Pruning (pruning.cpp).
    void hoverPruning(glm::vec2 point);
    void rightClickPruning(glm::vec2 point);
    bool removeAttachmentsOnCut(Internode* node, bool forCut);
    // Rebuilds the drawn trees after shoots moved but none was freed or grown
    // (a dropped attachment put back): the pick table comes out in the same
    // order, so the marked cuts, a plan not yet applied, keep their ids.
    void rebuildKeepingMarks();
    void applyPruning();
    // The tree of allTrees whose root is the node's topmost ancestor; null when
    // none is (a node of no listed tree).
    static Tree* treeOf(const Internode* node);

    // Training tools (trainingtools.cpp).
    // Drops the length and angle measurements and the reading beside the
    // cursor: they belong to trees that a new scene replaced.
    void clearMeasurements();
    // Drops only the reading beside the cursor (an empty text draws nothing).
    void clearReading();
    void hoverLength(glm::vec2 point);
    void rightClickLength(glm::vec2 point);
    void hoverAngle(glm::vec2 point);
    void rightClickAngle(glm::vec2 point);
    void hoverPlanting(glm::vec2 point);
    void rightClickPlanting(glm::vec2 point);
    void hoverBending(glm::vec2 point);
    void rightClickBending(glm::vec2 point);
    // Makes a scene point the target of the tie or spreader being aimed.
    void aimBendAt(const glm::vec3& point);
    void updateBendingPreview();
    void applyBending();
    void cancelBending();

    // Synchronous picks: set the request and run its frame at once, so the
    // result is in pickedId or depthPoint (with depthPointValid) when the call
    // returns.
    void requestIdPick(glm::vec2 point);
    void requestDepthPick(glm::vec2 point);
    // Runs paintGL now in the widget's context to serve a pick request (a
    // repaint() may be deferred by Qt); clears both requests.
    void renderRequestNow();

signals:
    void CameraUpdatedFromMouseKeyboards();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
};
