// Building the shader files from their sources and parts.
#include "shader_build.h"

#include "render/light_rig.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

// The version line and what follows the source's #extension lines. GLSL ES gets the precision
// desktop GL computes in: highp throughout, as the shadow map's depth needs its 16 bits.
struct DialectText {
    const char* version;
    const char* defaults;
};
constexpr DialectText desktopText = {"#version 330 core\n", ""};
constexpr DialectText webText = {"#version 300 es\n",
                                 "precision highp float;\nprecision highp int;\nprecision highp sampler2D;\n"};

std::string glslFloat(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    std::string result = text;
    if (result.find_first_of(".e") == std::string::npos) {
        result += ".0";  // a float, not an int, to GLSL
    }
    return result;
}

std::string glslVec3(const glm::vec3& v)
{
    return "vec3(" + glslFloat(v.x) + ", " + glslFloat(v.y) + ", " + glslFloat(v.z) + ")";
}

// The numbers that shaders share with the C++.
bool rigValue(const std::string& name, std::string& value)
{
    if (name == "lightTarget") {
        value = glslVec3(lightTarget);
        return true;
    }
    return false;
}

bool substituteValues(std::string& line, std::string& error)
{
    for (std::string::size_type at = line.find('@'); at != std::string::npos; at = line.find('@', at)) {
        const std::string::size_type end = line.find('@', at + 1);
        std::string value;
        const std::string name = end == std::string::npos ? "" : line.substr(at + 1, end - at - 1);
        if (!rigValue(name, value)) {
            error = "unknown value @" + name + "@";
            return false;
        }
        line.replace(at, end - at + 1, value);
        at += value.size();
    }
    return true;
}

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

bool appendLines(const std::string& source, const ShaderPartReader& readPart, std::string& body,
                 std::string& error, int depth)
{
    std::istringstream lines(source);
    for (std::string line; std::getline(lines, line);) {
        if (startsWith(line, "#include \"") && line.size() > 11 && line.back() == '"') {
            const std::string name = line.substr(10, line.size() - 11);
            std::string part;
            if (depth > 8 || !readPart(name, part)) {
                error = "cannot include \"" + name + "\"";
                return false;
            }
            if (!appendLines(part, readPart, body, error, depth + 1)) {
                error = name + ": " + error;
                return false;
            }
            continue;
        }
        if (!substituteValues(line, error)) {
            return false;
        }
        body += line + "\n";
    }
    return true;
}

bool readFile(const std::filesystem::path& path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

}  // namespace

bool buildShaderText(const std::string& source, ShaderDialect dialect, const ShaderPartReader& readPart,
                     std::string& text, std::string& error)
{
    const DialectText& dialectText = dialect == ShaderDialect::web ? webText : desktopText;
    // #extension lines must come before any other token: right after the version line.
    std::string extensions;
    std::string::size_type rest = 0;
    while (startsWith(source.substr(rest), "#extension ")) {
        const std::string::size_type end = source.find('\n', rest);
        const std::string::size_type next = end == std::string::npos ? source.size() : end + 1;
        extensions += source.substr(rest, next - rest);
        rest = next;
    }
    std::string body;
    if (!appendLines(source.substr(rest), readPart, body, error, 0)) {
        return false;
    }
    text = dialectText.version + extensions + dialectText.defaults + body;
    return true;
}

bool buildShaderFolder(const std::string& sourceDir, ShaderDialect dialect, const std::string& outDir,
                       std::string& error)
{
    namespace fs = std::filesystem;
    const fs::path partDir = fs::path(sourceDir) / "include";
    const ShaderPartReader readPart = [&partDir](const std::string& name, std::string& text) {
        return readFile(partDir / name, text);
    };
    std::error_code failure;
    fs::create_directories(outDir, failure);
    std::vector<fs::path> sources;
    for (const fs::directory_entry& entry : fs::directory_iterator(sourceDir, failure)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".vertexshader" || extension == ".fragmentshader")) {
            sources.push_back(entry.path());
        }
    }
    if (failure || sources.empty()) {
        error = "no shader sources in " + sourceDir;
        return false;
    }
    for (const fs::path& path : sources) {
        std::string source, text, old;
        if (!readFile(path, source) || !buildShaderText(source, dialect, readPart, text, error)) {
            error = path.string() + ": " + (error.empty() ? "cannot read it" : error);
            return false;
        }
        const fs::path out = fs::path(outDir) / path.filename();
        if (readFile(out, old) && old == text) {
            continue;
        }
        std::ofstream file(out, std::ios::binary | std::ios::trunc);
        file << text;
        if (!file.flush()) {
            error = "cannot write " + out.string();
            return false;
        }
    }
    return true;
}
