#include "view/markers.h"

void AddMarkerSquares(std::vector<MeshVertex>&, const glm::vec3&, float) {}
void AddInternodeMarker(const Internode&, std::vector<MeshVertex>&) {}
