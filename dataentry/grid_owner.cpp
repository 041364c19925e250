// The line above the Segment and Defect grids: whose segments or defects they
// hold. The Defect grid entered from the Log grid lists the whole-log
// (segment 0) defects only, so a defect typed there for another segment
// leaves the list; the line says which list the scaler is looking at.
#include "dataentry/data_entry_screen.h"

namespace dataentry {

std::string DataEntryScreen::GridOwner() const {
  const char mode = Mode();
  if (mode == 'L' || currentLogRow_ < 1) return "";
  std::string log = "Log " + LogCell(currentLogRow_, "LOG");
  const std::string split = LogCell(currentLogRow_, "S");
  if (!split.empty() && split != "1") log += ", split " + split;
  if (mode == 'S') return log + ": segments";
  if (currentSeg_.empty() || currentSeg_ == "0") return log + ": whole-log defects";
  return log + ", segment " + currentSeg_;
}

}  // namespace dataentry
