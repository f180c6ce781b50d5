// zorbulon_gen_character <Drevik|Zombie> <output dir>
#include "tools/models/CharacterGenerator.h"
#include "tools/models/DrevikClips.h"
#include "tools/models/DrevikDesign.h"
#include "tools/models/DrevikPainter.h"
#include "tools/models/ZombieClips.h"
#include "tools/models/ZombieDesign.h"
#include "tools/models/ZombiePainter.h"

#include <exception>
#include <iostream>
#include <string>

namespace {

CharacterRecipe Drevik()
{
    CharacterRecipe s;
    s.design = DrevikDesign::Build();
    s.painter = &DrevikPainter::At;
    s.clips = DrevikClips::All(s.design.skeleton);
    s.diffuseName = "DrevikDiff";
    s.normalName = "DrevikNormal";
    return s;
}

CharacterRecipe Zombie()
{
    CharacterRecipe s;
    s.design = ZombieDesign::Build();
    s.painter = &ZombiePainter::At;
    s.clips = ZombieClips::All(s.design.skeleton);
    s.diffuseName = "ZombieDiff";
    s.normalName = "ZombieNormal";
    s.glossName = "ZombieSpec";
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " <Drevik|Zombie> <output dir>\n";
        return 2;
    }
    try {
        const std::string which = argv[1];
        if (which == "Drevik")
            CharacterGenerator::Generate(Drevik(), argv[2]);
        else if (which == "Zombie")
            CharacterGenerator::Generate(Zombie(), argv[2]);
        else
            throw std::invalid_argument("unknown character " + which);
    } catch (const std::exception& e) {
        std::cerr << "gen_character: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
