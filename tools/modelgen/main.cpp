// lumarq-modelgen <output-dir>: builds the stage's models procedurally and writes their OBJ, MTL
// and PNG files into the folder, one set per model file of the stage table. Same bytes every run.
#include "command_line.h"
#include "stage_models.h"

#include <cstdio>
#include <set>
#include <string>

int main(int argc, char** argv)
{
    CLI::App app{"Builds the stage's models and writes their OBJ, MTL and PNG files into a folder, the same "
                 "bytes on every run."};
    std::string directory;
    app.add_option("output-dir", directory, "the folder to write into; it must exist")->required();
    std::string message;
    const CommandLineResult parsed = parseCommandLine(app, argc, argv, message);
    if (parsed != CommandLineResult::run) {
        return finishCommandLine("lumarq-modelgen", parsed, message);
    }
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
