// Silencing the show's music for the tools, before the show makes its sound system.
#pragma once

struct ShowControl;

void muteShowSound(ShowControl& show);
