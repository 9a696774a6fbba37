// The shader files that the programs load, made from the sources in shader/: the GLSL of desktop
// GL or the GLSL ES of WebGL 2 from the same text. A source file holds one stage's code after the
// version line, which the dialect gives: its #extension lines first, then the rest, where a line
// `#include "part.glsl"` stands for a part in shader/include/ (code that several stages share) and
// `@name@` for a number the C++ also uses (the light rig's).
#pragma once
#include <functional>
#include <string>

enum class ShaderDialect { desktop, web };

// Reads a part by its name; false when there is none.
using ShaderPartReader = std::function<bool(const std::string& name, std::string& text)>;

// The text of one shader file; false with `error` saying where, for an #include of a part that
// cannot be read or an @name@ that is not known.
bool buildShaderText(const std::string& source, ShaderDialect dialect, const ShaderPartReader& readPart,
                     std::string& text, std::string& error);

// Makes every *.vertexshader and *.fragmentshader of `sourceDir` in `outDir` (parts from
// `sourceDir`/include), writing only the files whose text changed. False with `error` on the
// first failure.
bool buildShaderFolder(const std::string& sourceDir, ShaderDialect dialect, const std::string& outDir,
                       std::string& error);
