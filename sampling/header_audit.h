// The header audit: the check of the load header that decides whether data
// entry may begin. The main screen runs it every time the load information
// screen closes.
//
// The audit reads the texts of the header's fields, so the comparisons with
// "Cubic", "Board", "0.0" and "0" are exact text comparisons: an empty
// conversion factor or limit passes, and so does "0.00".
//
// Thread safety: pure functions.
#pragma once

#include <string>

#include "sampling/date_text.h"
#include "sampling/log_row.h"

namespace sampling {

// The columns of the first Load row that the audit reads, as a ColumnList.
inline constexpr char kHeaderAuditColumns[] =
    "SALE,LLR,CONTRACT,SCALER,ST,SCALESYS,CFSAWCU,CFNONSAWCU,CFSAWBD,CFNONSAWBD,MAXLEN,MAXDIA,"
    "HDATE,SDATE";

struct HeaderAudit {
  int problems = 0;  // 0 when the header passes
  std::string text;  // the messages in order, without the final "\n"

  // The journal's form of the messages: line breaks replaced by ", ".
  std::string JournalText() const;
};

// Audits the header fields in `header` (a missing column reads as empty)
// against `today`. The messages, each ending in "\n" before the last one is
// dropped, are, in order: "No SALE", "No LLR", "No CONTRACT", "No SCALER",
// "No ST", "No SCALESYS", "SALE can't have commas" and "LLR can't have
// commas" (a load's rows are selected by criteria split at commas), the conversion factors of the scale system ("No
// CFSAWCU", "No CFNONSAWCU" for "Cubic"; "No CFSAWBD", "No CFNONSAWBD" for
// "Board"), "No MAXLEN", "No MAXDIA", one HDATE message (HdateMessage) when
// HDATE is not empty and not a valid date up to today, and "HDATE can't be
// after SDATE" when a valid HDATE is later than a non-empty SDATE.
HeaderAudit AuditHeader(const RowCells& header, CivilDate today);

}  // namespace sampling
