#pragma once
// Depth-first walks over a subtree on an explicit stack, so that a walk needs
// the same call stack for a shoot of a million internodes as for a bud. Both
// visit nodes in the order of the plain recursive walk (the node, child 0's
// subtree, then child 1's), so whatever a walk computes comes out bit for bit
// the same as if it recursed.

#include <vector>

// visit(node) runs on the way down and returns whether to walk on into the
// node's children; null children are skipped.
template <typename Node, typename Visit>
void walkPreOrder(Node* root, Visit visit)
{
    std::vector<Node*> pending{root};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        if (!visit(node))
            continue;
        for (int slot = node->childCount - 1; slot >= 0; --slot) {
            if (Node* child = node->children[slot])
                pending.push_back(child);
        }
    }
}

// enter(node) runs on the way down and returns whether to walk on into the
// node's children; leave(node) runs on the way up, after the subtrees of both
// children, for every node that enter let the walk go into.
template <typename Node, typename Enter, typename Leave>
void walkDepthFirst(Node* root, Enter enter, Leave leave)
{
    struct Frame {
        Node* node;
        int nextSlot;
    };
    std::vector<Frame> stack;
    if (enter(root))
        stack.push_back({root, 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.nextSlot < top.node->childCount) {
            Node* child = top.node->children[top.nextSlot++];
            // push_back may move the frames: top is not used after it.
            if (child && enter(child))
                stack.push_back({child, 0});
        } else {
            Node* node = top.node;
            stack.pop_back();
            leave(node);
        }
    }
}
