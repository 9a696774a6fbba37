// OBJ, MTL and PNG output of one model, with fixed number formatting so runs are byte-identical.
#include "model.h"

#include <cstdio>

namespace {

// Where the demo finds textures: material paths are taken relative to its working directory.
const char* const textureFolder = "models/";

bool writeMaterial(const Model& model, const std::string& directory)
{
    FILE* f = std::fopen((directory + "/" + model.name + ".mtl").c_str(), "wb");
    if (!f) {
        return false;
    }
    std::fprintf(f, "# %s material\nnewmtl %s\n", model.name.c_str(), model.name.c_str());
    std::fprintf(f, "Ka 0.2 0.2 0.2\nKd 1 1 1\nKs 0 0 0\nd 1\nillum 1\n");
    std::fprintf(f, "map_Kd %s%s_diffuse.png\n", textureFolder, model.name.c_str());
    if (model.normalMap) {
        std::fprintf(f, "map_d %s%s_normal.png\n", textureFolder, model.name.c_str());
    }
    return std::fclose(f) == 0;
}

bool writeGeometry(const Model& model, const std::string& directory)
{
    FILE* f = std::fopen((directory + "/" + model.name + ".obj").c_str(), "wb");
    if (!f) {
        return false;
    }
    const Mesh& m = model.mesh;
    std::fprintf(f, "# %s: %zu triangles\nmtllib %s.mtl\no %s\n", model.name.c_str(), m.triangles.size(),
                 model.name.c_str(), model.name.c_str());
    for (const glm::vec3& p : m.positions) {
        std::fprintf(f, "v %.5f %.5f %.5f\n", p.x, p.y, p.z);
    }
    for (const glm::vec2& t : m.uvs) {
        std::fprintf(f, "vt %.5f %.5f\n", t.x, t.y);
    }
    for (const glm::vec3& n : m.normals) {
        std::fprintf(f, "vn %.4f %.4f %.4f\n", n.x, n.y, n.z);
    }
    std::fprintf(f, "usemtl %s\n", model.name.c_str());
    for (const glm::uvec3& t : m.triangles) {
        std::fprintf(f, "f %u/%u/%u %u/%u/%u %u/%u/%u\n", t.x + 1, t.x + 1, t.x + 1, t.y + 1, t.y + 1, t.y + 1,
                     t.z + 1, t.z + 1, t.z + 1);
    }
    return std::fclose(f) == 0;
}

}  // namespace

bool writeModel(const Model& model, const std::string& directory)
{
    const TextureImage& img = model.texture;
    const std::string stem = directory + "/" + model.name;
    bool ok = writeGeometry(model, directory) && writeMaterial(model, directory) &&
              writePng(stem + "_diffuse.png", img.width, img.height, colorBytes(img));
    if (ok && model.normalMap) {
        ok = writePng(stem + "_normal.png", img.width, img.height, normalMapBytes(img, model.reliefStrength));
    }
    return ok;
}
