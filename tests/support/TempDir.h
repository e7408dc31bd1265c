// A fresh directory under /tmp for one test, removed again when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace varn::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes text (or bytes) to a file below the directory, creating folders; returns its path.
  std::string write(const std::string& relativePath, const std::string& contents) const;

 private:
  std::filesystem::path path_;
};

}  // namespace varn::test
