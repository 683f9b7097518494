#include "view/widgetrisanje.h"

#include <cstddef>
#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "environment/environment.h"
#include "view/markers.h"
#include "view/shaderset.h"
#include "view/utils.h"
#include "view/vertexattributes.h"

// The whole 3D scene for one pass: into the shadow map from the light, or into
// the current framebuffer from the camera (a depth pick is the latter and stops
// after the trees). Every per-frame vertex array goes through streamVbo;
// the core profile has neither client-side arrays nor quads.
//
// Texture units: 0 the tree and cylinder texture, 1 the panel program's
// texture, 2 the shadow map. The samplers of one program stay on distinct units
// in both passes (a 2D and a shadow sampler on one unit make every draw fail),
// and in the shadow pass unit 2 holds no texture: the shadow map is the target
// being written there, and sampling it would be a feedback loop.

namespace {

std::string here(int line) { return "widgetrisanje_gl: " + std::to_string(line); }

constexpr int kShadowUnit = 2;
constexpr float kShadowSlopeOffset = 2.0f;
constexpr float kShadowUnitsOffset = 4.0f;
// Half the side of the crossed squares that mark a planting point or a
// spreader's end.
constexpr float kMarkerHalfSize = 1.0f;

// The colour array that colours the branches in the information mode; null
// for a selector without one.
const std::vector<float>* colourArray(const GeometryAttributes& attributes, int type)
{
    switch (type) {
    case 0:
        return &attributes.qPerInternode;
    case 1:
        return &attributes.nodeQ;
    case 2:
        return &attributes.budQ;
    case 3:
        return &attributes.krPerInternode;
    case 4:
        return &attributes.nodeKR;
    default:
        return nullptr;
    }
}

// Two records of a measuring or highlight tube, with the radius vector along
// the segment (any vector will do for points closer than 0.01).
glm::vec3 segmentRadius(const glm::vec3& from, const glm::vec3& to)
{
    const glm::vec3 d = to - from;
    if (glm::length(d) < 0.01f)
        return glm::vec3(0.1f, 0.0f, 0.0f);
    return glm::normalize(d) * 0.1f;
}

} // namespace

