// Round stone towers with a battlemented top that a character stands on.
#pragma once
#include "model.h"

Model makeTallTower();   // turm_gross: mario's tower at the origin
Model makeShortTower();  // turm_klein: luigi's tower
