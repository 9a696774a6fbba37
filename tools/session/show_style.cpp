// Forcing and recognising the show's looks through the script's own style tables.
#include "show_style.h"

#include "app/scene.h"
#include "app/show_script.h"

const char* const showStyleNames[showStyleCount] = {"toon", "shadow", "bump"};

void applyShowStyle(Scene& scene, ShowStyle style)
{
    if (style == ShowStyle::toon) {
        applyStyle(scene, toonStyle);
        return;
    }
    applyStyle(scene, shadowStyle);
    if (style == ShowStyle::bump) {
        applyStyle(scene, bumpStyle);
    }
}

ShowStyle currentShowStyle(const Scene& scene)
{
    bool shadowMapping = false;
    for (const SceneObject& object : scene.objects) {
        if (object.program == scene.renderer.bumpMappingProgram) {
            return ShowStyle::bump;
        }
        shadowMapping = shadowMapping || object.program == scene.renderer.shadowMappingProgram;
    }
    return shadowMapping ? ShowStyle::shadow : ShowStyle::toon;
}
