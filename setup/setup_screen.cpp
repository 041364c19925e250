#include "setup/setup_screen.h"

#include <algorithm>

#include "app/application.h"
#include "app/design_screen.h"
#include "app/screens.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "scaling/data_model.h"
#include "setup/make_setup_file.h"
#include "tablestore/settings.h"
#include "tablestore/slot_guard.h"
#include "tablestore/table_store.h"

namespace setup {

using platform::EqualsIgnoringAsciiCase;
using Names = std::vector<std::string>;

namespace {

const Names kBoardColumns = {"SAB", "LCB", "DB", "PB", "RB", "GBV", "NBV", "ABB"};
const Names kCubicColumns = {"SAC", "LCC", "DC", "PC", "RC", "GCV", "NCV", "ABC"};

int IndexOf(const Names& names, const std::string& name) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (EqualsIgnoringAsciiCase(names[i], name)) return static_cast<int>(i);
  }
  return -1;
}

bool IsOneOf(const std::string& order, std::initializer_list<const char*> orders) {
  return std::any_of(orders.begin(), orders.end(), [&](const char* o) { return order == o; });
}

// The columns a table's list must have, and those it must not.
struct ColumnRules {
  Names required;
  Names removed;
};

ColumnRules RulesFor(SetupTable table, const std::string& order, const std::string& units) {
  const bool cubicOrder = IsOneOf(order, {"Order2", "Order5"});
  const Names& wrongUnits = cubicOrder ? kBoardColumns : kCubicColumns;
  switch (table) {
    case SetupTable::kHeader:
      return {};
    case SetupTable::kLogs: {
      ColumnRules rules{{"Log", "LN", "SD", "VOID"}, wrongUnits};
      if (IsOneOf(order, {"Order2", "Order3"})) {
        rules.removed.insert(rules.removed.end(), {"KPI", "HIT"});
      } else {
        rules.required.insert(rules.required.end(), {"P", "KPI", "HIT"});
      }
      return rules;
    }
    case SetupTable::kSegments:
      return {{"Seg", "LN", "SD"}, wrongUnits};
    case SetupTable::kDefects: {
      const bool board = !units.empty() && (units[0] == 'B' || units[0] == 'b');
      return {board ? Names{"Seg", "LN"} : Names{"Seg", "M", "M1", "M2", "M3", "M4"},
              {cubicOrder ? "DBV" : "DCV"}};
    }
  }
  return {};
}

}  // namespace

AdjustedColumns AdjustColumns(SetupTable table, const std::string& orderColumn,
                              const std::string& units, Names columns, const Names& tableColumns) {
  const ColumnRules rules = RulesFor(table, orderColumn, units);
  AdjustedColumns out;
  for (std::string& name : columns) {
    if (IndexOf(rules.removed, name) >= 0) {
      out.changed = true;
    } else {
      out.columns.push_back(std::move(name));
    }
  }
  for (const std::string& name : rules.required) {
    const int inTable = IndexOf(tableColumns, name);
    if (inTable < 0 || IndexOf(out.columns, name) >= 0) continue;
    out.columns.push_back(tableColumns[inTable]);
    out.changed = true;
  }
  return out;
}

SetupScreen::SetupScreen(app::Application& app, app::Screens& screens, SetupWindows& windows)
    : app_(app), screens_(screens), windows_(windows) {}

SetupOpen SetupScreen::Open() {
  if (app_.store() == nullptr || !app_.store()->IsOpen()) return SetupOpen::kNoFile;
  OnTableChanged(static_cast<int>(SetupTable::kLogs));
  return SetupOpen::kOpened;
}

const std::string& SetupScreen::ScaleType() const { return app_.files.state().scaleUnits; }

std::string SetupScreen::TableName() const {
  switch (table_) {
    case SetupTable::kHeader:
      return scaling::table::kLoad;
    case SetupTable::kLogs:
      return scaling::table::kLog;
    case SetupTable::kSegments:
      return scaling::table::kSeg;
    case SetupTable::kDefects:
      break;
  }
  return EqualsIgnoringAsciiCase(ScaleType(), "Cubic") ? scaling::table::kDefC
                                                       : scaling::table::kDefB;
}

std::string SetupScreen::OrderColumn() const {
  return table_ == SetupTable::kHeader
             ? "Order2"
             : app::DesignOrderColumn(app_.files.state().scaleSample, ScaleType());
}

