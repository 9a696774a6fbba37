// Storage for the display size; 1280x720 until a program sets its own.
#include "platform/display_size.h"

int displayWidth = 1280;
int displayHeight = 720;
