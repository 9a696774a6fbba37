// The show's three looks as the tools name, force and recognise them.
#pragma once

struct Scene;

enum class ShowStyle { toon, shadow, bump };
constexpr int showStyleCount = 3;
// "toon", "shadow", "bump": the tools' command lines and reports use these words.
extern const char* const showStyleNames[showStyleCount];

// Puts the scene in a style as the show has it: the bump style changes four objects and leaves
// the rest in the shadow style.
void applyShowStyle(Scene& scene, ShowStyle style);

// The style the scene is in now, by the programs its objects use.
ShowStyle currentShowStyle(const Scene& scene);
