// What the textured styles' vertex stages share: the position on screen, in the world and in the
// shadow map, the normal in the world and the texture coordinates.

layout(location = 0) in vec3 vertexPosition_modelspace;
layout(location = 1) in vec3 vertexNormal_modelspace;
layout(location = 2) in vec2 vertexUV;

uniform mat4 MVP;
uniform mat4 V;
uniform mat4 M;
uniform mat4 DepthBiasMVP;

out vec2 UV;
out vec3 Position_worldspace;
out vec3 Normal_worldspace;
out vec4 ShadowCoord;

void placeLitVertex()
{
    vec4 position = vec4(vertexPosition_modelspace, 1.0);
    gl_Position = MVP * position;
    Position_worldspace = (M * position).xyz;
    // The stage places objects with rotations and uniform scales only, so M's own rotation part
    // carries normals (the fragment stage renormalises); an inverse per vertex would be wasted.
    Normal_worldspace = mat3(M) * vertexNormal_modelspace;
    ShadowCoord = DepthBiasMVP * position;
    UV = vertexUV;
}
