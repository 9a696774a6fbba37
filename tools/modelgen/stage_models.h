// The generated model of each stage object: the stage table names the file and whether it has a
// normal map; the makers here build what is in it.
#pragma once
#include "app/stage.h"
#include "model.h"

#include <string>

// The file stem of the object's model path: "models\goomba.obj" gives "goomba".
std::string modelFileStem(StageObject object);

// Builds the object's model, named after its file and with a normal map where the stage loads one.
Model makeStageModel(StageObject object);
