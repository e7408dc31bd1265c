// The destruction button: drawn from its model, hit through a box fixed in world space.
#include "scene/Button.h"

namespace varn::scene {

Button::Button(const assets::Model& model, const glm::mat4& matrix)
    : SceneObject(matrix),
      model(model),
      // The button's face on the far wall of the last room: 1.4 x 1.8 units, zero thickness.
      worldCornerB(43.8f, 8.9f, -36.5f),
      worldCornerA(42.4f, 7.1f, -36.5f) {}

void Button::draw(int32_t textureFilterMode, int32_t mipmapMode) { model.draw(textureFilterMode, mipmapMode); }

}  // namespace varn::scene
