// GridMode: which of the data entry screen's three grids is shown. The
// Application keeps it so that it survives the screen, and the landing fields
// are kept per grid.
#pragma once

namespace app {

// The data entry screen's grids: the load's logs, the current log's
// segments, and the current log's (or segment's) defects.
enum class GridMode { kLog, kSegment, kDefect };

}  // namespace app
