// Temporary directories for tests that write their own asset files.
#include "TempDir.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace varn::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "morrowgear-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& relativePath, const std::string& contents) const {
  const std::filesystem::path file = path_ / relativePath;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out << contents;
  return file.string();
}

}  // namespace varn::test
