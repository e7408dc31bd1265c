// Timedemo: replays the win route through the whole level at 1/60 s of game time per
// frame and measures each frame on the wall clock (glFinish before every timestamp),
// then the same with bullets, particle bursts and fresh hits added, then the victory
// after the winning shot, and an empty frame for scale.
//
//   timedemo                 frame times per phase, then "summary" lines for scripts
//   timedemo --passes        the same run with every pass of the frame timed on its own
//   timedemo --shots DIR     the same run, writing every 40th frame to DIR as PNG
//
// This source also builds against older versions of the game (bench.sh --against), so
// it uses only what they have; the per-pass timing needs the frame-stage hook.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <glm/gtc/matrix_transform.hpp>
#include <memory>
#include <string>
#include <vector>

#include "RouteScript.h"
#include "Screenshot.h"
#include "app/Game.h"
#include "app/Globals.h"
#include "app/ScriptedPlatform.h"
#include "render/ExplosionPresets.h"
#include "render/RenderState.h"

#if __has_include("render/FrameStageHook.h")
#include "render/FrameStageHook.h"
#define TIMEDEMO_HAS_STAGE_HOOK 1
#else
#define TIMEDEMO_HAS_STAGE_HOOK 0
#endif

namespace {

using Clock = std::chrono::steady_clock;
using varn::app::ScriptedPlatform;

constexpr int kWarmUpFrames = 30;
constexpr int kLoadPhaseFrames = 120;
constexpr int kFramesBetweenHits = 6;  // in the new-hit phase: a fresh burst ten times a second
constexpr int kShotEvery = 40;         // frames between two pictures of --shots

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

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

double medianOf(const std::vector<double>& values) { return statsOf(values).median; }

// ---- Timing each stage of the frame (--passes).

constexpr const char* kStageNames[] = {"shadow pass", "textured pass",     "silhouette pass",
                                       "cel pass",    "transparency pass", "particle step"};
constexpr int kStages = 6;

// One stage's times in one frame: wall clock with the GL queue drained before and after
// (so the stage's own rasterisation is inside and nothing else is), and the GL_TIME_ELAPSED
// query around it (llvmpipe: first to last rasteriser timestamp of the stage's commands).
struct StageTimes {
  std::array<GLuint, kStages> queries{};
  std::array<Clock::time_point, kStages> startedAt{};
  std::array<double, kStages> wallMs{};
  std::array<bool, kStages> ran{};
};
StageTimes stageTimes;

#if TIMEDEMO_HAS_STAGE_HOOK
static_assert(varn::render::kFrameStageCount == kStages, "one name per frame stage");

void timeStage(varn::render::FrameStage stage, bool starting) {
  const auto i = static_cast<size_t>(stage);
  if (stageTimes.queries[i] == 0) glGenQueries(1, &stageTimes.queries[i]);
  if (starting) {
    glFinish();
    stageTimes.startedAt[i] = Clock::now();
    glBeginQuery(GL_TIME_ELAPSED, stageTimes.queries[i]);
  } else {
    glEndQuery(GL_TIME_ELAPSED);
    glFinish();
    stageTimes.wallMs[i] = millisecondsBetween(stageTimes.startedAt[i], Clock::now());
    stageTimes.ran[i] = true;
  }
}
#endif

// ---- Phases.

// What is added to the scene while a phase is measured.
struct Phase {
  std::string key;  // for the summary lines: no blanks
  std::string name;
  int bullets = 0;
  int particleSystems = 0;
  bool freshHits = false;  // a new burst every kFramesBetweenHits frames; only those frames count
  std::vector<double> frameMs;
  double trianglesPerFrame = 0.0;
  std::array<std::vector<double>, kStages> stageWallMs;
  std::array<std::vector<double>, kStages> stageGpuMs;
};

Phase loadPhase(const char* key, const char* name, int bullets, int particleSystems, bool freshHits = false) {
  Phase phase;
  phase.key = key;
  phase.name = name;
  phase.bullets = bullets;
  phase.particleSystems = particleSystems;
  phase.freshHits = freshHits;
  return phase;
}

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

// A hit as the game rules report one: the next frame's draw makes the burst. Level and
// enemy hits alternate, the kinds that happen during play.
void requestHit(int number) {
  varn::explosionPending = true;
  varn::explosionKind = number % 2;
  // On the camera's side: ahead of the robot on the firing step is the back wall.
  varn::explosionPosition = glm::vec3(varn::character.modelMatrix[3]) + glm::vec3(0.0f, 1.0f, 2.0f);
}

// ---- The empty frame, in a window of its own after the game has shut GLFW down.

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "timedemo: %s\n", message.c_str());
  std::exit(1);
}

