// Timedemo: replays the win route through the whole level at 1/60 s of game time per
// frame and measures each frame on the wall clock (glFinish before every timestamp),
// then the same with bullets, particle bursts and fresh hits added, then the victory
// after the winning shot, and an empty frame (clear and swap in the game's window) for scale.
//
//   timedemo                 frame times per phase, then "summary" lines for scripts
//   timedemo --passes        the same run with every pass of the frame timed on its own
//   timedemo --shots DIR     the same run, writing every 40th frame to DIR as PNG
//   timedemo --sound         the same run with the game's sound mixed on OpenAL Soft's
//                            loopback device, one frame's samples per frame
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
#include "render/Shader.h"

#if __has_include("render/FrameStageHook.h")
#include "render/FrameStageHook.h"
#define TIMEDEMO_HAS_STAGE_HOOK 1
#else
#define TIMEDEMO_HAS_STAGE_HOOK 0
#endif
#if __has_include("audio/Audio.h")
#define TIMEDEMO_HAS_SOUND 1
#else
#define TIMEDEMO_HAS_SOUND 0
#endif

namespace {

using Clock = std::chrono::steady_clock;
using varn::app::ScriptedPlatform;

constexpr int kWarmUpFrames = 30;
constexpr int kLoadPhaseFrames = 120;
constexpr int kFramesBetweenHits = 6;  // in the new-hit phase: a fresh burst ten times a second
constexpr int kShotEvery = 40;
constexpr int kEmptyFrames = 300;         // frames between two pictures of --shots

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

// Each frame's loopback mix time, from a platform that records it (an older tree's does not).
template <typename P>
auto mixTimesOf(const P& platform, int) -> decltype(platform.mixMilliseconds()) {
  return platform.mixMilliseconds();
}
template <typename P>
std::vector<double> mixTimesOf(const P&, long) {
  return {};
}

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
  bool constantColour = false;  // the bursts drawn by the floor program (see floorProgram)
  std::vector<double> frameMs;
  double trianglesPerFrame = 0.0;
  std::array<std::vector<double>, kStages> stageWallMs;
  std::array<std::vector<double>, kStages> stageGpuMs;
};

Phase loadPhase(const char* key, const char* name, int bullets, int particleSystems, bool freshHits = false,
                bool constantColour = false) {
  Phase phase;
  phase.constantColour = constantColour;
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

// The floor of a burst's drawing: the game's own particle vertex and geometry stages, so the
// same shapes reach the rasteriser, with the cheapest fragment stage there is (a constant
// colour, no discard). ParticleSystem::render keeps its blending and depth state.
const char* const kFloorFragmentSource =
    "#version 430 core\n"
    "out vec4 fragColor;\n"
    "void main() { fragColor = vec4(0.6, 0.3, 0.1, 0.5); }\n";
std::shared_ptr<varn::render::Shader> floorProgram;

void useFloorProgram(varn::assets::ParticleSystem& system) {
  if (!floorProgram) {
    const std::string path = "/tmp/timedemo-floor-" + std::to_string(getpid()) + ".frag";
    std::ofstream(path) << kFloorFragmentSource;
    floorProgram = varn::render::makeParticleRenderShader("Shader/particleRender.vert", "Shader/particleRender.geom", path);
    floorProgram->link();
    std::remove(path.c_str());
  }
  if (system.renderProgram == floorProgram) return;
  system.renderProgram = floorProgram;
  const char* const names[] = {"matrices.mProj", "matrices.mView", "vQuad1", "vQuad2"};
  for (int i = 0; i < 4; ++i) system.renderLocations[i] = glGetUniformLocation(floorProgram->programHandle, names[i]);
}

// A hit as the game rules report one: the next frame's draw makes the burst. Level and
// enemy hits alternate, the kinds that happen during play.
void requestHit(int number) {
  varn::explosionPending = true;
  varn::explosionKind = number % 2;
  // On the camera's side: ahead of the robot on the firing step is the back wall.
  varn::explosionPosition = glm::vec3(varn::character.modelMatrix[3]) + glm::vec3(0.0f, 1.0f, 2.0f);
}

// ---- Failing, GLFW errors and the empty frame (in the game's own window).

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "timedemo: %s\n", message.c_str());
  std::exit(1);
}

