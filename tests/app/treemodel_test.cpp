// The tree view model on grown trees: Qt's model tester over the whole tree
// (rows, parents, counts), the columns, headers and flags, and the model's
// resets when its root is set and when the trees change under an open view.
// Built with AddressSanitizer, a view reading a freed node fails the run.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QSignalSpy>
#include <QTreeView>

#include <algorithm>
#include <functional>
#include <memory>

#include "app/treemodel.h"
#include "environment/environment.h"
#include "model/growth.h"
#include "model/internode.h"
#include "model/tree.h"
#include "support/treebuilders.h"

namespace {

// Light 1 for every young bud, no light model: the trees grow without OpenCL.
class TreeModelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!Environment::instance)
            Environment::create();
        Environment::instance->type = 1;
    }
    void TearDown() override { deleteAllTrees(); }

    // A grown tree with a cut lateral, so that buds, internodes and a stub appear.
    static Tree* grownTreeWithStub()
    {
        Tree* tree = growTree(4);
        Internode* lateral = nodeAt(tree, {0, 1});
        EXPECT_FALSE(lateral->isBud);
        lateral->Cut(tree->age);
        return tree;
    }

    // A model whose indexes can be made for any column, as a view never asks.
    struct OpenModel : TreeModel {
        QModelIndex at(int row, int column, Internode* node) const { return createIndex(row, column, node); }
    };

    // The nodes of the rows an expanded view lays out, top to bottom.
    static std::vector<Internode*> shownNodes(QTreeView& view)
    {
        view.expandAll();
        std::vector<Internode*> nodes;
        for (QModelIndex row = view.model()->index(0, 0); row.isValid(); row = view.indexBelow(row))
            nodes.push_back(static_cast<Internode*>(row.internalPointer()));
        return nodes;
    }

    // What such a view should show under `root`: every node below it, each
    // before its apical subtree and that before its lateral one.
    static std::vector<Internode*> nodesBelow(Internode* root)
    {
        if (!root)
            return {};
        std::vector<Internode*> nodes = collectNodes(root);
        nodes.erase(nodes.begin());
        return nodes;
    }
};

// The tester checks every row's parent, counts and indexes as it walks the tree.
TEST_F(TreeModelTest, QtModelTesterAcceptsAGrownTree)
{
    Tree* tree = grownTreeWithStub();
    TreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 0);  // no root yet
    model.SetRoot(tree->root);
    EXPECT_EQ(model.rowCount(), 2);
}

TEST_F(TreeModelTest, RowsAreTheLiveChildSlotsAndParentsTheirSlots)
{
    Tree* tree = grownTreeWithStub();
    TreeModel model;
    model.SetRoot(tree->root);
    // Every node of the tree below the root, reached through the model by its path of slots.
    std::function<void(const QModelIndex&, Internode*)> walk = [&](const QModelIndex& index, Internode* node) {
        int live = 0;
        for (Internode* child : node->children)
            live += child ? 1 : 0;
        ASSERT_EQ(model.rowCount(index), live);
        EXPECT_EQ(model.hasChildren(index), live > 0);
        for (int slot = 0; slot < 2; ++slot) {
            if (!node->children[slot])
                continue;
            const QModelIndex child = model.index(slot, 0, index);
            ASSERT_EQ(child.internalPointer(), node->children[slot]);
            EXPECT_EQ(model.parent(child), index);
            walk(child, node->children[slot]);
        }
    };
    walk(QModelIndex(), tree->root);
    // The child of a lateral names the lateral, at row 1, as its parent.
    const std::vector<Internode*> nodes = collectNodes(tree->root);
    const auto lateral = std::find_if(nodes.begin(), nodes.end(), [](const Internode* n) {
        return n->parent && n->parent->children[1] == n && n->children[0];
    });
    ASSERT_NE(lateral, nodes.end());
    std::vector<int> path;
    for (const Internode* n = *lateral; n != tree->root; n = n->parent)
        path.insert(path.begin(), n->parent->children[1] == n ? 1 : 0);
    QModelIndex lateralIndex;
    for (int row : path)
        lateralIndex = model.index(row, 0, lateralIndex);
    ASSERT_EQ(lateralIndex.internalPointer(), *lateral);
    EXPECT_EQ(model.parent(model.index(0, 0, lateralIndex)).row(), 1);
    // A bud and the cut stub have no rows.
    EXPECT_EQ(model.rowCount(model.index(1, 0, model.index(0, 0))), 0);
}

