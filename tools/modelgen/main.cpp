// lumarq-modelgen <output-dir>: builds the stage's models procedurally and writes their OBJ, MTL
// and PNG files into the folder, one set per model file of the stage table. Same bytes every run.
#include "stage_models.h"

#include <cstdio>
#include <set>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumarq-modelgen <output-dir>\n");
        return 2;
    }
    const std::string directory = argv[1];
    std::set<std::string> written;
    for (int i = 0; i < stageObjectCount; ++i) {
        const StageObject object = static_cast<StageObject>(i);
        if (!written.insert(modelFileStem(object)).second) {
            continue;  // the goombas share one file
        }
        const Model model = makeStageModel(object);
        if (!writeModel(model, directory)) {
            std::fprintf(stderr, "lumarq-modelgen: cannot write %s into %s\n", model.name.c_str(),
                         directory.c_str());
            return 1;
        }
        std::printf("%s: %zu triangles\n", model.name.c_str(), model.mesh.triangles.size());
    }
    return 0;
}
