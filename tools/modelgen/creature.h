// The small creature (goomba.obj, placed twice): a yellow-green sprout beetle.
#pragma once
#include "model.h"

Model makeCreature();
