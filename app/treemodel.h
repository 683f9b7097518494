#pragma once
// Exposes the nodes of one tree to Qt's item views, read-only, four columns per
// node: its light value twice, its bud count and its resource amount. The rows
// under a node are its live child slots, the apical child first.
//
// The model keeps plain pointers into the trees, which die at the next change of
// the trees: whoever changes them calls TreesChanged() before anything repaints.

#include <QAbstractItemModel>

struct Internode;

class TreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    explicit TreeModel(QObject* parent = nullptr);
    ~TreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Shows the subtree of `node` (its children are the top-level rows); every
    // view on the model lays itself out again.
    void SetRoot(Internode* node);
    // The trees changed: views lay themselves out again, and the root is unset
    // unless it is still the root of a tree of allTrees.
    void TreesChanged();

    Internode* root = nullptr;  // not owned; null until SetRoot
};

// The program's one tree model, shared by every tree view; no root at start.
extern TreeModel sharedTreeModel;
