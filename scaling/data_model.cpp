#include "scaling/data_model.h"

#include "scaling/text_format.h"

namespace scaling {

std::string LoadCriteria(std::string_view sale, std::string_view llr) {
  std::string text = "SALE=";
  text.append(sale);
  text += ",LLR=";
  text.append(llr);
  return text;
}

std::string LiveLogsCriteria(std::string_view sale, std::string_view llr) {
  return LoadCriteria(sale, llr) + ",VOID=0";
}

std::string ComputedLogsCriteria(std::string_view sale, std::string_view llr) {
  return LiveLogsCriteria(sale, llr) + ",OverrideVolume=0";
}

std::string LogCriteria(std::string_view sale, std::string_view llr, int log,
                        std::string_view split) {
  std::string text = LoadCriteria(sale, llr) + Format(",LOG=%d,S=", log);
  text.append(split);
  return text;
}

std::string SegmentCriteria(std::string_view sale, std::string_view llr, int log,
                            std::string_view split, int seg) {
  return LogCriteria(sale, llr, log, split) + Format(",Seg=%d", seg);
}

bool IsBoardScale(std::string_view scaleSystem) {
  return !scaleSystem.empty() && (scaleSystem[0] == 'B' || scaleSystem[0] == 'b');
}

std::string_view DefectTable(std::string_view scaleSystem) {
  return IsBoardScale(scaleSystem) ? table::kDefB : table::kDefC;
}

}  // namespace scaling
