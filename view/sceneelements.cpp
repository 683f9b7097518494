#include "view/widgetrisanje.h"

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "view/shaderset.h"
#include "view/utils.h"
#include "view/vertexattributes.h"

// The fixed and tool geometry of the scene. Every operation runs inside the
// main or shadow pass of drawScene, with the program its element needs already
// in use; each binds its own buffer and texture and points the attributes at
// its own data.

namespace {

std::string here(int line) { return "widgetrisanje_gl: " + std::to_string(line); }

constexpr float kThird = 0.33333334f;
constexpr float kTwoThirds = 0.6666667f;
constexpr float kSky = 5120.0f;
constexpr float kGround = 2048.0f;
constexpr float kCylinderRadius = 0.1f;

// One face of the sky cube: four corners as sign triples with their texture
// coordinates, emitted as the triangles c1 c2 c3 and c2 c3 c4.
struct SkyFace {
    glm::vec3 sign[4];
    glm::vec2 uv[4];
};

std::vector<MeshVertex> skyBoxVertices()
{
    // The sky image is a horizontal cross: four side cells across the middle
    // third, the top above the second column and the bottom below it.
    const SkyFace faces[6] = {
        {{{-1, -1, -1}, {-1, -1, 1}, {-1, 1, -1}, {-1, 1, 1}},
         {{0.0f, kThird}, {0.25f, kThird}, {0.0f, 0.6651667f}, {0.25f, 0.6651667f}}},
        {{{-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}, {1, 1, 1}},
         {{0.25f, kThird}, {0.5f, kThird}, {0.25f, kTwoThirds}, {0.5f, kTwoThirds}}},
        {{{1, -1, 1}, {1, -1, -1}, {1, 1, 1}, {1, 1, -1}},
         {{0.5f, kThird}, {0.75f, kThird}, {0.5f, 0.6656667f}, {0.75f, 0.6656667f}}},
        {{{1, -1, -1}, {-1, -1, -1}, {1, 1, -1}, {-1, 1, -1}},
         {{0.75f, kThird}, {1.0f, kThird}, {0.75f, 0.6656667f}, {1.0f, 0.6656667f}}},
        {{{-1, 1, 1}, {-1, 1, -1}, {1, 1, 1}, {1, 1, -1}},
         {{0.251f, kTwoThirds}, {0.251f, 0.999f}, {0.499f, kTwoThirds}, {0.499f, 0.999f}}},
        {{{-1, -1, -1}, {1, -1, -1}, {-1, -1, 1}, {1, -1, 1}},
         {{0.25f, 0.0f}, {0.5f, 0.0f}, {0.25f, kThird}, {0.5f, kThird}}},
    };
    const int order[6] = {0, 1, 2, 1, 2, 3};
    std::vector<MeshVertex> vertices;
    vertices.reserve(36);
    for (const SkyFace& face : faces)
        for (int corner : order)
            vertices.push_back({face.sign[corner] * kSky, glm::vec3(0.0f), face.uv[corner]});
    return vertices;
}

std::vector<MeshVertex> groundVertices()
{
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    return {
        {{-kGround, 0.0f, -kGround}, up, {0.0f, 0.0f}},
        {{kGround, 0.0f, -kGround}, up, {400.0f, 0.0f}},
        {{-kGround, 0.0f, kGround}, up, {0.0f, 400.0f}},
        {{kGround, 0.0f, kGround}, up, {400.0f, 400.0f}},
    };
}

// A post of 1 x 10 and a bar of 10 x 1, each with a front at z = 2 and a back
// just behind it; four strips of four vertices.
std::vector<MeshVertex> rulerVertices()
{
    const glm::vec3 n(0.0f);
    return {
        {{2, 0, 2}, n, {0, 0}},          {{3, 0, 2}, n, {1, 0}},
        {{2, 10, 2}, n, {0, 1}},         {{3, 10, 2}, n, {1, 1}},
        {{3, 10, 1.99f}, n, {0, 1}},     {{2, 10, 1.99f}, n, {1, 1}},
        {{3, 0, 1.99f}, n, {0, 0}},      {{2, 0, 1.99f}, n, {1, 0}},
        {{-10, 0, 2}, n, {1, 1}},        {{0, 0, 2}, n, {1, 0}},
        {{-10, 1, 2}, n, {0, 1}},        {{0, 1, 2}, n, {0, 0}},
        {{0, 1, 1.99f}, n, {1, 0}},      {{-10, 1, 1.99f}, n, {1, 1}},
        {{0, 0, 1.99f}, n, {0, 0}},      {{-10, 0, 1.99f}, n, {0, 1}},
    };
}

// Unit direction of d, or +X when d is too short to have one (compared in
// double precision, as the lengths of the rope records are).
glm::vec3 lineDirection(const glm::vec3& d)
{
    const double length = std::sqrt(double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z);
    if (length <= 0.01)
        return glm::vec3(1.0f, 0.0f, 0.0f);
    return glm::normalize(d);
}

} // namespace

