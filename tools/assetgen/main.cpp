// assetgen: writes every model, texture, image and sound of Morrowgear under an output root.
// Usage: assetgen <outputRoot>   (the repository root to refresh the committed assets)
// The output depends on nothing but this program, so running it twice gives identical bytes.
#include <cstdio>
#include <filesystem>
#include <string>

#include "Icon.h"
#include "Level.h"
#include "Robots.h"
#include "Sounds.h"
#include "Textures.h"

namespace {

bool writeModel(const assetgen::ObjModel& model, const std::string& directory, const std::string& baseName) {
  const bool written = model.write(directory, baseName);
  std::printf("%s/%s.obj: %zu objects, %zu triangles\n", directory.c_str(), baseName.c_str(), model.objects.size(),
              model.triangleCount());
  return written;
}

bool writeImage(const assetgen::Image& image, const std::string& path, int channels) {
  const bool written = image.writePng(path, channels);
  std::printf("%s: %d x %d\n", path.c_str(), image.width, image.height);
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: assetgen <outputRoot>\n");
    return 2;
  }
  const std::string root = argv[1];
  const std::string map = root + "/Models/map";
  const std::string robot = root + "/Models/robot";
  const std::string character = root + "/Models/character";
  const std::string bullet = root + "/Models/bullet";
  const std::string images = root + "/Images";
  const std::string sounds = root + "/Sounds";
  for (const std::string& directory : {map, robot, character, bullet, images, sounds}) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
      std::fprintf(stderr, "assetgen: cannot create %s: %s\n", directory.c_str(), error.message().c_str());
      return 1;
    }
  }

  using namespace assetgen;
  bool ok = true;
  ok &= writeModel(buildLevel(), map, "map_bricks");
  ok &= writeImage(paintBricks(), map + "/bricks.png", 3);
  ok &= writeImage(paintFloorPlates(), map + "/floor_plates.png", 3);
  ok &= writeImage(paintHazardStripes(), map + "/hazard_stripes.png", 3);
  ok &= writeImage(paintCoping(), map + "/coping.png", 3);
  ok &= writeImage(paintSteps(), map + "/steps.png", 3);
  ok &= writeImage(paintCrate(), map + "/crate.png", 3);
  ok &= writeImage(paintMachine(), map + "/machine.png", 3);
  ok &= writeModel(buildButton(), map, "destructionbutton");
  ok &= writeImage(paintButtonPalette(), map + "/button_palette.png", 3);

  ok &= writeModel(buildEnemyBody(), robot, "robot_cel_without_saw");
  ok &= writeModel(buildEnemySaw(), robot, "robot_saw");
  ok &= writeImage(paintEnemyPalette(), robot + "/enemy_palette.png", 3);

  ok &= writeModel(buildKelbo(), character, "kelbo_big");
  ok &= writeImage(paintKelboPalette(), character + "/kelbo_palette.png", 3);

  ok &= writeModel(buildBullet(), bullet, "bullet");
  ok &= writeImage(paintBulletPalette(), bullet + "/bullet_palette.png", 3);

  ok &= writeImage(paintCursor(), images + "/cursor.png", 4);
  ok &= writeImage(paintIcon(256), images + "/morrowgear.png", 4);
  // Smaller menu icons, for menus and panels that would otherwise scale the large one down.
  for (const int size : {48, 128})
    ok &= writeImage(paintIcon(size), images + "/morrowgear-" + std::to_string(size) + ".png", 4);
  for (const SoundClip& clip : synthesiseSounds()) {
    const std::string path = sounds + "/" + clip.name + ".wav";
    ok &= writeWav(clip, path);
    std::printf("%s: %zu samples\n", path.c_str(), clip.samples.size());
  }
  if (!ok) {
    std::fprintf(stderr, "assetgen: could not write every file under %s\n", root.c_str());
    return 1;
  }
  return 0;
}
