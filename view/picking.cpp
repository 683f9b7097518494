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
#include "view/vertexattributes.h"

namespace {

// Half the side of the largest search square around the cursor.
constexpr int kSearchRadius = 9;

std::string here(int line) { return "widgetrisanje_gl: " + std::to_string(line); }

// Whether the tube drawn for `point` can cover a pixel of the window square
// [x0, x1] x [y0, y1] (GL pixel indexes, y up) of a width x height viewport.
// Conservative: the tube lies inside the box around its two ends widened by
// the larger radius, and a convex box projects inside the hull of its corners
// as long as all of them lie in front of the camera; otherwise it is kept.
bool mayCoverSquare(const BranchPoint& point, const glm::mat4& mvp, float width, float height, int x0, int y0,
                    int x1, int y1)
{
    const float radius = std::max(glm::length(point.startRadius), glm::length(point.endRadius));
    const glm::vec3 low = glm::min(point.base, point.tip) - glm::vec3(radius);
    const glm::vec3 high = glm::max(point.base, point.tip) + glm::vec3(radius);
    float minX = std::numeric_limits<float>::max();
    float minY = minX;
    float maxX = -minX;
    float maxY = -minX;
    for (int corner = 0; corner < 8; ++corner) {
        const glm::vec3 p((corner & 1) ? high.x : low.x, (corner & 2) ? high.y : low.y, (corner & 4) ? high.z : low.z);
        const glm::vec4 clip = mvp * glm::vec4(p, 1.0f);
        if (!(clip.w > 1e-6f))
            return true;
        const float wx = (clip.x / clip.w * 0.5f + 0.5f) * width;
        const float wy = (clip.y / clip.w * 0.5f + 0.5f) * height;
        minX = std::min(minX, wx);
        maxX = std::max(maxX, wx);
        minY = std::min(minY, wy);
        maxY = std::max(maxY, wy);
    }
    // A pixel's square spans [i, i + 1); one pixel more on each side for the
    // rasteriser's rounding.
    return maxX >= static_cast<float>(x0 - 1) && minX <= static_cast<float>(x1 + 2) &&
           maxY >= static_cast<float>(y0 - 1) && minY <= static_cast<float>(y1 + 2);
}

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

    *id = 0;
    const int x = static_cast<int>(position.x);
    const int y = static_cast<int>(static_cast<float>(height()) - position.y);
    const int w = width();
    const int h = height();
    const bool inside = x >= 0 && x < w && y >= 0 && y < h;
    const int x0 = std::max(0, x - kSearchRadius);
    const int y0 = std::max(0, y - kSearchRadius);
    const int x1 = std::min(w - 1, x + kSearchRadius);
    const int y1 = std::min(h - 1, y + kSearchRadius);

    // Only the search square is read, so only the branches that can reach it
    // are drawn: in that square the ids are those of the whole pass, and the
    // geometry stage, the pass's main cost on a software renderer, has a few
    // tubes to make instead of every one.
    std::vector<BranchPoint> nearby;
    if (inside) {
        for (const BranchPoint& point : branchPoints)
            if (mayCoverSquare(point, camera.mvp, static_cast<float>(w), static_cast<float>(h), x0, y0, x1, y1))
                nearby.push_back(point);
    }

    shaders->programDrawVejaPicking.Use();
    glUniformMatrix4fv(shaders->pickingPVM, 1, GL_FALSE, glm::value_ptr(camera.mvp));
    switchAttribArrays({1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4});
    if (!nearby.empty()) {
        glBindBuffer(GL_ARRAY_BUFFER, streamVbo);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(nearby.size() * sizeof(BranchPoint)), nearby.data(),
                     GL_DYNAMIC_DRAW);
        pointBranchAttributes(*this);
        intAttribute(*this, 4, sizeof(BranchPoint), offsetof(BranchPoint, pickId));
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(nearby.size()));
    }
    checkGLError(here(__LINE__));
    disableAttribArrays({0, 1, 2, 3, 4, 5, 6});
    checkGLError(here(__LINE__));

    glFinish();
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    checkGLError(here(__LINE__));

    if (inside) {
        // One read of the largest square (clipped to the target) instead of a
        // read per pixel; the search order is that of growing squares: size k,
        // then x left to right, then y bottom to top; the first id > 0 wins.
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
