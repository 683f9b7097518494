#pragma once
// The pending pruning cuts of the drawing widget and the geometry of their cut
// lines and saw icons. Entries name nodes by pick id, so they are meaningful
// only until the next rebuild of the pick table.

#include <vector>

#include <glm/glm.hpp>

struct Internode;

struct SelectionEntry {
    int pickIndex = 0;         // id into the widget's pick table
    float cutFraction = 0.0f;  // 0 to 1 along the internode from its base
};

// A point with a radius vector (axis at that end scaled by the radius): the
// vertex of every cylinder line (cut lines, highlighted path, measuring lines,
// ropes). 24 bytes.
struct LineVertex {
    glm::vec3 position{0.0f};
    glm::vec3 radius{0.0f};
};
static_assert(sizeof(LineVertex) == 24, "LineVertex is a 24-byte vertex");

// A saw icon vertex: 32 bytes.
struct SawVertex {
    glm::vec3 position{0.0f};
    glm::vec3 direction{0.0f};  // the internode's unit direction
    glm::vec2 texCoord{0.0f};
};
static_assert(sizeof(SawVertex) == 32, "SawVertex is a 32-byte vertex");

struct Selection {
    int currentIndex = -1;  // pick id under the cursor in pruning mode, -1 for none
    float currentFraction = 0.0f;
    std::vector<SelectionEntry> entries;  // marked cuts in the order of clicking
    std::vector<LineVertex> cutLines;     // two vertices per applied cut

    void Clear();
    // Removes every entry whose id is outside the table, or whose node is
    // `node`, an ancestor or a descendant of it.
    void DropRelated(const std::vector<Internode*>& pickTable, const Internode* node);
};

// The two vertices of an entry's cut line; nothing for an id outside the table.
// `cutDirection` is the screen's horizontal axis in world coordinates (the view
// matrix's first row); `upDirection`, its vertical axis (the second row), takes
// its place for an internode that lies along the horizontal axis.
void AddCutLine(const SelectionEntry& entry, std::vector<LineVertex>& lines,
                const std::vector<Internode*>& pickTable, const glm::vec3& cutDirection, float sawSize,
                const glm::vec3& upDirection = glm::vec3(0.0f, 1.0f, 0.0f));
// The six vertices (two triangles) of an entry's saw icon; nothing for an id
// outside 1 to table size - 1 (id 0 and -1 name no node).
void AddSawQuad(const SelectionEntry& entry, std::vector<SawVertex>& quads,
                const std::vector<Internode*>& pickTable, const glm::vec3& cutDirection, float sawSize,
                const glm::vec3& upDirection = glm::vec3(0.0f, 1.0f, 0.0f));