void WidgetRisanje::drawGround()
{
    enableAttribArrays({0, 1, 2});
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, grassTexture);
    glUniform1i(shaders->panelPoPotrebiInvertirajNormale, 1);
    glUniform1i(shaders->panelTekstura, 1);
    glUniform1i(shaders->panelOsvetlitevE, 1);
    glUniform1i(shaders->panelTeksturaE, 1);
    if (invertColours)
        glUniform4f(shaders->panelAddColor, 0.8f, 0.9f, 0.8f, 0.0f);
    else
        glUniform4f(shaders->panelAddColor, 0.4f, 0.5f, 0.4f, 0.0f);
    checkGLError(here(__LINE__));

    if (groundVbo == 0) {
        const std::vector<MeshVertex> vertices = groundVertices();
        glGenBuffers(1, &groundVbo);
        glBindBuffer(GL_ARRAY_BUFFER, groundVbo);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(MeshVertex)), vertices.data(),
                     GL_DYNAMIC_DRAW);
    } else {
        glBindBuffer(GL_ARRAY_BUFFER, groundVbo);
    }
    checkGLError(here(__LINE__));

    pointMeshAttributes(*this);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    disableAttribArrays({0, 1, 2});
    checkGLError(here(__LINE__));
}

void WidgetRisanje::drawSkyBox()
{
    if (skyBoxVbo == 0) {
        const std::vector<MeshVertex> vertices = skyBoxVertices();
        glGenBuffers(1, &skyBoxVbo);
        glBindBuffer(GL_ARRAY_BUFFER, skyBoxVbo);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(MeshVertex)), vertices.data(),
                     GL_DYNAMIC_DRAW);
    } else {
        glBindBuffer(GL_ARRAY_BUFFER, skyBoxVbo);
    }
    checkGLError(here(__LINE__));

    enableAttribArrays({0, 1, 2});
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, skyTexture);
    glUniform1i(shaders->panelPoPotrebiInvertirajNormale, 1);
    glUniform1i(shaders->panelTekstura, 1);
    glUniform1i(shaders->panelTeksturaE, 1);
    glUniform1i(shaders->panelOsvetlitevE, 0);
    if (invertColours)
        glUniform4f(shaders->panelAddColor, 0.6f, 0.6f, 0.6f, 1.0f);
    else
        glUniform4f(shaders->panelAddColor, 0.3f, 0.3f, 0.3f, 1.0f);
    checkGLError(here(__LINE__));

    pointMeshAttributes(*this);
    glDrawArrays(GL_TRIANGLES, 0, 36);

    disableAttribArrays({0, 1, 2});
    glUniform1i(shaders->panelOsvetlitevE, 1);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    checkGLError(here(__LINE__));
}

void WidgetRisanje::drawRuler()
{
    if (!showRuler)
        return;
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, rulerTexture);
    glUniform1i(shaders->panelPoPotrebiInvertirajNormale, 1);
    glUniform1i(shaders->panelTekstura, 1);
    glUniform1i(shaders->panelTeksturaE, 1);
    glUniform4f(shaders->panelAddColor, 0.6f, 0.6f, 0.6f, 1.0f);
    checkGLError(here(__LINE__));

    const std::vector<MeshVertex> vertices = rulerVertices();
    glBindBuffer(GL_ARRAY_BUFFER, streamVbo);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(MeshVertex)), vertices.data(),
                 GL_DYNAMIC_DRAW);
    switchAttribArrays({0, 1, 2, 3}, {0, 1, 2});
    pointMeshAttributes(*this);

    const GLint firsts[4] = {0, 4, 8, 12};
    const GLsizei counts[4] = {4, 4, 4, 4};
    glMultiDrawArrays(GL_TRIANGLE_STRIP, firsts, counts, 4);
    disableAttribArrays({0, 1, 2, 3});
    checkGLError(here(__LINE__));
}

