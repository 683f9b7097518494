#include "model/bendchain.h"

#include <algorithm>
#include <cmath>

#include "model/internode.h"
#include "model/parameters.h"
#include "model/tree.h"

namespace {

// Central-difference half step of the gradient, in degrees.
constexpr float gradientStep = 0.5f;

int signOf(float x)
{
    return (x > 0.0f) - (x < 0.0f);
}

// A NaN on either side counts as a change of sign, so that the secant step
// (which then yields NaN) is never mistaken for a steady descent.
bool signChanged(float previous, float current)
{
    if (std::isnan(previous) || std::isnan(current))
        return true;
    return signOf(previous) != signOf(current);
}

float& angleComponent(BendAngles& angles, int k)
{
    return k == 0 ? angles.x : angles.y;
}

}  // namespace

BendChain::BendChain() = default;

double angleDistance(double a, double b)
{
    auto reduce = [](double x) {
        x -= std::trunc(x / 360.0) * 360.0;
        while (x > 180.0)
            x -= 360.0;
        return x;
    };
    const double d = std::fabs(reduce(a) - reduce(b));
    // Reduced values lie in (-360, 180], so d may exceed 360; the distance is
    // then d - 360, which min() gives with a negative sign.
    return std::fabs(std::min(d, 360.0 - d));
}

void BendSegmentStep(const BendAngles& angles, const BendSegment& segment, glm::quat& q,
                     glm::vec3& position)
{
    // A zero angle leaves q exactly as it is; skipping it keeps a degenerate
    // axis (a zero or exactly tilted direction) from turning q into NaN.
    if (angles.x != 0.0f)
        q = rotationAboutUnitAxis(angles.x, glm::normalize(segment.direction)) * q;
    if (angles.y != 0.0f) {
        // The tilted up vector keeps the bend axis defined for a vertical segment.
        const glm::vec3 axis = glm::normalize(glm::cross(segment.direction, glm::vec3(0.0f, 1.0f, 0.1f)));
        q = rotationAboutUnitAxis(angles.y, axis) * q;
    }
    position += q * segment.direction;
}

void BendChain::Build(Internode* picked, const Tree& tree, Internode*& base)
{
    segments.clear();
    base = nullptr;

    std::vector<Internode*> young;
    for (Internode* node = picked; node && tree.age <= node->birthIteration + 1; node = node->parent)
        young.push_back(node);
    if (young.empty())
        return;

    base = young.back();
    segments.reserve(young.size());
    for (auto it = young.rbegin(); it != young.rend(); ++it) {
        BendSegment segment;
        segment.direction = (*it)->direction;
        segment.age = tree.age - (*it)->birthIteration;
        segment.thickness = (*it)->thickness;
        segments.push_back(segment);
    }
    segments.front().basePosition = base->position;
}

float BendChain::Energy(const std::vector<BendAngles>& angles, int perturbed, int component,
                        float delta, const glm::vec3& target, float targetDistance, int mode) const
{
    const int n = static_cast<int>(segments.size());
    glm::vec3 position = n > 0 ? segments.front().basePosition : glm::vec3(0.0f);
    glm::quat q(1.0f, 0.0f, 0.0f, 0.0f);
    double stiffness = 0.0;
    double smoothness = 0.0;

    for (int i = 0; i < n; ++i) {
        const BendSegment& segment = segments[i];
        BendAngles pair = angles[i];
        if (i == perturbed)
            angleComponent(pair, component) += delta;
        BendSegmentStep(pair, segment, q, position);

        // Twentyfold stiffer per year of age; up to four times stiffer at the base.
        const double ageFactor = std::pow(20.0, segment.age - 1);
        const double baseFactor = static_cast<double>(n - i) / n + 1.0;
        const double bend = angleDistance(pair.y, 0.0);
        stiffness += ageFactor * baseFactor * baseFactor * bend * bend;
        const double change = angleDistance(pair.y, segment.angle1);
        smoothness += change * change;
    }

    float distanceTerm;
    switch (mode) {
    case BendTie:
        distanceTerm = std::max(glm::length(position - target) - targetDistance, 0.0f);
        break;
    case BendSpreader:
        distanceTerm = std::fabs(glm::length(position - target) - targetDistance);
        break;
    default:
        distanceTerm = std::max(std::fabs(position.y - target.y) - targetDistance, 0.0f);
        break;
    }

    const double energy = static_cast<double>(weightOptimal) * distanceTerm + 0.001 * stiffness +
                          static_cast<double>(weightSmooth) * smoothness;
    return static_cast<float>(energy);
}

