// What a successful set-up prints on standard output, line by line, in order.
#pragma once

#include <string>
#include <vector>

#include "app/GameTexts.h"

namespace varn::test {

inline const std::vector<std::string> kStartupTranscript = {
    "loading custom cursor",
    "initializing simple material shader",
    "initializing blinn phong texture shader",
    "loading map",
    "Models/map/map_bricks.obj successfully loaded",
    "loading destruction button",
    "Models/map/destructionbutton.obj successfully loaded",
    "initializing silhoutte shader",
    "initializing cel shader",
    "initializing transparency shader",
    "loading enemy models",
    "Models/robot/robot_cel_without_saw.obj successfully loaded",
    "Models/robot/robot_saw.obj successfully loaded",
    "loading character model",
    "Models/character/kelbo_big.obj successfully loaded",
    "loading bullet",
    "Models/bullet/bullet.obj successfully loaded",
};

// What follows it when the robot is left standing: the nearer enemy is in range from the start.
inline const std::vector<std::string> kLostToTheEnemies = {
    app::text::kEnemyReached,
    app::text::kLostLines[0],
    app::text::kLostLines[1],
};

}  // namespace varn::test
