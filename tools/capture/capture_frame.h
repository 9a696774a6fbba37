// A frame of the show kept as a picture, for the tools that look at what was drawn.
#pragma once
#include "image.h"
#include "tool_session.h"

// One whole frame of the show at `ms`: drawn, read back into `image` before the swap, swapped.
void captureFrame(ToolSession& session, double ms, Image& image);
