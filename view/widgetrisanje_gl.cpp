#include "view/widgetrisanje.h"

#include <QDebug>
#include <QMessageBox>

#include <glm/gtc/matrix_transform.hpp>

#include <cstdlib>
#include <iostream>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "view/eventloopfailure.h"
#include "view/shaderset.h"
#include "view/utils.h"

namespace {

std::string here(int line) { return "widgetrisanje_gl: " + std::to_string(line); }

// A software OpenGL driver (Mesa's llvmpipe) bins every frame into memory it
// allocates during the frame and frees at its end: tens of megabytes of
// 64 KiB blocks and vertex buffers of several megabytes for a grown tree.
// glibc hands the freed top of the heap and every block above its mapping
// threshold back to the kernel, so the next frame faulted the same memory in
// again page by page, about half the time of the shadow pass. Keeping freed
// memory in the process (blocks up to 32 MiB from the heap, the heap not
// trimmed below 512 MiB of free space) makes it reusable from frame to frame.
void keepFrameMemory()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
#endif
}

} // namespace

void WidgetRisanje::initializeGL()
{
    // Qt calls this from its event dispatch: a failure (a missing texture, no
    // OpenCL device) is stored for the entry point instead of crossing Qt, and
    // the widget stays unready, painting nothing.
    runGuarded([this] {
        keepFrameMemory();
        initializeOpenGLFunctions();
        checkGLError(here(__LINE__));

        GLint major = 0;
        GLint minor = 0;
        glGetIntegerv(GL_MAJOR_VERSION, &major);
        glGetIntegerv(GL_MINOR_VERSION, &minor);
        if (glGetError() != GL_NO_ERROR) {
            const QString message =
                QStringLiteral("OpenGL version not supported. Should be at least 3.2. Application might not work ok.");
            qDebug().noquote() << message;
            QMessageBox box;
            box.setText(message);
            box.exec();
            std::exit(1);
        }
        qDebug().nospace() << "OpenGL version: " << major << "." << minor;
        qDebug() << reinterpret_cast<const char*>(glGetString(GL_VERSION));

        glEnable(GL_DEPTH_TEST);
        checkGLError(here(__LINE__));
        glDepthFunc(GL_LESS);
        checkGLError(here(__LINE__));
        glEnable(GL_CULL_FACE);
        checkGLError(here(__LINE__));
        glFrontFace(GL_CCW);

        shaders->loadAll();

        glClearColor(0.4f, 0.6f, 0.9f, 0.0f);
        checkGLError("init");

        // Picking target; resizePickingBuffers gives it storage (Qt resizes
        // before the first paint).
        glGenFramebuffers(1, &pickFramebuffer);
        checkGLError(here(__LINE__));
        glBindFramebuffer(GL_FRAMEBUFFER, pickFramebuffer);
        checkGLError(here(__LINE__));
        glGenRenderbuffers(1, &pickDepthRenderbuffer);
        checkGLError(here(__LINE__));
        glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, 0, 0);
        glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, 0, 0);
        glDrawBuffers(0, nullptr);
        checkGLError(here(__LINE__));
        glGenTextures(1, &pickIdTexture);
        glBindTexture(GL_TEXTURE_2D, pickIdTexture);

        // Shadow map, attached to its framebuffer at every frame.
        shadowMapWidth = 1024;
        shadowMapHeight = 1024;
        glGenTextures(1, &shadowDepthTexture);
        glGenFramebuffers(1, &shadowFramebuffer);
        checkGLError(here(__LINE__));
        glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, shadowMapWidth, shadowMapHeight, 0, GL_DEPTH_COMPONENT,
                     GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
        const GLfloat border[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
        checkGLError(here(__LINE__));

        glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
        qDebug() << "inited";

        // The program-wide ground and sky buffers are names of the context
        // that made them; a new context (another widget, a reparented one)
        // makes its own at their first drawing.
        groundVbo = 0;
        skyBoxVbo = 0;

        glGenBuffers(1, &environmentVbo);
        // The one vertex array of the program: bound here for good.
        glGenVertexArrays(1, &vertexArray);
        glBindVertexArray(vertexArray);
        glGenBuffers(1, &streamVbo);
        glGenBuffers(1, &branchVbo);
        glGenBuffers(1, &capVbo);

        initSceneResources();
        checkGLError(here(__LINE__));
        checkGLError(here(__LINE__));

        glReady = true;
        timer.start(10);
    });
}

void WidgetRisanje::resizeGL(int w, int h)
{
    runGuarded([this, w, h] {
        if (!glReady)
            return;
        const QSize frame = framebufferSize();
        glViewport(0, 0, frame.width(), frame.height());
        // Qt gives the size in window coordinates, the unit of mouse positions
        // and of the camera's screen projection: the picking target keeps it
        // at any device pixel ratio, so a pick reads the pixels a ratio of 1
        // would, and its search reaches as far on the screen.
        resizePickingBuffers(w, h);
    });
}

