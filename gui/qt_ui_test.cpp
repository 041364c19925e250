#include "gui/qt_ui.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/test_support.h"

namespace gui {
namespace {

// Runs `act` on the next modal window once it is shown (polling the event
// loop, so that it runs inside the window's own exec()); with `boxOnly`, on
// the next message box.
void WhenModal(std::function<void(QWidget*)> act, bool boxOnly = false) {
  auto* timer = new QTimer();
  QObject::connect(timer, &QTimer::timeout, [timer, act, boxOnly] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    if (boxOnly && qobject_cast<QMessageBox*>(modal) == nullptr) return;
    timer->stop();
    timer->deleteLater();
    act(modal);
  });
  timer->start(10);
}

// What a shown message box looked like.
struct SeenBox {
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QString defaultButton;
};

TEST(QtUi, MessageBoxShowsWhatWasAsked) {
  struct Case {
    platform::Message message;
    QMessageBox::Icon icon;
    QStringList buttons;
    QString defaultButton;
    platform::Answer enterAnswer;
  };
  const Case cases[] = {
      {{"Invalid midpoint diameter!", "Error", platform::Icon::kStop},
       QMessageBox::Critical,
       {"OK"},
       "OK",
       platform::Answer::kOk},
      {{"Delete this log?", "Confirm", platform::Icon::kQuestion, platform::Buttons::kOkCancel,
        platform::DefaultButton::kSecond},
       QMessageBox::Question,
       {"OK", "Cancel"},
       "Cancel",
       platform::Answer::kCancel},
      {{"Save <changes>?", "Continue?", platform::Icon::kExclamation, platform::Buttons::kYesNo},
       QMessageBox::Warning,
       {"Yes", "No"},
       "Yes",
       platform::Answer::kYes},
      {{"Done.", "Done", platform::Icon::kInformation},
       QMessageBox::Information,
       {"OK"},
       "OK",
       platform::Answer::kOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message.text);
    SeenBox seen;
    WhenModal([&seen](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      seen = {box->windowTitle(), box->text(), box->icon(), {}, {}};
      for (QAbstractButton* b : box->buttons()) seen.buttons << b->text().remove('&');
      seen.defaultButton = box->defaultButton()->text().remove('&');
      QTest::keyClick(box->defaultButton(), Qt::Key_Return);
    });
    QtUi ui;
    EXPECT_EQ(ui.ShowMessage(c.message), c.enterAnswer);
    EXPECT_EQ(seen.caption.toStdString(), c.message.caption);
    EXPECT_EQ(seen.text.toStdString(), c.message.text);  // plain text: "<changes>" as typed
    EXPECT_EQ(seen.icon, c.icon);
    seen.buttons.sort();
    QStringList want = c.buttons;
    want.sort();
    EXPECT_EQ(seen.buttons, want);
    EXPECT_EQ(seen.defaultButton, c.defaultButton);
  }
}

TEST(QtUi, EscapeAnswersAsTheSecondButton) {
  WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  QtUi ui;
  EXPECT_EQ(ui.ShowMessage({"Sure?", "Confirm", platform::Icon::kNone, platform::Buttons::kYesNo}),
            platform::Answer::kNo);
}

TEST(QtUi, SelfClosingBoxAnswersCancelByItself) {
  platform::Message message{"SAMPLE LOG!", "Sample", platform::Icon::kExclamation};
  message.close_after_ms = 50;
  QtUi ui;
  EXPECT_EQ(ui.ShowMessage(message), platform::Answer::kCancel);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtUi, NameFiltersFromTheHandheldsFilterText) {
  EXPECT_EQ(QtNameFilters("Scale Files (*.scl)|*.scl|Setup (*.SetupScl)|*.SetupScl;*.x|All Files "
                          "(*.*)|*.*||NULL"),
            (QStringList{"Scale Files (*.scl) (*.scl)", "Setup (*.SetupScl) (*.SetupScl *.x)",
                         "All Files (*.*) (*)"}));
}

TEST(QtUi, SaveDialogIsQtsOwnAndAppendsTheDefaultExtension) {
  platform::testing::TempFolder folder;
  QString title;
  QStringList filters;
  WhenModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    filters = dialog->nameFilters();
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr) << "not Qt's own dialog";
    name->setText("newload");
    QTest::keyClick(name, Qt::Key_Return);
  });
  QtUi ui;
  platform::FileDialog dialog;
  dialog.title = "Type file name";
  dialog.default_extension = ".scl";
  dialog.filter = "Scale Files (*.scl)|*.scl|All Files (*.*)|*.*||NULL";
  dialog.initial_folder = folder.path();
  const std::optional<std::string> chosen = ui.SaveFile(dialog);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, folder / "newload.scl");
  EXPECT_EQ(title, "Type file name");
  EXPECT_EQ(filters.size(), 2);
}

TEST(QtUi, OpenDialogThatMustFindTheFileRefusesAMissingOne) {
  platform::testing::TempFolder folder;
  bool stayedOpen = false;
  WhenModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText("missing.SetupScl");
    WhenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); },
              true);  // "File not found."
    QTest::keyClick(name, Qt::Key_Return);
    stayedOpen = dialog->isVisible();
    dialog->reject();
  });
  QtUi ui;
  platform::FileDialog dialog;
  dialog.title = "Select Setup file";
  dialog.initial_folder = folder.path();
  dialog.must_exist = true;
  EXPECT_EQ(ui.OpenFile(dialog), std::nullopt);
  EXPECT_TRUE(stayedOpen);
}

TEST(QtUi, PromptReturnsTheTypedLineOrNothingOnCancel) {
  WhenModal([](QWidget* w) {
    auto* edit = w->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, "12A");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  QtUi ui;
  EXPECT_EQ(ui.PromptText({"Midpoint", "Diameter?", "9"}), "12A");
  WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_EQ(ui.PromptText({"Midpoint", "Diameter?", "9"}), std::nullopt);
}

}  // namespace
}  // namespace gui
