// Pruning mode: marking cuts along internodes, applying them to the trees, and
// dropping the training attachments a cut or a new bend makes obsolete.

#include <cstddef>
#include <utility>
#include <vector>

#include "environment/environment.h"
#include "model/internode.h"
#include "model/lightpass.h"
#include "model/tree.h"
#include "view/widgetrisanje.h"

namespace {

// Puts a dropped attachment's shoot back where it was before its bend. Its buds
// leave the environment at the bent positions and enter it at the restored
// ones; the caller runs the light pass once all records are handled.
void restoreChain(Internode* base)
{
    Environment& environment = *Environment::instance;
    environment.clearShadowQueues();
    base->UpdateEnvironment(true, false);
    RestoreSavedGeometry(base);
    base->UpdateEnvironment(true, true);
    environment.applyQueuedShadows();
}

template <typename Record>
bool dropObsolete(std::vector<Record>& records, Internode* node, bool forCut)
{
    bool dropped = false;
    for (auto it = records.begin(); it != records.end();) {
        Internode* base = it->chainBase;
        Internode* picked = it->picked;
        bool obsolete = false;
        if (base && forCut)
            // A cut on the picked node or nearer the root takes away the tip
            // the attachment holds; one further out leaves that tip in place.
            obsolete = picked && IsInSubtree(node, picked);
        else if (base)
            // A new bend whose chain starts inside this attachment's shoot moves it.
            obsolete = IsInSubtree(base, node);
        if (obsolete) {
            restoreChain(base);
            it = records.erase(it);
            dropped = true;
        } else {
            ++it;
        }
    }
    return dropped;
}

bool hasAncestorAmong(const Internode* node, const std::vector<std::pair<Internode*, float>>& cuts)
{
    for (const Internode* n = node->parent; n; n = n->parent)
        for (const auto& cut : cuts)
            if (cut.first == n)
                return true;
    return false;
}

}  // namespace

Tree* WidgetRisanje::treeOf(const Internode* node)
{
    if (!node)
        return nullptr;
    while (node->parent)
        node = node->parent;
    for (Tree* tree : allTrees)
        if (tree->root == node)
            return tree;
    return nullptr;
}

void WidgetRisanje::hoverPruning(glm::vec2 point)
{
    selection->currentIndex = -1;
    const Internode* node = pickedNode(pickedId);
    if (!node)
        return;
    selection->currentFraction = cutFractionAlongInternode(point, node);
    selection->currentIndex = pickedId;
    thickBranchHovered = node->thickness > 0.2f;
}

void WidgetRisanje::rightClickPruning(glm::vec2 point)
{
    requestIdPick(point);
    Internode* node = pickedNode(pickedId);
    if (!node)
        return;
    const int id = pickedId;
    // The click marks a place on the internode as drawn now, before a dropped
    // attachment moves it back.
    const float fraction = cutFractionAlongInternode(point, node);
    if (removeAttachmentsOnCut(node, true) && !cutImmediately) {
        // A deferred cut leaves the trees as they are, so the restored shoots
        // need their light now; an immediate cut recomputes it anyway.
        lightAndAllocationPass();
        rebuildKeepingMarks();
    }
    selection->DropRelated(pickTable, node);
    selection->entries.push_back({id, fraction});
    if (cutImmediately)
        applyPruning();
    else
        needsRepaint = true;
}

void WidgetRisanje::rebuildKeepingMarks()
{
    buildAllTreeGeometry(branchPoints, leafPoints, pickTable, geometryAttributes, capPoints);
    repaint();
}

bool WidgetRisanje::removeAttachmentsOnCut(Internode* node, bool forCut)
{
    if (!node)
        return false;
    bool dropped = dropObsolete(attachments.weights, node, forCut);
    dropped = dropObsolete(attachments.spreaders, node, forCut) || dropped;
    dropped = dropObsolete(attachments.ties, node, forCut) || dropped;
    return dropped;
}

void WidgetRisanje::applyPruning()
{
    Environment& environment = *Environment::instance;
    environment.clearShadowQueues();

    // The view's first and second rows: the screen's horizontal and vertical
    // axes in world coordinates (the model matrix is the identity).
    const glm::mat4& view = camera.view;
    const glm::vec3 cutDirection(view[0][0], view[1][0], view[2][0]);
    const glm::vec3 upDirection(view[0][1], view[1][1], view[2][1]);
    for (const SelectionEntry& entry : selection->entries)
        AddCutLine(entry, selection->cutLines, pickTable, cutDirection, sawSize, upDirection);

    // Every node is looked up before the first cut frees anything. Marking drops
    // related marks, so no entry lies below another; should one ever do, it is
    // freed with the upper cut and skipped here.
    std::vector<std::pair<Internode*, float>> cuts;
    for (const SelectionEntry& entry : selection->entries) {
        if (entry.pickIndex <= 0 || static_cast<std::size_t>(entry.pickIndex) >= pickTable.size())
            continue;
        Internode* node = pickTable[static_cast<std::size_t>(entry.pickIndex)];
        if (node->parent)
            cuts.emplace_back(node, entry.cutFraction);
    }
    std::vector<std::pair<Internode*, float>> independent;
    for (const auto& cut : cuts) {
        bool repeated = false;
        for (const auto& kept : independent)
            repeated = repeated || kept.first == cut.first;
        if (!repeated && !hasAncestorAmong(cut.first, cuts))
            independent.push_back(cut);
    }

    for (const auto& [node, fraction] : independent) {
        Tree* tree = treeOf(node);
        if (!tree)
            continue;
        node->UpdateEnvironment(true, false);
        // The stub keeps its direction up to the cut point.
        node->direction *= fraction;
        node->Cut(tree->age);
    }

    environment.applyQueuedShadows();
    lightAndAllocationPass();

    // Empties the selection and the pick table with every other tree pointer.
    forgetTreePointers();
    buildAllTreeGeometry(branchPoints, leafPoints, pickTable, geometryAttributes, capPoints);
    // One frame shows the result; Qt would put off a second repaint this soon
    // into another whole frame of the same picture.
    repaint();
}
