// Which maker builds which stage object; objects that share a model file share a maker.
#include "stage_models.h"

#include "background.h"
#include "character.h"
#include "creature.h"
#include "ground.h"
#include "stone.h"
#include "tower.h"

std::string modelFileStem(StageObject object)
{
    const std::string path = stageEntry(object).modelPath;
    const size_t start = path.find_last_of("\\/") + 1;
    return path.substr(start, path.rfind('.') - start);
}

Model makeStageModel(StageObject object)
{
    Model model;
    switch (object) {
    case StageObject::background: model = makeBackground(); break;
    case StageObject::stone: model = makeStone(); break;
    case StageObject::ground: model = makeGround(); break;
    case StageObject::luigi: model = makeLuigi(); break;
    case StageObject::mario: model = makeMario(); break;
    case StageObject::turmGross: model = makeTallTower(); break;
    case StageObject::turmKlein: model = makeShortTower(); break;
    case StageObject::goomba1:
    case StageObject::goomba2: model = makeCreature(); break;
    }
    model.name = modelFileStem(object);
    model.normalMap = stageEntry(object).loadsBumpMap;
    return model;
}
