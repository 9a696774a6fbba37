// The two characters who stand on the towers: mario (orange and brown) and luigi (green).
#pragma once
#include "model.h"

Model makeMario();
Model makeLuigi();
