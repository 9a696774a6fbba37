// What the textured styles' fragment stages share: the shadow test against the plain depth
// texture, with a slope-scaled bias and bilinear percentage-closer filtering for soft edges, and
// the light: ambient, diffuse and a small specular highlight from the light's position. The
// including stage defines ambient, diffuseStrength and specularStrength first.
#include "light.glsl"

in vec2 UV;
in vec3 Position_worldspace;
in vec3 Normal_worldspace;
in vec4 ShadowCoord;

uniform sampler2D myTextureSampler;
#ifdef GL_ES
// WebGL 2 has no texture gather; its depth texture compares and filters the four texels itself
// (render/shadow_target_web.cpp): the same bilinear percentage-closer filter in one lookup.
uniform highp sampler2DShadow shadowMap;
#else
uniform sampler2D shadowMap;
#endif
uniform vec3 LightPosition_worldspace;

out vec3 color;

// Depth bias in shadow-map depth units (1 = the light's box, 30 units deep): a constant part for
// the 16-bit quantisation and a part growing with the surface's slope to the light, which keeps
// grazing surfaces free of acne; capped so that contact shadows do not detach.
const float constantBias = 0.0006;
const float slopeBias = 0.0012;
const float maxBias = 0.008;

// Blinn-Phong highlight of shininess 24, raised by squaring: pow() costs far more on a software
// rasterizer.
float highlightOf(vec3 n, vec3 halfway)
{
    float s = max(dot(n, halfway), 0.0);
    float s2 = s * s;
    float s4 = s2 * s2;
    float s8 = s4 * s4;
    return s8 * s8 * s8;
}
#ifndef GL_ES
// The comparison (1 = lit) of the 2 x 2 texels whose lower-left one is `texel`, in
// textureGather's order. One gather where the driver has it, four fetches where it has not.
vec4 litQuad(vec2 texel, vec2 size, float reference)
{
#ifdef GL_ARB_texture_gather
    vec4 depth = textureGather(shadowMap, (texel + 1.0) / size);
#else
    ivec2 t = ivec2(texel);
    ivec2 last = ivec2(size) - 1;
    vec4 depth = vec4(texelFetch(shadowMap, clamp(t + ivec2(0, 1), ivec2(0), last), 0).r,
                      texelFetch(shadowMap, clamp(t + ivec2(1, 1), ivec2(0), last), 0).r,
                      texelFetch(shadowMap, clamp(t + ivec2(1, 0), ivec2(0), last), 0).r,
                      texelFetch(shadowMap, clamp(t, ivec2(0), last), 0).r);
#endif
    return step(vec4(reference), depth);
}
#endif

// Fraction of light that reaches the fragment: the four shadow-map texels around it, each
// compared with the fragment's depth and blended by the sample point's position, which gives
// smooth edges a texel wide. Fragments outside the light's box are lit.
float visibility(vec4 shadowCoord, float cosTheta)
{
    vec3 c = shadowCoord.xyz / shadowCoord.w;
    if (any(lessThan(c, vec3(0.0))) || any(greaterThan(c, vec3(1.0)))) {
        return 1.0;
    }
    float tanTheta = sqrt(max(1.0 - cosTheta * cosTheta, 0.0)) / max(cosTheta, 0.05);
    float reference = c.z - min(constantBias + slopeBias * tanTheta, maxBias);
#ifdef GL_ES
    return texture(shadowMap, vec3(c.xy, reference));
#else
    vec2 size = vec2(textureSize(shadowMap, 0));
    vec2 texelPosition = c.xy * size - 0.5;
    vec2 f = fract(texelPosition);
    vec4 lit2x2 = litQuad(floor(texelPosition), size, reference);
    return mix(mix(lit2x2.w, lit2x2.z, f.x), mix(lit2x2.x, lit2x2.y, f.x), f.y);
#endif
}

// The colour of a surface of `albedo` with normal `n` at cosTheta to the light, of which `seen`
// gets past the shadows, seen from `eye`.
vec3 litColor(vec3 albedo, vec3 n, float cosTheta, float seen, vec3 eye)
{
    float lightAmount = diffuseStrength * cosTheta * seen;
    vec3 toLight = normalize(LightPosition_worldspace - Position_worldspace);
    vec3 toEye = normalize(eye - Position_worldspace);
    vec3 halfway = normalize(toLight + toEye);
    float highlight = specularStrength * highlightOf(n, halfway) * seen;
    return albedo * (ambient + lightAmount) + vec3(highlight);
}

// Where no light reaches.
vec3 unlitColor(vec3 albedo)
{
    return albedo * ambient;
}
