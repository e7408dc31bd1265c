// The main loop's pieces that stand on their own: the window title, the frame time
// with its cap, the ageing of the key cooldowns, and the command-line parser.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GlobalsReset.h"
#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/MainLoop.h"

namespace varn::test {
namespace {

// ---- Window title

TEST(WindowTitle, ShowsTheCountsAndTheWholeMilliseconds) {
  EXPECT_EQ(app::windowTitle(12, 345, 0.0166f), "Morrowgear | Objects drawn 12 / 345 | Frametime: 16 ms");
  EXPECT_EQ(app::windowTitle(0, 0, 0.0f), "Morrowgear | Objects drawn 0 / 0 | Frametime:   0 ms");
}

TEST(WindowTitle, SingleDigitMillisecondsTakeTheWiderLabel) {
  // 9.5 ms is shown as 9 (truncated), after three blanks; 10.5 ms as 10 after one.
  EXPECT_EQ(app::windowTitle(1, 2, 0.0095f), "Morrowgear | Objects drawn 1 / 2 | Frametime:   9 ms");
  EXPECT_EQ(app::windowTitle(1, 2, 0.0105f), "Morrowgear | Objects drawn 1 / 2 | Frametime: 10 ms");
}

class FrameTiming : public ::testing::Test {
 protected:
  void SetUp() override { resetGlobals(); }
  void TearDown() override { resetGlobals(); }
};

TEST_F(FrameTiming, ALongFrameCountsAsATenthOfASecond) {
  previousTime = 2.0f;
  app::takeFrameTime(2.5);
  EXPECT_EQ(deltaTime, 0.1f);
  EXPECT_EQ(previousTime, 2.5f);
  EXPECT_EQ(app::windowTitle(3, 4, deltaTime), "Morrowgear | Objects drawn 3 / 4 | Frametime: 100 ms");

  app::takeFrameTime(2.55);
  EXPECT_NEAR(deltaTime, 0.05f, 1e-6f);
  EXPECT_EQ(previousTime, 2.55f);
}

TEST_F(FrameTiming, CooldownsRunDownByTheFrameTimeAndRestAtOrBelowZero) {
  float* const timers[] = {&shootCooldown,         &cameraToggleCooldown, &ambientCooldown,      &wireframeCooldown,
                           &textureFilterCooldown, &mipmapCooldown,       &transparencyCooldown, &cullingCooldown};
  deltaTime = 0.1f;
  for (float* timer : timers) {
    *timer = 0.5f;
    app::ageCooldowns();
    EXPECT_NEAR(*timer, 0.4f, 1e-6f);

    *timer = 0.05f;  // may end below zero
    app::ageCooldowns();
    EXPECT_NEAR(*timer, -0.05f, 1e-6f);
    app::ageCooldowns();
    EXPECT_NEAR(*timer, -0.05f, 1e-6f);

    *timer = 0.0f;
    app::ageCooldowns();
    EXPECT_EQ(*timer, 0.0f);
  }
}

// ---- Command line

app::CommandLineResult parse(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv{"morrowgear"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  return app::parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

void expectSettings(const app::CommandLineResult& result, int width, int height, bool fullscreen, int refresh) {
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.settings.windowWidth, width);
  EXPECT_EQ(result.settings.windowHeight, height);
  EXPECT_EQ(result.settings.fullscreen, fullscreen);
  EXPECT_EQ(result.settings.refreshRate, refresh);
}

TEST(CommandLine, FewerThanTwoArgumentsKeepTheDefaultsQuietly) {
  for (const auto& arguments : {std::vector<std::string>{}, std::vector<std::string>{"1024"}}) {
    const app::CommandLineResult result = parse(arguments);
    expectSettings(result, 800, 600, false, 60);
    EXPECT_FALSE(result.startedMessage);
  }
}

TEST(CommandLine, TwoOrMoreArgumentsAreReadInOrder) {
  const app::CommandLineResult size = parse({"1024", "768"});
  expectSettings(size, 1024, 768, false, 60);
  EXPECT_TRUE(size.startedMessage);

  expectSettings(parse({"1024", "768", "0", "75"}), 1024, 768, false, 75);
  expectSettings(parse({"1024", "768", "1", "75"}), 1024, 768, true, 75);
  expectSettings(parse({"1024", "768", "1", "75", "whatever"}), 1024, 768, true, 75);
}

TEST(CommandLine, NumbersAreReadAsAStreamWouldWithoutRangeChecks) {
  expectSettings(parse({"800x", "600"}), 800, 600, false, 60);
  expectSettings(parse({"  1024px", "768"}), 1024, 768, false, 60);
  expectSettings(parse({"-5", "600"}), -5, 600, false, 60);
  expectSettings(parse({"0", "600"}), 0, 600, false, 60);
}

TEST(CommandLine, TheFirstBadArgumentNamesTheFailure) {
  EXPECT_EQ(parse({"abc", "600"}).error, "ERROR: could not parse window width");
  EXPECT_EQ(parse({"abc", "xyz"}).error, "ERROR: could not parse window width");
  EXPECT_EQ(parse({"", "600"}).error, "ERROR: could not parse window width");
  EXPECT_EQ(parse({"800", ""}).error, "ERROR: could not parse window height");
  EXPECT_EQ(parse({"800", "600", "true"}).error, "ERROR: could not parse fullscreen boolean");
  EXPECT_EQ(parse({"800", "600", "2"}).error, "ERROR: could not parse fullscreen boolean");
  EXPECT_EQ(parse({"800", "600", "1", "fast"}).error, "ERROR: could not parse refresh rate");
  // The start-up line comes before any of these.
  EXPECT_TRUE(parse({"abc", "600"}).startedMessage);
}

}  // namespace
}  // namespace varn::test
