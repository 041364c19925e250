#include "loadinfo/load_info_screen.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/test_files.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "tablestore/table_store.h"

namespace loadinfo {
namespace {

constexpr const char* kDefaultSetup = VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl";

class LoadInfoScreenTest : public ::testing::Test {
 protected:
  // Creates and opens `name` from the bundled setup, as file type `type`.
  void Create(app::FileType type = app::FileType::kProduction,
              const std::string& name = "load.scl") {
    const std::string setup = folder_ / "Default.SetupScl";
    if (!fs_.Exists(setup)) {
      ASSERT_EQ(fs_.Copy(kDefaultSetup, setup), platform::FileResult::kOk);
    }
    ASSERT_EQ(app_.files.CreateFromSetup(setup, folder_ / name), app::FileOutcome::kCreated);
    app_.SetFileType(type);
  }

  tablestore::TableStore& store() { return *app_.store(); }
  int load() { return app_.slots().load; }

  // The stored text of `column` in row `row` of Load.
  std::string Stored(const std::string& column, int row = 0) {
    std::string text = "<missing>";
    store().GetText(load(), row, store().ColumnIndex(load(), column), text);
    return text;
  }

  static const std::string& Value(const LoadInfoScreen& s, const std::string& field) {
    return s.grid().Text(s.FieldRow(field), kValueColumn);
  }
  static bool ReadOnly(const LoadInfoScreen& s, const std::string& field) {
    return s.grid().IsReadOnly(s.FieldRow(field), kValueColumn);
  }

  // Types `text` into the field's value cell as the user would.
  static void Type(LoadInfoScreen& s, const std::string& field, const std::string& text) {
    ASSERT_TRUE(s.grid().SetCurrentCell(s.FieldRow(field), kValueColumn));
    ASSERT_TRUE(s.grid().BeginEdit());
    ASSERT_TRUE(s.grid().CommitEdit(text));
  }

