// The rocks that float beside and below the island, part of the ground model: big ones the
// dive looks down on, smaller ones around them. All stay clear of the island and of the camera.
#pragma once
#include <glm/vec3.hpp>

struct FloatingRock {
    glm::vec3 centre;
    glm::vec3 size;  // half extents
    float turn;      // about y, radians
};

inline constexpr FloatingRock floatingRocks[] = {
    {{0.5f, -5.6f, -1.0f}, {0.9f, 0.7f, 0.8f}, 0.4f},   {{-1.2f, -7.6f, -0.5f}, {1.1f, 0.8f, 1.0f}, 2.0f},
    {{-0.5f, -6.4f, 2.8f}, {0.6f, 0.45f, 0.55f}, 0.3f}, {{2.5f, -6.8f, -3.5f}, {0.7f, 0.5f, 0.6f}, 1.1f},
    {{1.6f, -4.6f, 1.7f}, {0.3f, 0.22f, 0.26f}, 2.6f},  {{-3.5f, -9.5f, 6.0f}, {1.2f, 0.9f, 1.0f}, 0.9f},
    {{6.5f, -1.2f, -6.5f}, {0.7f, 0.5f, 0.6f}, 1.4f},   {{5.5f, 0.6f, 7.5f}, {0.6f, 0.45f, 0.5f}, 2.4f},
    {{7.4f, -2.8f, 1.8f}, {0.35f, 0.26f, 0.3f}, 0.7f},  {{-2.4f, -10.6f, -3.2f}, {0.5f, 0.38f, 0.45f}, 1.9f},
};