// Every column of the stored table, in its stored order.
Names SetupScreen::TableColumns() const {
  tablestore::TableStore& store = *app_.store();
  const tablestore::TableLease table(store, TableName());
  std::string names;
  if (table.slot() < 0 || store.DescribeView(table.slot(), names, true) != 0) return {};
  return SplitColumns(names);
}

void SetupScreen::OnTableChanged(int index) {
  if (index < 0 || index > static_cast<int>(SetupTable::kDefects)) return;
  table_ = static_cast<SetupTable>(index);
  ShowTable();
}

void SetupScreen::ShowTable() {
  view_.scaleType = ScaleType();
  view_.scaleSample = app_.files.state().scaleSample;
  view_.table = table_;
  view_.tableName = TableName();
  view_.orderColumn = OrderColumn();
  std::string list;
  if (app_.store()->MakeProjection(list, view_.tableName, view_.orderColumn) < 0) list.clear();
  shown_ = SplitColumns(list);
  view_.fields = JoinColumns(shown_);
  view_.landingEnabled = table_ != SetupTable::kHeader;
  view_.landingChoices = view_.landingEnabled ? shown_ : std::vector<std::string>{};
  view_.landingIndex =
      view_.landingEnabled ? IndexOf(shown_, app_.landingFields().Of(LandingMode())) : -1;
  if (view_.landingEnabled && view_.landingIndex < 0 && !shown_.empty()) OnLandingChanged(0);
}

app::GridMode SetupScreen::LandingMode() const {
  return table_ == SetupTable::kSegments  ? app::GridMode::kSegment
         : table_ == SetupTable::kDefects ? app::GridMode::kDefect
                                          : app::GridMode::kLog;
}

const char* SetupScreen::LandingKey() const {
  return table_ == SetupTable::kSegments ? "Seg" : table_ == SetupTable::kDefects ? "Def" : "Log";
}

void SetupScreen::OnLandingChanged(int index) {
  const std::vector<std::string>& choices = view_.landingChoices;
  if (!view_.landingEnabled || index < 0 || index >= static_cast<int>(choices.size())) return;
  view_.landingIndex = index;
  app_.SetLandingField(LandingMode(), choices[index]);
  // A failed write has been shown; the choice stays for this session.
  static_cast<void>(StoreLanding(choices[index]));
}

bool SetupScreen::StoreLanding(const std::string& field) {
  tablestore::TableStore& store = *app_.store();
  if (tablestore::StoreSetting(store, tablestore::kBlockDefField, LandingKey(), field) != 0 ||
      store.Commit() != 0) {
    ShowError("The landing field could not be saved.\n" + store.LastError());
    return false;
  }
  return true;
}

void SetupScreen::OnChangeFields() {
  const Names tableColumns = TableColumns();
  ColumnSelectionScreen selection(tableColumns, shown_);
  if (!windows_.SelectColumns(selection)) return;
  AdjustedColumns adjusted =
      AdjustColumns(table_, OrderColumn(), ScaleType(), selection.view().selected, tableColumns);
  if (adjusted.columns.empty()) {
    ShowError("A table must show at least one field. The list was not changed.");
    return;
  }
  if (!StoreColumns(adjusted.columns)) return;
  if (adjusted.changed) {
    app_.ui.ShowMessage({kFieldsAdjusted, kFieldsAdjustedCaption, platform::Icon::kInformation});
  }
  ShowTable();
}

bool SetupScreen::StoreColumns(const Names& columns) {
  tablestore::TableStore& store = *app_.store();
  if (store.StoreProjection(JoinColumns(columns), TableName(), OrderColumn()) != 0 ||
      store.Commit() != 0) {
    ShowError("The field list could not be saved.\n" + store.LastError());
    return false;
  }
  return true;
}

void SetupScreen::OnChangeLengths() { windows_.ChangeLengths(TableName()); }

void SetupScreen::OnMakeSetupFile() {
  // Every outcome has been shown to the user; the open file is unchanged.
  static_cast<void>(MakeSetupFile(app_));
}

void SetupScreen::OnOtherOptions() { windows_.OtherOptions(); }

void SetupScreen::OnSupervisor() {
  screens_.ShowSupervisor(app_);
  ShowTable();
}

void SetupScreen::ShowError(const std::string& text) {
  app_.ui.ShowMessage({text, "Error", platform::Icon::kStop});
}

}  // namespace setup
