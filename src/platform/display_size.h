// The size of the window that the passes draw into. Each demo build sets it from its build
// constants before start-up; the capture and bench tools set it from --size.
#pragma once

extern int displayWidth;
extern int displayHeight;
