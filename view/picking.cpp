#include "view/widgetrisanje.h"

#include <QDebug>
#include <QOpenGLContext>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "view/shaderset.h"
#include "view/utils.h"

namespace {

// Half the side of the largest search square around the cursor.
constexpr int kSearchRadius = 9;

std::string here(int line) { return "widgetrisanje_gl: " + std::to_string(line); }

const void* offset(std::size_t bytes) { return reinterpret_cast<const void*>(bytes); }

} // namespace

Internode* WidgetRisanje::pickAt(glm::vec2 position, int* id)
{
    if (branchPoints.empty())
        return nullptr;

    glBindRenderbuffer(GL_RENDERBUFFER, pickDepthRenderbuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, pickFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pickIdTexture, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, pickDepthRenderbuffer);
    const GLenum drawBuffer = GL_COLOR_ATTACHMENT0;
    glDrawBuffers(1, &drawBuffer);
    glViewport(0, 0, width(), height());
    // An integer target is cleared with an integer value (a float clear colour
    // on it is undefined); a depth pick may have left colour writes off.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    const GLint noId[4] = {0, 0, 0, 0};
    glClearBufferiv(GL_COLOR, 0, noId);
    glClear(GL_DEPTH_BUFFER_BIT);

    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE)
        qDebug() << " err at fbo " << status;
    checkGLError(here(__LINE__));

    shaders->programDrawVejaPicking.Use();
    glUniformMatrix4fv(shaders->pickingPVM, 1, GL_FALSE, glm::value_ptr(camera.mvp));
    switchAttribArrays({1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4});

    const GLsizei stride = sizeof(BranchPoint);
    glBindBuffer(GL_ARRAY_BUFFER, streamVbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(branchPoints.size() * sizeof(BranchPoint)),
                 branchPoints.data(), GL_DYNAMIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, base)));
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, tip)));
    glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, startRadius)));
    glVertexAttribPointer(3, 3, GL_FLOAT, GL_FALSE, stride, offset(offsetof(BranchPoint, endRadius)));
    glVertexAttribIPointer(4, 1, GL_INT, stride, offset(offsetof(BranchPoint, pickId)));
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(branchPoints.size()));
    checkGLError(here(__LINE__));
    disableAttribArrays({0, 1, 2, 3, 4, 5, 6});
    checkGLError(here(__LINE__));

    glFinish();
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    checkGLError(here(__LINE__));

    *id = 0;
    const int x = static_cast<int>(position.x);
    const int y = static_cast<int>(static_cast<float>(height()) - position.y);
    const int w = width();
    const int h = height();
    if (x >= 0 && x < w && y >= 0 && y < h) {
        // One read of the largest square (clipped to the target) instead of a
        // read per pixel; the search order is that of growing squares: size k,
        // then x left to right, then y bottom to top; the first id > 0 wins.
        const int x0 = std::max(0, x - kSearchRadius);
        const int y0 = std::max(0, y - kSearchRadius);
        const int x1 = std::min(w - 1, x + kSearchRadius);
        const int y1 = std::min(h - 1, y + kSearchRadius);
        const int bw = x1 - x0 + 1;
        const int bh = y1 - y0 + 1;
        std::vector<std::int32_t> ids(static_cast<std::size_t>(bw) * static_cast<std::size_t>(bh), 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(x0, y0, bw, bh, GL_RED_INTEGER, GL_INT, ids.data());
        for (int k = 0; k <= kSearchRadius && *id < 1; ++k) {
            for (int px = x - k; px <= x + k && *id < 1; ++px) {
                for (int py = y - k; py <= y + k && *id < 1; ++py) {
                    if (px < x0 || px > x1 || py < y0 || py > y1)
                        continue;
                    const std::int32_t value =
                        ids[static_cast<std::size_t>(py - y0) * static_cast<std::size_t>(bw) +
                            static_cast<std::size_t>(px - x0)];
                    if (value > 0)
                        *id = value;
                }
            }
        }
    }

    glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    checkGLError(here(__LINE__));
    return pickedNode(*id);
}

void WidgetRisanje::readDepthPick()
{
    depthPickRequested = false;
    float depth = std::numeric_limits<float>::max();
    checkGLError(here(__LINE__));

    const int x = static_cast<int>(pickPosition.x);
    const int y = static_cast<int>(static_cast<float>(height()) - pickPosition.y);
    // Only inside the target: a row or column past its edge is not ours to read.
    const bool inside = x >= 0 && x < width() && y >= 0 && y < height();
    if (inside) {
        float value = 1.0f;
        glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &value);
        depth = std::min(depth, value);
    }
    checkGLError(here(__LINE__));

    const glm::vec3 window(pickPosition.x, static_cast<float>(height()) - pickPosition.y, depth);
    depthPoint = glm::unProject(window, glm::mat4(1.0f), camera.mvp,
                                glm::vec4(0.0f, 0.0f, static_cast<float>(width()), static_cast<float>(height())));
    // Outside the window, on nothing (the cleared depth 1) or where the
    // unprojection breaks down there is no scene point to act on.
    depthPointValid = inside && depth < 1.0f && isFinitePoint(depthPoint);
    qDebug() << depthPoint.x << depthPoint.y << depthPoint.z;
    checkGLError(here(__LINE__));
}

Internode* WidgetRisanje::pickedNode(int id) const
{
    if (id > 0 && static_cast<std::size_t>(id) < pickTable.size())
        return pickTable[static_cast<std::size_t>(id)];
    return nullptr;
}

// Qt 5.15 turns a repaint() that follows the last composition of the window
// within one display frame into a deferred update, so a pick made through
// repaint() could return before it ran. The request is served here at once
// instead, by the same frame code in the widget's context; it draws only into
// the picking target, so nothing needs to be composed.
void WidgetRisanje::renderRequestNow()
{
    if (glReady && context()) {
        const bool borrowContext = QOpenGLContext::currentContext() != context();
        if (borrowContext)
            makeCurrent();
        paintGL();
        if (borrowContext)
            doneCurrent();
    }
    // Unready, the request has no answer, and it must not linger to turn a
    // later frame into a pick.
    pickRequested = false;
    depthPickRequested = false;
}

void WidgetRisanje::requestIdPick(glm::vec2 point)
{
    pickPosition = point;
    pickRequested = true;
    renderRequestNow();
}

void WidgetRisanje::requestDepthPick(glm::vec2 point)
{
    pickPosition = point;
    depthPickRequested = true;
    depthPointValid = false;
    renderRequestNow();
}