void WidgetRisanje::drawSpreaderBar(const glm::vec3& a, const glm::vec3& b)
{
    const glm::vec3 v = lineDirection(b - a) * kCylinderRadius;
    const LineVertex records[2] = {{b, v}, {a, -v}};
    glBindBuffer(GL_ARRAY_BUFFER, streamVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof(records), records, GL_DYNAMIC_DRAW);
    pointLineAttributes(*this);
    glDrawArrays(GL_LINES, 0, 2);
    checkGLError(here(__LINE__));
}

void WidgetRisanje::drawTieRope(bool withRopeEnd, const TieRecord& tie)
{
    const glm::vec3& branch = tie.branchPoint;
    const glm::vec3& anchor = tie.anchorPoint;

    // The texture repeats once per unit of length, so the rope's weave keeps
    // its size however long the rope is.
    const float firstLength = glm::length(branch - anchor);
    const glm::vec3 v = lineDirection(branch - anchor) * kCylinderRadius;
    const LineVertex first[2] = {{branch, v}, {anchor, -v}};
    glUniform1f(shaders->cylinderTexRepeat, firstLength);
    glBindBuffer(GL_ARRAY_BUFFER, streamVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof(first), first, GL_DYNAMIC_DRAW);
    pointLineAttributes(*this);
    glDrawArrays(GL_LINES, 0, 2);
    checkGLError(here(__LINE__));

    if (!withRopeEnd)
        return;
    const glm::vec3 w = lineDirection(tie.ropeEnd - anchor) * kCylinderRadius;
    const LineVertex rest[2] = {{tie.ropeEnd, w}, {anchor, w}};
    glUniform1f(shaders->cylinderTexRepeat, tie.ropeLength - firstLength);
    glBufferData(GL_ARRAY_BUFFER, sizeof(rest), rest, GL_DYNAMIC_DRAW);
    pointLineAttributes(*this);
    glDrawArrays(GL_LINES, 0, 2);
    checkGLError(here(__LINE__));
}

void WidgetRisanje::drawTieRing(const glm::mat4& model, const TieRecord& tie)
{
    // The ring lies across the rope: the torus's axis (y) turns onto the line
    // from the branch point to the rope end.
    if (torusMeshVbo == 0 || torusMeshVertexCount <= 0)
        return;
    glm::vec3 n = tie.ropeEnd - tie.branchPoint;
    const double length = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
    n = length < 0.001 ? glm::vec3(1.0f, 0.0f, 0.0f) : glm::normalize(n);
    glm::vec3 u = glm::cross(n, glm::vec3(1.0f, 0.0f, 0.0f));
    if (glm::length(u) < 0.2f)
        u = glm::cross(n, glm::vec3(0.0f, 1.0f, 0.0f));
    u = glm::normalize(u);
    const glm::vec3 w = glm::normalize(glm::cross(n, u));
    const glm::mat4 rotation(glm::vec4(u, 0.0f), glm::vec4(n, 0.0f), glm::vec4(w, 0.0f), glm::vec4(0, 0, 0, 1));

    const glm::mat4 ringModel = model * glm::translate(glm::mat4(1.0f), tie.anchorPoint) * rotation
                                * glm::scale(glm::mat4(1.0f), glm::vec3(0.4f));
    const glm::mat4 normalModel = glm::transpose(glm::inverse(ringModel));
    glUniformMatrix4fv(shaders->panelModelMatrix, 1, GL_FALSE, glm::value_ptr(ringModel));
    glUniformMatrix4fv(shaders->panelNormalModelMatrix, 1, GL_FALSE, glm::value_ptr(normalModel));
    glUniform4f(shaders->panelAddColor, 0.9f, 0.9f, 0.9f, 1.0f);

    glBindBuffer(GL_ARRAY_BUFFER, torusMeshVbo);
    switchAttribArrays({3, 4, 5, 6}, {0, 1, 2});
    pointMeshAttributes(*this);
    glDrawArrays(GL_TRIANGLES, 0, torusMeshVertexCount);
    checkGLError(here(__LINE__));
}
