// lumarq-modelgen <output-dir>: builds the nine stage models procedurally and writes their
// OBJ, MTL and PNG files into the folder. Same bytes every run.
#include <cstdio>
#include <string>
#include <vector>

#include "background.h"
#include "character.h"
#include "creature.h"
#include "ground.h"
#include "stone.h"
#include "tower.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumarq-modelgen <output-dir>\n");
        return 2;
    }
    const std::string directory = argv[1];
    using Maker = Model (*)();
    const Maker makers[] = {makeBackground, makeStone,     makeGround,     makeLuigi,
                            makeMario,      makeTallTower, makeShortTower, makeCreature};
    for (Maker make : makers) {
        Model model = make();
        if (!writeModel(model, directory)) {
            std::fprintf(stderr, "lumarq-modelgen: cannot write %s into %s\n", model.name.c_str(),
                         directory.c_str());
            return 1;
        }
        std::printf("%s: %zu triangles\n", model.name.c_str(), model.mesh.triangles.size());
    }
    return 0;
}
