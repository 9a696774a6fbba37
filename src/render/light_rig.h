// The light rig, in one place: where the light starts, how it sweeps, where it looks and the box
// its shadow map sees. The scene moves the light, the shadow pass builds its view from it, the
// lit shaders take lightTarget through the build (tools/shaders) and the model generator keeps
// the scenery out of the box.
#pragma once
#include <glm/glm.hpp>

// Up and to the right of the stage, in front of it: every shot sees lit faces and cast shadows.
constexpr glm::vec3 lightStart(6.0f, 4.0f, 4.0f);
// The light looks at this point, just behind the stage's centre, and shines along that line;
// from x = 6, y = 4 the view never degenerates.
constexpr glm::vec3 lightTarget(0.0f, 0.0f, -1.0f);
constexpr glm::vec3 lightUp(0.0f, 1.0f, 0.0f);
// The sweep along z: it turns back once it has passed these bounds, so the shadows move across
// the whole stage, front to back, at lightSpeed units a second.
constexpr float lightTurnFront = 5.0f;
constexpr float lightTurnBack = -7.0f;
constexpr double lightSpeed = 2.0;
// The shadow map's orthographic box around the light's view: 20 x 20 units across, which holds
// the island from every point of the sweep, and depths from 10 units behind the light to 20 in
// front of it.
constexpr float lightBoxHalfWidth = 10.0f;
constexpr float lightBoxNear = -10.0f;
constexpr float lightBoxFar = 20.0f;
