// Scene object transforms: the placements of the stage, rotations about Y and Z, and copies.
#include "assets/scene_object.h"

#include <gtest/gtest.h>

namespace {

void expectNear(glm::vec4 actual, glm::vec4 expected, float tolerance = 1e-6f)
{
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(actual[k], expected[k], tolerance) << "component " << k;
    }
}

}  // namespace

TEST(SceneObject, NewObjectIsAtTheOrigin)
{
    const SceneObject object;
    EXPECT_EQ(object.model, glm::mat4(1.0f));
    EXPECT_EQ(object.toonColor, glm::mat3(1.0f));
    EXPECT_EQ(object.position, glm::vec3(0.0f));
    EXPECT_EQ(object.tangentAttrib, 3u);
    EXPECT_EQ(object.bitangentAttrib, 4u);
}

TEST(SceneObject, HalfTurnThenTranslateMovesAlongTheTurnedAxes)
{
    SceneObject mario;
    mario.rotate(180, 1, 0);
    mario.translate(0.7f, 1.8f, 0);
    expectNear(mario.model[3], {-0.7f, 1.8f, 0.0f, 1.0f}, 1e-6f);
    EXPECT_NE(mario.model[3].z, 0.0f) << "single-precision sine of pi leaves a residue";
    EXPECT_NEAR(mario.model[3].z, 6.1e-8f, 2e-8f);
    EXPECT_EQ(mario.position, glm::vec3(0.7f, 1.8f, 0));
}

TEST(SceneObject, ScaleThenTranslateMovesInScaledUnits)
{
    SceneObject goomba;
    goomba.scale(0.3f, 0.3f, 0.3f);
    goomba.translate(0, 1.3f, -5);
    expectNear(goomba.model[3], {0, 0.39f, -1.5f, 1}, 1e-6f);
    EXPECT_EQ(goomba.position, glm::vec3(0, 1.3f, -5));
    goomba.translate(0, 4, 0);
    EXPECT_NEAR(goomba.model[3].y, 0.39f + 1.2f, 1e-6f);
    EXPECT_NEAR(goomba.position.y, 5.3f, 1e-6f);
}

TEST(SceneObject, RotationsAboutZAndNormalisedAxes)
{
    SceneObject quarter;
    quarter.rotate(90, 0, 1);
    expectNear(quarter.model[0], {0, 1, 0, 0}, 1e-6f);
    expectNear(quarter.model[1], {-1, 0, 0, 0}, 1e-6f);

    SceneObject still;
    still.rotate(0, 0, 1);
    EXPECT_EQ(still.model, glm::mat4(1.0f));

    SceneObject unit, longAxis;
    unit.rotate(37, 0, 1);
    longAxis.rotate(37, 0, 5);
    for (int c = 0; c < 4; ++c) {
        expectNear(longAxis.model[c], unit.model[c], 1e-6f);
    }

    // About Y, +Z turns toward +X.
    SceneObject yaw;
    yaw.rotate(90, 1, 0);
    expectNear(yaw.model[2], {1, 0, 0, 0}, 1e-6f);
}

TEST(SceneObject, PositionSumsTranslationsOnly)
{
    SceneObject object;
    object.translate(1, 2, 3);
    object.rotate(45, 0, 1);
    object.scale(2, 2, 2);
    object.translate(-0.5f, 0.25f, 4);
    EXPECT_EQ(object.position, glm::vec3(0.5f, 2.25f, 7));
}

TEST(SceneObject, CopiesAreIndependentValues)
{
    SceneObject source;
    source.vertexArray = 7;
    source.toonColor[1] = glm::vec3(0.2f, 0.4f, 0.6f);
    source.translate(1, 0, 0);
    SceneObject copy = source;
    EXPECT_EQ(copy.vertexArray, 7u);
    EXPECT_EQ(copy.model, source.model);
    EXPECT_EQ(copy.toonColor, source.toonColor);
    copy.translate(0, 5, 0);
    copy.rotate(30, 0, 1);
    EXPECT_EQ(source.position, glm::vec3(1, 0, 0));
    expectNear(source.model[3], {1, 0, 0, 1});
    expectNear(source.model[0], {1, 0, 0, 0});
}
