// Marking the loaded libraries "no delete" (see LoadedLibraries.h).
#include "LoadedLibraries.h"

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>

namespace varn::test {

namespace {

int collectName(dl_phdr_info* info, size_t, void* names) {
  // The executable itself has an empty name; the vDSO is no file.
  if (info->dlpi_name != nullptr && info->dlpi_name[0] == '/') {
    static_cast<std::vector<std::string>*>(names)->push_back(info->dlpi_name);
  }
  return 0;
}

}  // namespace

void keepLoadedLibrariesMapped() {
  std::vector<std::string> names;
  dl_iterate_phdr(collectName, &names);
  for (const std::string& name : names) {
    // RTLD_NOLOAD finds the library already mapped; RTLD_NODELETE stays with it after the
    // extra reference taken here is dropped again.
    if (void* handle = dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(handle);
  }
}

}  // namespace varn::test
