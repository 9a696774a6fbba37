// The ground (ground.obj): a floating island with everything the camera path sees beyond the
// other eight models: meadow, hills, path, plaza, pond, trees, rocks and floating rocks.
#pragma once
#include "model.h"

Model makeGround();
