// The scripted platform that other tests stand on: its clock, its frames of held keys,
// its mouse moves and what it does once the script has run out.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

#include "GlTest.h"
#include "ScriptedPlatform.h"

namespace varn::test {
namespace {

TEST(ScriptedPlatform, TheClockStartsAtZeroAndAdvancesOneFramePerPoll) {
  ScriptedPlatform platform(0.25);
  platform.idle(3);
  EXPECT_EQ(platform.time(), 0.0);
  platform.pollEvents();
  platform.pollEvents();
  EXPECT_EQ(platform.time(), 0.5);
  EXPECT_EQ(platform.frame(), 2);
}

TEST(ScriptedPlatform, EachFrameHoldsItsOwnKeysAndButtons) {
  ScriptedPlatform platform;
  platform.hold({GLFW_KEY_W, GLFW_KEY_A}, 2).click(1, {GLFW_KEY_SPACE}).idle();
  EXPECT_EQ(platform.scriptLength(), 4);
  for (int frame = 0; frame < 2; ++frame) {
    EXPECT_TRUE(platform.keyDown(GLFW_KEY_W));
    EXPECT_TRUE(platform.keyDown(GLFW_KEY_A));
    EXPECT_FALSE(platform.keyDown(GLFW_KEY_S));
    EXPECT_FALSE(platform.mouseButtonDown(GLFW_MOUSE_BUTTON_LEFT));
    platform.pollEvents();
  }
  EXPECT_TRUE(platform.keyDown(GLFW_KEY_SPACE));
  EXPECT_FALSE(platform.keyDown(GLFW_KEY_W));
  EXPECT_TRUE(platform.mouseButtonDown(GLFW_MOUSE_BUTTON_LEFT));
  platform.pollEvents();
  EXPECT_FALSE(platform.keyDown(GLFW_KEY_SPACE));
  EXPECT_FALSE(platform.mouseButtonDown(GLFW_MOUSE_BUTTON_LEFT));
  EXPECT_FALSE(platform.keyDown(GLFW_KEY_ESCAPE));
}

TEST(ScriptedPlatform, AfterTheScriptEscapeIsHeldUnlessToldOtherwise) {
  ScriptedPlatform escape;
  escape.hold({GLFW_KEY_W});
  escape.pollEvents();
  EXPECT_TRUE(escape.scriptDone());
  EXPECT_TRUE(escape.keyDown(GLFW_KEY_ESCAPE));
  EXPECT_FALSE(escape.keyDown(GLFW_KEY_W));

  ScriptedPlatform release;
  release.hold({GLFW_KEY_W});
  release.setAfterScript(ScriptedPlatform::AfterScript::ReleaseAll);
  release.pollEvents();
  EXPECT_FALSE(release.keyDown(GLFW_KEY_ESCAPE));
  EXPECT_FALSE(release.keyDown(GLFW_KEY_W));

  ScriptedPlatform last;
  last.hold({GLFW_KEY_W}, 1, {GLFW_MOUSE_BUTTON_LEFT});
  last.setAfterScript(ScriptedPlatform::AfterScript::HoldLast);
  last.pollEvents();
  last.pollEvents();
  EXPECT_FALSE(last.keyDown(GLFW_KEY_ESCAPE));
  EXPECT_TRUE(last.keyDown(GLFW_KEY_W));
  EXPECT_TRUE(last.mouseButtonDown(GLFW_MOUSE_BUTTON_LEFT));
}

TEST(ScriptedPlatform, TheCursorStaysWhereItWasLastMovedOrPut) {
  ScriptedPlatform platform;
  platform.cursorAt(10, 20).idle(2).cursorAt(30, 40).idle();
  // The game places the cursor before the first frame; the script's first move comes after.
  platform.setCursorPosition(400, 150);
  double x = 0.0;
  double y = 0.0;
  platform.cursorPosition(x, y);
  EXPECT_EQ(x, 10.0);
  EXPECT_EQ(y, 20.0);
  platform.setCursorPosition(400, 300);  // as the free camera does within a frame
  platform.cursorPosition(x, y);
  EXPECT_EQ(x, 400.0);
  EXPECT_EQ(y, 300.0);

  platform.pollEvents();  // a frame without a move: still where it was put
  platform.cursorPosition(x, y);
  EXPECT_EQ(x, 400.0);
  EXPECT_EQ(y, 300.0);

  platform.pollEvents();
  platform.cursorPosition(x, y);
  EXPECT_EQ(x, 30.0);
  EXPECT_EQ(y, 40.0);
}

class ScriptedPlatformGl : public GlTest {};

TEST_F(ScriptedPlatformGl, FrameDrawnReportsTheFirstGlErrorAndCallsBack) {
  ScriptedPlatform platform;
  platform.idle(3);
  std::vector<int> drawn;
  platform.onFrameDrawn([&](int frame) { drawn.push_back(frame); });

  platform.frameDrawn();
  platform.pollEvents();
  glEnable(0xFFFF);  // no such capability: GL_INVALID_ENUM
  platform.frameDrawn();
  platform.pollEvents();
  glBindBuffer(GL_ARRAY_BUFFER, 0xFFFFFF);  // never generated: a second, later error
  platform.frameDrawn();

  EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(platform.firstGlError(), static_cast<unsigned>(GL_INVALID_ENUM));
  EXPECT_EQ(platform.firstGlErrorFrame(), 1);
}

}  // namespace
}  // namespace varn::test
