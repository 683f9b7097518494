#include "app/treemodel.h"

#include <algorithm>

#include "model/internode.h"
#include "model/tree.h"

TreeModel sharedTreeModel;

namespace {

const char* const headers[] = {"resourcesQ", "resourcesQSum", "resourcesNumPopkov", "KolicinaResourcesVOdKorenine"};
constexpr int columns = 4;

// Rows are the non-null child slots in slot order, so a stub or a bud (no
// children) has no rows; a node with both children has row = slot.
int liveChildren(const Internode* node)
{
    if (!node)
        return 0;
    return static_cast<int>(std::count_if(node->children, node->children + node->childCount,
                                          [](const Internode* child) { return child != nullptr; }));
}

Internode* childAtRow(const Internode* node, int row)
{
    for (int slot = 0; slot < node->childCount; ++slot)
        if (node->children[slot] && row-- == 0)
            return node->children[slot];
    return nullptr;
}

int rowInParent(const Internode* node)
{
    int row = 0;
    for (int slot = 0; slot < node->parent->childCount; ++slot) {
        if (node->parent->children[slot] == node)
            return row;
        if (node->parent->children[slot])
            ++row;
    }
    return 0;
}

Internode* nodeOf(const QModelIndex& index) { return static_cast<Internode*>(index.internalPointer()); }

} // namespace

TreeModel::TreeModel(QObject* parent) : QAbstractItemModel(parent) {}

TreeModel::~TreeModel() = default;

void TreeModel::SetRoot(Internode* node)
{
    beginResetModel();
    root = node;
    endResetModel();
}

void TreeModel::TreesChanged()
{
    beginResetModel();
    const bool alive = std::any_of(allTrees.begin(), allTrees.end(), [this](const Tree* tree) {
        return tree->root == root;
    });
    if (!alive)
        root = nullptr;
    endResetModel();
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    const Internode* node = parent.isValid() ? nodeOf(parent) : root;
    Internode* child = childAtRow(node, row);
    return child ? createIndex(row, column, child) : QModelIndex();
}

QModelIndex TreeModel::parent(const QModelIndex& index) const
{
    if (!index.isValid())
        return QModelIndex();
    Internode* p = nodeOf(index)->parent;
    if (!p || p == root)
        return QModelIndex();
    return createIndex(rowInParent(p), 0, p);
}

int TreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return liveChildren(parent.isValid() ? nodeOf(parent) : root);
}

int TreeModel::columnCount(const QModelIndex&) const { return columns; }

QVariant TreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return QVariant();
    const Internode* node = nodeOf(index);
    switch (index.column()) {
    case 0:
    case 1: return node->resourcesQ;
    case 2: return node->resourcesNumPopkov;
    case 3: return node->KolicinaResources;
    default: return QStringLiteral("NULL");
    }
}

QVariant TreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    if (section >= 0 && section < columns)
        return QString::fromLatin1(headers[section]);
    return QStringLiteral("Header data ") + QString::number(section);
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}
