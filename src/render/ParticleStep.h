// Turns a pending hit into a particle burst and drives every live burst once per frame.
#pragma once

namespace varn::render {

void particleStep();

}  // namespace varn::render
