// Pointers into the trees after the trees change. A growth step can shed
// subtrees and a restart frees every node, so the widget must drop the pick
// table, the selection, the bending state and the pending attachment records
// at every change. Run under AddressSanitizer too (label asan): a stale pointer
// read by the next hover or applied tool is a use after free there.

#include "support/widgetfixture.h"

#include "model/internode.h"
#include "view/widgetrisanje.h"

#include <gtest/gtest.h>

#include <QTest>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using widgettest::TestWidget;

namespace {

// Marks every kind of pointer state the tools can hold on node `id`.
void holdPointersTo(WidgetRisanje& widget, int id)
{
    Internode* node = widget.pickTable.at(static_cast<std::size_t>(id));
    widget.selection->entries.push_back({id, 0.5f});
    widget.selection->currentIndex = id;
    widget.bendTarget.state = 2;
    widget.bendTarget.pickedId = id;
    widget.bendChain.segments.resize(3);
    widget.attachments.bendPath.resize(3);
    widget.attachments.pendingWeight.picked = node;
    widget.attachments.pendingWeight.chainBase = node;
    widget.attachments.pendingSpreader.picked = node;
    widget.attachments.pendingSpreader.chainBase = node;
    widget.attachments.pendingTie.picked = node;
    widget.attachments.pendingTie.chainBase = node;
}

} // namespace

TEST(WidgetTreeChanges, EveryChangeDropsThePointersIntoTheTrees)
{
    TestWidget widget;
    ASSERT_TRUE(widget.ready()) << widget.failure();
    struct Change {
        const char* name;
        std::function<void(WidgetRisanje&)> run;
        bool rebuilds;  // the command rebuilds the geometry itself
    };
    const std::vector<Change> changes = {
        {"growStep", [](WidgetRisanje& w) { w.growStep(); }, false},
        {"resetTrees", [](WidgetRisanje& w) { w.resetTrees(); }, false},
        {"grow", [](WidgetRisanje& w) { w.growOrRestart(false); }, true},
        {"restart", [](WidgetRisanje& w) { w.growOrRestart(true); }, true},
    };
    for (const Change& change : changes) {
        widget->growOrRestart(false);
        ASSERT_GT(widget->pickTable.size(), 2u);
        holdPointersTo(*widget, 1);
        int told = 0;
        widget->treesChangedCallback = [&] {
            ++told;
            // Told once the pointers are gone, before any rebuild.
            EXPECT_TRUE(widget->pickTable.empty()) << change.name;
        };

        change.run(*widget);

        EXPECT_EQ(told, 1) << change.name;
        EXPECT_TRUE(widget->selection->entries.empty()) << change.name;
        EXPECT_EQ(widget->selection->currentIndex, -1) << change.name;
        EXPECT_EQ(widget->bendTarget.state, 0) << change.name;
        EXPECT_EQ(widget->bendTarget.pickedId, -1) << change.name;
        EXPECT_TRUE(widget->bendChain.segments.empty()) << change.name;
        EXPECT_TRUE(widget->attachments.bendPath.empty()) << change.name;
        for (const Internode* held :
             {widget->attachments.pendingWeight.picked, widget->attachments.pendingWeight.chainBase,
              widget->attachments.pendingSpreader.picked, widget->attachments.pendingSpreader.chainBase,
              widget->attachments.pendingTie.picked, widget->attachments.pendingTie.chainBase})
            EXPECT_EQ(held, nullptr) << change.name;
        // The table is empty until a rebuild, then it is the new trees'.
        EXPECT_EQ(widget->pickTable.size(), change.rebuilds ? widget->branchPoints.size() : 0u) << change.name;
        widget->treesChangedCallback = nullptr;
    }
}

// The user's way to the freed nodes: restart, then move over where the tree
// was and use the tools there, in every mode that reads tree pointers.
TEST(WidgetTreeChanges, HoverAndToolsAfterARestartTouchNoFreedNode)
{
    TestWidget widget;
    ASSERT_TRUE(widget.ready()) << widget.failure();
    widget->growOrRestart(false);
    widget->growOrRestart(false);
    ASSERT_TRUE(widget.waitForTicks(2));

    // Window positions of a few nodes, taken before they are freed.
    std::vector<QPoint> places;
    for (std::size_t id = 1; id < widget->pickTable.size(); id += widget->pickTable.size() / 4) {
        const Internode* node = widget->pickTable[id];
        const glm::vec3 at = widget->projectToScreen(node->position + 0.5f * node->direction, widget->camera.mvp);
        if (isFinitePoint(at))
            places.emplace_back(static_cast<int>(at.x), static_cast<int>(at.y));
    }
    ASSERT_FALSE(places.empty());

    for (int mode : {ModePruning, ModeWeighting, ModeTying, ModeSpreading, ModeFiltering, ModeInformation}) {
        widget->growOrRestart(false);
        widget->mode = mode;
        holdPointersTo(*widget, 1);
        widget->growOrRestart(true);
        for (const QPoint& place : places) {
            QTest::mouseMove(widget.get(), place);
            ASSERT_TRUE(widget.waitForTicks(2));
            QTest::mouseClick(widget.get(), Qt::RightButton, Qt::NoModifier, place);
            ASSERT_TRUE(widget.waitForTicks(1));
        }
        widget->applyPruning();
        widget->updateBendingPreview();
        widget->applyBending();
        widget->cancelBending();
        EXPECT_TRUE(widget.paintAndCollectErrors().empty()) << "mode " << mode;
        EXPECT_EQ(widgettest::takeStoredFailure(), "") << "mode " << mode;
    }
}
