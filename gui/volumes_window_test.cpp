#include "gui/volumes_window.h"

#include <gtest/gtest.h>

#include <QTest>

#include "app/test_files.h"
#include "scaling/load_volumes.h"
#include "tablestore/table_store.h"

namespace gui {
namespace {

// The demo board load's totals window shows its board feet beside the cubic
// volumes (the guide's picture of it is taken here).
TEST(VolumesWindowTest, BoardLoadTotals) {
  std::string text = app::testing::ReadText(VARNOLDE_DATA_DIR "/demo/demo-100-board.txt");
  // The demo text leaves the volume columns to the setup; this file has no
  // setup, so its Log table declares them itself.
  const std::string logColumns = "Log[SALE:S,LLR:S,";
  const size_t at = text.find(logColumns);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, logColumns.size(), logColumns + "GCV:F,NCV:F,GBV:F,NBV:F,");
  for (size_t row = text.find("\nBear Creek,2001,", at); row < text.find("[Seg]");
       row = text.find("\nBear Creek,2001,", row + 1)) {
    text.insert(row + 17, ",,,,");
  }
  app::testing::TempFolder folder;
  const std::string path = folder.path() + "board.scl";
  ASSERT_EQ(app::testing::BuildStorage(path, text, {"Load", "Log", "Seg", "DefB"}), "");
  tablestore::TableStore store;
  ASSERT_EQ(store.Open(path, false), 0);
  scaling::LoadTotalsWindow totals;
  ASSERT_EQ(scaling::RefreshLoadTotals(store, "Bear Creek", "2001", &totals), 0);
  ASSERT_EQ(store.Close(), 0);

  VolumesWindow window(totals.caption, totals.text);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.windowTitle(), "100% Load Information");
  const QString shown = window.shownText();
  EXPECT_TRUE(shown.contains("Gross BF:  1450     190     1640\n"
                             "  Net BF:   930     190     1120\n"
                             "  Def BF:   520       0      520\n"))
      << shown.toStdString();
  window.grab().save(VARNOLDE_SCREENSHOT_DIR "/board_totals.png");
}

}  // namespace
}  // namespace gui
