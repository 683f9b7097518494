#pragma once
// The training tools' records: applied and pending weights, spreaders and ties,
// the bending preview path, and the state of the bending interaction. The node
// pointers are valid only until the next change of the trees.

#include <utility>
#include <vector>

#include <glm/glm.hpp>

struct Internode;

struct WeightRecord {
    Internode* chainBase = nullptr;
    Internode* picked = nullptr;
    float weight = 0.0f;
    glm::vec3 hangingPoint{0.0f};
};

struct SpreaderRecord {
    Internode* chainBase = nullptr;
    Internode* picked = nullptr;
    glm::vec3 branchPoint{0.0f};
    glm::vec3 endPoint{0.0f};
};

struct TieRecord {
    Internode* chainBase = nullptr;
    Internode* picked = nullptr;
    glm::vec3 branchPoint{0.0f};
    glm::vec3 anchorPoint{0.0f};
    glm::vec3 ropeEnd{0.0f};
    float ropeLength = 0.0f;
};

struct Attachments {
    // Preview polyline of the bent chain (joint, axis scaled by thickness).
    std::vector<std::pair<glm::vec3, glm::vec3>> bendPath;
    WeightRecord pendingWeight;
    SpreaderRecord pendingSpreader;
    TieRecord pendingTie;
    std::vector<WeightRecord> weights;
    std::vector<SpreaderRecord> spreaders;
    std::vector<TieRecord> ties;
};

struct BendTarget {
    glm::vec3 endPoint{0.0f};  // also written by the main window's target boxes
    glm::vec3 screenEndPoint{0.0f};
    int pickedId = -1;
    glm::vec3 pickPoint{0.0f};  // position of the picked node
    glm::vec3 screenPickPoint{0.0f};
    float targetDistance = 0.0f;
    int state = 0;  // 0 pick, 1 choose the target, 2 preview and confirm
};
