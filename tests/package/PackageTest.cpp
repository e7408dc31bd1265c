// The Debian package as a player gets it, unpacked with dpkg-deb into a temporary root, so
// nothing is installed on the machine: where its files lie, its menu entry, its icon, its
// dependencies, and its `morrowgear` command started from another folder on the test's X server.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "GameWindow.h"
#include "Process.h"
#include "StartupTranscript.h"
#include "TempDir.h"

namespace varn::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = MORROWGEAR_SOURCE_DIR;
constexpr double kQuickRun = 30.0;  // seconds: start-up failures end long before this
constexpr double kStartUp = 60.0;   // seconds allowed for set-up under llvmpipe

std::string commandOutput(const std::vector<std::string>& argv) {
  Process command(argv, "/");
  const ProcessResult result = command.finish(kQuickRun);
  EXPECT_EQ(result.exitStatus, 0) << argv.front() << ": " << result.err;
  return result.out;
}

// The package file that CPack made, named as Debian names packages.
fs::path packageFile() {
  const std::string architecture = splitLines(commandOutput({"/usr/bin/dpkg", "--print-architecture"})).at(0);
  return fs::path(MORROWGEAR_DEB_DIR) / ("morrowgear_" MORROWGEAR_VERSION "_" + architecture + ".deb");
}

// The package's files below a fresh temporary root.
class Package : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(deb)) << deb;
    ASSERT_EQ(shell("dpkg-deb -x '" + deb.string() + "' '" + root.path().string() + "'"), 0);
  }
  fs::path usr(const std::string& relative) const { return root.path() / "usr" / relative; }

  const fs::path deb = packageFile();
  TempDir root;
};

bool isExecutable(const fs::path& path) { return access(path.c_str(), X_OK) == 0 && fs::is_regular_file(path); }

// The Key=Value lines of a .desktop file's [Desktop Entry] group.
std::map<std::string, std::string> desktopEntry(const fs::path& file) {
  std::map<std::string, std::string> entry;
  bool inEntry = false;
  for (const std::string& line : splitLines(readFile(file))) {
    if (!line.empty() && line.front() == '[') inEntry = line == "[Desktop Entry]";
    const size_t equals = line.find('=');
    if (inEntry && equals != std::string::npos) entry[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return entry;
}

// The package names in a Depends field, without their version constraints.
std::vector<std::string> dependencyNames(const std::string& depends) {
  std::vector<std::string> names;
  const std::regex name(R"((?:^|[,|])\s*([^\s,|(:]+))");
  for (std::sregex_iterator it(depends.begin(), depends.end(), name), end; it != end; ++it) names.push_back((*it)[1]);
  return names;
}

// The launcher, the menu entry and the icon: the tests below use them where a player would.
TEST_F(Package, HoldsTheGameItsAssetsAndCopyright) {
  EXPECT_TRUE(isExecutable(usr("lib/morrowgear/morrowgear")));
  EXPECT_FALSE(readFile(usr("share/doc/morrowgear/copyright")).empty());

  // The game's assets, every one and byte for byte; the menu icon is not among them.
  const std::vector<std::string> folders = {"Shader", "Models", "Images"};
  std::vector<std::string> assets = filesBelow(kSourceDir, folders);
  assets.erase(std::remove(assets.begin(), assets.end(), "Images/morrowgear.png"), assets.end());
  const fs::path data = usr("share/morrowgear");
  EXPECT_EQ(filesBelow(data, folders), assets);
  for (const std::string& asset : assets)
    EXPECT_TRUE(readFile(data / asset) == readFile(kSourceDir / asset)) << asset << " differs from the repository's";
}

TEST_F(Package, MenuEntryIsValidAndStartsTheLauncherWithoutATerminalUnderItsIcon) {
  const fs::path file = usr("share/applications/morrowgear.desktop");
  const ProcessResult validation = Process({"/usr/bin/desktop-file-validate", file.string()}, "/").finish(kQuickRun);
  EXPECT_EQ(validation.exitStatus, 0);
  EXPECT_EQ(validation.out + validation.err, "") << "desktop-file-validate warns";

  auto entry = desktopEntry(file);
  EXPECT_EQ(entry["Type"], "Application");
  EXPECT_EQ(entry["Name"], "Morrowgear");
  EXPECT_EQ(entry["Terminal"], "false");
  EXPECT_TRUE(isExecutable(usr("bin/" + entry["Exec"]))) << "Exec=" << entry["Exec"] << " is not the packaged command";

  // 256 x 256, with an alpha channel for its rounded corners.
  const fs::path icon = usr("share/icons/hicolor/256x256/apps/" + entry["Icon"] + ".png");
  const std::string type = commandOutput({"/usr/bin/file", "-b", icon.string()});
  EXPECT_NE(type.find("PNG image data, 256 x 256, 8-bit/color RGBA"), std::string::npos) << type;
}

TEST_F(Package, DependsOnTheGameLibrariesRuntimePackagesOnly) {
  const std::string depends = commandOutput({"/usr/bin/dpkg-deb", "--field", deb.string(), "Depends"});
  const std::vector<std::string> names = dependencyNames(depends);
  for (const std::string library : {"libglfw3", "libglew", "libassimp", "libsoil"}) {
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&](const std::string& n) { return n.rfind(library, 0) == 0; }))
        << library << " missing from: " << depends;
  }
  for (const std::string& name : names) {
    EXPECT_FALSE(name.size() > 4 && name.compare(name.size() - 4, 4, "-dev") == 0) << name;
    EXPECT_TRUE(name.rfind("libasan", 0) != 0 && name.rfind("libubsan", 0) != 0) << "a sanitizer build: " << name;
  }
}

