// Temporary directories for tests that write their own asset files.
#include "TempDir.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace varn::test {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> filesBelow(const std::filesystem::path& root, const std::vector<std::string>& folders) {
  std::vector<std::string> files;
  for (const std::string& folder : folders)
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder))
      if (entry.is_regular_file()) files.push_back(std::filesystem::relative(entry.path(), root).generic_string());
  std::sort(files.begin(), files.end());
  return files;
}

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
