#include "sampling/header_audit.h"

#include "sampling/cell_text.h"

namespace sampling {

namespace {

// "0.0" and "0" are the texts of an unset factor or limit; anything else,
// even "0.00" or an empty cell, counts as set.
bool IsZeroText(const std::string& text) { return text == "0.0" || text == "0"; }

}  // namespace

std::string HeaderAudit::JournalText() const { return ReplaceBreaks(text, ", "); }

HeaderAudit AuditHeader(const RowCells& header, CivilDate today) {
  std::string text;
  int problems = 0;
  auto problem = [&](const std::string& line) {
    text += line;
    ++problems;
  };
  for (const char* field : {"SALE", "LLR", "CONTRACT", "SCALER", "ST", "SCALESYS"}) {
    if (header.Get(field).empty()) problem(std::string("No ") + field + "\n");
  }
  // Every selection of a load's rows is a criteria text split at commas.
  for (const char* field : {"SALE", "LLR"}) {
    if (header.Get(field).find(',') != std::string::npos) {
      problem(std::string(field) + " can't have commas\n");
    }
  }
  const std::string scaleSystem = header.Get("SCALESYS");
  const char* factors[2] = {nullptr, nullptr};
  if (scaleSystem == "Cubic") {
    factors[0] = "CFSAWCU";
    factors[1] = "CFNONSAWCU";
  } else if (scaleSystem == "Board") {
    factors[0] = "CFSAWBD";
    factors[1] = "CFNONSAWBD";
  }
  for (const char* field : factors) {
    if (field && IsZeroText(header.Get(field))) problem(std::string("No ") + field + "\n");
  }
  for (const char* field : {"MAXLEN", "MAXDIA"}) {
    if (IsZeroText(header.Get(field))) problem(std::string("No ") + field + "\n");
  }
  const std::string hdate = header.Get("HDATE");
  const std::string sdate = header.Get("SDATE");
  if (!hdate.empty()) {
    const int check = ValidateDate(hdate, false, today);
    if (check != kDateValid) {
      problem(HdateMessage(check));
    } else if (!sdate.empty() && CompareDates(sdate, hdate, today) == 2) {
      problem("HDATE can't be after SDATE\n");
    }
  }
  return HeaderAudit{problems, DropLastBreak(std::move(text))};
}

}  // namespace sampling
