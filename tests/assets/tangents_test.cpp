// Tangent frames: the worked triangles, and finite frames for the inputs that have no UV
// gradient or lack data.
#include "assets/tangents.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const std::vector<glm::vec3> triangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
const std::vector<glm::vec2> triangleUvs = {{0, 0}, {1, 0}, {0, 1}};

void expectNear(glm::vec3 actual, glm::vec3 expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-6f);
    EXPECT_NEAR(actual.y, expected.y, 1e-6f);
    EXPECT_NEAR(actual.z, expected.z, 1e-6f);
}

// Unit length, perpendicular to n, finite.
void expectTangentFrame(glm::vec3 t, glm::vec3 b, glm::vec3 n)
{
    ASSERT_TRUE(std::isfinite(t.x) && std::isfinite(t.y) && std::isfinite(t.z));
    ASSERT_TRUE(std::isfinite(b.x) && std::isfinite(b.y) && std::isfinite(b.z));
    EXPECT_NEAR(glm::length(t), 1.0f, 1e-5f);
    EXPECT_NEAR(glm::dot(t, n), 0.0f, 1e-5f);
}

}  // namespace

TEST(ComputeTangents, WorkedTriangleAndItsMirror)
{
    std::vector<glm::vec3> t, b;
    computeTangents(triangle, triangleUvs, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}, t, b);
    ASSERT_EQ(t.size(), 3u);
    ASSERT_EQ(b.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        expectNear(t[i], {1, 0, 0});
        expectNear(b[i], {0, 1, 0});
    }

    // Normal turned over: (n x t) . b = -1, so the tangent flips; the bitangent is left as is.
    computeTangents(triangle, triangleUvs, {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}}, t, b);
    for (int i = 0; i < 3; ++i) {
        expectNear(t[i], {-1, 0, 0});
        expectNear(b[i], {0, 1, 0});
    }
}

TEST(ComputeTangents, OrthogonalisesAgainstTheNormalAndKeepsTheRawBitangent)
{
    // Positions stretched so that the UV gradient has length 2 along x; normal tilted toward x.
    const std::vector<glm::vec3> stretched = {{0, 0, 0}, {2, 0, 0}, {0, 3, 0}};
    const glm::vec3 n = glm::normalize(glm::vec3(1, 0, 1));
    std::vector<glm::vec3> t, b;
    computeTangents(stretched, triangleUvs, {n, n, n}, t, b);
    expectTangentFrame(t[0], b[0], n);
    expectNear(t[0], glm::normalize(glm::vec3(1, 0, -1)));
    expectNear(b[0], {0, 3, 0});
}

TEST(ComputeTangents, ZeroUvDeterminantGivesAFiniteTangentAcrossTheNormal)
{
    const std::vector<glm::vec2> sameUv = {{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}};
    // Collinear UVs have a zero determinant too.
    const std::vector<glm::vec2> lineUv = {{0, 0}, {0.5f, 0.5f}, {1, 1}};
    for (const auto& uvs : {sameUv, lineUv}) {
        for (glm::vec3 n : {glm::vec3(0, 0, 1), glm::vec3(1, 0, 0), glm::normalize(glm::vec3(1, 1, 1))}) {
            std::vector<glm::vec3> t, b;
            computeTangents(triangle, uvs, {n, n, n}, t, b);
            for (int i = 0; i < 3; ++i) {
                expectTangentFrame(t[i], b[i], n);
                expectNear(b[i], glm::cross(n, t[i]));
            }
        }
    }
}

TEST(ComputeTangents, TangentParallelToTheNormalIsReplaced)
{
    std::vector<glm::vec3> t, b;
    const glm::vec3 n(1, 0, 0);  // exactly the UV gradient's direction
    computeTangents(triangle, triangleUvs, {n, n, n}, t, b);
    for (int i = 0; i < 3; ++i) {
        expectTangentFrame(t[i], b[i], n);
    }
}

TEST(ComputeTangents, IncompleteInputsStayInBoundsAndFinite)
{
    // Five positions: one whole triangle and two leftover vertices; UVs and normals short too.
    const std::vector<glm::vec3> positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}};
    std::vector<glm::vec3> t, b;
    computeTangents(positions, triangleUvs, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}}, t, b);
    ASSERT_EQ(t.size(), positions.size());
    ASSERT_EQ(b.size(), positions.size());
    expectNear(t[0], {1, 0, 0});
    expectTangentFrame(t[3], b[3], {0, 0, 1});
    // No normal at all for the last vertex: still a finite unit vector.
    EXPECT_NEAR(glm::length(t[4]), 1.0f, 1e-5f);
    EXPECT_TRUE(std::isfinite(b[4].x) && std::isfinite(b[4].y) && std::isfinite(b[4].z));

    computeTangents({}, {}, {}, t, b);
    EXPECT_TRUE(t.empty());
    EXPECT_TRUE(b.empty());
}