std::string lastGlfwError;

void rememberGlfwError(int code, const char* description) {
  lastGlfwError = std::to_string(code) + " " + (description != nullptr ? description : "(no description)");
  std::fprintf(stderr, "GLFW error %s\n", lastGlfwError.c_str());
}

Stats emptyFrames(int width, int height, int count) {
  if (glfwInit() != GLFW_TRUE) fail("could not initialise GLFW for the empty frame: " + lastGlfwError);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  GLFWwindow* window = glfwCreateWindow(width, height, "Morrowgear empty frame", nullptr, nullptr);
  if (window == nullptr) {
    glfwTerminate();
    fail("could not open the window for the empty frame: " + lastGlfwError);
  }
  glfwMakeContextCurrent(window);
  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK) {
    glfwTerminate();
    fail("could not load OpenGL for the empty frame");
  }
  std::vector<double> ms;
  glFinish();
  auto last = Clock::now();
  for (int i = 0; i < count + kWarmUpFrames; ++i) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glfwSwapBuffers(window);
    glfwPollEvents();
    glFinish();
    const auto now = Clock::now();
    if (i >= kWarmUpFrames) ms.push_back(millisecondsBetween(last, now));
    last = now;
  }
  glfwDestroyWindow(window);
  glfwTerminate();
  return statsOf(ms);
}

// ---- Report.

void printRow(const std::string& name, const Stats& s, double triangles) {
  std::printf("| %-34s | %6zu | %8.2f | %8.2f | %8.2f | %8.2f | %10.0f |\n", name.c_str(), s.frames, s.median, s.p95,
              s.p99, s.worst, triangles);
}

void printRule(std::initializer_list<int> widths) {
  std::printf("|");
  for (int width : widths) std::printf("%s|", std::string(static_cast<size_t>(width), '-').c_str());
  std::printf("\n");
}

void printStageTable(const std::vector<Phase>& phases) {
  std::printf(
      "\nPer stage of the frame (medians in ms; wall: glFinish before and after the stage,\n"
      "GL_TIME_ELAPSED: llvmpipe's rasteriser time for the stage's commands):\n\n");
  std::printf("| %-28s |", "phase");
  for (const char* stage : kStageNames) std::printf(" %17s |", stage);
  std::printf("\n");
  printRule({30, 19, 19, 19, 19, 19, 19});
  for (const Phase& phase : phases) {
    std::printf("| %-28s |", phase.name.c_str());
    for (int i = 0; i < kStages; ++i) {
      std::printf("  %6.2f / %6.2f |", medianOf(phase.stageWallMs[i]), medianOf(phase.stageGpuMs[i]));
    }
    std::printf("\n");
  }
  std::printf("each cell: wall / GL_TIME_ELAPSED\n");
}

struct Options {
  bool timeStages = false;
  std::string shotsDirectory;
};

Options parseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--passes") == 0) {
      options.timeStages = true;
    } else if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc) {
      options.shotsDirectory = argv[++i];
    } else {
      std::fprintf(stderr, "usage: timedemo [--passes] [--shots DIR]\n");
      std::exit(2);
    }
  }
#if !TIMEDEMO_HAS_STAGE_HOOK
  if (options.timeStages) fail("--passes: this version of the game has no frame-stage hook");
