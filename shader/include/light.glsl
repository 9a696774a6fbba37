// The light every shaded style shares: a position that sweeps along z, looking at lightTarget,
// and shining along that line (the light rig of the C++, render/light_rig.h).

uniform vec3 LightInvDirection_worldspace;  // the light's position, where its shadow map looks from

const vec3 lightTarget = @lightTarget@;

// The direction toward the light, the same at every point: the light is directional.
vec3 towardLight()
{
    return normalize(LightInvDirection_worldspace - lightTarget);
}
