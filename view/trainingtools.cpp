// The tools of modes 3 to 8: measuring lengths and angles, planting trees, and
// bending a young shoot with a tie, a spreader or a weight in three stages
// (pick the shoot, choose the target, confirm) with a live preview.
//
// The pending records and the bending state hold pointers into the trees;
// forgetTreePointers resets them at every change of the trees, so a stage-2
// hover never follows a freed node.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iostream>
#include <unordered_set>
#include <utility>
#include <vector>

#include <QChar>
#include <QString>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/quaternion.hpp>

#include "environment/environment.h"
#include "model/internode.h"
#include "model/lightpass.h"
#include "model/tree.h"
#include "view/widgetrisanje.h"

namespace {

// Below these, a screen distance or a height gives no usable ratio.
constexpr float minScreenDistance = 1.0f;
constexpr float minHeight = 1e-6f;

float windowDistance(glm::vec2 a, glm::vec3 b)
{
    return glm::length(a - glm::vec2(b));
}

void printPoint(const char* label, const glm::vec3& p)
{
    std::cout << label << p.x << " " << p.y << " " << p.z << "\n";
}

// The picked node of the pending record that confirming in this mode appends;
// null outside the bending modes.
Internode* pendingPicked(const Attachments& attachments, int mode)
{
    switch (mode) {
    case ModeTying: return attachments.pendingTie.picked;
    case ModeSpreading: return attachments.pendingSpreader.picked;
    case ModeWeighting: return attachments.pendingWeight.picked;
    default: return nullptr;
    }
}

Internode* pendingBase(const Attachments& attachments, int mode)
{
    switch (mode) {
    case ModeTying: return attachments.pendingTie.chainBase;
    case ModeSpreading: return attachments.pendingSpreader.chainBase;
    case ModeWeighting: return attachments.pendingWeight.chainBase;
    default: return nullptr;
    }
}

// The picked node and its ancestors up to the oldest one born in the tree's
// current or previous iteration, the picked node first. The walk stops at the
// root, as the chain's own build does.
std::vector<Internode*> bendPathOf(Internode* picked, const Tree& tree)
{
    std::vector<Internode*> path;
    for (Internode* node = picked; node && !BornBeforeLastIteration(node, &tree); node = node->parent)
        path.push_back(node);
    return path;
}

bool anglesFinite(const BendChain& chain)
{
    return std::all_of(chain.segments.begin(), chain.segments.end(), [](const BendSegment& s) {
        return std::isfinite(s.angle0) && std::isfinite(s.angle1);
    });
}

}  // namespace

void WidgetRisanje::clearMeasurements()
{
    lengthStage = 0;
    lengthPointA = lengthPointB = glm::vec3(0.0f);
    angleFirstId = angleSecondId = 0;
    anglePointA = anglePointB = angleVertex = glm::vec3(0.0f);
    clearReading();
}

void WidgetRisanje::clearReading()
{
    infoText.clear();
    infoTextDirty = true;
}

void WidgetRisanje::hoverLength(glm::vec2 point)
{
    requestDepthPick(point);
    // Over the sky there is no point to measure to: the last length stays.
    if (!depthPointValid)
        return;
    if (lengthStage == 0)
        lengthPointA = depthPoint;
    else
        lengthPointB = depthPoint;
    const QString metres = QString::number(glm::length(lengthPointA - lengthPointB) / 10.0f, 'f', 2) + "m";
    infoTextDirty = true;
    infoText = metres;
    if (statusMessageCallback)
        statusMessageCallback("Len: " + metres);
}

void WidgetRisanje::rightClickLength(glm::vec2 point)
{
    if (lengthStage == 1) {
        lengthStage = 0;
        return;
    }
    requestDepthPick(point);
    // A click on the sky fixes no first point.
    if (!depthPointValid)
        return;
    lengthPointA = depthPoint;
    lengthStage = 1;
}

