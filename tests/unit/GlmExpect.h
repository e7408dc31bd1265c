// Near-equality checks for glm vectors and matrices, shared by the unit tests.
#pragma once

#include <gtest/gtest.h>

#include <glm/glm.hpp>

namespace varn::test {

inline void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

inline void expectNear(const glm::mat4& actual, const glm::mat4& expected, float tolerance) {
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) EXPECT_NEAR(actual[c][r], expected[c][r], tolerance) << "at [" << c << "][" << r << "]";
}

inline glm::vec3 translationOf(const glm::mat4& m) { return glm::vec3(m[3]); }
inline glm::vec3 centreOf(const glm::vec3& a, const glm::vec3& b) { return (a + b) * 0.5f; }

}  // namespace varn::test