void printGlfwError(int code, const char* description) {
  std::fprintf(stderr, "GLFW error %d %s\n", code, description != nullptr ? description : "(no description)");
}

// Clear and swap in the game's own window and context, between two of its frames: a
// second GLFW session would need the X server again, and one that resets when its last
// client leaves (plain xvfb-run) may refuse it.
Stats emptyFrames(int count) {
  GLFWwindow* window = glfwGetCurrentContext();
  if (window == nullptr) fail("no current window for the empty frame");
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

// The particle step of one burst against the same burst drawn at the floor (both medians
// of the stage's wall time; the simulation step is in both).
void printFloorRatio(const std::vector<Phase>& phases) {
  double step = 0.0, floor = 0.0;
  for (const Phase& phase : phases) {
    const double particles = medianOf(phase.stageWallMs[kStages - 1]);
    if (phase.key == "particles1") step = particles;
    if (phase.key == "floor1") floor = particles;
  }
  std::printf("\nparticle step of 1 particle system / its constant-colour floor: %.2f (%.2f / %.2f ms)\n",
              floor > 0.0 ? step / floor : 0.0, step, floor);
}

struct Options {
  bool timeStages = false;
  bool sound = false;
  std::string shotsDirectory;
};

Options parseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--passes") == 0) {
      options.timeStages = true;
    } else if (std::strcmp(argv[i], "--sound") == 0) {
      options.sound = true;
    } else if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc) {
      options.shotsDirectory = argv[++i];
    } else {
      std::fprintf(stderr, "usage: timedemo [--passes] [--sound] [--shots DIR]\n");
      std::exit(2);
    }
  }
#if !TIMEDEMO_HAS_STAGE_HOOK
  if (options.timeStages) fail("--passes: this version of the game has no frame-stage hook");
#endif
#if !TIMEDEMO_HAS_SOUND
  if (options.sound) fail("--sound: this version of the game has no sound");
#endif
  return options;
}

// ---- Schedule: the route to the button room, one phase per load, then the winning shot.

struct Schedule {
  std::vector<Phase> phases;
  Phase victory;
  int routeFrames = 0;
  int loadPhases = 0;

  // The load phase a frame belongs to (the route is phase 0), or -1 after the last.
  int phaseIndexOf(int frame) const {
    if (frame < routeFrames) return 0;
    const int index = 1 + (frame - routeFrames) / kLoadPhaseFrames;
    return index <= loadPhases ? index : -1;
  }
  int phaseStartOf(int index) const { return index == 0 ? 0 : routeFrames + (index - 1) * kLoadPhaseFrames; }
};

Schedule scheduleRun(ScriptedPlatform& platform) {
  Schedule schedule;
  varn::test::appendRouteToButtonRoom(platform);
  schedule.phases = {
      loadPhase("route", "route through the level", 0, 0),   loadPhase("idle", "button room, idle", 0, 0),
      loadPhase("bullets10", "10 bullets in flight", 10, 0), loadPhase("bullets100", "100 bullets in flight", 100, 0),
      loadPhase("particles1", "1 particle system", 0, 1),
      loadPhase("floor1", "1 particle system, constant colour", 0, 1, false, true),
      loadPhase("particles20", "20 particle systems", 0, 20),
      loadPhase("newhit", "frame of a new hit", 0, 0, true)};
  schedule.victory = loadPhase("victory", "victory (after the winning shot)", 0, 0);
  schedule.routeFrames = platform.scriptLength();
  schedule.loadPhases = static_cast<int>(schedule.phases.size()) - 1;
  platform.idle(kLoadPhaseFrames * schedule.loadPhases);
  varn::test::appendShotAtButton(platform);
  // Longer than the end countdown of a win: the game ends this run on its own.
  platform.idle(300);
  return schedule;
}

// ---- Recorder: called after every drawn frame, it times the frame into its phase and
// sets up the load of the next one.

class Recorder {
 public:
  Recorder(Schedule& schedule, const Options& options) : schedule_(schedule), options_(options) {}