QSize WidgetRisanje::framebufferSize() const
{
    // As Qt sizes the widget's framebuffer.
    return size() * devicePixelRatioF();
}

void WidgetRisanje::resizePickingBuffers(int w, int h)
{
    checkGLError("before resize");
    glBindRenderbuffer(GL_RENDERBUFFER, pickDepthRenderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, w, h);
    glBindTexture(GL_TEXTURE_2D, pickIdTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R32I, w, h, 0, GL_RED_INTEGER, GL_UNSIGNED_INT, nullptr);
    checkGLError("After resize");
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    checkGLError(here(__LINE__));
    glBindTexture(GL_TEXTURE_2D, 0);
    checkGLError("After resize2");
    checkGLError(here(__LINE__));
}

void WidgetRisanje::paintGL()
{
    runGuarded([this] {
        if (!glReady) {
            // Nothing to draw with; a request made now has no answer.
            pickRequested = false;
            depthPickRequested = false;
            return;
        }
        updateMatrices();
        glBindRenderbuffer(GL_RENDERBUFFER, 0);

        if (pickRequested) {
            pickAt(pickPosition, &pickedId);
            pickRequested = false;
            checkGLError(here(__LINE__));
            return;
        }

        if (depthPickRequested) {
            glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        } else {
            // No clear here: the shadow pass draws into its own target, and
            // the widget's framebuffer is cleared right after it, before
            // anything is drawn into it. A clear now would cost a whole pass
            // over the multisampled colour and depth on a software driver,
            // which carries out a clear when it switches targets.
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        }
        glm::mat4 lightMatrix(1.0f);

        if (!depthPickRequested) {
            drawnCamera = camera;
            // The shadow map is the target now: no sampler may see it (unit 2
            // holds it from the last main pass).
            glActiveTexture(GL_TEXTURE2);
            glBindTexture(GL_TEXTURE_2D, 0);
            glActiveTexture(GL_TEXTURE0);

            glViewport(0, 0, shadowMapWidth, shadowMapHeight);
            glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
            glDrawBuffer(GL_NONE);
            glReadBuffer(GL_NONE);
            checkGLError(here(__LINE__));
            glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, shadowDepthTexture, 0);
            checkGLError(here(__LINE__));
            glClear(GL_DEPTH_BUFFER_BIT);
            checkGLError(here(__LINE__));
            if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
                std::cout << "ERROR: Framebuffer is not complete.\n";
            checkGLError(here(__LINE__));

            // The light looks straight down from lightPosition. The field of
            // view is read as radians, like the camera's zoom.
            const glm::mat4 P = glm::perspective(120.0f, 1.0f, 0.1f, 10000.0f);
            const glm::mat4 M = glm::translate(glm::mat4(1.0f), -camera.pivot);
            const glm::mat4 V = glm::translate(glm::rotate(glm::mat4(1.0f), 1.5707964f, glm::vec3(1.0f, 0.0f, 0.0f)),
                                               -lightPosition);
            lightMatrix = P * V * M;
            if (castShadows)
                drawScene(P, V, M, true, glm::mat4(1.0f));

            checkGLError(here(__LINE__));
            // The widget's framebuffer counts device pixels: on a high-DPI
            // screen it is larger than the widget in window coordinates.
            const QSize frame = framebufferSize();
            glViewport(0, 0, frame.width(), frame.height());
            checkGLError(here(__LINE__));
            glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        } else {
            // The picking target is in window coordinates (resizeGL).
            glViewport(0, 0, width(), height());
            glBindRenderbuffer(GL_RENDERBUFFER, pickDepthRenderbuffer);
            glBindFramebuffer(GL_FRAMEBUFFER, pickFramebuffer);
            glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pickIdTexture, 0);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, pickDepthRenderbuffer);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        }

        drawScene(camera.projection, camera.view, camera.model, false, lightMatrix);
        checkGLError(here(__LINE__));

        if (depthPickRequested) {
            readDepthPick();
            // Qt resolves and composes the widget's framebuffer after this
            // call: give it back with colour writes on.
            glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            return;
        }

        checkGLError(here(__LINE__));
        if (mode == ModeInformation)
            drawColorLegend();
        checkGLError(here(__LINE__));
        if (mode == ModeInformation || mode == ModeLength || mode == ModeAngle ||
            (mode == ModePruning && thickBranchHovered && showHints))
            drawInfoPanel();
    });
}

void WidgetRisanje::switchAttribArrays(std::vector<int> disable, std::vector<int> enable)
{
    disableAttribArrays(std::move(disable));
    enableAttribArrays(std::move(enable));
}

void WidgetRisanje::disableAttribArrays(std::vector<int> locations)
{
    for (int location : locations)
        glDisableVertexAttribArray(static_cast<GLuint>(location));
}

void WidgetRisanje::enableAttribArrays(std::vector<int> locations)
{
    for (int location : locations)
        glEnableVertexAttribArray(static_cast<GLuint>(location));
}
