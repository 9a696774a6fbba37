// The sizes that make the models fit together where the stage table places them: mario's origin
// at world (-0.7, 1.8, 0) and luigi's at (0, 1.1, 2), both turned half about y; the creatures
// scaled by 0.3 with origins at (0, 0.39, -1.5) and (0, 0.39, -3); the tall tower at the origin,
// the short one at (0, 0, 2); the stone at (0, 4, -4).
#pragma once
#include "app/show_script.h"
#include "app/stage.h"

// Ground level of the square the towers and creatures stand on.
constexpr float plazaHeight = 0.0f;

// Tall tower: its top is the floor mario stands on; the top must reach past mario (x = -0.7)
// but stay clear of the nearer creature at z = -1.5.
constexpr float tallTowerTop = stageEntry(StageObject::mario).placement.offset.y;
constexpr float tallTowerTopRadius = 1.12f;
constexpr float tallTowerShaftRadius = 0.98f;

// Short tower: luigi stands at the centre of its top; it must not touch the tall tower (whose
// rim ends at z = 1.12) although it stands only 2 units away.
constexpr float shortTowerTop = stageEntry(StageObject::luigi).placement.offset.y;
constexpr float shortTowerTopRadius = 0.78f;
constexpr float shortTowerShaftRadius = 0.68f;

// Towers reach this far below the plaza so that uneven ground never shows a gap under them.
constexpr float towerFooting = -0.4f;

// The creatures' model is drawn scaled, with its origin lifted by the offset in its own units: the
// plaza's height in those units, less the lift, is where its feet stand.
constexpr float creatureFeet = plazaHeight / stageEntry(StageObject::goomba1).placement.scale -
                               stageEntry(StageObject::goomba1).placement.offset.y;

// Characters are turned half about y by the demo; this extra model-space turn (degrees) makes
// them face world +x and a little -z, towards the cameras that look at them from that side.
constexpr float characterFacingDegrees = -70.0f;

// The creatures are not turned by the demo; this turn faces them towards world +x, -z likewise.
constexpr float creatureFacingDegrees = 110.0f;

// The sky dome: inside the far plane (100) from every camera position, which all lie within
// 15 units of the origin.
constexpr float skyRadius = 55.0f;

// The camera's dive under the island's +x rim (app/show_script.h): the scenery keeps clear of it.
constexpr glm::vec3 diveStart(diveTop.x, diveTop.y, diveTop.z);
constexpr glm::vec3 diveEnd(diveBottom.x, diveBottom.y, diveBottom.z);
