// The destruction button: drawn from its model, hit through a box fixed in world space.
#include "scene/Button.h"

#include "scene/ButtonFace.h"

namespace varn::scene {

Button::Button(const assets::Model& model, const glm::mat4& matrix)
    : SceneObject(matrix),
      model(model),
      worldCornerB(float(kButtonFaceX1), float(kButtonFaceY1), float(kButtonFaceZ)),
      worldCornerA(float(kButtonFaceX0), float(kButtonFaceY0), float(kButtonFaceZ)) {}

void Button::draw(int32_t textureFilterMode, int32_t mipmapMode) { model.draw(textureFilterMode, mipmapMode); }

}  // namespace varn::scene
