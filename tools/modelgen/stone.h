// The floating carved stone block (stone2) that spins above the stage.
#pragma once
#include "model.h"

Model makeStone();
