// Start-up (command line, window, context, render set-up), the loop, shutdown and
// the outcome lines: everything main does, behind the platform seam.
#include "app/Game.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/CommandLine.h"
#include "app/Console.h"
#include "app/GameRules.h"
#include "app/GameSounds.h"
#include "app/GlWindow.h"
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
  GlWindowRequest request;
  request.width = settings.windowWidth;
  request.height = settings.windowHeight;
  if (settings.fullscreen) request.monitor = glfwGetPrimaryMonitor();
  request.refreshRate = settings.refreshRate;
  GlWindowFailure failure = GlWindowFailure::None;
  GLFWwindow* window = openGlWindow(request, failure);
  if (failure == GlWindowFailure::Window) failStartup("ERROR: could not open Window", true);
  if (failure == GlWindowFailure::Glew) failStartup("ERROR: could not init GLEW", true);
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