// Left alone there, the robot is lost to the enemies: an ending the test can wait for.
TEST_F(Package, LauncherStartsTheGameFromAnotherFolderThatPlaysToItsEndWithStatusZero) {
  TempDir elsewhere;
  Process game({usr("bin/morrowgear").string()}, elsewhere.path().string());
  ASSERT_TRUE(game.waitForOutput(kStartupTranscript.back() + "\n", kStartUp)) << game.out();
  ASSERT_TRUE(waitForGameWindow());
  const std::string title = gameTitleAfterFirstFrame();
  EXPECT_EQ(title.rfind("Morrowgear | Objects drawn ", 0), 0u) << title;
  // The desktop ties the window to the menu entry, and so to its icon, by the window's class.
  const std::string windowClass = desktopEntry(usr("share/applications/morrowgear.desktop"))["StartupWMClass"];
  EXPECT_EQ(shell("xdotool search --onlyvisible --class '^" + windowClass + "$' >/dev/null"), 0) << windowClass;
  const ProcessResult result = game.finish(kStartUp);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitStatus, 0);
  std::vector<std::string> expected = kStartupTranscript;
  expected.insert(expected.end(), kLostToTheEnemies.begin(), kLostToTheEnemies.end());
  EXPECT_EQ(splitLines(result.out), expected);
  EXPECT_EQ(result.err, "");
}

// Started as a player starts it (found on the PATH) and through a link to it, the launcher
// passes every argument on, and the game's streams and exit status come back unchanged.
TEST_F(Package, LauncherPassesArgumentsStreamsAndExitStatusThrough) {
  TempDir elsewhere;
  fs::create_symlink(usr("bin/morrowgear"), elsewhere.path() / "linked-morrowgear");
  const std::string onPath = "PATH=" + usr("bin").string() + ":/usr/bin:/bin";
  struct Case {
    std::vector<std::string> argv;
    std::string message;
  };
  const Case cases[] = {
      {{"/usr/bin/env", onPath, "morrowgear", "abc", "600"}, "ERROR: could not parse window width"},
      {{(elsewhere.path() / "linked-morrowgear").string(), "800", "600", "0", "x"},
       "ERROR: could not parse refresh rate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ProcessResult result = Process(c.argv, elsewhere.path().string()).finish(kQuickRun);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "Morrowgear started\n");
    EXPECT_EQ(result.err, c.message + "\n");
  }
}

}  // namespace
}  // namespace varn::test
