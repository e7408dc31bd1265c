// Start-up (command line, window, context, render set-up), the loop, shutdown and
// the outcome lines: everything main does, behind the platform seam.
#include "app/Game.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/CommandLine.h"
#include "app/Console.h"
#include "app/GameRules.h"
#include "app/GameSounds.h"
#include "app/Globals.h"
#include "app/MainLoop.h"
#include "app/Shutdown.h"
#include "render/RenderSetup.h"

namespace varn::app {

namespace {

[[noreturn]] void failStartup(const std::string& message, bool terminateGlfw) {
  printError(message);
  if (terminateGlfw) glfwTerminate();
  pauseAndExit();
}

GLFWwindow* openWindow(const WindowSettings& settings) {
  if (!glfwInit()) failStartup("ERROR: could not init GLFW", false);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  GLFWmonitor* monitor = nullptr;
  if (settings.fullscreen) {
    monitor = glfwGetPrimaryMonitor();
    glfwWindowHint(GLFW_REFRESH_RATE, settings.refreshRate);
  }
  GLFWwindow* window = glfwCreateWindow(settings.windowWidth, settings.windowHeight, "Morrowgear", monitor, nullptr);
  if (window == nullptr) failStartup("ERROR: could not open Window", true);
  glfwMakeContextCurrent(window);
  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK) failStartup("ERROR: could not init GLEW", true);
  // In a core context GLEW's extension query leaves GL_INVALID_ENUM behind; it is
  // GLEW's, not the game's, so it is cleared before the first frame.
  while (glGetError() != GL_NO_ERROR) {
  }
  return window;
}

}  // namespace

int runGame(int argc, const char* const* argv, Platform& platform) {
  const CommandLineResult commandLine = parseCommandLine(argc, argv);
  if (commandLine.startedMessage) printLine("Morrowgear started");
  if (!commandLine.error.empty()) failStartup(commandLine.error, false);
  const WindowSettings& settings = commandLine.settings;
  windowWidth = settings.windowWidth;
  windowHeight = settings.windowHeight;

  GLFWwindow* window = openWindow(settings);
  platform.attach(window);
  render::init(window);
  startSound(platform);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glViewport(0, 0, windowWidth, windowHeight);
  // A quarter of the height, not a half: the first aim points ahead of the robot.
  platform.setCursorPosition(static_cast<double>(windowWidth / 2), static_cast<double>(windowHeight / 4));
  previousTime = static_cast<float>(platform.time());

  if (!glfwWindowShouldClose(window)) runMainLoop(window, platform);

  cleanup();
  glfwTerminate();
  stopSound();
  printOutcome();
  return 0;
}

}  // namespace varn::app