  app::testing::TempFolder folder_;
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_{platform::LocalDateTime{2010, 11, 5, 9, 5, 0}};
  platform::ScriptedUi ui_{[](const std::string& f) { ADD_FAILURE() << f; }};
  app::Application app_{ui_, fs_, clock_, folder_.path()};
};

TEST_F(LoadInfoScreenTest, ShowsTheUsedFieldsTransposedInOrder2Order) {
  Create();
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  const grid::CellGrid& g = screen.grid();
  ASSERT_EQ(g.ColumnCount(), 2);
  EXPECT_EQ(g.ColumnName(0), "Header");
  EXPECT_EQ(g.ColumnName(1), "Value");
  std::string fields;
  ASSERT_GT(store().MakeProjection(fields, "Load", "Order2"), 0);
  std::string shown;
  for (int r = 1; r < g.RowCount(); ++r) shown += (r > 1 ? "," : "") + g.Text(r, kFieldColumn);
  EXPECT_EQ(shown, fields);
  EXPECT_EQ(Value(screen, "SCALESYS"), "Cubic");  // the default rule of the new row
  EXPECT_TRUE(g.IsReadOnly(1, kFieldColumn));
}

TEST_F(LoadInfoScreenTest, WritesEveryValueBackAndTrimsOnlySaleAndLlr) {
  Create();
  const std::string longText(5000, 'x');
  {
    LoadInfoScreen screen(app_, ui_);
    ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
    screen.grid().SetText(screen.FieldRow("SALE"), kValueColumn, "  Cedar Ridge  ");
    screen.grid().SetText(screen.FieldRow("LLR"), kValueColumn, " 1001 ");
    screen.grid().SetText(screen.FieldRow("CONTRACT"), kValueColumn, "  CR-7 ");
    screen.grid().SetText(screen.FieldRow("REM"), kValueColumn,
                          longText + "\xC3\xA9\xF0\x9F\x8C\xB2");
    screen.grid().SetText(screen.FieldRow("CFSAWCU"), kValueColumn, "0.8");
    screen.grid().SetText(screen.FieldRow("MAXLEN"), kValueColumn, "40.0");
    screen.OnClose();
  }
  EXPECT_EQ(Stored("SALE"), "Cedar Ridge");
  EXPECT_EQ(Stored("LLR"), "1001");
  EXPECT_EQ(Stored("CONTRACT"), "  CR-7 ");
  // e-acute has an 8-bit form; the tree emoji has none and becomes "?".
  EXPECT_EQ(Stored("REM"), longText + "\xC3\xA9?");
  EXPECT_EQ(Stored("CFSAWCU"), "0.8");
  EXPECT_EQ(Stored("MAXLEN"), "40");
  EXPECT_EQ(Stored("SDATE"), "20101105");
  EXPECT_EQ(Stored("STIME"), "09:05");
  EXPECT_EQ(store().FindView("DLoad"), -1);
  EXPECT_EQ(store().FindView("TransposedHeaderView"), -1);
}

TEST_F(LoadInfoScreenTest, AnEditStillOpenAtCloseIsStored) {
  Create();
  {
    LoadInfoScreen screen(app_, ui_);
    ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
    ASSERT_TRUE(screen.grid().SetCurrentCell(screen.FieldRow("SCALER"), kValueColumn));
    ASSERT_TRUE(screen.grid().BeginEdit());
    screen.grid().SetEditText("R. Chen");
  }
  EXPECT_EQ(Stored("SCALER"), "R. Chen");
}

TEST_F(LoadInfoScreenTest, EnterOutsideAnEditMovesToTheNextField) {
  Create();
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  EXPECT_EQ(screen.grid().CurrentRow(), 1);
  EXPECT_EQ(screen.grid().CurrentColumn(), kValueColumn);
  const grid::KeyResult moved = screen.OnKeyDown(grid::key::kEnter, false);
  EXPECT_EQ(moved.action, grid::KeyAction::kReplace);
  EXPECT_EQ(moved.code, grid::key::kDown);
  ASSERT_TRUE(screen.grid().BeginEdit());
  EXPECT_EQ(screen.OnKeyDown(grid::key::kEnter, false).action, grid::KeyAction::kPass);
  EXPECT_EQ(screen.OnKeyDown('A', false).action, grid::KeyAction::kPass);
}

TEST_F(LoadInfoScreenTest, AValueItsFieldCannotHoldIsRefusedAndTheOldOneKept) {
  Create();
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  const size_t before = ui_.messages().size();  // "sales.csv not found in ..."
  Type(screen, "MAXLEN", "40");
  Type(screen, "CFSAWCU", " -1.5e2 ");
  Type(screen, "PURCH", std::string(20, 'p'));
  EXPECT_EQ(ui_.messages().size(), before);
  const std::string whole = " takes whole numbers from -2147483648 to 2147483647.\n";
  const struct {
    const char* field;
    std::string text;
    std::string message;
  } cases[] = {
      {"MAXLEN", "4O", "MAXLEN" + whole + "\"4O\" was not entered."},
      {"MAXLEN", "99999999999", "MAXLEN" + whole + "\"99999999999\" was not entered."},
      {"CFSAWCU", "0,85", "CFSAWCU takes numbers from -3.4e38 to 3.4e38.\n\"0,85\" was not entered."},
      {"PURCH", std::string(21, 'p'),
       "PURCH takes at most 20 characters.\n\"" + std::string(21, 'p') +
           "\" (21 characters) was not entered."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    const std::string old = Value(screen, c.field);
    ASSERT_TRUE(screen.grid().SetCurrentCell(screen.FieldRow(c.field), kValueColumn));
    ASSERT_TRUE(screen.grid().BeginEdit());
    EXPECT_FALSE(screen.grid().CommitEdit(c.text));
    EXPECT_EQ(ui_.messages().back().text, c.message);
    EXPECT_EQ(ui_.messages().back().caption, grid::kRefusedCaption);
    EXPECT_EQ(ui_.messages().back().icon, platform::Icon::kExclamation);
    EXPECT_EQ(Value(screen, c.field), old);
  }
}

TEST_F(LoadInfoScreenTest, ProtectedRowsFollowLoadInfoEditableAndRecordedLogs) {
  Create();
  const std::vector<std::string> protectedFields = {"SDATE", "STIME", "STATUS", "SCALESYS", "ST"};
  for (bool editable : {false, true}) {
    SCOPED_TRACE(editable);
    if (editable) app_.AllowLoadInfoEditing();
    LoadInfoScreen screen(app_, ui_);
    ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
    for (const std::string& field : protectedFields) {
      EXPECT_EQ(ReadOnly(screen, field), !editable) << field;
      EXPECT_EQ(screen.grid().Colour(screen.FieldRow(field), kValueColumn),
                editable ? grid::kDefaultColour : grid::kReadOnlyColour);
    }
    EXPECT_FALSE(ReadOnly(screen, "SALE"));
    EXPECT_FALSE(ReadOnly(screen, "LLR"));
    EXPECT_FALSE(ReadOnly(screen, "CONTRACT"));
    screen.OnClose();
    EXPECT_FALSE(app_.loadInfoEditable());
  }
  // A log of the header's sale and LLR protects SALE and LLR.
  ASSERT_EQ(store().SetText(load(), 0, store().ColumnIndex(load(), "SALE"), "S1"), 0);
  const int log = store().AddRow(app_.slots().log, -1);
  ASSERT_EQ(
      store().SetText(app_.slots().log, log, store().ColumnIndex(app_.slots().log, "SALE"), "S1"),
      0);
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  EXPECT_TRUE(screen.view().logsRecorded);
  EXPECT_TRUE(ReadOnly(screen, "SALE"));
  EXPECT_TRUE(ReadOnly(screen, "LLR"));
  EXPECT_FALSE(ReadOnly(screen, "CONTRACT"));
}

TEST_F(LoadInfoScreenTest, ProductionFilesHaveNoRecordButtons) {
  Create();
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  EXPECT_FALSE(screen.view().recordButtons);
  EXPECT_FALSE(screen.view().newEnabled);
  screen.OnNew();
  EXPECT_EQ(store().RowCount(load()), 1);
}

TEST_F(LoadInfoScreenTest, RecordButtonsOnACheckScaleFileWithThreeHeaderRows) {
  Create(app::FileType::kCheckScale);
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  EXPECT_TRUE(screen.view().recordButtons);
  EXPECT_EQ(screen.view().position, "1 of 1");
  EXPECT_FALSE(screen.view().deleteEnabled);
  screen.grid().SetText(screen.FieldRow("SALE"), kValueColumn, "First");
  screen.OnNew();
  clock_.SetNow({2010, 11, 6, 14, 30, 0});
  screen.OnNew();
  EXPECT_EQ(screen.view().position, "3 of 3");
  EXPECT_EQ(Value(screen, "SDATE"), "20101106");
  EXPECT_EQ(Value(screen, "STIME"), "14:30");
  EXPECT_EQ(Stored("SALE", 0), "First");  // written back by New
  EXPECT_TRUE(screen.view().previousEnabled);
  EXPECT_FALSE(screen.view().nextEnabled);
  EXPECT_TRUE(screen.view().deleteEnabled);

  screen.OnPrevious();
  EXPECT_EQ(screen.view().position, "2 of 3");
  EXPECT_TRUE(screen.view().nextEnabled);
  EXPECT_EQ(Value(screen, "SDATE"), "20101105");
  screen.OnFirst();
  EXPECT_EQ(Value(screen, "SALE"), "First");
  EXPECT_FALSE(screen.view().previousEnabled);
  screen.OnLast();
  EXPECT_EQ(screen.view().position, "3 of 3");

  screen.OnDelete();
  EXPECT_EQ(screen.view().position, "2 of 2");
  screen.OnDelete();
  EXPECT_EQ(screen.view().position, "1 of 1");
  EXPECT_EQ(store().RowCount(load()), 1);
  EXPECT_EQ(Value(screen, "SALE"), "First");
  EXPECT_FALSE(screen.view().deleteEnabled);
  EXPECT_FALSE(screen.view().previousEnabled);
  EXPECT_FALSE(screen.view().nextEnabled);
  EXPECT_TRUE(screen.view().newEnabled);
}

TEST_F(LoadInfoScreenTest, RecordButtonsTurnLoadInfoEditableOff) {
  Create(app::FileType::kNonScale);
  app_.AllowLoadInfoEditing();
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  EXPECT_FALSE(ReadOnly(screen, "ST"));
  screen.OnNew();
  EXPECT_FALSE(app_.loadInfoEditable());
  EXPECT_TRUE(ReadOnly(screen, "ST"));
}

TEST_F(LoadInfoScreenTest, ScaleDateAndTimeAreFilledOnceAndLeftAloneLater) {
  Create();
  { EXPECT_EQ(LoadInfoScreen(app_, ui_).Open(), LoadInfoOpen::kOpened); }
  clock_.SetNow({2011, 1, 2, 3, 4, 0});
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  EXPECT_EQ(Value(screen, "SDATE"), "20101105");
  EXPECT_EQ(Value(screen, "STIME"), "09:05");
}

TEST_F(LoadInfoScreenTest, AnEmptyLoadTableShowsOneNewRowWithTheDefaultRules) {
  Create();
  ASSERT_EQ(store().RemoveRow(load(), 0), 0);
  LoadInfoScreen screen(app_, ui_);
  ASSERT_EQ(screen.Open(), LoadInfoOpen::kOpened);
  EXPECT_EQ(screen.view().position, "1 of 1");
  EXPECT_EQ(Value(screen, "ST"), "100");
  EXPECT_EQ(Value(screen, "MAXLEN"), "66");
  screen.OnClose();
  EXPECT_EQ(store().RowCount(load()), 1);
}

}  // namespace
}  // namespace loadinfo
