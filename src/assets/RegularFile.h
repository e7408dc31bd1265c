// The one check every asset loader makes before it opens a file: shader sources, images,
// models and their material libraries are read only from regular files.
#pragma once

#include <string>

namespace varn::assets {

// True for an existing regular file: a folder, a FIFO (whose opening would block) or a
// missing name is no asset.
bool isRegularFile(const std::string& path);

}  // namespace varn::assets
