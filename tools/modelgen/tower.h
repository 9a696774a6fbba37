// Round stone towers with a battlemented top that a character stands on.
#pragma once
#include "model.h"

Model makeTallTower();   // mario's tower
Model makeShortTower();  // luigi's tower
