// Broken and hostile asset files, loaded the way the game loads them: each one loads, or
// falls back (the placeholder texture, an empty model, the system cursor) with its message.
// None may crash, hang or leave a GL error. Runs in the sanitizer build too.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "GlTest.h"
#include "TempDir.h"
#include "assets/Model.h"
#include "audio/Audio.h"
#include "audio/SoundFile.h"
#include "assets/Texture.h"
#include "render/RenderSetup.h"
#include "render/Shader.h"

namespace varn::test {
namespace {

// ---- Writing images in memory

void appendBytes(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

enum class Format { Png, Bmp, Tga, TgaRle, Hdr };

// A width x height gradient, as RGB bytes and encoded by stb in the given format.
std::vector<unsigned char> gradient(int width, int height) {
  std::vector<unsigned char> rgb;
  for (int i = 0; i < width * height * 3; ++i) rgb.push_back(static_cast<unsigned char>(i * 37));
  return rgb;
}

std::string encoded(Format format, int width, int height) {
  const std::vector<unsigned char> rgb = gradient(width, height);
  std::vector<float> hdr(rgb.begin(), rgb.end());
  std::string out;
  stbi_write_tga_with_rle = format == Format::TgaRle ? 1 : 0;
  if (format == Format::Png) stbi_write_png_to_func(appendBytes, &out, width, height, 3, rgb.data(), width * 3);
  if (format == Format::Bmp) stbi_write_bmp_to_func(appendBytes, &out, width, height, 3, rgb.data());
  if (format == Format::Tga || format == Format::TgaRle)
    stbi_write_tga_to_func(appendBytes, &out, width, height, 3, rgb.data());
  if (format == Format::Hdr) stbi_write_hdr_to_func(appendBytes, &out, width, height, 3, hdr.data());
  return out;
}

// Writes value into size bytes at `at`, least significant byte first unless bigEndian.
std::string& put(std::string& bytes, size_t at, uint32_t value, int size, bool bigEndian = false) {
  for (int i = 0; i < size; ++i) {
    const int shift = 8 * (bigEndian ? size - 1 - i : i);
    bytes[at + static_cast<size_t>(i)] = static_cast<char>((value >> shift) & 0xFF);
  }
  return bytes;
}

// An uncompressed 32-bit DDS (the layout SOIL reads without block decompression): after the
// magic, the header's 31 words: its size, flags (caps, height, width, pixel format), height,
// width, pitch; at word 18 the pixel format: its size, RGB with alpha, 32 bits, four masks; caps.
std::string ddsImage(int width, int height) {
  const uint32_t w = uint32_t(width), h = uint32_t(height);
  const uint32_t header[31] = {124, 0x1007, h, w,  w * 4,      0,          0,          0,          0,
                               0,   0,      0, 0,  0,          0,          0,          0,          0,
                               32,  0x41,   0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, 0x1000};
  std::string bytes = "DDS " + std::string(124, '\0');
  for (size_t i = 0; i < 31; ++i) put(bytes, 4 + 4 * i, header[i], 4);
  return bytes + std::string(static_cast<size_t>(width * height * 4), '\x7f');
}

// A TGA header (type 2, 24 bits) that claims width x height, followed by a few pixels only.
std::string tgaHeaderClaiming(uint32_t width, uint32_t height) {
  std::string bytes(18, '\0');
  bytes[2] = 2;
  bytes[16] = 24;
  return put(put(bytes, 12, width, 2), 14, height, 2) + std::string(30, '\x55');
}

// An 8 x 8 baseline JPEG kept under tests/ (stb's JPEG writer trips the sanitizer build).
std::string jpegImage() { return readFile(std::string(MORROWGEAR_SOURCE_DIR) + "/tests/corpus/gradient-8x8.jpg"); }

// The JPEG with metadata segments (APP1, as an EXIF block uses) of the given total size in
// front of its frame header.
std::string jpegWithMetadata(size_t bytes) {
  std::string metadata;
  while (metadata.size() < bytes) {
    const size_t payload = std::min<size_t>(60000, bytes - metadata.size());
    metadata += std::string("\xFF\xE1") + char((payload + 2) >> 8) + char((payload + 2) & 0xFF);
    metadata += std::string(payload, 'x');
  }
  return jpegImage().insert(2, metadata);
}

// Real files whose size fields are patched: a JPEG's frame header, a BMP's and a PNG's.
std::string jpegClaiming(uint16_t width, uint16_t height) {
  std::string bytes = jpegImage();
  const size_t frame = bytes.find("\xFF\xC0");
  return put(put(bytes, frame + 5, height, 2, true), frame + 7, width, 2, true);
}

std::string bmpClaiming(uint32_t width, uint32_t height) {
  std::string bytes = encoded(Format::Bmp, 4, 4);
  return put(put(bytes, 18, width, 4), 22, height, 4);
}
std::string pngClaiming(uint32_t width, uint32_t height) {
  std::string bytes = encoded(Format::Png, 4, 4);
  return put(put(bytes, 16, width, 4, true), 20, height, 4, true);
}

// Text that matches no image format (its second byte rules out a TGA).
const std::string kGarbage = "GARBAGE\x01\x02\x03 not an image at all, just noise \xff\xfe\x00\x10 and more";

const std::vector<unsigned char> kPlaceholder = {255, 0, 255};  // one magenta texel

class BadAssets : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    alarm(60);  // a loader that blocks (a FIFO opened for reading) ends the test run loudly instead
  }
  void TearDown() override {
    alarm(0);
    GlTest::TearDown();
  }
  std::string fifo(const std::string& name) const { return made(name, mkfifo, 0600); }
  std::string folder(const std::string& name) const { return made(name, mkdir, 0700); }
  std::string made(const std::string& name, int (*make)(const char*, mode_t), mode_t mode) const {
    const std::string path = (dir.path() / name).string();
    EXPECT_EQ(make(path.c_str(), mode), 0) << path;
    return path;
  }
  TempDir dir;
};

// ---- Textures

TEST_F(BadAssets, EveryImageDecodesToItsSizeOrBecomesThePlaceholderAsDoesANameThatIsNoRegularFile) {
  GLint maxSide = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
  enum class Expect { Decodes, Placeholder, Either };
  struct Case {
    std::string name;
    std::string bytes;
    Expect expect;
    int width = 0, height = 0;
  };
  const std::string png = encoded(Format::Png, 5, 3);
  const std::string jpeg = jpegImage();
  ASSERT_FALSE(jpeg.empty());
  const std::string hdr = encoded(Format::Hdr, 3, 2);
  std::vector<Case> cases = {
      // Valid files in every format SOIL decodes; the decoder is picked from the content.
      {"plain.png", png, Expect::Decodes, 5, 3},
      {"tga-named.png", encoded(Format::Tga, 4, 2), Expect::Decodes, 4, 2},
      {"rle.tga", encoded(Format::TgaRle, 6, 5), Expect::Decodes, 6, 5},
      {"image.bmp", encoded(Format::Bmp, 7, 3), Expect::Decodes, 7, 3},
      {"image.jpg", jpeg, Expect::Decodes, 8, 8},
      {"exif-beyond-256-kib.jpg", jpegWithMetadata(300 * 1024), Expect::Decodes, 8, 8},
      {"image.hdr", hdr, Expect::Decodes, 3, 2},
      {"image.dds", ddsImage(4, 2), Expect::Decodes, 4, 2},
      // The largest image the GPU takes, and one pixel more.
      {"widest.png", encoded(Format::Png, maxSide, 1), Expect::Decodes, maxSide, 1},
      {"too-wide.png", encoded(Format::Png, maxSide + 1, 1), Expect::Placeholder},
      // Headers that claim more than the GPU takes, or nothing at all.
      {"huge.tga", tgaHeaderClaiming(40000, 40000), Expect::Placeholder},
      {"largest.tga", tgaHeaderClaiming(65535, 65535), Expect::Placeholder},
      {"huge.jpg", jpegClaiming(65535, 65535), Expect::Placeholder},
      {"huge.bmp", bmpClaiming(100000, 100000), Expect::Placeholder},
      {"huge.png", pngClaiming(0x7fffffff, 0x7fffffff), Expect::Placeholder},
      {"zero-wide.png", pngClaiming(0, 4), Expect::Placeholder},
      {"huge.dds", ddsImage(4, 2).replace(16, 4, "\xff\xff\xff\x7f"), Expect::Placeholder},
      {"empty.png", "", Expect::Placeholder},
      {"garbage.png", kGarbage, Expect::Placeholder},
      // Cut short: SOIL may give up or fill in the rest; either way a complete texture.
      {"cut.png", png.substr(0, png.size() / 2), Expect::Either},
      {"cut-header.png", png.substr(0, 20), Expect::Placeholder},
      {"cut.jpg", jpeg.substr(0, jpeg.size() / 2), Expect::Either},
      {"cut.hdr", hdr.substr(0, hdr.size() - 5), Expect::Either},
      {"cut.dds", ddsImage(4, 2).substr(0, 140), Expect::Either},
      {"cut.bmp", encoded(Format::Bmp, 7, 3).substr(0, 40), Expect::Either},
      {"header-only.tga", tgaHeaderClaiming(64, 64).substr(0, 18), Expect::Either},
  };
  for (const Case& c : cases) dir.write("model/" + c.name, c.bytes);
  // Names that are not regular files count as missing; a folder shared by models stays reachable.
  fifo("model/pipe.png");
  folder("model/folder.png");
  dir.write("shared/brick.png", encoded(Format::Png, 2, 2));
  cases.insert(cases.end(), {{"pipe.png", "", Expect::Placeholder},
                             {"folder.png", "", Expect::Placeholder},
                             {"missing.png", "", Expect::Placeholder},
                             {"../shared/brick.png", "", Expect::Decodes, 2, 2}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GLuint id = assets::textureFromFile(c.name.c_str(), (dir.path() / "model").string());
    int width = 0, height = 0;
    const std::vector<unsigned char> texels = readTexture(id, width, height);
    const bool placeholder = texels == kPlaceholder;
    if (c.name == "plain.png") {
      EXPECT_EQ(texels, gradient(5, 3)) << "rows of 15 bytes, not a multiple of 4, unsheared";
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    if (c.expect == Expect::Decodes) {
      EXPECT_EQ(glm::ivec2(width, height), glm::ivec2(c.width, c.height));
    } else {
      EXPECT_TRUE(placeholder || (c.expect == Expect::Either && width > 0 && height > 0)) << width << " x " << height;
    }
    glDeleteTextures(1, &id);
  }
}

// ---- The cursor image

TEST_F(BadAssets, ABadCursorImageKeepsTheSystemCursorWithItsMessage) {
  const std::vector<std::pair<std::string, bool>> cursors = {
      {dir.write("ok.png", encoded(Format::Png, 16, 16)), true},
      {dir.write("tga-named.png", encoded(Format::Tga, 16, 16)), true},
      {dir.write("huge.tga", tgaHeaderClaiming(40000, 40000)), false},
      {dir.write("empty.png", ""), false},
      {dir.write("garbage.png", kGarbage), false},
      {fifo("pipe.png"), false},
      {folder("folder.png"), false},
  };
  for (const auto& [path, loads] : cursors) {
    SCOPED_TRACE(path);
    testing::internal::CaptureStdout();
    EXPECT_EQ(render::loadCustomCursor(sharedGlWindow(), path.c_str()), loads);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, loads ? "" : "ERROR: could not load custom cursor\n");
  }
  glfwSetCursor(sharedGlWindow(), nullptr);
}

// ---- Models

TEST_F(BadAssets, EveryModelLoadsOrIsEmptyWithAssimpsMessageAndDrawsWithoutAGlError) {
  fifo("pipe.png");
  fifo("pipe.mtl");
  fifo("pipe.obj");
  folder("folder.obj");
  dir.write("headless.mtl", readFile(std::string(MORROWGEAR_SOURCE_DIR) + "/tests/corpus/regressions/material-before-newmtl.mtl"));
  dir.write("textures.mtl", "newmtl a\nmap_Kd pipe.png\nnewmtl b\nmap_Kd missing.png\nnewmtl c\nmap_Kd .\n");
  const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
  struct Case {
    std::string name;
    std::string contents;  // unused for the special files made above
    bool mustLoad;
  };
  const std::vector<Case> cases = {
      {"empty.obj", "", false},
      {"garbage.obj", kGarbage, false},
      {"cut.obj", "v 0 0 0\nv 1 0 0\nv 0 1\nf 1 2", false},
      {"not-finite.obj", "v nan nan nan\nv inf 0 0\nv 0 -inf 1e39\nf 1 2 3\n", true},
      {"lines-and-points.obj", triangle + "l 1 2\np 3\nf 1 2 3\nl 2 3 1\n", true},
      {"out-of-range.obj", triangle + "f 1 2 3\nf 1 2 9\n", false},
      // Indices Assimp resolves: a face before the vertices it names, counted from the end.
      {"forward.obj", "f 1 2 3\n" + triangle, true},
      {"from-the-end.obj", triangle + "f -3 -2 -1\nf 1/1/1 2/-1/1 -1//-1\n", true},
      // A NUL ends a line for Assimp as a line feed does, so the position after it counts.
      {"position-after-a-nul.obj", triangle + std::string("x\0v 0 0 1\n", 11) + "f 2 3 4\n", true},
      {"textures.obj", "mtllib textures.mtl\n" + triangle + "usemtl a\nf 1 2 3\nusemtl b\nf 3 2 1\nusemtl c\nf 1 3 2\n",
       true},
      {"pipe-library.obj", "mtllib pipe.mtl\n" + triangle + "f 1 2 3\n", true},
      // A fuzzed library: a statement before any newmtl crashed Assimp's material reader.
      {"headless-library.obj", "mtllib headless.mtl\n" + triangle + "f 1 2 3\n", true},
      {"pipe.obj", "", false},
      {"folder.obj", "", false},
      {"missing.obj", "", false},
  };
  const auto program = render::makeTexturedShader("Shader/blinn_phong_tex.vert", "Shader/blinn_phong_tex.frag");
  glUseProgram(program->programHandle);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (dir.path() / c.name).string();
    if (!c.contents.empty() || c.name == "empty.obj") dir.write(c.name, c.contents);
    testing::internal::CaptureStdout();
    const assets::Model model(path.c_str(), program.get());
    const std::string out = testing::internal::GetCapturedStdout();
    // Assimp refuses some of these and accepts others with what it could read; either
    // way the game is told, and what loaded has only vertices its faces can reach.
    if (c.mustLoad) {
      EXPECT_FALSE(model.meshes.empty()) << out;
    }
    if (model.getPath().empty()) {
      EXPECT_EQ(out.rfind("ERROR::ASSIMP::", 0), 0u) << out;
      EXPECT_TRUE(model.meshes.empty());
    }
    for (const assets::Mesh& mesh : model.meshes) {
      for (GLuint index : mesh.indices) EXPECT_LT(index, mesh.vertices.size());
    }
    model.draw(1, 2);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  glUseProgram(0);
}

// Models and material libraries that once crashed Assimp or made it leak (the sanitizer build
// fails on the leak): each model is refused with Assimp's message, and each library, named by
// a model with a material of that name, leaves the model loaded but without its textures.
TEST_F(BadAssets, EveryModelAndLibraryThatOnceBrokeAssimpIsRefusedOrLoadsWithoutItsMaterials) {
  const std::filesystem::path corpus = std::string(MORROWGEAR_SOURCE_DIR) + "/tests/corpus";
  const auto program = render::makeTexturedShader("Shader/blinn_phong_tex.vert", "Shader/blinn_phong_tex.frag");
  int models = 0, libraries = 0;
  for (const std::string& file : filesBelow(corpus, {"regressions"})) {
    const std::filesystem::path source = corpus / file;
    const std::string extension = source.extension().string();
    if (extension != ".obj" && extension != ".mtl") continue;
    SCOPED_TRACE(file);
    std::string path = source.string();
    if (extension == ".mtl") {
      dir.write(source.filename().string(), readFile(source));
      path = dir.write("model.obj", "mtllib " + source.filename().string() +
                                        "\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl button\nf 1 2 3\n");
    }
    testing::internal::CaptureStdout();
    const assets::Model model(path.c_str(), program.get());
    const std::string out = testing::internal::GetCapturedStdout();
    if (extension == ".obj") {
      ++models;
      EXPECT_TRUE(model.meshes.empty());
      EXPECT_EQ(out.rfind("ERROR::ASSIMP::", 0), 0u) << out;
    } else {
      ++libraries;
      ASSERT_EQ(model.meshes.size(), 1u) << out;
      EXPECT_TRUE(model.meshes[0].textures.empty());
    }
  }
  EXPECT_GT(models, 0);
  EXPECT_GT(libraries, 0);
}

// Images that once crashed or hung a decoder, kept so that they never do again: each is a
// broken file and must become the placeholder texture, at once and without a GL error. (The
// corpus's material libraries are read by the model test above.)
TEST_F(BadAssets, EveryImageThatOnceBrokeADecoderBecomesThePlaceholder) {
  const std::filesystem::path corpus = std::string(MORROWGEAR_SOURCE_DIR) + "/tests/corpus";
  const std::vector<std::string> files = filesBelow(corpus, {"regressions"});
  ASSERT_FALSE(files.empty()) << corpus;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const std::filesystem::path path = corpus / file;
    if (path.extension() == ".mtl") continue;
    const GLuint id = assets::textureFromFile(path.filename().c_str(), path.parent_path().string());
    int width = 0, height = 0;
    EXPECT_EQ(readTexture(id, width, height), kPlaceholder);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &id);
  }
}