void WidgetRisanje::hoverAngle(glm::vec2 point)
{
    std::cout << "BU\n";
    requestIdPick(point);
    angleSecondId = pickedId;
    const Internode* a = pickedNode(angleFirstId);
    const Internode* b = pickedNode(angleSecondId);
    if (a) {
        anglePointA = a->position;
        printPoint("A:", anglePointA);
    }
    if (b) {
        anglePointB = b->position;
        printPoint("B:", anglePointB);
    }
    if (a && b) {
        std::unordered_set<const Internode*> chainOfB;
        for (const Internode* n = b; n; n = n->parent)
            chainOfB.insert(n);
        const Internode* common = a;
        while (common && !chainOfB.count(common))
            common = common->parent;

        float angle = NAN;
        if (common) {
            printPoint("OCE:", common->position);
            angleVertex = common->position + common->direction;
            const glm::vec3 toA = anglePointA - angleVertex;
            const glm::vec3 toB = anglePointB - angleVertex;
            // Picks on one axis give a cosine of -1 that rounding may push past it.
            const float cosine = glm::dot(toA, toB) / (glm::length(toB) * glm::length(toA));
            angle = std::acos(std::clamp(cosine, -1.0f, 1.0f)) * 57.29578f;
        }
        const QString degrees = QString::number(angle, 'f', 2) + QChar(0x00B0);
        infoTextDirty = true;
        infoText = degrees;
        if (statusMessageCallback)
            statusMessageCallback("Len: " + degrees);
    }
    std::cout.flush();
}

void WidgetRisanje::rightClickAngle(glm::vec2 point)
{
    requestIdPick(point);
    angleFirstId = pickedId;
}

void WidgetRisanje::hoverPlanting(glm::vec2 point)
{
    requestDepthPick(point);
    lengthPointA = depthPoint;
}

void WidgetRisanje::rightClickPlanting(glm::vec2 point)
{
    requestDepthPick(point);
    // A read that hit neither the ground nor a tree (the sky, or outside the
    // window) gives nothing to plant on.
    if (!depthPointValid || !isFinitePoint(depthPoint)) {
        if (statusMessageCallback)
            statusMessageCallback(QStringLiteral("Nothing to plant on here: a tree grows on the ground or on a tree"));
        return;
    }
    Tree* tree = new Tree();
    tree->root->position = depthPoint;
    allTrees.push_back(tree);
    forgetTreePointers();
    rebuildGeometry(false);
}

