#pragma once
// The drawing widget's view parameters and the matrices derived from them. The
// matrices are stale between a change of a field and the next updateMatrices.

#include <glm/glm.hpp>

struct CameraState {
    // Subtracted last in the view transform; nothing changes it.
    glm::vec3 pivot{0.0f};
    float objectRotationX = 0.0f;  // degrees, the scene about Y
    float objectRotationY = 0.0f;  // degrees, the scene about X
    glm::vec3 location{0.0f, -10.0f, -40.0f};
    float cameraRotationX = 0.0f;  // degrees, heading about Y
    float cameraRotationY = 0.0f;  // degrees, pitch about X
    glm::mat4 projection{1.0f};
    glm::mat4 model{1.0f};  // always identity
    glm::mat4 view{1.0f};
    glm::mat4 mvp{1.0f};
    // Handed to the perspective projection as radians: the focal scale is
    // 1 / tan(zoom / 2), so 45 gives a vertical opening of about 58 degrees.
    double zoom = 45.0;

    // Recomputes the matrices for a viewport of width x height pixels. A zoom
    // whose focal scale is not finite keeps the previous projection; a height
    // of 0 counts as 1.
    void updateMatrices(int width, int height);
};

// Window position of a world point under `matrix` in a width x height viewport:
// x to the right, y downwards, z the normalised device depth (-1 to 1). A point
// on or behind the camera plane gives non-finite components: callers treat that
// as no position.
glm::vec3 projectToScreen(const glm::vec3& point, const glm::mat4& matrix, int width, int height);

// True when both give the same view: equal angles, location, pivot and zoom
// (the matrices follow from these and the window size).
bool sameView(const CameraState& a, const CameraState& b);

// True when every component is finite.
bool isFinitePoint(const glm::vec3& point);