// ---- Sounds

// A canonical 16-bit mono WAV header claiming `frames` samples at 48 kHz.
std::string wavHeaderClaiming(uint32_t frames) {
  std::string bytes = "RIFF" + std::string(4, '\0') + "WAVEfmt " + std::string(20, '\0') + "data" + std::string(4, '\0');
  put(bytes, 4, 36 + frames * 2, 4);
  put(put(put(put(bytes, 16, 16, 4), 20, 1, 2), 22, 1, 2), 24, 48000, 4);
  put(put(put(bytes, 28, 96000, 4), 32, 2, 2), 34, 16, 2);
  return put(bytes, 40, frames * 2, 4);
}

TEST_F(BadAssets, ABadSoundFileLeavesThatSoundSilentWithOneLineNamingIt) {
  audio::start(audio::Output{true, 48000});
  if (!audio::running()) GTEST_SKIP() << "OpenAL Soft's loopback device is not available";
  const std::string good = wavHeaderClaiming(480) + std::string(960, '\x10');
  const std::vector<std::pair<std::string, bool>> sounds = {
      {dir.write("ok.wav", good), true},
      {dir.write("truncated.wav", good.substr(0, 30)), false},
      {dir.write("empty.wav", ""), false},
      {dir.write("garbage.wav", kGarbage), false},
      {dir.write("huge.wav", wavHeaderClaiming(0x7FFFFFF0u) + std::string(64, '\x10')), true},
      {fifo("pipe.wav"), false},
      {folder("folder.wav"), false},
      {(dir.path() / "missing.wav").string(), false},
  };
  for (const auto& [path, loads] : sounds) {
    SCOPED_TRACE(path);
    testing::internal::CaptureStderr();
    ALuint buffer = audio::loadSoundFile(path);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(buffer != 0, loads);
    if (loads) {
      EXPECT_EQ(err, "");
    } else {
      EXPECT_EQ(err.rfind("ERROR: could not load sound " + path + ": ", 0), 0u) << err;
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    if (buffer != 0) alDeleteBuffers(1, &buffer);
  }
  audio::stop();
}

}  // namespace
}  // namespace varn::test
