// GridMode: which grid of the data entry screen is shown.
#pragma once

namespace app {

enum class GridMode { kLog, kSegment, kDefect };

}  // namespace app
