// Test support for the report writers: a scale file built in a temporary
// folder with the tables the reports read, and a ReportContext over it whose
// files go to a MemFileSystem and whose clock is fixed.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/mem_file_system.h"
#include "platform/scripted_ui.h"
#include "platform/test_support.h"
#include "reports/report_run.h"
#include "tablestore/table_store.h"

namespace reports::testing {

// Column descriptions of the test scale file.
inline constexpr char kLoadDesc[] =
    "Load[SALE:S,LLR:S,CONTRACT:S,LOCATION:S,PURCH:S,REGION:S,FOREST:S,DISTRICT:S,SDATE:S,"
    "STIME:S,SCALER:S,CHKSCALER:S,SG:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,CFSAWBD:F,"
    "CFNONSAWBD:F,NWT:S,GWT:S,MEASSYS:S,STATUS:S,HDATE:S,TRK:S,DEST:S,MINLEN:I,MAXLEN:I,"
    "MINDIA:I,MAXDIA:I]";
inline constexpr char kLogDesc[] =
    "Log[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,G:I,B:S,LN:I,SD:I,LD:I,KPI:I,RND:I,HIT:I,REM:S,GCV:F,"
    "NCV:F,VOID:I,OverrideVolume:I]";
inline constexpr char kSegDesc[] = "Seg[SALE:S,LLR:S,LOG:I,S:S,P:I,Seg:I,LN:I,SD:I,LD:I]";
inline constexpr char kDefCDesc[] =
    "DefC[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,M2:I,M3:I,M4:I,LN:I,PCT:I]";
inline constexpr char kKZDesc[] = "KZ[P:I,SP:S,KZ:I]";
inline constexpr char kGlobalsDesc[] = "Globals[Block:S,Key:S,Value:S]";

// Column name -> value text of one row.
using Values = std::map<std::string, std::string>;

class ScaleFile {
 public:
  // Creates the file "<folder>/<name>.scl" with empty tables and the program
  // version "1.0.0"; the clock shows 2010-11-05 14:07.
  explicit ScaleFile(const std::string& name = "load");
  ~ScaleFile();

  tablestore::TableStore& store() { return store_; }
  platform::ScriptedUi& ui() { return *ui_; }
  platform::MemFileSystem& files() { return files_; }
  platform::FixedClock& clock() { return clock_; }
  const std::string& path() const { return path_; }
  // The scale file's path without ".scl".
  std::string base() const;

  // A context over this file of the given file type.
  ReportContext Context(const std::string& fileType = kFileTypeProduction);

  // Appends a row to `table` (opened for the call), writing each value into
  // its column by name.
  void AddRow(const std::string& table, const Values& values);

  // The text of the report file `path` (empty when missing).
  std::string File(const std::string& path) const;

 private:
  platform::testing::TempFolder folder_;
  std::string path_;
  platform::FixedClock clock_;
  platform::MemFileSystem files_;
  std::unique_ptr<platform::ScriptedUi> ui_;
  tablestore::TableStore store_;
};

// n blanks.
std::string B(int n);

// Values of a Load row of sale "S1", load receipt "1001" and sale type `st`
// (cubic, cull factors 2.0 and 0.5, every header text set).
Values LoadValues(const std::string& st);
// Values of a Log row of that load (HIT -1).
Values LogValues(int log, const std::string& s, const std::string& sp, int p, int ln, int sd,
                 int ld);
// Values of a Seg row of split "1" of a log of that load.
Values SegValues(int log, int seg, int ln, int sd, int ld);

// The 100 % load: a plain log, a non-saw log cut in two segments with a 10 %
// deduction on segment 2 and a midpoint remark, a voided log and a log whose
// volume is overridden to zero.
void Build100Load(ScaleFile& file);

// The 3P load: samples, a non-sample, a log cut into two splits of one
// product, a voided sample, a sample with a 10 % deduction on segment 2 and a
// midpoint remark, a sample whose volume is overridden to zero; KZ rows.
void Build3PLoad(ScaleFile& file);

// The lines of `text`, each without its line feed (a last line without one
// is kept).
std::vector<std::string> Lines(const std::string& text);

}  // namespace reports::testing
