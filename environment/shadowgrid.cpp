#include "environment/shadowgrid.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "environment/computesupport.h"
#include "environment/environment.h"
#include "environment/openclholder.h"
#include "model/internode.h"

ShadowGrid* ShadowGrid::instance = nullptr;

namespace {

// Far enough outside any grid that a pyramid's x and z ranges cannot overflow.
constexpr float cellLimit = 16777216.0f;

OpenClHolder& computeModule()
{
    if (!OpenClHolder::instance)
        throw std::string("The shadow grid needs the OpenCL compute module, which does not exist yet");
    return *OpenClHolder::instance;
}

int layersOf(float depth)
{
    // The kernel takes whole layers; truncate like a plain conversion but keep
    // absurd values from overflowing it.
    if (!(depth > -cellLimit))
        return -1;
    return static_cast<int>(std::min(depth, cellLimit));
}

}  // namespace

ShadowGrid* ShadowGrid::create()
{
    auto* grid = new ShadowGrid();
    grid->pendingAdd.reserve(1000000);
    grid->queryPositions.reserve(1000000);
    grid->queryNodes.reserve(1000000);
    instance = grid;
    return grid;
}

glm::ivec3 ShadowGrid::cellOf(const glm::vec3& point) const
{
    const Environment& environment = *Environment::instance;
    glm::ivec3 cell;
    for (int axis = 0; axis < 3; ++axis) {
        float t = (point[axis] - environment.boxOrigin[axis]) / environment.boxSize[axis];
        if (!std::isfinite(t))
            t = 0.0f;
        const float c = std::floor(static_cast<float>(dim) * t);
        // Clamped only so the conversion is defined; such a cell is outside the grid either way.
        cell[axis] = static_cast<int>(std::clamp(c, -cellLimit, cellLimit));
    }
    return cell;
}

void ShadowGrid::reset() { setDim(dim); }

void ShadowGrid::setDim(int n)
{
    if (useGpu) {
        computeModule().ShadowPropSetDim(n);
        dim = n;
        return;
    }
    rejectNonPositiveDim(n);
    if (!cells || n != dim) {
        const std::size_t count = static_cast<std::size_t>(n) * n * n;
        cells.reset(new float[count]);
        dim = n;
    }
    initGrid();
}

void ShadowGrid::initGrid()
{
    const std::size_t count = static_cast<std::size_t>(dim) * dim * dim;
    std::fill(cells.get(), cells.get() + count, 0.0f);
    const Environment& environment = *Environment::instance;
    if (!environment.useMarkers || !environment.markers)
        return;

    const int markerDim = environment.markerDim;
    const glm::vec3 origin = environment.boxOrigin;
    const glm::vec3 size = environment.boxSize;
    // Marker cell of grid index `index` along one axis; -1 when there is none.
    auto markerOf = [&](int axis, int index) {
        const float m = ((1.0f / dim) * size[axis] * index + origin[axis] - origin[axis]) /
                        ((1.0f / markerDim) * size[axis]);
        if (!std::isfinite(m) || m <= -1.0f || m >= static_cast<float>(markerDim))
            return -1;
        return static_cast<int>(m);
    };
    for (int i = 0; i < dim; ++i) {
        const int mi = markerOf(0, i);
        for (int j = 0; j < dim; ++j) {
            const int mj = markerOf(1, j);
            for (int k = 0; k < dim; ++k) {
                const int mk = markerOf(2, k);
                const bool inside = mi >= 0 && mj >= 0 && mk >= 0;
                const float v = inside ? environment.markers[cellIndex({mi, mj, mk}, markerDim)] : -1000000.0f;
                cells[static_cast<std::size_t>(gridIndex(i, j, k, dim))] -= v;
            }
        }
    }
}

void ShadowGrid::addBud(Internode* node)
{
    if (useGpu)
        pendingAdd.push_back(node->position);
    else
        propagateShadow(node->position, 1.0f);
}

void ShadowGrid::removeBud(Internode* node)
{
    if (useGpu)
        pendingRemove.push_back(node->position);
    else
        propagateShadow(node->position, -1.0f);
}

void ShadowGrid::propagateShadow(const glm::vec3& position, float sign)
{
    const glm::ivec3 c = cellOf(position);
    for (int q = 0; static_cast<float>(c.y - q) >= static_cast<float>(c.y) - depth; ++q) {
        const int y = c.y - q;
        // Every deeper layer lies below the grid too.
        if (y < 0)
            break;
        if (y >= dim)
            continue;
        const float value = a * std::pow(b, static_cast<float>(-q)) * sign;
        const int x0 = std::max(c.x - q, 0), x1 = std::min(c.x + q, dim - 1);
        const int z0 = std::max(c.z - q, 0), z1 = std::min(c.z + q, dim - 1);
        for (int x = x0; x <= x1; ++x)
            for (int z = z0; z <= z1; ++z)
                cells[static_cast<std::size_t>(gridIndex(x, y, z, dim))] += value;
    }
}

void ShadowGrid::applyQueuedShadowsGpu()
{
    if (!useGpu)
        return;
    const Environment& environment = *Environment::instance;
    if (!pendingAdd.empty())
        computeModule().CalcShadowProp(pendingAdd.data(), static_cast<int>(pendingAdd.size()), dim,
                                       layersOf(depth), a, b, environment.boxOrigin, environment.boxSize, 1.0f);
    if (!pendingRemove.empty())
        computeModule().CalcShadowProp(pendingRemove.data(), static_cast<int>(pendingRemove.size()), dim,
                                       layersOf(depth), a, b, environment.boxOrigin, environment.boxSize, -1.0f);
}

void ShadowGrid::clearShadowQueues()
{
    pendingAdd.clear();
    pendingRemove.clear();
}

float ShadowGrid::budLight(Internode* node, const glm::vec3& position, const glm::vec3& /*direction*/,
                           glm::vec3& growthDirectionOut)
{
    if (useGpu) {
        queryNodes.push_back(node);
        queryPositions.push_back(position);
        return 0.0f;
    }
    growthDirectionOut = glm::vec3(0.0f);
    const glm::ivec3 c = cellOf(position);
    if (c.x < 0 || c.y < 0 || c.z < 0 || c.x >= dim || c.y >= dim || c.z >= dim)
        return 0.0f;
    const double s = cells[static_cast<std::size_t>(cellIndex(c, dim))];
    return static_cast<float>(std::max(static_cast<double>(cMax) - s + static_cast<double>(a), 0.0));
}

void ShadowGrid::computeQueuedGpu()
{
    if (queryPositions.empty())
        return;
    const Environment& environment = *Environment::instance;
    const std::size_t n = queryPositions.size();
    std::vector<float> values(n, 0.0f);
    std::vector<glm::vec3> directions(n, glm::vec3(0.0f));
    computeModule().CalcShadowPropIzracunPopke(queryPositions.data(), static_cast<int>(n), dim,
                                               environment.boxOrigin, environment.boxSize, cMax, a, values.data(),
                                               directions.data());
    for (std::size_t i = 0; i < n; ++i) {
        Internode* node = queryNodes[i];
        const float v = std::max(values[i], 0.0f);
        node->resourcesQ = v;
        node->lightExposure = v;
        node->optimalDirection = directions[i];
    }
}

void ShadowGrid::clearBudQueue()
{
    queryNodes.clear();
    queryPositions.clear();
}