#endif
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parseOptions(argc, argv);
  glfwSetErrorCallback(rememberGlfwError);

  ScriptedPlatform platform;
  // The route to the button room, then one phase per load, then the winning shot.
  varn::test::appendRouteToButtonRoom(platform);
  std::vector<Phase> phases = {
      loadPhase("route", "route through the level", 0, 0),   loadPhase("idle", "button room, idle", 0, 0),
      loadPhase("bullets10", "10 bullets in flight", 10, 0), loadPhase("bullets100", "100 bullets in flight", 100, 0),
      loadPhase("particles1", "1 particle system", 0, 1),    loadPhase("particles20", "20 particle systems", 0, 20),
      loadPhase("newhit", "frame of a new hit", 0, 0, true)};
  Phase victory = loadPhase("victory", "victory (after the winning shot)", 0, 0);
  const int routeFrames = platform.scriptLength();
  const int loadPhases = static_cast<int>(phases.size()) - 1;
  platform.idle(kLoadPhaseFrames * loadPhases);
  varn::test::appendShotAtButton(platform);
  // Longer than the end countdown of a win: the game ends this run on its own.
  platform.idle(300);

  auto phaseIndexOf = [&](int frame) -> int {
    if (frame < routeFrames) return 0;
    const int index = 1 + (frame - routeFrames) / kLoadPhaseFrames;
    return index <= loadPhases ? index : -1;
  };
  auto phaseStartOf = [&](int index) { return index == 0 ? 0 : routeFrames + (index - 1) * kLoadPhaseFrames; };

#if TIMEDEMO_HAS_STAGE_HOOK
  if (options.timeStages) varn::render::frameStageHook = timeStage;