  void onFrameDrawn(int frame) {
    glFinish();
    const auto now = Clock::now();
    if (firstFrameSeconds < 0.0) {
      firstFrameSeconds = secondsSinceProcessStart();
      renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    }
    if (victoryStart_ < 0 && varn::gameWon) victoryStart_ = frame;
    const int index = schedule_.phaseIndexOf(frame);
    Phase* phase = phaseAt(index);
    takePrimitiveCount(phase);
    if (counts(phase, index, frame)) record(*phase, millisecondsBetween(last_, now));
    stageTimes.ran.fill(false);
    if (!options_.shotsDirectory.empty() && frame % kShotEvery == 0) saveShot(frame);
    // The empty frames after the first frame (a warm-up frame, never counted) is read.
    if (frame == 0) empty = emptyFrames(kEmptyFrames);
    prepareNextFrame(frame, index);
    last_ = Clock::now();
  }

  double firstFrameSeconds = -1.0;
  std::string renderer;
  Stats empty;

 private:
  Phase* phaseAt(int index) {
    if (index >= 0) return &schedule_.phases[static_cast<size_t>(index)];
    return victoryStart_ >= 0 ? &schedule_.victory : nullptr;
  }

  void takePrimitiveCount(Phase* phase) {
    if (!queryRunning_) return;
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLint primitives = 0;
    glGetQueryObjectiv(primitivesQuery_, GL_QUERY_RESULT, &primitives);
    if (phase != nullptr) phase->trianglesPerFrame = std::max(phase->trianglesPerFrame, double(primitives));
    queryRunning_ = false;
  }

  // The victory counts from the frame of the winning hit on; load phases skip their warm-up,
  // and the new-hit phase counts only the frames that made a burst.
  bool counts(const Phase* phase, int index, int frame) const {
    if (phase == &schedule_.victory) return true;
    if (phase == nullptr || frame - schedule_.phaseStartOf(index) < kWarmUpFrames) return false;
    return !phase->freshHits || std::find(hitFrames_.begin(), hitFrames_.end(), frame) != hitFrames_.end();
  }

  void record(Phase& phase, double frameMs) const {
    phase.frameMs.push_back(frameMs);
    for (int i = 0; options_.timeStages && i < kStages; ++i) {
      if (!stageTimes.ran[i]) continue;
      GLuint64 nanoseconds = 0;
      glGetQueryObjectui64v(stageTimes.queries[i], GL_QUERY_RESULT, &nanoseconds);
      phase.stageWallMs[i].push_back(stageTimes.wallMs[i]);
      phase.stageGpuMs[i].push_back(static_cast<double>(nanoseconds) / 1.0e6);
    }
  }

  void saveShot(int frame) const {
    char name[32];
    std::snprintf(name, sizeof(name), "/frame%05d.png", frame);
    if (!varn::test::saveScreenshot(options_.shotsDirectory + name, varn::windowWidth, varn::windowHeight)) {
      fail("could not write " + options_.shotsDirectory + name);
    }
  }

  // Each phase starts from an empty room, so what one phase leaves behind never weighs on
  // the next; what the next frame submits is counted.
  void prepareNextFrame(int frame, int index) {
    const int nextIndex = schedule_.phaseIndexOf(frame + 1);
    if (nextIndex != index) {
      varn::bullets.clear();
      varn::render::particleSystems.clear();
      floorProgram.reset();  // built again if the next phase wants it; gone before shutdown
    }
    if (nextIndex >= 0) loadPhaseInto(schedule_.phases[static_cast<size_t>(nextIndex)], frame + 1, nextIndex);
    if (nextIndex >= 0 || victoryStart_ >= 0) {
      if (primitivesQuery_ == 0) glGenQueries(1, &primitivesQuery_);
      glBeginQuery(GL_PRIMITIVES_GENERATED, primitivesQuery_);
      queryRunning_ = true;
    }
  }

  void loadPhaseInto(const Phase& next, int nextFrame, int nextIndex) {
    keepBullets(next.bullets);
    keepParticleSystems(next.particleSystems);
    for (auto& system : varn::render::particleSystems) {
      if (next.constantColour) useFloorProgram(*system);
    }
    const int intoPhase = nextFrame - schedule_.phaseStartOf(nextIndex);
    if (next.freshHits && intoPhase % kFramesBetweenHits == 0) {
      requestHit(intoPhase / kFramesBetweenHits);
      hitFrames_.push_back(nextFrame);
    }
  }

