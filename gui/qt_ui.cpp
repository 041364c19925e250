#include "gui/qt_ui.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>

#include "gui/command_button.h"
#include "gui/screen_fit.h"
#include "gui/volumes_window.h"

namespace gui {
namespace {

QMessageBox::Icon ToQtIcon(platform::Icon icon) {
  switch (icon) {
    case platform::Icon::kStop:
      return QMessageBox::Critical;
    case platform::Icon::kExclamation:
      return QMessageBox::Warning;
    case platform::Icon::kQuestion:
      return QMessageBox::Question;
    case platform::Icon::kInformation:
      return QMessageBox::Information;
    case platform::Icon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The box's two buttons: the first (OK or Yes) and the second (Cancel or No,
// null for a box with OK alone).
struct BoxButtons {
  QPushButton* first = nullptr;
  QPushButton* second = nullptr;
};

BoxButtons AddButtons(QMessageBox& box, platform::Buttons buttons) {
  switch (buttons) {
    case platform::Buttons::kOkCancel:
      return {box.addButton(QMessageBox::Ok), box.addButton(QMessageBox::Cancel)};
    case platform::Buttons::kYesNo:
      return {box.addButton(QMessageBox::Yes), box.addButton(QMessageBox::No)};
    case platform::Buttons::kOk:
      break;
  }
  return {box.addButton(QMessageBox::Ok), nullptr};
}

platform::Answer FirstAnswer(platform::Buttons buttons) {
  return buttons == platform::Buttons::kYesNo ? platform::Answer::kYes : platform::Answer::kOk;
}

platform::Answer SecondAnswer(platform::Buttons buttons) {
  return buttons == platform::Buttons::kYesNo ? platform::Answer::kNo : platform::Answer::kCancel;
}

}  // namespace

QStringList QtNameFilters(const std::string& filter) {
  QStringList filters;
  for (const platform::FileFilter& entry : platform::ParseFileFilter(filter)) {
    QString patterns = Q(entry.pattern).replace(';', ' ');
    // On the handheld "*.*" meant every file; here it would skip names
    // without a dot.
    if (patterns == "*.*") patterns = "*";
    filters << Q(entry.description) + " (" + patterns + ")";
  }
  return filters;
}

platform::Answer QtUi::ShowMessage(const platform::Message& message) {
  QMessageBox box(ToQtIcon(message.icon), Q(message.caption), Q(message.text),
                  QMessageBox::NoButton, QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  // A box sizes itself to its text; wide enough for its whole caption too
  // ("Missing/Incorrect Load Information" above a one-line text).
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(TitleWidth(box.windowTitle()), 0, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  const BoxButtons buttons = AddButtons(box, message.buttons);
  // Underlined letters for OK and Cancel too (Yes and No have theirs).
  for (QAbstractButton* button : box.buttons()) {
    if (box.standardButton(button) == QMessageBox::Ok) button->setText(kOkButton);
    if (box.standardButton(button) == QMessageBox::Cancel) button->setText(kCancelButton);
  }
  const bool secondIsDefault =
      message.default_button == platform::DefaultButton::kSecond && buttons.second != nullptr;
  box.setDefaultButton(secondIsDefault ? buttons.second : buttons.first);
  box.setEscapeButton(buttons.second != nullptr ? buttons.second : buttons.first);
  bool timedOut = false;
  QTimer timer;
  if (message.close_after_ms >= 0) {
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &box, [&] {
      timedOut = true;
      box.reject();
    });
    timer.start(message.close_after_ms);
  }
  box.exec();
  if (timedOut) return platform::Answer::kCancel;
  if (box.clickedButton() == buttons.first) return FirstAnswer(message.buttons);
  if (buttons.second == nullptr) return platform::Answer::kOk;
  return SecondAnswer(message.buttons);
}

std::optional<std::string> QtUi::OpenFile(const platform::FileDialog& dialog) {
  return RunFileDialog(dialog, false);
}

std::optional<std::string> QtUi::SaveFile(const platform::FileDialog& dialog) {
  return RunFileDialog(dialog, true);
}

std::optional<std::string> QtUi::RunFileDialog(const platform::FileDialog& dialog, bool save) {
  QFileDialog box(QApplication::activeWindow(), Q(dialog.title), Q(dialog.initial_folder));
  box.setOption(QFileDialog::DontUseNativeDialog);
  box.setOption(QFileDialog::HideNameFilterDetails);
  // The handheld's save dialog did not ask: a file in the way is moved to a
  // backup name by the caller.
  box.setOption(QFileDialog::DontConfirmOverwrite);
  box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  box.setFileMode(!save && dialog.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  box.setNameFilters(QtNameFilters(dialog.filter));
  QString suffix = Q(dialog.default_extension);
  if (suffix.startsWith('.')) suffix.remove(0, 1);
  box.setDefaultSuffix(suffix);
  if (!dialog.proposed_name.empty()) box.selectFile(Q(dialog.proposed_name));
  if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
  return box.selectedFiles().front().toStdString();
}

std::optional<std::string> QtUi::PromptText(const platform::TextPrompt& prompt) {
  QInputDialog box(QApplication::activeWindow());
  box.setInputMode(QInputDialog::TextInput);
  box.setWindowTitle(Q(prompt.caption));
  box.setLabelText(Q(prompt.text));
  box.setTextValue(Q(prompt.initial));
  box.setOkButtonText(kOkButton);
  box.setCancelButtonText(kCancelButton);
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return box.textValue().toStdString();
}

void QtUi::ShowText(const std::string& caption, const std::string& text) {
  VolumesWindow::Show(caption, text, QApplication::activeWindow());
}

void QtUi::Beep(platform::BeepKind) { QApplication::beep(); }

void QtUi::SetWaitCursor(bool on) {
  if (on && !waitCursor_) QApplication::setOverrideCursor(Qt::WaitCursor);
  if (!on && waitCursor_) QApplication::restoreOverrideCursor();
  waitCursor_ = on;
}

}  // namespace gui