void WidgetRisanje::hoverBending(glm::vec2 point)
{
    Attachments& a = attachments;
    BendTarget& target = bendTarget;

    if (target.state == 0) {
        // The id pick under the point has just run.
        target.pickedId = pickedId;
        if (mode == ModeWeighting) {
            a.pendingWeight.weight = 0.5f;
            a.pendingWeight.hangingPoint = glm::vec3(0.0f);
        }
        Internode* node = pickedNode(pickedId);
        if (!node)
            return;
        if (mode == ModeWeighting) {
            a.pendingWeight.hangingPoint = node->position;
        } else if (mode == ModeSpreading) {
            a.pendingSpreader.picked = node;
            a.pendingSpreader.branchPoint = a.pendingSpreader.endPoint = node->position;
        } else if (mode == ModeTying) {
            a.pendingTie.picked = node;
            a.pendingTie.branchPoint = a.pendingTie.anchorPoint = a.pendingTie.ropeEnd = node->position;
        }
        return;
    }

    if (target.state == 1) {
        // Over the sky there is no point to pull or push towards: the last
        // target stays.
        requestDepthPick(point);
        if (depthPointValid)
            aimBendAt(depthPoint);
        return;
    }

    // Stage 2: how far the cursor lies from the target sets how hard the tool pulls.
    const glm::mat4& mvp = camera.mvp;
    target.screenPickPoint = projectToScreen(target.pickPoint, mvp);
    target.screenEndPoint = projectToScreen(target.endPoint, mvp);
    const float l = windowDistance(point, target.screenEndPoint);
    const float d = glm::length(glm::vec2(target.screenPickPoint) - glm::vec2(target.screenEndPoint));
    const float s = glm::length(target.pickPoint - target.endPoint);

    // A denominator that vanishes (or a point off the screen) keeps the previous
    // target, so that no NaN reaches the solver.
    if (mode == ModeTying) {
        if (d >= minScreenDistance)
            target.targetDistance = s * std::clamp(1.0f - l / d, 0.0f, 1.0f);
    } else if (mode == ModeSpreading) {
        if (d >= minScreenDistance)
            target.targetDistance = s * (l / d + 1.0f);
    } else {
        const float y = target.pickPoint.y;
        const glm::vec3 ground(target.pickPoint.x, 0.0f, target.pickPoint.z);
        const float g = projectToScreen(ground, mvp).y;
        const float span = g - target.screenPickPoint.y;
        if (std::fabs(span) >= minScreenDistance && std::fabs(y) >= minHeight) {
            const float w = std::clamp((g - point.y) / span, 0.0f, 1.0f);
            target.targetDistance = y * w;
            a.pendingWeight.weight = (y - y * w) / y + 0.5f;
        }
        target.endPoint = glm::vec3(0.0f);
    }

    updateBendingPreview();
    glm::vec3 end(0.0f);
    bendChain.Polyline(a.bendPath, pendingPicked(a, mode), end);
    const bool bent = !a.bendPath.empty();
    if (mode == ModeWeighting) {
        if (bent)
            a.pendingWeight.hangingPoint = end;
    } else if (mode == ModeSpreading) {
        a.pendingSpreader.branchPoint = bent ? end : target.pickPoint;
    } else if (mode == ModeTying) {
        a.pendingTie.branchPoint = bent ? end : target.pickPoint;
        // The rope's free end follows the cursor at the depth of the picked node.
        const glm::vec3 window(point.x, static_cast<float>(height()) - point.y,
                               target.screenPickPoint.z * 0.5f + 0.5f);
        const glm::vec4 viewport(0.0f, 0.0f, static_cast<float>(width()), static_cast<float>(height()));
        const glm::vec3 ropeEnd = glm::unProject(window, glm::mat4(1.0f), mvp, viewport);
        if (isFinitePoint(ropeEnd))
            a.pendingTie.ropeEnd = ropeEnd;
        a.pendingTie.ropeLength = s;
    }
    needsRepaint = true;
}

void WidgetRisanje::rightClickBending(glm::vec2 point)
{
    BendTarget& target = bendTarget;
    if (target.state == 1) {
        // The click itself must hit the scene: a target kept from a hover over
        // the sky, or from an earlier operation, is not what the user aimed at.
        requestDepthPick(point);
        if (!depthPointValid) {
            if (statusMessageCallback)
                statusMessageCallback(QStringLiteral("No target here: pick a point on the ground or on a tree"));
            return;
        }
        aimBendAt(depthPoint);
        target.state = 2;
        return;
    }
    if (target.state == 2) {
        target.state = 0;
        applyBending();
        return;
    }

    requestIdPick(point);
    target.pickedId = -1;
    Internode* node = pickedNode(pickedId);
    Tree* tree = treeOf(node);
    if (node && tree) {
        target.pickPoint = node->position;
        target.pickedId = pickedId;
        Internode* base = nullptr;
        bendChain.Build(node, *tree, base);
        // An older limb has no young chain to bend: an operation started on it
        // could only end in a confirm that changes nothing.
        target.state = bendChain.segments.empty() ? 0 : 1;
        if (target.state == 0) {
            if (statusMessageCallback)
                statusMessageCallback(
                    QStringLiteral("Only a young shoot bends: pick a shoot grown in the last two iterations"));
        } else if (removeAttachmentsOnCut(base, false)) {
            // The earlier shoot went back to its rest; no new bend starts.
            lightAndAllocationPass();
            rebuildKeepingMarks();
            target.state = 0;
        } else if (mode == ModeWeighting) {
            target.state = 2;
            target.targetDistance = target.pickPoint.y;
            attachments.pendingWeight = {base, node, 0.5f, node->position};
        } else if (mode == ModeSpreading) {
            attachments.pendingSpreader = {base, node, node->position, node->position};
            target.endPoint = node->position;  // no target chosen yet
        } else if (mode == ModeTying) {
            attachments.pendingTie = {base, node, node->position, node->position, node->position, 0.0f};
            target.endPoint = node->position;
        }
    }
    attachments.bendPath.clear();
    needsRepaint = true;
}

