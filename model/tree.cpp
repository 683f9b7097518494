#include "model/tree.h"

#include "model/internode.h"
#include "model/parameters.h"

std::vector<Tree*> allTrees;

Tree::Tree() : root(new Internode(nullptr, 0, 0))
{
    root->position = glm::vec3(0.0f, 0.0f, 0.0f);
    root->direction = glm::vec3(0.0f, 0.1f, 0.0001f);
    root->thickness = budThickness;
}

Tree::~Tree()
{
    if (root) {
        root->Cut(-1);
        delete root;
        root = nullptr;
    }
}

void deleteAllTrees()
{
    for (Tree* tree : allTrees)
        delete tree;
    allTrees.clear();
}
