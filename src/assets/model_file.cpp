// Model file reading: a scan of the material libraries that the OBJ names, then Assimp.
#include "assets/model_file.h"

#include <assimp/Importer.hpp>

#include <filesystem>
#include <fstream>

namespace {

// The first word of a line and the rest after the blanks that follow it.
void splitStatement(const std::string& line, std::string& keyword, std::string& rest)
{
    const std::string::size_type start = line.find_first_not_of(" \t");
    if (start == std::string::npos) {
        keyword.clear();
        rest.clear();
        return;
    }
    const std::string::size_type end = line.find_first_of(" \t\r", start);
    keyword = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::string::size_type restStart = end == std::string::npos ? end : line.find_first_not_of(" \t", end);
    rest = restStart == std::string::npos ? "" : line.substr(restStart);
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ' || rest.back() == '\t')) {
        rest.pop_back();
    }
}

// The statements that Assimp's MTL reader turns into a texture of the current material.
bool isTextureStatement(const std::string& keyword)
{
    return keyword.rfind("map_", 0) == 0 || keyword == "bump" || keyword == "disp" || keyword == "norm";
}

// Empty when the library is absent or safe to read; otherwise what is wrong with it.
std::string materialLibraryProblem(const std::string& path)
{
    std::ifstream library(path, std::ios::binary);
    std::string line;
    std::string keyword;
    std::string rest;
    while (std::getline(library, line)) {
        splitStatement(line, keyword, rest);
        if (keyword == "newmtl") {
            return "";
        }
        if (isTextureStatement(keyword)) {
            return "material library " + path + " names a texture (" + keyword + ") before its first newmtl";
        }
    }
    return "";
}

}  // namespace

const aiScene* readModelFile(Assimp::Importer& importer, const std::string& path, unsigned flags,
                             std::string& failure)
{
    // Assimp reads a folder as a model without meshes, and the show would play on without it.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        failure = "it is a folder, not a model file";
        return nullptr;
    }
    // Assimp looks for a library next to the model file and, when the named one cannot be
    // opened, falls back to the model's own name with "mtl" for its last three characters; both
    // are checked.
    const std::string::size_type slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string fallback = path.size() >= 3 ? path.substr(0, path.size() - 3) + "mtl" : "";
    std::ifstream model(path, std::ios::binary);
    std::string line;
    std::string keyword;
    std::string rest;
    while (std::getline(model, line)) {
        splitStatement(line, keyword, rest);
        if (keyword != "mtllib" || rest.empty()) {
            continue;
        }
        for (const std::string& library : {folder + rest, fallback}) {
            failure = materialLibraryProblem(library);
            if (!failure.empty()) {
                return nullptr;
            }
        }
    }
    const aiScene* scene = importer.ReadFile(path, flags);
    if (scene == nullptr) {
        failure = importer.GetErrorString();
    }
    return scene;
}
