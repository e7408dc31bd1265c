// The main loop's pieces that stand on their own: the window title, the frame time
// with its cap, and the command-line parser.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/MainLoop.h"

namespace varn::test {
namespace {

TEST(WindowTitle, ShowsTheCountsAndTheWholeMillisecondsWithTheWiderLabelBelowTen) {
  EXPECT_EQ(app::windowTitle(12, 345, 0.0105f), "Morrowgear | Objects drawn 12 / 345 | Frametime: 10 ms");
  EXPECT_EQ(app::windowTitle(1, 2, 0.0095f), "Morrowgear | Objects drawn 1 / 2 | Frametime:   9 ms");
  EXPECT_EQ(app::windowTitle(3, 4, 0.1f), "Morrowgear | Objects drawn 3 / 4 | Frametime: 100 ms");
}

TEST(FrameTiming, ALongFrameCountsAsATenthOfASecond) {
  resetGlobals();
  previousTime = 2.0f;
  app::takeFrameTime(2.5);
  EXPECT_EQ(deltaTime, 0.1f);
  app::takeFrameTime(2.55);
  EXPECT_NEAR(deltaTime, 0.05f, 1e-6f) << "measured from the long frame's end";
  resetGlobals();
}

TEST(CommandLine, ReadsNumbersAsAStreamWouldAndNamesTheFirstBadArgument) {
  struct Case {
    std::vector<const char*> arguments;
    int width, height;
    bool fullscreen;
    int refresh;
    bool started;
    std::string error;
  };
  const Case cases[] = {
      {{}, 800, 600, false, 60, false, ""},
      {{"1024"}, 800, 600, false, 60, false, ""},
      {{"1024", "768"}, 1024, 768, false, 60, true, ""},
      {{"1024", "768", "1", "75", "whatever"}, 1024, 768, true, 75, true, ""},
      {{"800x", "600"}, 800, 600, false, 60, true, ""},
      {{"-5", "600"}, -5, 600, false, 60, true, ""},
      {{"abc", "600"}, 0, 0, false, 0, true, "ERROR: could not parse window width"},
      {{"", "600"}, 0, 0, false, 0, true, "ERROR: could not parse window width"},
      {{"800", "600", "true"}, 0, 0, false, 0, true, "ERROR: could not parse fullscreen boolean"},
      {{"800", "600", "2"}, 0, 0, false, 0, true, "ERROR: could not parse fullscreen boolean"},
      {{"800", "600", "1", "fast"}, 0, 0, false, 0, true, "ERROR: could not parse refresh rate"},
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv{"morrowgear"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    const app::CommandLineResult result = app::parseCommandLine(static_cast<int>(argv.size()), argv.data());
    SCOPED_TRACE(testing::Message() << c.arguments.size() << " arguments, first '"
                                    << (c.arguments.empty() ? "" : c.arguments[0]) << "'");
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(result.startedMessage, c.started);
    if (!c.error.empty()) continue;
    const app::WindowSettings& s = result.settings;
    EXPECT_EQ(std::make_tuple(s.windowWidth, s.windowHeight, s.fullscreen, s.refreshRate),
              std::make_tuple(c.width, c.height, c.fullscreen, c.refresh));
  }
}

}  // namespace
}  // namespace varn::test
