// The regular-file check shared by every asset loader.
#include "assets/RegularFile.h"

#include <sys/stat.h>

namespace varn::assets {

bool isRegularFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace varn::assets