#endif

  double firstFrameSeconds = -1.0;
  std::string renderer;
  GLuint primitivesQuery = 0;
  bool queryRunning = false;
  int victoryStart = -1;
  std::vector<int> hitFrames;
  auto last = Clock::now();
  platform.onFrameDrawn([&](int frame) {
    glFinish();
    const auto now = Clock::now();
    if (firstFrameSeconds < 0.0) {
      firstFrameSeconds = secondsSinceProcessStart();
      renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    }
    if (victoryStart < 0 && varn::gameWon) victoryStart = frame;

    const int index = phaseIndexOf(frame);
    Phase* phase = index >= 0 ? &phases[static_cast<size_t>(index)] : (victoryStart >= 0 ? &victory : nullptr);
    if (queryRunning) {
      glEndQuery(GL_PRIMITIVES_GENERATED);
      GLint primitives = 0;
      glGetQueryObjectiv(primitivesQuery, GL_QUERY_RESULT, &primitives);
      if (phase != nullptr) phase->trianglesPerFrame = std::max(phase->trianglesPerFrame, double(primitives));
      queryRunning = false;
    }
    // The victory counts from the frame of the winning hit on; load phases skip their warm-up,
    // and the new-hit phase counts only the frames that made a burst.
    bool counted = false;
    if (phase == &victory) {
      counted = true;
    } else if (phase != nullptr && frame - phaseStartOf(index) >= kWarmUpFrames) {
      counted = !phase->freshHits || std::find(hitFrames.begin(), hitFrames.end(), frame) != hitFrames.end();
    }
    if (counted) {
      phase->frameMs.push_back(millisecondsBetween(last, now));
      for (int i = 0; options.timeStages && i < kStages; ++i) {
        if (!stageTimes.ran[i]) continue;
        GLuint64 nanoseconds = 0;
        glGetQueryObjectui64v(stageTimes.queries[i], GL_QUERY_RESULT, &nanoseconds);
        phase->stageWallMs[i].push_back(stageTimes.wallMs[i]);
        phase->stageGpuMs[i].push_back(static_cast<double>(nanoseconds) / 1.0e6);
      }
    }
    stageTimes.ran.fill(false);
    if (!options.shotsDirectory.empty() && frame % kShotEvery == 0) {
      char name[32];
      std::snprintf(name, sizeof(name), "/frame%05d.png", frame);
      if (!varn::test::saveScreenshot(options.shotsDirectory + name, varn::windowWidth, varn::windowHeight)) {
        fail("could not write " + options.shotsDirectory + name);
      }
    }

    // Set up the load of the next frame, and count what it submits. Each phase starts
    // from an empty room, so what one phase leaves behind never weighs on the next.
    const int nextIndex = phaseIndexOf(frame + 1);
    if (nextIndex != index) {
      varn::bullets.clear();
      varn::render::particleSystems.clear();
    }
    if (nextIndex >= 0) {
      const Phase& next = phases[static_cast<size_t>(nextIndex)];
      keepBullets(next.bullets);
      keepParticleSystems(next.particleSystems);
      const int intoPhase = frame + 1 - phaseStartOf(nextIndex);
      if (next.freshHits && intoPhase % kFramesBetweenHits == 0) {
        requestHit(intoPhase / kFramesBetweenHits);
        hitFrames.push_back(frame + 1);
      }
    }
    if (nextIndex >= 0 || victoryStart >= 0) {
      if (primitivesQuery == 0) glGenQueries(1, &primitivesQuery);
      glBeginQuery(GL_PRIMITIVES_GENERATED, primitivesQuery);
      queryRunning = true;
    }
    last = Clock::now();
  });

  const char* gameArguments[] = {"morrowgear"};
  const int status = varn::app::runGame(1, gameArguments, platform);
  const Stats empty = emptyFrames(varn::windowWidth, varn::windowHeight, 300);
  phases.push_back(victory);

  std::printf("\nMorrowgear timedemo, %d x %d, %.4f s of game time per frame\n", varn::windowWidth, varn::windowHeight,
              platform.frameSeconds());
  std::printf("renderer: %s\n", renderer.c_str());
  std::printf("time from process start to the first presented frame: %.3f s\n\n", firstFrameSeconds);
  std::printf("| %-34s | %6s | %8s | %8s | %8s | %8s | %10s |\n", "phase", "frames", "median", "p95", "p99", "worst",
              "primitives");
  printRule({36, 8, 10, 10, 10, 10, 12});
  for (const Phase& phase : phases) printRow(phase.name, statsOf(phase.frameMs), phase.trianglesPerFrame);
  printRow("empty frame (clear and swap)", empty, 0.0);
  const Stats route = statsOf(phases[0].frameMs);
  std::printf("\nroute median / empty median: %.1f\n", empty.median > 0 ? route.median / empty.median : 0.0);
  std::printf(
      "frame times in milliseconds; primitives: the most submitted in one frame of the phase;\n"
      "new hit: only the frames on which a hit makes a new burst; victory: every frame from the\n"
      "winning hit to the end of the game\n");
  if (options.timeStages) printStageTable(phases);
  std::printf("game exit status %d, won: %s\n", status, varn::gameWon ? "yes" : "no");

  // For scripts (bench.sh --against): one line per phase, then per stage.
  std::printf("\n");
  for (const Phase& phase : phases) {
    const Stats s = statsOf(phase.frameMs);
    std::printf("summary %s %zu %.3f %.3f %.3f %.3f\n", phase.key.c_str(), s.frames, s.median, s.p95, s.p99, s.worst);
  }
  std::printf("summary empty %zu %.3f %.3f %.3f %.3f\n", empty.frames, empty.median, empty.p95, empty.p99, empty.worst);
  for (const Phase& phase : phases) {
    for (int i = 0; options.timeStages && i < kStages; ++i) {
      std::printf("stage %s %d %.3f %.3f\n", phase.key.c_str(), i, medianOf(phase.stageWallMs[i]),
                  medianOf(phase.stageGpuMs[i]));
    }
  }
  if (status == 0 && !varn::gameWon) fail("the route did not win the game");
  return status;
}
