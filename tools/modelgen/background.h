// The sky dome that encloses the whole stage.
#pragma once
#include "model.h"

Model makeBackground();
