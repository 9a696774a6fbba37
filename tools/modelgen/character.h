// The two characters who stand on the towers: mario (orange and brown) and luigi (green).
#pragma once
#include "model.h"

Model makeMario();  // mario_bl_mat
Model makeLuigi();  // luigi_bl_mat
