// One frame: the shadow pass from the light nearest the robot, the four colour passes
// and the particle step.
#pragma once

#include <glm/glm.hpp>
#include <vector>

#include "render/Light.h"

namespace varn::render {

void draw();

// The light nearest to point (ties go to the earlier light). lights must not be empty.
Light chooseNearestLight(const std::vector<Light>& lights, glm::vec3 point);
// The light looks straight down.
glm::mat4 lightViewFor(const Light& light);
glm::mat4 lightProjectionMatrix();

}  // namespace varn::render