void BendChain::Optimise(const glm::vec3& target, float targetDistance, int mode, int maxSweeps)
{
    const int n = static_cast<int>(segments.size());
    if (n == 0)
        return;

    std::vector<BendAngles> angles(n);
    for (int i = 0; i < n; ++i)
        angles[i] = BendAngles(segments[i].angle0, segments[i].angle1);
    std::vector<BendAngles> gradient(n, BendAngles(0.0f));
    std::vector<BendAngles> previousGradient(n, BendAngles(0.0f));
    std::vector<BendAngles> step(n, BendAngles(0.0f));

    float energy = Energy(angles, -1, 0, 0.0f, target, targetDistance, mode);
    for (int sweep = 0; sweep < maxSweeps && energy > 0.0f; ++sweep) {
        // Only every second segment moves: the others ride along at their stored angles.
        for (int j = 0; j < n; j += 2) {
            for (int k = 0; k < 2; ++k) {
                angleComponent(gradient[j], k) =
                    Energy(angles, j, k, gradientStep, target, targetDistance, mode) -
                    Energy(angles, j, k, -gradientStep, target, targetDistance, mode);
            }
        }
        for (int j = 0; j < n; j += 2) {
            for (int k = 0; k < 2; ++k) {
                const float g = angleComponent(gradient[j], k);
                const float gp = angleComponent(previousGradient[j], k);
                float& s = angleComponent(step[j], k);
                if (signChanged(gp, g)) {
                    // Overshot: go back to the secant estimate of the gradient's zero
                    // and start accumulating again. Since the previous gradient starts
                    // at 0 with no step, the first sweep moves nothing.
                    angleComponent(angles[j], k) -= gp * s / (g - gp);
                    s = 0.0f;
                } else {
                    s += g;
                }
            }
            previousGradient[j] = gradient[j];
            angles[j] -= step[j];
        }
        energy = Energy(angles, -1, 0, 0.0f, target, targetDistance, mode);
    }

    for (int j = 0; j < n; j += 2) {
        segments[j].angle0 = angles[j].x;
        segments[j].angle1 = angles[j].y;
    }
}

void BendChain::Polyline(std::vector<std::pair<glm::vec3, glm::vec3>>& joints, const Internode* picked,
                         glm::vec3& end) const
{
    joints.clear();
    if (segments.empty())
        return;

    glm::vec3 position = segments.front().basePosition;
    glm::quat q(1.0f, 0.0f, 0.0f, 0.0f);
    joints.emplace_back(position, glm::normalize(segments.front().direction) * segments.front().thickness);
    for (const BendSegment& segment : segments) {
        const glm::vec3 previous = position;
        BendSegmentStep(BendAngles(segment.angle0, segment.angle1), segment, q, position);
        joints.emplace_back(position, glm::normalize(position - previous) * segment.thickness);
    }
    end = position;

    // The rest of the picked node's axis follows rigidly. The picked node is the
    // chain's last segment, so the walk starts below it; it ends at the axis's
    // bud, and at a cut or shed stub, which has no children and may have no length.
    if (!picked || picked->isBud || picked->removed)
        return;
    for (const Internode* node = picked->children[0]; node && !node->isBud && !node->removed;
         node = node->children[0]) {
        BendSegment rest;
        rest.direction = node->direction;
        const glm::vec3 previous = position;
        BendSegmentStep(BendAngles(0.0f), rest, q, position);
        joints.emplace_back(position, glm::normalize(position - previous) * node->thickness);
    }
}
