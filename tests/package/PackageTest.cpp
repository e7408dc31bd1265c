// The Debian package as a player gets it: lintian's verdict on it, and, unpacked with dpkg-deb
// into a temporary root so that nothing is installed on the machine, where its files lie, its
// manual page, menu entry, icons, AppStream metadata, dependencies, and its `morrowgear`
// command started from another folder on the test's X server.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
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

// The one menu entry the package installs; its file name is the game's desktop id.
fs::path menuEntry(const fs::path& applications) {
  std::vector<fs::path> entries;
  for (const auto& file : fs::directory_iterator(applications)) entries.push_back(file.path());
  EXPECT_EQ(entries.size(), 1u) << applications;
  return entries.empty() ? fs::path() : entries.front();
}

std::string uncompressed(const fs::path& gzipped) { return commandOutput({"/bin/zcat", gzipped.string()}); }

// The text of the first element <name>...</name> in an XML document, or "" if there is none.
std::string xmlElement(const std::string& xml, const std::string& name) {
  const std::regex element("<" + name + R"((?:\s[^>]*)?>([^<]*)</)" + name + ">");
  std::smatch match;
  return std::regex_search(xml, match, element) ? match[1].str() : "";
}

// Lintian's tags for the package: errors and warnings fail the test; informational tags are
// printed, since they are advice rather than faults.
TEST_F(Package, LintianFindsNoErrorOrWarning) {
  const ProcessResult lintian = Process({"/usr/bin/lintian", "--info", deb.string()}, "/").finish(kStartUp);
  ASSERT_FALSE(lintian.timedOut);
  std::string informational;
  for (const std::string& line : splitLines(lintian.out)) {
    EXPECT_FALSE(line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0) << line;
    if (line.rfind("I: ", 0) == 0 || line.rfind("N: ", 0) == 0) informational += "  " + line + "\n";
  }
  EXPECT_TRUE(lintian.exitStatus == 0 || lintian.exitStatus == 1) << lintian.err;
  if (!informational.empty()) std::cout << "lintian's informational tags:\n" << informational;
}

// The Debian games layout: the command in /usr/games, the game in /usr/lib/games, its data in
// /usr/share/games, and the licence and this release's changelog in its documentation folder.
TEST_F(Package, PutsEachFileWhereTheGamesLayoutSaysWithItsCopyrightAndChangelog) {
  EXPECT_TRUE(isExecutable(usr("games/morrowgear")));
  EXPECT_TRUE(isExecutable(usr("lib/games/morrowgear/morrowgear")));
  EXPECT_FALSE(fs::exists(usr("bin"))) << "the command belongs in /usr/games";

  // The game's assets, every one and byte for byte; the menu icons are not among them.
  const std::vector<std::string> folders = {"Shader", "Models", "Images", "Sounds"};
  std::vector<std::string> assets = filesBelow(kSourceDir, folders);
  assets.erase(std::remove_if(assets.begin(), assets.end(),
                              [](const std::string& a) { return a.rfind("Images/morrowgear", 0) == 0; }),
               assets.end());
  const fs::path data = usr("share/games/morrowgear");
  EXPECT_EQ(filesBelow(data, folders), assets);
  for (const std::string& asset : assets)
    EXPECT_TRUE(readFile(data / asset) == readFile(kSourceDir / asset)) << asset << " differs from the repository's";

  // A machine-readable copyright file under the licence the repository carries.
  const std::string copyright = readFile(usr("share/doc/morrowgear/copyright"));
  EXPECT_EQ(copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0), 0u);
  EXPECT_NE(copyright.find("\nLicense: Expat\n"), std::string::npos);
  // The changelog's newest entry is this release.
  const std::string changelog = uncompressed(usr("share/doc/morrowgear/changelog.gz"));
  EXPECT_EQ(changelog.rfind("morrowgear (" MORROWGEAR_VERSION ") ", 0), 0u) << changelog.substr(0, 80);
}