void WidgetRisanje::aimBendAt(const glm::vec3& point)
{
    bendTarget.endPoint = point;
    if (mode == ModeSpreading)
        attachments.pendingSpreader.endPoint = point;
    else if (mode == ModeTying)
        attachments.pendingTie.anchorPoint = attachments.pendingTie.ropeEnd = point;
}

void WidgetRisanje::updateBendingPreview()
{
    if (!isFinitePoint(bendTarget.endPoint) || !std::isfinite(bendTarget.targetDistance))
        return;
    const int distanceMode = mode == ModeTying ? BendTie : mode == ModeSpreading ? BendSpreader : BendWeight;
    bendChain.Optimise(bendTarget.endPoint, bendTarget.targetDistance, distanceMode);
}

void WidgetRisanje::applyBending()
{
    std::vector<Internode*> path;
    Internode* picked = nullptr;
    const int id = bendTarget.pickedId;
    if (!bendChain.segments.empty() && id >= 0 && static_cast<std::size_t>(id) < pickTable.size()) {
        picked = pickTable[static_cast<std::size_t>(id)];
        if (const Tree* tree = treeOf(picked))
            path = bendPathOf(picked, *tree);
    }
    // The chain must still be the one built for this pick: same node, same
    // oldest node, one segment per node, and angles the solver could compute.
    const bool current = !path.empty() && path.size() == bendChain.segments.size() &&
                         pendingPicked(attachments, mode) == picked &&
                         pendingBase(attachments, mode) == path.back() && anglesFinite(bendChain);
    if (current) {
        Environment& environment = *Environment::instance;
        Internode* oldest = path.back();
        environment.clearShadowQueues();
        oldest->UpdateEnvironment(true, false);
        environment.applyQueuedShadows();

        const std::vector<BendSegment>& segments = bendChain.segments;
        const std::size_t n = std::min(path.size(), segments.size());
        glm::vec3 position = segments.front().basePosition;
        glm::quat q(1.0f, 0.0f, 0.0f, 0.0f);
        for (std::size_t i = 0; i < n; ++i) {
            Internode* node = path[path.size() - 1 - i];
            Internode* next = i + 1 < n ? path[path.size() - 2 - i] : nullptr;
            const glm::vec3 before = position;
            BendSegmentStep(BendAngles(segments[i].angle0, segments[i].angle1), segments[i], q, position);
            RotateSubtree(node, before, q, next);
        }

        if (mode == ModeTying)
            attachments.ties.push_back(attachments.pendingTie);
        else if (mode == ModeSpreading)
            attachments.spreaders.push_back(attachments.pendingSpreader);
        else
            attachments.weights.push_back(attachments.pendingWeight);

        // The shoot casts its shadows from where it now stands before any bud's
        // light is computed.
        environment.clearShadowQueues();
        oldest->UpdateEnvironment(true, true);
        environment.applyQueuedShadows();
        lightAndAllocationPass();

        // Ends the bending interaction. The bend moved nodes but freed none:
        // the pick table comes out in the same order, and the marked cuts, a
        // plan not yet applied, keep their ids.
        std::vector<SelectionEntry> marks = std::move(selection->entries);
        forgetTreePointers();
        buildAllTreeGeometry(branchPoints, leafPoints, pickTable, geometryAttributes, capPoints);
        selection->entries = std::move(marks);
    }
    bendTarget.state = 0;
    repaint();
}

void WidgetRisanje::cancelBending()
{
    bendTarget.state = 0;
    // The preview belongs to the cancelled bend; stage 0 draws it otherwise.
    attachments.bendPath.clear();
    repaint();
}