TEST_F(TreeModelTest, ColumnsHeadersDataAndFlags)
{
    Tree* tree = growTree(3);
    OpenModel model;
    model.SetRoot(tree->root);
    EXPECT_EQ(model.columnCount(), 4);

    const char* const headers[] = {"resourcesQ", "resourcesQSum", "resourcesNumPopkov", "KolicinaResourcesVOdKorenine"};
    for (int section = 0; section < 6; ++section) {
        const QString expected = section < 4 ? headers[section] : "Header data " + QString::number(section);
        EXPECT_EQ(model.headerData(section, Qt::Horizontal).toString(), expected);
        EXPECT_FALSE(model.headerData(section, Qt::Vertical).isValid());
        EXPECT_FALSE(model.headerData(section, Qt::Horizontal, Qt::ToolTipRole).isValid());
    }

    for (Internode* node : collectNodes(tree->root)) {
        if (node == tree->root)
            continue;
        node->resourcesQ = 0.25f + node->depth;  // values that a mix-up of fields would show
        node->resourcesNumPopkov = 7 + node->depth;
        node->KolicinaResources = 0.5f * node->depth;
        const QModelIndex first = model.at(0, 0, node);
        EXPECT_EQ(model.data(first).toFloat(), node->resourcesQ);
        EXPECT_EQ(model.data(model.at(0, 1, node)).toFloat(), node->resourcesQ);
        EXPECT_EQ(model.data(model.at(0, 2, node)).toInt(), node->resourcesNumPopkov);
        EXPECT_EQ(model.data(model.at(0, 3, node)).toFloat(), node->KolicinaResources);
        EXPECT_EQ(model.data(model.at(0, 4, node)).toString(), "NULL");
        EXPECT_FALSE(model.data(first, Qt::EditRole).isValid());
        EXPECT_EQ(model.flags(first), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
    EXPECT_FALSE(model.data(QModelIndex()).isValid());
    EXPECT_EQ(model.flags(QModelIndex()), Qt::NoItemFlags);
    EXPECT_FALSE(model.index(0, 4).isValid());
    EXPECT_FALSE(model.index(2, 0).isValid());
}

// Views open on the model lay themselves out again when its root moves, and
// read no node of a tree that is gone.
TEST_F(TreeModelTest, SetRootResetsTheModel)
{
    Tree* first = growTree(3);
    std::unique_ptr<Tree> second = buildBalancedTree(3);
    TreeModel model;
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.SetRoot(first->root);
    QTreeView view;
    view.setModel(&model);
    view.expandAll();
    view.resize(400, 600);
    view.grab();

    model.SetRoot(second->root);
    EXPECT_EQ(resets.count(), 2);
    deleteAllTrees();  // the first tree and every index into it are gone
    EXPECT_EQ(shownNodes(view), nodesBelow(second->root));
}

// After each change of the trees the model is reset; its root stays only while
// it is still the root of a tree.
TEST_F(TreeModelTest, TreesChangedResetsAndLetsGoOfAGoneRoot)
{
    struct Change {
        const char* name;
        std::function<void()> apply;
        bool rootKept;
    };
    const std::vector<Change> changes = {
        {"growth iteration", [] { simulationStep(); }, true},
        {"cut below the root", [] { nodeAt(allTrees.front(), {0})->Cut(allTrees.front()->age); }, true},
        {"restart", [] { restartWithOneTree(); }, false},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        Tree* tree = growTree(3);
        Internode* root = tree->root;
        TreeModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        model.SetRoot(root);
        QTreeView view;
        view.setModel(&model);
        view.expandAll();
        view.resize(400, 800);
        view.grab();

        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        change.apply();
        model.TreesChanged();
        EXPECT_EQ(resets.count(), 1);
        if (change.rootKept) {
            EXPECT_EQ(model.root, root);
        } else {
            // Gone with its tree; only a new tree's root at the same address may stand in.
            EXPECT_TRUE(model.root == nullptr || model.root == allTrees.front()->root);
        }
        EXPECT_EQ(shownNodes(view), nodesBelow(model.root));
    }
}

TEST_F(TreeModelTest, SharedModelStartsWithoutRoot)
{
    EXPECT_EQ(sharedTreeModel.root, nullptr);
    EXPECT_EQ(sharedTreeModel.rowCount(), 0);
    EXPECT_EQ(static_cast<QObject&>(sharedTreeModel).parent(), nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