// The manual page as `man morrowgear` shows it: it renders without a warning and names the
// command line, every key of the controls and the exit status.
TEST_F(Package, ManualPageRendersWithoutWarningsAndNamesArgumentsKeysAndExitStatus) {
  const fs::path page = usr("share/man/man6/morrowgear.6.gz");
  ASSERT_TRUE(fs::is_regular_file(page));
  const ProcessResult check =
      Process({"/bin/sh", "-c", "zcat '" + page.string() + "' | groff -man -ww -z"}, "/").finish(kQuickRun);
  EXPECT_EQ(check.exitStatus, 0);
  EXPECT_EQ(check.out + check.err, "") << "groff warns";

  const ProcessResult shown =
      Process({"/usr/bin/env", "MANWIDTH=80", "/usr/bin/man", "-l", page.string()}, "/").finish(kQuickRun);
  ASSERT_EQ(shown.exitStatus, 0) << shown.err;
  const std::string text = std::regex_replace(shown.out, std::regex(".\b"), "");  // drop overstrikes
  for (const char* word : {"SYNOPSIS", "width", "height", "fullscreen", "refresh-rate", "Mouse", "Left mouse button",
                           "W, A, S, D", "Space", "C", "F3", "F4", "F5", "F6, F7", "F8", "F9", "Escape",
                           "EXIT STATUS", "FILES", "/usr/share/games/morrowgear/"})
    EXPECT_NE(text.find(word), std::string::npos) << "the manual page does not name " << word;
}

// The menu entry opens the game in a terminal, where its console lines and pause are seen,
// under the packaged command and icons; AppStream's metadata describes the same entry.
TEST_F(Package, MenuEntryOpensTheGameInATerminalUnderItsIconsAndAppStreamNamesIt) {
  const fs::path file = menuEntry(usr("share/applications"));
  const ProcessResult validation = Process({"/usr/bin/desktop-file-validate", file.string()}, "/").finish(kQuickRun);
  EXPECT_EQ(validation.exitStatus, 0);
  EXPECT_EQ(validation.out + validation.err, "") << "desktop-file-validate warns";

  auto entry = desktopEntry(file);
  EXPECT_EQ(entry["Type"], "Application");
  EXPECT_EQ(entry["Name"], "Morrowgear");
  EXPECT_EQ(entry["Terminal"], "true");
  // By its full path: /usr/games is on a player's PATH, but not on every session's.
  EXPECT_EQ(entry["Exec"], "/usr/games/morrowgear");
  EXPECT_TRUE(isExecutable(root.path() / fs::path(entry["Exec"]).relative_path())) << "not the packaged command";
  // Every size drawn for its size, with an alpha channel for the rounded corners.
  for (const int size : {48, 128, 256}) {
    const std::string side = std::to_string(size);
    const fs::path icon = usr("share/icons/hicolor/" + side + "x" + side + "/apps/" + entry["Icon"] + ".png");
    const std::string type = commandOutput({"/usr/bin/file", "-b", icon.string()});
    EXPECT_NE(type.find("PNG image data, " + side + " x " + side + ", 8-bit/color RGBA"), std::string::npos) << type;
  }

  const std::string id = file.stem().string();
  const fs::path metainfo = usr("share/metainfo/" + id + ".metainfo.xml");
  ASSERT_TRUE(fs::is_regular_file(metainfo)) << metainfo;
  const ProcessResult validated =
      Process({"/usr/bin/appstreamcli", "validate", "--no-net", "--no-color", metainfo.string()}, "/").finish(kStartUp);
  EXPECT_EQ(validated.exitStatus, 0) << validated.out << validated.err;
  for (const std::string& line : splitLines(validated.out))
    EXPECT_FALSE(line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0) << line;
  const std::string xml = readFile(metainfo);
  EXPECT_EQ(xmlElement(xml, "id"), id);
  EXPECT_EQ(xmlElement(xml, "launchable"), file.filename().string());
  EXPECT_NE(xml.find("<release version=\"" MORROWGEAR_VERSION "\""), std::string::npos) << "no entry for this release";
}

TEST_F(Package, DependsOnTheGameLibrariesRuntimePackagesOnly) {
  const std::string depends = commandOutput({"/usr/bin/dpkg-deb", "--field", deb.string(), "Depends"});
  const std::vector<std::string> names = dependencyNames(depends);
  for (const std::string library : {"libglfw3", "libglew", "libassimp", "libsoil", "libopenal1", "libsndfile1"}) {
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
  Process game({usr("games/morrowgear").string()}, elsewhere.path().string());
  ASSERT_TRUE(game.waitForOutput(kStartupTranscript.back() + "\n", kStartUp)) << game.out();
  ASSERT_TRUE(waitForGameWindow());
  const std::string title = gameTitleAfterFirstFrame();
  EXPECT_EQ(title.rfind("Morrowgear | Objects drawn ", 0), 0u) << title;
  // The desktop ties the window to the menu entry, and so to its icon, by the window's class.
  const std::string windowClass = desktopEntry(menuEntry(usr("share/applications")))["StartupWMClass"];
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
  fs::create_symlink(usr("games/morrowgear"), elsewhere.path() / "linked-morrowgear");
  const std::string onPath = "PATH=" + usr("games").string() + ":/usr/bin:/bin";
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
