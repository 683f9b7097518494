#include "view/selection.h"

void Selection::Clear()
{
    entries.clear();
    currentIndex = -1;
}

void Selection::DropRelated(const std::vector<Internode*>&, const Internode*) {}

void AddCutLine(const SelectionEntry&, std::vector<LineVertex>&, const std::vector<Internode*>&, const glm::vec3&,
                float)
{
}

void AddSawQuad(const SelectionEntry&, std::vector<SawVertex>&, const std::vector<Internode*>&, const glm::vec3&,
                float)
{
}
