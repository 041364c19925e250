#include "gui/column_selection_dialog.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace gui {
namespace {

class ColumnSelectionDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_.show();
    dialog_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog_));
  }
  void Focus(QListWidget* list) {
    list->setFocus();
    QApplication::processEvents();
  }
  bool Enabled(const char* text) { return dialog_.button(text)->isEnabled(); }

  setup::ColumnSelectionScreen selection_{{"LOG", "SP", "LN", "SD", "REM"}, {"LOG", "LN", "SD"}};
  ColumnSelectionDialog dialog_{selection_};
};

TEST_F(ColumnSelectionDialogTest, FocusEnablesTheButtonsOfItsList) {
  EXPECT_EQ(dialog_.windowTitle(), "Select Colums to view...");
  Focus(dialog_.available());
  EXPECT_TRUE(Enabled("Include >"));
  EXPECT_FALSE(Enabled("< Exclude") || Enabled("^ Up") || Enabled("V Down"));
  Focus(dialog_.selected());
  EXPECT_FALSE(Enabled("Include >"));
  EXPECT_TRUE(Enabled("< Exclude") && Enabled("^ Up") && Enabled("V Down"));
  EXPECT_TRUE(Enabled("All >>") && Enabled("<< All") && Enabled("OK"));
}

TEST_F(ColumnSelectionDialogTest, KeysChooseAndButtonsMove) {
  Focus(dialog_.selected());
  EXPECT_EQ(selection_.view().chosenSelected, 0);     // the list's focus makes the first current
  QTest::keyClick(dialog_.selected(), Qt::Key_Down);  // LN
  EXPECT_EQ(selection_.view().chosenSelected, 1);
  QTest::mouseClick(dialog_.button("^ Up"), Qt::LeftButton);
  EXPECT_EQ(selection_.Result(), "LN,LOG,SD");
  EXPECT_EQ(dialog_.selected()->currentItem()->text(), "LN");
  QTest::mouseClick(dialog_.button("V Down"), Qt::LeftButton);
  QTest::mouseClick(dialog_.button("V Down"), Qt::LeftButton);
  EXPECT_EQ(selection_.Result(), "LOG,SD,LN");
  EXPECT_EQ(dialog_.selected()->item(2)->text(), "LN");
  Focus(dialog_.available());
  QTest::keyClick(dialog_.available(), Qt::Key_End);  // REM
  QTest::mouseClick(dialog_.button("Include >"), Qt::LeftButton);
  EXPECT_EQ(selection_.Result(), "LOG,SD,LN,REM");
  EXPECT_EQ(dialog_.available()->count(), 1);
  QTest::mouseClick(dialog_.button("OK"), Qt::LeftButton);
  EXPECT_EQ(dialog_.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace gui
