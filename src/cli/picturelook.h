#pragma once
// The table's look without a window, for the commands that draw objects:
// names shown whole, and room enough for the details.

#include "data/measurement.h"
#include "render/tablepicture.h"

#include <vector>

namespace Cli {

Render::STableLook PictureLook(const std::vector<object_t> &objects);

}   // namespace Cli
