// A fresh directory under /tmp for one test, removed again when the test ends, and reading files back.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace varn::test {

// A whole file's bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);
// Every regular file below root/folder for each folder, as sorted paths relative to root.
std::vector<std::string> filesBelow(const std::filesystem::path& root, const std::vector<std::string>& folders);

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
