// The island's underside: strata stepping in from the rim down to a hanging point far below,
// each with a ledge or an overhang at its top and a face receding beneath it, crossed by
// buttresses and gullies; roots hang from the earth under the rim and stalactites from the
// rock around the point. The camera dives under the +x rim: the mesh is finest there and
// keeps clear of its line.
#pragma once
#include <vector>

#include <glm/vec3.hpp>

#include "mesh.h"
#include "texture_image.h"

// Depth of the hanging point below the rim.
constexpr float undersideDepth = 8.6f;

// `rim`: the top surface's border as a closed loop; the underside starts exactly on its points.
void addUnderside(Mesh& mesh, const std::vector<glm::vec3>& rim);

// The two bands of the underside, each spanning one stratum from its top (v = 1) down and
// seamless in u: earth under the turf with roots, and bedded rock.
Texel paintUndersideEarth(glm::vec2 p);
Texel paintUndersideRock(glm::vec2 p);
