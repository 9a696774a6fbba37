// Whether a frame can be drawn without a texture that has not arrived yet: the page streams the
// textures in after start-up (web/files.js), and a textured style's frames wait for them rather
// than show the placeholder's magenta.
#pragma once

struct Scene;

// True when every texture that the objects sample in their programs now is in: the colour map in
// the shadow and bump styles, and the normal map where the bump map is on. The toon style samples
// none.
bool sceneTexturesArrived(const Scene& scene);
// True when every texture of every object is in, whatever the objects draw with now.
bool allTexturesArrived(const Scene& scene);
