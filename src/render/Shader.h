// One GLSL program built from two or three stages read from files under Shader/.
// Every failure here is fatal: the message goes to standard error, then the
// console pause, then exit status 1.
#pragma once

#include <GL/glew.h>

#include <memory>
#include <string>

namespace varn::render {

struct Shader {
  // Vertex + fragment: compiled and linked on return.
  Shader(const std::string& vertexPath, const std::string& fragmentPath);
  // Vertex + geometry + fragment: compiled only; the caller makes its pre-link
  // settings (transform feedback) on programHandle and then calls link().
  Shader(const std::string& vertexPath, const std::string& geometryPath, const std::string& fragmentPath);
  ~Shader();

  Shader(const Shader&) = delete;
  Shader& operator=(const Shader&) = delete;

  // Attaches the stages and links; the shaders stay attached afterwards.
  void link();

  GLuint programHandle = 0;
  bool hasGeometryStage = false;
  GLuint vertexHandle = 0;
  GLuint fragmentHandle = 0;
  GLuint geometryHandle = 0;  // 0 in a two-stage program

 private:
  void loadShader(const std::string& path, GLenum type, GLuint& handle);
};

// One factory per program of the game, each taking its file names.
std::unique_ptr<Shader> makeDepthShader(const std::string& vertexPath, const std::string& fragmentPath);
std::unique_ptr<Shader> makeDebugQuadShader(const std::string& vertexPath, const std::string& fragmentPath);
std::unique_ptr<Shader> makeSimpleShader(const std::string& vertexPath, const std::string& fragmentPath);
std::unique_ptr<Shader> makeTexturedShader(const std::string& vertexPath, const std::string& fragmentPath);
std::unique_ptr<Shader> makeSilhouetteShader(const std::string& vertexPath, const std::string& fragmentPath);
std::unique_ptr<Shader> makeCelShader(const std::string& vertexPath, const std::string& fragmentPath);
std::unique_ptr<Shader> makeTransparentShader(const std::string& vertexPath, const std::string& fragmentPath);
// Three-stage programs come back unlinked (see the three-stage constructor).
std::unique_ptr<Shader> makeParticleUpdateShader(const std::string& vertexPath, const std::string& geometryPath,
                                                 const std::string& fragmentPath);
std::unique_ptr<Shader> makeParticleRenderShader(const std::string& vertexPath, const std::string& geometryPath,
                                                 const std::string& fragmentPath);

}  // namespace varn::render
