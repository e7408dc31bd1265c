// Loading, compiling and linking the game's GLSL programs. Any failure ends the
// game: the message (and the driver's log) on standard error, the pause, status 1.
#include "render/Shader.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "app/Console.h"
#include "assets/RegularFile.h"

namespace varn::render {

namespace {

[[noreturn]] void failWith(const std::string& message) {
  app::printError(message);
  app::pauseAndExit();
}

[[noreturn]] void failWithLog(const std::string& message, const std::vector<char>& log) {
  app::printError(message);
  // The log is printed as a C string: an empty log gives an empty line.
  std::cerr << (log.empty() ? "" : log.data()) << std::endl;
  app::pauseAndExit();
}

GLuint createProgramOrFail() {
  const GLuint program = glCreateProgram();
  if (program == 0) failWith("Failed to create shader program");
  return program;
}

}  // namespace

Shader::Shader(const std::string& vertexPath, const std::string& fragmentPath) {
  programHandle = createProgramOrFail();
  loadShader(vertexPath, GL_VERTEX_SHADER, vertexHandle);
  loadShader(fragmentPath, GL_FRAGMENT_SHADER, fragmentHandle);
  hasGeometryStage = false;
  link();
}

Shader::Shader(const std::string& vertexPath, const std::string& geometryPath, const std::string& fragmentPath) {
  programHandle = createProgramOrFail();
  // Loaded vertex, fragment, geometry: with several faulty files the first
  // failure reported follows this order.
  loadShader(vertexPath, GL_VERTEX_SHADER, vertexHandle);
  loadShader(fragmentPath, GL_FRAGMENT_SHADER, fragmentHandle);
  loadShader(geometryPath, GL_GEOMETRY_SHADER, geometryHandle);
  hasGeometryStage = true;
}

Shader::~Shader() {
  glDeleteProgram(programHandle);
  glDeleteShader(vertexHandle);
  glDeleteShader(fragmentHandle);
  glDeleteShader(geometryHandle);
}

void Shader::loadShader(const std::string& path, GLenum type, GLuint& handle) {
  // Only a regular file is a shader source: a FIFO would block start-up, a folder read as empty.
  std::ifstream file;
  if (assets::isRegularFile(path)) file.open(path);
  if (!file.is_open()) failWith("Failed to open shader file:" + path);
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();

  handle = glCreateShader(type);
  if (handle == 0) failWith("Failed to create shader");
  const char* source = text.c_str();
  glShaderSource(handle, 1, &source, nullptr);
  glCompileShader(handle);

  GLint compiled = 0;
  glGetShaderiv(handle, GL_COMPILE_STATUS, &compiled);
  if (compiled != 0 && glIsShader(handle)) return;

  GLint logLength = 0;
  glGetShaderiv(handle, GL_INFO_LOG_LENGTH, &logLength);
  std::vector<char> log(static_cast<size_t>(logLength > 0 ? logLength : 0) + 1, '\0');
  if (logLength > 0) glGetShaderInfoLog(handle, logLength, nullptr, log.data());
  failWithLog("Failed to compile shader", log);
}

void Shader::link() {
  glAttachShader(programHandle, vertexHandle);
  glAttachShader(programHandle, fragmentHandle);
  if (hasGeometryStage) glAttachShader(programHandle, geometryHandle);
  glLinkProgram(programHandle);

  GLint linked = 0;
  glGetProgramiv(programHandle, GL_LINK_STATUS, &linked);
  if (linked != 0) return;

  GLint logLength = 0;
  glGetProgramiv(programHandle, GL_INFO_LOG_LENGTH, &logLength);
  std::vector<char> log(static_cast<size_t>(logLength > 0 ? logLength : 0) + 1, '\0');
  if (logLength > 0) glGetProgramInfoLog(programHandle, logLength, nullptr, log.data());
  failWithLog("Failed to link program", log);
}

namespace {

std::unique_ptr<Shader> twoStage(const std::string& vertexPath, const std::string& fragmentPath) {
  return std::make_unique<Shader>(vertexPath, fragmentPath);
}

std::unique_ptr<Shader> threeStage(const std::string& vertexPath, const std::string& geometryPath,
                                   const std::string& fragmentPath) {
  return std::make_unique<Shader>(vertexPath, geometryPath, fragmentPath);
}

}  // namespace

std::unique_ptr<Shader> makeDepthShader(const std::string& v, const std::string& f) { return twoStage(v, f); }
std::unique_ptr<Shader> makeDebugQuadShader(const std::string& v, const std::string& f) { return twoStage(v, f); }
std::unique_ptr<Shader> makeSimpleShader(const std::string& v, const std::string& f) { return twoStage(v, f); }
std::unique_ptr<Shader> makeTexturedShader(const std::string& v, const std::string& f) { return twoStage(v, f); }
std::unique_ptr<Shader> makeSilhouetteShader(const std::string& v, const std::string& f) { return twoStage(v, f); }
std::unique_ptr<Shader> makeCelShader(const std::string& v, const std::string& f) { return twoStage(v, f); }
std::unique_ptr<Shader> makeTransparentShader(const std::string& v, const std::string& f) { return twoStage(v, f); }

std::unique_ptr<Shader> makeParticleUpdateShader(const std::string& v, const std::string& g, const std::string& f) {
  return threeStage(v, g, f);
}

std::unique_ptr<Shader> makeParticleRenderShader(const std::string& v, const std::string& g, const std::string& f) {
  return threeStage(v, g, f);
}

}  // namespace varn::render