void WidgetRisanje::drawScene(glm::mat4 P, glm::mat4 V, glm::mat4 M, bool shadowPass, glm::mat4 lightMatrix)
{
    ShaderSet& s = *shaders;
    const glm::mat4 pvm = P * V * M;
    const glm::mat4 normalModel = glm::transpose(glm::inverse(M));

    auto setMatrix = [this](int location, const glm::mat4& m) {
        glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(m));
    };
    auto setVec3 = [this](int location, const glm::vec3& v) { glUniform3f(location, v.x, v.y, v.z); };
    // The shadow map on its unit in the main pass; no texture there while it is
    // being written.
    auto bindShadowMap = [this, shadowPass](int samplerLocation) {
        glActiveTexture(GL_TEXTURE0 + kShadowUnit);
        glBindTexture(GL_TEXTURE_2D, shadowPass ? 0 : shadowDepthTexture);
        glUniform1i(samplerLocation, kShadowUnit);
    };
    auto streamData = [this](const void* data, std::size_t bytes) {
        glBindBuffer(GL_ARRAY_BUFFER, streamVbo);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), data, GL_DYNAMIC_DRAW);
    };
    // Cylinder tubes from 24-byte records streamed into streamVbo.
    auto drawLines = [this, &streamData](const std::vector<LineVertex>& lines, GLenum primitive) {
        streamData(lines.data(), lines.size() * sizeof(LineVertex));
        switchAttribArrays({2, 3, 4, 5, 6}, {0, 1});
        pointLineAttributes(*this);
        glDrawArrays(primitive, 0, GLsizei(lines.size()));
    };
    // The cylinder program with the matrices, the light and the shadow map.
    auto useCylinder = [&]() {
        s.programDrawCylinder.Use();
        setMatrix(s.cylinderPVM, pvm);
        setMatrix(s.cylinderShadowmat, lightMatrix);
        setVec3(s.cylinderLightPos, lightPosition);
        bindShadowMap(s.cylinderShadowMap);
    };
    // Position-only triangles (markers) with the panel program.
    auto drawPanelTriangles = [&](const std::vector<MeshVertex>& vertices) {
        streamData(vertices.data(), vertices.size() * sizeof(MeshVertex));
        switchAttribArrays({3, 4, 5, 6}, {0, 1, 2});
        pointMeshAttributes(*this);
        glDrawArrays(GL_TRIANGLES, 0, GLsizei(vertices.size()));
    };

    const bool bendModeReady = (mode == ModeTying || mode == ModeSpreading || mode == ModeWeighting)
                               && bendTarget.state == 2;
    const bool translucentTrees = mode == ModeFiltering || bendModeReady;
    const bool choosingOrReady = bendTarget.state == 1 || bendTarget.state == 2;

    // 1. State. Surfaces nearly parallel to the light (the ruler, the trunk)
    // would shadow themselves in bands: the shadow pass pushes its depths away
    // from the light by their slope.
    glDisable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    if (shadowPass) {
        glDisable(GL_BLEND);
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(kShadowSlopeOffset, kShadowUnitsOffset);
    } else {
        glEnable(GL_BLEND);
    }

    // 2. Default program.
    s.programDefault.Use();
    setMatrix(s.defaultPVM, pvm);
    disableAttribArrays({0, 1, 2, 3, 4, 5, 6});

    // 3. Panel program: ground, sky, ruler and models.
    s.programForPanel.Use();
    setMatrix(s.panelProjectionMatrix, P);
    setMatrix(s.panelModelMatrix, M);
    setMatrix(s.panelViewMatrix, V);
    checkGLError("ERROR: Could not set the shader uniforms");
    setMatrix(s.panelNormalModelMatrix, normalModel);
    setVec3(s.panelLightPosition, lightPosition);
    glUniform4f(s.panelAddColor, 0.0f, 0.0f, 0.0f, 1.0f);
    setMatrix(s.panelShadowmat, lightMatrix);
    bindShadowMap(s.panelShadowMap);
    glUniform1i(s.panelOsvetlitevE, shadowPass ? 0 : 1);
    glUniform1i(s.panelShadowE, shadowPass ? 0 : 1);
    glUniform1i(s.panelIntoQSumE, 0);
    checkGLError(here(__LINE__));

    // 4, 5. Ground and sky (they cast no shadow), ruler. A depth pick looks
    // for a point in the scene, and the sky holds none: no depth pick sees it,
    // so a pick on the sky finds nothing (the cleared depth). A tree is planted
    // only on the ground or on a tree: the planting mode's pick does not see
    // the ruler either.
    const bool plantingPick = depthPickRequested && mode == ModePlanting;
    if (!shadowPass) {
        drawGround();
        if (!depthPickRequested)
            drawSkyBox();
    }
    if (!plantingPick)
        drawRuler();
    checkGLError(here(__LINE__));

    // 6. Leaves: only while navigating or planting, in both passes.
    if (!leafPoints.empty() && (mode == ModeNavigation || mode == ModePlanting)) {
        s.programGenList.Use();
        setMatrix(s.leafPVM, pvm);
        glUniform1i(s.leafTexture, 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, leafTexture);
        setVec3(s.leafLightPos, lightPosition);
        setMatrix(s.leafShadowmat, lightMatrix);
        bindShadowMap(s.leafShadowMap);
        glUniform1i(s.leafOsvetlitevE, 1);
        glUniform1i(s.leafInsideShadowMapping, 0);
        glUniform4f(s.leafAddColor, 0.0f, 0.0f, 0.0f, 0.0f);
        switchAttribArrays({1, 2, 3, 4, 5, 6}, {0, 1, 2});
        streamData(leafPoints.data(), leafPoints.size() * sizeof(LeafPoint));
        floatAttribute(*this, 0, 3, sizeof(LeafPoint), offsetof(LeafPoint, position));
        floatAttribute(*this, 1, 3, sizeof(LeafPoint), offsetof(LeafPoint, orientation));
        floatAttribute(*this, 2, 3, sizeof(LeafPoint), offsetof(LeafPoint, normal));
        glDrawArrays(GL_POINTS, 0, GLsizei(leafPoints.size()));
        disableAttribArrays({1, 2, 3, 4, 5, 6});
        checkGLError(here(__LINE__));
    }

    // 7. Cut caps.
    if (!capPoints.empty()) {
        s.programDrawPokrivaloVeje.Use();
        setMatrix(s.capPVM, pvm);
        glUniform1i(s.capTexture, 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, leafTexture);
        setVec3(s.capLightPos, lightPosition);
        setMatrix(s.capShadowmat, lightMatrix);
        bindShadowMap(s.capShadowMap);
        glUniform1i(s.capOsvetlitevE, 1);
        glUniform1i(s.capInsideShadowMapping, 0);
        glUniform4f(s.capAddColor, 0.0f, 0.0f, 0.0f, translucentTrees ? -0.4f : 1.0f);
        switchAttribArrays({1, 2, 3, 4, 5, 6}, {0, 1});
        streamData(capPoints.data(), capPoints.size() * sizeof(CapPoint));
        floatAttribute(*this, 0, 3, sizeof(CapPoint), offsetof(CapPoint, position));
        floatAttribute(*this, 1, 3, sizeof(CapPoint), offsetof(CapPoint, normal));
        glDrawArrays(GL_POINTS, 0, GLsizei(capPoints.size()));
        disableAttribArrays({1, 2, 3, 4, 5, 6});
        checkGLError(here(__LINE__));
    }

    // What is drawn so far (the ground and the sky fill the whole window) goes
    // to the driver now: a software driver rasterises it on its own threads
    // while this thread builds the tubes.
    if (!shadowPass)
        glFlush();

    // 8. Branches: tubes from points, culled from the inside.
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    if (!branchPoints.empty()) {
        const GLsizei count = GLsizei(branchPoints.size());
        const std::size_t pointBytes = branchPoints.size() * sizeof(BranchPoint);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

        s.programDrawVeja.Use();
        setMatrix(s.vejaPVM, pvm);
        glUniform1i(s.vejaTexture, 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, barkTextures[0]);
        setVec3(s.vejaLightPos, lightPosition);
        setMatrix(s.vejaShadowmat, lightMatrix);
        bindShadowMap(s.vejaShadowMap);
        glUniform1f(s.vejaTexRepeat, 1.0f);
        glUniform1f(s.vejaTexXFrom, 0.0f);
        glUniform1f(s.vejaTexXTo, 1.0f);
        setMatrix(s.vejaModelViewMatrix, M * V);
        glUniform1i(s.vejaOsvetlitevE, 1);

        float shade = 0.4f;
        if (invertColours) {
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, barkTextures[1]);
            shade = -0.3f;
        }
        const float alpha = translucentTrees ? -0.7f : 0.0f;
        glUniform1i(s.vejaShadowsE, castShadows ? 1 : 0);
        glUniform4f(s.vejaAddColor, shade, shade, shade, alpha);

        // A colour array shorter than the points would be read past its end;
        // without one the colour attribute stays off even in the information
        // mode.
        const std::vector<float>* colours = colourArray(geometryAttributes, infoDisplayType);
        if (colours && colours->size() != branchPoints.size())
            colours = nullptr;
        disableAttribArrays({1, 2, 3, 4, 5, 6});
        if (mode == ModeInformation) {
            glUniform1i(s.vejaIntoQSumE, 1);
            if (colours)
                enableAttribArrays({0, 1, 2, 3, 5, 6});
            else
                enableAttribArrays({0, 1, 2, 3, 6});
        } else {
            glUniform1i(s.vejaIntoQSumE, 0);
            enableAttribArrays({0, 1, 2, 3, 6});
        }

        glBindBuffer(GL_ARRAY_BUFFER, streamVbo);
        if (colours) {
            const std::size_t colourBytes = colours->size() * sizeof(float);
            glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(pointBytes + colourBytes), nullptr, GL_DYNAMIC_DRAW);
            glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(pointBytes), branchPoints.data());
            glBufferSubData(GL_ARRAY_BUFFER, GLintptr(pointBytes), GLsizeiptr(colourBytes), colours->data());
            floatAttribute(*this, 5, 1, sizeof(float), pointBytes);
        } else {
            glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(pointBytes), branchPoints.data(), GL_DYNAMIC_DRAW);
        }
        pointBranchAttributes(*this);
        intAttribute(*this, 6, sizeof(BranchPoint), offsetof(BranchPoint, age));
        checkGLError(here(__LINE__));

        // Translucent branches in the filtering mode do not hide the
        // highlighted path behind them. The shadow map takes only depth, so a
        // drawing without depth writes leaves nothing there and is skipped.
        const bool branchDepthWrites = !(alpha < 0.0f && mode == ModeFiltering);
        if (!branchDepthWrites)
            glDepthMask(GL_FALSE);
        if (branchDepthWrites || !shadowPass)
            glDrawArrays(GL_POINTS, 0, count);
        glDepthMask(GL_TRUE);
        checkGLError(here(__LINE__));

        // The trees as they stood at the last growth step, as a faint ghost
        // (without depth writes: nothing of it in the shadow map).
        if (showFromSeasonStart && branchVertexCount > 0) {
            glUniform4f(s.vejaAddColor, shade, shade, shade, -0.8f);
            glBindBuffer(GL_ARRAY_BUFFER, branchVbo);
            switchAttribArrays({4, 5, 6}, {0, 1, 2, 3});
            pointBranchAttributes(*this);
            glDepthMask(GL_FALSE);
            if (!shadowPass)
                glDrawArrays(GL_POINTS, 0, branchVertexCount);
            glDepthMask(GL_TRUE);
            checkGLError(here(__LINE__));
        }
        disableAttribArrays({1, 2, 3, 4, 5, 6});
    }

    // 9. A depth pick sees the ground, the ruler and the trees only.
    glDisable(GL_CULL_FACE);
    if (depthPickRequested) {
        glDisable(GL_POLYGON_OFFSET_FILL);
        return;
    }

    // 10. Attachments, only while there are trees to hang them on.
    if (!branchPoints.empty()) {
        // Weights.
        s.programForPanel.Use();
        switchAttribArrays({3, 4, 5, 6}, {0, 1, 2});
        glUniform1i(s.panelPoPotrebiInvertirajNormale, 0);
        glUniform1i(s.panelTeksturaE, 0);
        setMatrix(s.panelShadowmat, lightMatrix);
        glUniform1i(s.panelOsvetlitevE, 1);
        glUniform4f(s.panelAddColor, 0.5f, 0.5f, 0.5f, 1.0f);
        if (weightMeshVbo != 0 && weightMeshVertexCount > 0) {
            glBindBuffer(GL_ARRAY_BUFFER, weightMeshVbo);
            pointMeshAttributes(*this);
            auto drawWeight = [&](const WeightRecord& weight) {
                const glm::mat4 model = M * glm::translate(glm::mat4(1.0f), weight.hangingPoint)
                                        * glm::scale(glm::mat4(1.0f), glm::vec3(weight.weight));
                setMatrix(s.panelModelMatrix, model);
                setMatrix(s.panelNormalModelMatrix, glm::transpose(glm::inverse(model)));
                glDrawArrays(GL_TRIANGLES, 0, weightMeshVertexCount);
            };
            for (const WeightRecord& weight : attachments.weights)
                drawWeight(weight);
            if (mode == ModeWeighting && pickedNode(bendTarget.pickedId))
                drawWeight(attachments.pendingWeight);
            checkGLError(here(__LINE__));
        }
        setMatrix(s.panelModelMatrix, M);
        setMatrix(s.panelNormalModelMatrix, normalModel);

        // Spreader bars.
        useCylinder();
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, ropeTexture);
        glUniform1i(s.cylinderTexture, 0);
        glUniform1f(s.cylinderTexXFrom, 0.0f);
        glUniform1f(s.cylinderTexXTo, 1.0f);
        switchAttribArrays({2, 3, 4, 5, 6}, {0, 1});
        glUniform4f(s.cylinderAddColor, 0.5f, 0.5f, 0.5f, 1.0f);
        glUniform1i(s.cylinderTextureE, 0);
        if (mode == ModeSpreading && choosingOrReady)
            drawSpreaderBar(attachments.pendingSpreader.branchPoint, attachments.pendingSpreader.endPoint);
        for (const SpreaderRecord& spreader : attachments.spreaders)
            drawSpreaderBar(spreader.branchPoint, spreader.endPoint);

        // Tie ropes.
        glUniform1i(s.cylinderTextureE, 1);
        if (invertColours)
            glUniform4f(s.cylinderAddColor, 0.0f, 0.0f, 0.0f, 0.0f);
        else
            glUniform4f(s.cylinderAddColor, 0.5f, 0.5f, 0.5f, 0.0f);
        if (mode == ModeTying && choosingOrReady)
            drawTieRope(bendTarget.state == 2, attachments.pendingTie);
        for (const TieRecord& tie : attachments.ties)
            drawTieRope(false, tie);

        // Rings at the tie anchors.
        s.programForPanel.Use();
        glUniform1i(s.panelTekstura, 1);
        glUniform1i(s.panelTeksturaE, 0);
        setMatrix(s.panelShadowmat, lightMatrix);
        glUniform1i(s.panelOsvetlitevE, 1);
        glUniform1i(s.panelPoPotrebiInvertirajNormale, 0);
        for (const TieRecord& tie : attachments.ties)
            drawTieRing(M, tie);
        if (mode == ModeTying && choosingOrReady)
            drawTieRing(M, attachments.pendingTie);
        setMatrix(s.panelModelMatrix, M);
        setMatrix(s.panelNormalModelMatrix, normalModel);

        // Where the spreader being placed ends.
        if (mode == ModeSpreading && choosingOrReady) {
            std::vector<MeshVertex> squares;
            AddMarkerSquares(squares, attachments.pendingSpreader.endPoint, kMarkerHalfSize);
            glUniform1i(s.panelPoPotrebiInvertirajNormale, 1);
            glUniform4f(s.panelAddColor, 1.0f, 1.0f, 1.0f, 0.5f);
            if (!squares.empty())
                drawPanelTriangles(squares);
        }
        checkGLError(here(__LINE__));
    }

    // 11. Tool overlays of the mode.
    if (mode == ModeFiltering && pickedNode(pickedId) && !highlightPath.empty()) {
        useCylinder();
        glUniform1f(s.cylinderTexRepeat, 1.0f);
        glUniform1f(s.cylinderTexXFrom, 0.5f);
        glUniform1f(s.cylinderTexXTo, 1.0f);
        if (invertColours)
            glUniform4f(s.cylinderAddColor, 1.0f, -1.0f, -1.0f, 1.0f);
        else
            glUniform4f(s.cylinderAddColor, 1.0f, 0.0f, -1.0f, 1.0f);
        drawLines(highlightPath, GL_LINES);
        checkGLError(here(__LINE__));
    } else if (mode == ModePruning) {
        // The hovered internode and the marked ones; an id that names no
        // internode (nothing under the cursor is -1, id 0 is no node) has
        // nothing to show.
        const int tableSize = int(pickTable.size());
        auto names = [tableSize](int id) { return id >= 1 && id < tableSize; };
        std::vector<SelectionEntry> shown;
        if (names(selection->currentIndex))
            shown.push_back({selection->currentIndex, selection->currentFraction});
        for (const SelectionEntry& entry : selection->entries)
            if (names(entry.pickIndex))
                shown.push_back(entry);
        // The screen's horizontal axis in world coordinates, in both passes.
        const glm::vec3 cutDirection(camera.view[0][0], camera.view[1][0], camera.view[2][0]);

        if (showSaws && !shown.empty()) {
            std::vector<SawVertex> saws;
            for (const SelectionEntry& entry : shown)
                AddSawQuad(entry, saws, pickTable, cutDirection, sawSize);
            // The saw is an icon, shown in its own colours: lit by the panel
            // program's light (at the model origin, below every saw) its
            // normal along the internode would turn it black.
            s.programForPanel.Use();
            glActiveTexture(GL_TEXTURE1);
            glBindTexture(GL_TEXTURE_2D, sawTexture);
            glUniform1i(s.panelTekstura, 1);
            glUniform1i(s.panelTeksturaE, 1);
            glUniform1i(s.panelOsvetlitevE, 0);
            glUniform4f(s.panelAddColor, 0.0f, 0.0f, 0.0f, 0.0f);
            if (!saws.empty()) {
                streamData(saws.data(), saws.size() * sizeof(SawVertex));
                switchAttribArrays({3, 4, 5, 6}, {0, 1, 2});
                floatAttribute(*this, 0, 3, sizeof(SawVertex), offsetof(SawVertex, position));
                floatAttribute(*this, 1, 3, sizeof(SawVertex), offsetof(SawVertex, direction));
                floatAttribute(*this, 2, 2, sizeof(SawVertex), offsetof(SawVertex, texCoord));
                glDrawArrays(GL_TRIANGLES, 0, GLsizei(saws.size()));
            }
            glUniform1i(s.panelTeksturaE, 0);
            glUniform1i(s.panelOsvetlitevE, 1);
            checkGLError(here(__LINE__));
        }

        std::vector<LineVertex> lines;
        for (const SelectionEntry& entry : shown)
            AddCutLine(entry, lines, pickTable, cutDirection, sawSize);
        if (showFromSeasonStart)
            lines.insert(lines.end(), selection->cutLines.begin(), selection->cutLines.end());
        if (!lines.empty()) {
            useCylinder();
            glUniform4f(s.cylinderAddColor, 4.0f, -4.0f, 0.0f, 1.0f);
            drawLines(lines, GL_LINES);
            checkGLError(here(__LINE__));
        }
    } else if (mode == ModeLength) {
        const glm::vec3& first = lengthStage == 1 ? lengthPointA : lengthPointB;
        const glm::vec3& second = lengthStage == 1 ? lengthPointB : lengthPointA;
        const glm::vec3 radius = segmentRadius(first, second);
        useCylinder();
        glUniform4f(s.cylinderAddColor, 2.0f, 0.0f, 0.0f, 0.8f);
        glUniform1f(s.cylinderTexRepeat, glm::length(second - first) * 0.1f);
        glUniform1f(s.cylinderTexXFrom, 0.0f);
        glUniform1f(s.cylinderTexXTo, 4.0f);
        drawLines({{first, radius}, {second, radius}}, GL_LINE_STRIP);
        checkGLError(here(__LINE__));
    } else if (mode == ModePlanting) {
        std::vector<MeshVertex> squares;
        AddMarkerSquares(squares, lengthPointA, kMarkerHalfSize);
        if (!squares.empty()) {
            s.programForPanel.Use();
            glUniform1i(s.panelTeksturaE, 0);
            glUniform4f(s.panelAddColor, 1.0f, 1.0f, 1.0f, 1.0f);
            drawPanelTriangles(squares);
            checkGLError(here(__LINE__));
        }
    } else if (mode == ModeAngle) {
        // The vertex's tube axis halves the angle, so the two arms meet
        // without a twist.
        const glm::vec3 toA = segmentRadius(anglePointA, angleVertex);
        const glm::vec3 toB = segmentRadius(angleVertex, anglePointB);
        glm::vec3 atVertex = toA + toB;
        atVertex = glm::length(atVertex) < 0.01f ? toA : glm::normalize(atVertex) * 0.1f;
        const float length = glm::length(angleVertex - anglePointA) + glm::length(anglePointB - angleVertex);
        useCylinder();
        glUniform1i(s.cylinderOsvetlitevE, 0);
        glUniform4f(s.cylinderAddColor, 1.0f, 1.0f, 0.0f, 0.4f);
        glUniform1f(s.cylinderTexRepeat, length * 0.1f);
        glUniform1f(s.cylinderTexXFrom, 0.0f);
        glUniform1f(s.cylinderTexXTo, 4.0f);
        glDisable(GL_DEPTH_TEST);
        drawLines({{anglePointA, toA}, {angleVertex, atVertex}, {anglePointB, toB}}, GL_LINE_STRIP);
        glEnable(GL_DEPTH_TEST);
        glUniform1i(s.cylinderOsvetlitevE, 1);
        checkGLError(here(__LINE__));
    } else if (mode == ModeTying || mode == ModeSpreading || mode == ModeWeighting) {
        if (const Internode* node = pickedNode(bendTarget.pickedId)) {
            if ((bendTarget.state == 0 || bendTarget.state == 1) && !attachments.bendPath.empty()) {
                std::vector<LineVertex> path;
                path.reserve(attachments.bendPath.size());
                for (const auto& joint : attachments.bendPath)
                    path.push_back({joint.first, joint.second});
                useCylinder();
                if (invertColours)
                    glUniform4f(s.cylinderAddColor, 1.0f, -1.0f, -1.0f, 1.0f);
                else
                    glUniform4f(s.cylinderAddColor, 1.0f, 0.0f, -1.0f, 1.0f);
                drawLines(path, GL_LINE_STRIP);
                checkGLError(here(__LINE__));
            }
            std::vector<MeshVertex> marker;
            AddInternodeMarker(*node, marker);
            if (!marker.empty()) {
                // The marker carries no texture coordinates: a plain
                // half-transparent white over the picked shoot.
                s.programForPanel.Use();
                glActiveTexture(GL_TEXTURE1);
                glBindTexture(GL_TEXTURE_2D, sawTexture);
                glUniform1i(s.panelTekstura, 1);
                glUniform1i(s.panelTeksturaE, 0);
                glUniform1i(s.panelPoPotrebiInvertirajNormale, 1);
                glUniform4f(s.panelAddColor, 1.0f, 1.0f, 1.0f, 0.5f);
                drawPanelTriangles(marker);
                checkGLError(here(__LINE__));
            }
        }
    }

    // 12. Leave the panel and default programs in a known state.
    s.programForPanel.Use();
    disableAttribArrays({1, 2, 3, 4, 5});
    glUniform1i(s.panelTeksturaE, 0);
    glUniform4f(s.panelAddColor, 0.0f, 0.2f, 0.2f, 1.0f);
    checkGLError(here(__LINE__));
    s.programDefault.Use();
    switchAttribArrays({2, 3, 4, 5}, {0, 1});

    // 13. The environment display, see-through over everything. It writes
    // no depth, so in the shadow pass (depth only) it would leave no trace.
    const Environment* environment = Environment::instance;
    if (environment && (environment->showBox || environment->showEnvironment)) {
        glDepthMask(GL_FALSE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        if (environment->showBox && !shadowPass)
            drawMarkerGridQuads();
        if (environment->showEnvironment && !shadowPass)
            drawEnvironment();
        glDepthMask(GL_TRUE);
    }
    glDisable(GL_POLYGON_OFFSET_FILL);
    checkGLError(here(__LINE__));
}
