// The journal: MessageLog entries, appended and committed one at a time, or
// appended to be committed with the change they record.
#include <cstdio>

#include "platform/clock.h"
#include "tablestore/slot_guard.h"
#include "tablestore/table_store.h"
#include "tablestore/table_store_state.h"

namespace tablestore {
namespace {

constexpr char kMessageLog[] = "MessageLog";
constexpr char kMessageLogDescription[] =
    "MessageLog[MsgNum:S,Msg:S,Date:S,Time:S,Level:S,Note:S,Program:S]";
constexpr char kProgramName[] = "Varnolde";

std::string DateText(const platform::LocalDateTime& t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%d", t.month, t.day, t.year);
  return buf;
}

std::string TimeText(const platform::LocalDateTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d", t.hour, t.minute);
  return buf;
}

}  // namespace

void TableStore::SetJournalSource(const platform::Clock* clock, std::string deviceIdentity) {
  s_->clock = clock;
  s_->deviceIdentity = std::move(deviceIdentity);
}

void TableStore::SetFileSystem(platform::FileSystem* files) { s_->files = files; }

int TableStore::LogMessage(const std::string& msg, const std::string& level,
                           const std::string& note, const std::string& program) {
  const int appended = AppendMessage(msg, level, note, program);
  if (appended != kOk) return appended;
  const int committed = Commit();
  return committed == kOk ? kOk : kWriteFailed;
}

int TableStore::AppendMessage(const std::string& msg, const std::string& level,
                              const std::string& note, const std::string& program) {
  if (!IsOpen()) return kNotFound;
  if (FindView(kMessageLog) < 0 && TableExists(kMessageLog) < 0 &&
      DefineTable(kMessageLogDescription) != kOk) {
    return kNotFound;
  }
  TableLease journal(*this, kMessageLog);
  if (journal.slot() < 0) return kNotFound;
  static const platform::SystemClock systemClock;
  const platform::LocalDateTime now = (s_->clock ? s_->clock : &systemClock)->Now();
  const int row = AddRow(journal.slot(), -1);
  if (row < 0) return kNotFound;
  const std::pair<const char*, std::string> values[] = {
      {"Msg", msg},     {"Date", DateText(now)}, {"Time", TimeText(now)},
      {"Level", level}, {"Note", note},          {"Program", program},
  };
  // A journal made by an older program may lack columns; those are skipped.
  for (const auto& [column, value] : values) {
    const int col = ColumnIndex(journal.slot(), column);
    // The journal's own columns are text; one of another type (result 1)
    // stays empty rather than losing the entry.
    if (col >= 0) (void)SetText(journal.slot(), row, col, value);
  }
  // A lease over an in-memory copy commits when it ends; that is the
  // caller's choice of store default, not a commit this call makes.
  return journal.Release() == kOk ? kOk : kWriteFailed;
}

int TableStore::LogProgramMessage(const std::string& msg) {
  return LogMessage(msg, "A", s_->deviceIdentity, kProgramName);
}

int TableStore::AppendProgramMessage(const std::string& msg) {
  return AppendMessage(msg, "A", s_->deviceIdentity, kProgramName);
}

}  // namespace tablestore
