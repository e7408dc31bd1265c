// Timedemo: replays the win route through the whole level at 1/60 s of game time per
// frame and measures each frame on the wall clock (glFinish before every timestamp),
// then the same with bullets and particle bursts added, and an empty frame for scale.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <glm/gtc/matrix_transform.hpp>
#include <memory>
#include <string>
#include <vector>

#include "RouteScript.h"
#include "app/Game.h"
#include "app/Globals.h"
#include "app/ScriptedPlatform.h"
#include "render/ExplosionPresets.h"
#include "render/RenderState.h"

namespace {

using Clock = std::chrono::steady_clock;
using varn::app::ScriptedPlatform;

constexpr int kWarmUpFrames = 30;
constexpr int kLoadPhaseFrames = 180;

// Seconds between the kernel starting this process and now.
double secondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string field;
  unsigned long long startTicks = 0;
  // Field 22 is the start time in clock ticks after boot; the command name has no blanks here.
  for (int i = 1; i <= 22 && stat >> field; ++i) {
    if (i == 22) startTicks = std::stoull(field);
  }
  double uptime = 0.0;
  std::ifstream("/proc/uptime") >> uptime;
  return uptime - static_cast<double>(startTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Stats {
  double median = 0, p95 = 0, p99 = 0, worst = 0;
  size_t frames = 0;
};

Stats statsOf(std::vector<double> ms) {
  Stats s;
  if (ms.empty()) return s;
  std::sort(ms.begin(), ms.end());
  auto at = [&ms](double q) { return ms[std::min(ms.size() - 1, static_cast<size_t>(q * (ms.size() - 1) + 0.5))]; };
  s.median = at(0.5);
  s.p95 = at(0.95);
  s.p99 = at(0.99);
  s.worst = ms.back();
  s.frames = ms.size();
  return s;
}

// What is added to the scene while a phase is measured.
struct Phase {
  std::string name;
  int bullets = 0;
  int particleSystems = 0;
  std::vector<double> frameMs;
  double trianglesPerFrame = 0.0;
};

// Keeps count bullets hanging in the air in front of the robot, on the camera's side (the
// robot stands by the button room's back wall), replacing those whose time ran out.
void keepBullets(int count) {
  auto& bullets = varn::bullets;
  bullets.erase(std::remove_if(bullets.begin(), bullets.end(), [](const auto& b) { return !b || b->lifetime < 0.5f; }),
                bullets.end());
  const glm::vec3 robot(varn::character.modelMatrix[3]);
  for (int i = static_cast<int>(bullets.size()); i < count; ++i) {
    const glm::vec3 at =
        robot + glm::vec3(-1.5f + 0.3f * static_cast<float>(i % 11), 1.5f, 1.0f + 0.3f * static_cast<float>(i / 11));
    bullets.push_back(
        std::make_unique<varn::scene::Bullet>(varn::bulletModel, glm::translate(glm::mat4(1.0f), at), glm::vec3(0.0f)));
  }
}

// Keeps count button-sized bursts alive in front of the robot, on the camera's side.
void keepParticleSystems(int count) {
  auto& systems = varn::render::particleSystems;
  const glm::vec3 robot(varn::character.modelMatrix[3]);
  for (int i = static_cast<int>(systems.size()); i < count; ++i) {
    auto system = std::make_unique<varn::assets::ParticleSystem>();
    const glm::vec3 at = robot + glm::vec3(-2.0f + 0.2f * static_cast<float>(i), 1.0f, 2.0f);
    varn::render::applyExplosionPreset(*system, 2, at);
    systems.push_back(std::move(system));
  }
}

Stats emptyFrames(int width, int height, int count) {
  glfwInit();
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  GLFWwindow* window = glfwCreateWindow(width, height, "Morrowgear empty frame", nullptr, nullptr);
  glfwMakeContextCurrent(window);
  glewExperimental = GL_TRUE;
  glewInit();
  std::vector<double> ms;
  glFinish();
  auto last = Clock::now();
  for (int i = 0; i < count + kWarmUpFrames; ++i) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glfwSwapBuffers(window);
    glfwPollEvents();
    glFinish();
    const auto now = Clock::now();
    if (i >= kWarmUpFrames) ms.push_back(std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
  }
  glfwDestroyWindow(window);
  glfwTerminate();
  return statsOf(ms);
}

void printRow(const std::string& name, const Stats& s, double triangles) {
  std::printf("| %-34s | %6zu | %8.2f | %8.2f | %8.2f | %8.2f | %10.0f |\n", name.c_str(), s.frames, s.median, s.p95,
              s.p99, s.worst, triangles);
}

}  // namespace

int main() {
  ScriptedPlatform platform;
  // The route to the button room, then one quiet phase per load, then the winning shot.
  varn::test::appendRouteToButtonRoom(platform);
  std::vector<Phase> phases = {{"route through the level", 0, 0, {}, 0}, {"button room, idle", 0, 0, {}, 0},
                               {"10 bullets in flight", 10, 0, {}, 0},   {"100 bullets in flight", 100, 0, {}, 0},
                               {"1 particle system", 0, 1, {}, 0},       {"20 particle systems", 0, 20, {}, 0}};
  const int routeFrames = platform.scriptLength();
  platform.idle(kLoadPhaseFrames * static_cast<int>(phases.size() - 1));
  varn::test::appendShotAtButton(platform);
  platform.idle(300);

  auto phaseOf = [&](int frame) -> Phase* {
    if (frame < routeFrames) return &phases[0];
    const size_t index = 1 + static_cast<size_t>((frame - routeFrames) / kLoadPhaseFrames);
    return index < phases.size() ? &phases[index] : nullptr;
  };

  double firstFrameSeconds = -1.0;
  std::string renderer;
  GLuint primitivesQuery = 0;
  bool queryRunning = false;
  auto last = Clock::now();
  platform.onFrameDrawn([&](int frame) {
    glFinish();
    const auto now = Clock::now();
    if (firstFrameSeconds < 0.0) {
      firstFrameSeconds = secondsSinceProcessStart();
      renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    }
    Phase* phase = phaseOf(frame);
    if (queryRunning) {
      glEndQuery(GL_PRIMITIVES_GENERATED);
      GLint primitives = 0;
      glGetQueryObjectiv(primitivesQuery, GL_QUERY_RESULT, &primitives);
      if (phase != nullptr) phase->trianglesPerFrame = std::max(phase->trianglesPerFrame, double(primitives));
      queryRunning = false;
    }
    const int phaseStart =
        frame < routeFrames ? 0 : routeFrames + ((frame - routeFrames) / kLoadPhaseFrames) * kLoadPhaseFrames;
    if (phase != nullptr && frame - phaseStart >= kWarmUpFrames) {
      phase->frameMs.push_back(std::chrono::duration<double, std::milli>(now - last).count());
    }
    // Set up the load of the next frame, and count what it submits.
    Phase* next = phaseOf(frame + 1);
    if (next != nullptr) {
      keepBullets(next->bullets);
      keepParticleSystems(next->particleSystems);
      if (primitivesQuery == 0) glGenQueries(1, &primitivesQuery);
      glBeginQuery(GL_PRIMITIVES_GENERATED, primitivesQuery);
      queryRunning = true;
    }
    last = Clock::now();
  });

  const char* argv[] = {"morrowgear"};
  const int status = varn::app::runGame(1, argv, platform);
  const Stats empty = emptyFrames(varn::windowWidth, varn::windowHeight, 300);

  std::printf("\nMorrowgear timedemo, %d x %d, %.4f s of game time per frame\n", varn::windowWidth, varn::windowHeight,
              platform.frameSeconds());
  std::printf("renderer: %s\n", renderer.c_str());
  std::printf("time from process start to the first presented frame: %.3f s\n\n", firstFrameSeconds);
  std::printf("| %-34s | %6s | %8s | %8s | %8s | %8s | %10s |\n", "phase", "frames", "median", "p95", "p99", "worst",
              "primitives");
  std::printf("|%s|%s|%s|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), std::string(8, '-').c_str(),
              std::string(10, '-').c_str(), std::string(10, '-').c_str(), std::string(10, '-').c_str(),
              std::string(10, '-').c_str(), std::string(12, '-').c_str());
  for (const Phase& phase : phases) printRow(phase.name, statsOf(phase.frameMs), phase.trianglesPerFrame);
  printRow("empty frame (clear and swap)", empty, 0.0);
  const Stats route = statsOf(phases[0].frameMs);
  std::printf("\nroute median / empty median: %.1f\n", empty.median > 0 ? route.median / empty.median : 0.0);
  std::printf("frame times in milliseconds; primitives: the most submitted in one frame of the phase\n");
  std::printf("game exit status %d, won: %s\n", status, varn::gameWon ? "yes" : "no");
  return status;
}