  Schedule& schedule_;
  const Options& options_;
  GLuint primitivesQuery_ = 0;
  bool queryRunning_ = false;
  int victoryStart_ = -1;
  std::vector<int> hitFrames_;
  Clock::time_point last_ = Clock::now();
};

// ---- Report: the tables for a reader, then one line per phase and stage for scripts.

void printFrameTable(const std::vector<Phase>& phases, const Recorder& recorder, const Options& options,
                     double frameSeconds, const Stats& mix) {
  std::printf("\nMorrowgear timedemo, %d x %d, %.4f s of game time per frame\n", varn::windowWidth, varn::windowHeight,
              frameSeconds);
  std::printf("renderer: %s\n", recorder.renderer.c_str());
  std::printf("sound: %s\n", options.sound ? "mixed on the loopback device" : "the system's device, if any");
  std::printf("time from process start to the first presented frame: %.3f s\n\n", recorder.firstFrameSeconds);
  std::printf("| %-34s | %6s | %8s | %8s | %8s | %8s | %10s |\n", "phase", "frames", "median", "p95", "p99", "worst",
              "primitives");
  printRule({36, 8, 10, 10, 10, 10, 12});
  for (const Phase& phase : phases) printRow(phase.name, statsOf(phase.frameMs), phase.trianglesPerFrame);
  printRow("empty frame (clear and swap)", recorder.empty, 0.0);
  if (mix.frames > 0) printRow("sound: the loopback mix alone", mix, 0.0);
  const Stats route = statsOf(phases[0].frameMs);
  std::printf("\nroute median / empty median: %.1f\n",
              recorder.empty.median > 0 ? route.median / recorder.empty.median : 0.0);
  std::printf(
      "frame times in milliseconds; primitives: the most submitted in one frame of the phase;\n"
      "new hit: only the frames on which a hit makes a new burst; victory: every frame from the\n"
      "winning hit to the end of the game\n");
}

// For scripts (bench.sh --against): one line per phase, then per stage.
void printSummaryLines(const std::vector<Phase>& phases, const Stats& empty, const Stats& mix,
                       const Options& options) {
  std::printf("\n");
  for (const Phase& phase : phases) {
    const Stats s = statsOf(phase.frameMs);
    std::printf("summary %s %zu %.3f %.3f %.3f %.3f\n", phase.key.c_str(), s.frames, s.median, s.p95, s.p99, s.worst);
  }
  std::printf("summary empty %zu %.3f %.3f %.3f %.3f\n", empty.frames, empty.median, empty.p95, empty.p99, empty.worst);
  if (mix.frames > 0) {
    std::printf("summary soundmix %zu %.3f %.3f %.3f %.3f\n", mix.frames, mix.median, mix.p95, mix.p99, mix.worst);
  }
  for (const Phase& phase : phases) {
    for (int i = 0; options.timeStages && i < kStages; ++i) {
      std::printf("stage %s %d %.3f %.3f\n", phase.key.c_str(), i, medianOf(phase.stageWallMs[i]),
                  medianOf(phase.stageGpuMs[i]));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parseOptions(argc, argv);
  glfwSetErrorCallback(printGlfwError);

  ScriptedPlatform platform;
#if TIMEDEMO_HAS_SOUND
  if (options.sound) platform.mixSound(48000);
#endif
  Schedule schedule = scheduleRun(platform);
#if TIMEDEMO_HAS_STAGE_HOOK
  if (options.timeStages) varn::render::frameStageHook = timeStage;
#endif
  Recorder recorder(schedule, options);
  platform.onFrameDrawn([&recorder](int frame) { recorder.onFrameDrawn(frame); });

  const char* gameArguments[] = {"morrowgear"};
  const int status = varn::app::runGame(1, gameArguments, platform);
  std::vector<Phase> phases = schedule.phases;
  phases.push_back(schedule.victory);

  const Stats mix = statsOf(mixTimesOf(platform, 0));
  printFrameTable(phases, recorder, options, platform.frameSeconds(), mix);
  if (options.timeStages) {
    printStageTable(phases);
    printFloorRatio(phases);
  }
  std::printf("game exit status %d, won: %s\n", status, varn::gameWon ? "yes" : "no");
  printSummaryLines(phases, recorder.empty, mix, options);
  if (status == 0 && !varn::gameWon) fail("the route did not win the game");
  return status;
}
