#include "gui/setup_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/change_lengths_dialog.h"
#include "gui/column_selection_dialog.h"
#include "gui/command_button.h"
#include "gui/other_options_dialog.h"

namespace gui {

SetupDialog::SetupDialog(app::Application& app, app::Screens& screens, QWidget* parent)
    : QDialog(parent), app_(app), screen_(app, screens, *this) {
  setWindowTitle(setup::kSetupCaption);
  scaleType_ = new QLineEdit(this);
  scaleSample_ = new QLineEdit(this);
  fields_ = new QLineEdit(this);
  for (QLineEdit* field : {scaleType_, scaleSample_, fields_}) field->setReadOnly(true);
  table_ = new QComboBox(this);
  for (const char* name : setup::kTableChoices) table_->addItem(name);
  landing_ = new QComboBox(this);
  connect(table_, &QComboBox::activated, this, [this](int index) {
    screen_.OnTableChanged(index);
    Refresh();
  });
  connect(landing_, &QComboBox::activated, this, [this](int index) {
    screen_.OnLandingChanged(index);
    Refresh();
  });
  using S = setup::SetupScreen;
  const auto redraw = [this] { Refresh(); };
  changeFields_ =
      MakeCommandButton(this, setup::kChangeFieldsButton, screen_, &S::OnChangeFields, redraw);
  changeLengths_ =
      MakeCommandButton(this, setup::kChangeLengthsButton, screen_, &S::OnChangeLengths, redraw);
  makeSetup_ =
      MakeCommandButton(this, setup::kMakeSetupButton, screen_, &S::OnMakeSetupFile, redraw);
  otherOptions_ =
      MakeCommandButton(this, setup::kOtherOptionsButton, screen_, &S::OnOtherOptions, redraw);
  supervisor_ =
      MakeCommandButton(this, setup::kSupervisorButton, screen_, &S::OnSupervisor, redraw);
  colors_ = new QPushButton(setup::kChangeColorsButton, this);
  colors_->setEnabled(false);
  colors_->setVisible(false);
  done_ = new QPushButton(setup::kDoneButton, this);
  done_->setDefault(true);
  connect(done_, &QPushButton::clicked, this, &QDialog::accept);
  BuildLayout();
  opened_ = screen_.Open() == setup::SetupOpen::kOpened;
  if (opened_) Refresh();
}

void SetupDialog::Run(app::Application& app, app::Screens& screens, QWidget* parent) {
  SetupDialog dialog(app, screens, parent);
  if (dialog.opened()) dialog.exec();
}

void SetupDialog::BuildLayout() {
  auto* form = new QFormLayout;
  form->addRow(setup::kScaleTypeLabel, scaleType_);
  form->addRow(setup::kScaleSampleLabel, scaleSample_);
  form->addRow(setup::kTableLabel, table_);
  form->addRow(setup::kFieldsLabel, fields_);
  form->addRow(setup::kLandingLabel, landing_);
  auto* buttons = new QGridLayout;
  buttons->addWidget(changeFields_, 0, 0);
  buttons->addWidget(changeLengths_, 0, 1);
  buttons->addWidget(makeSetup_, 1, 0);
  buttons->addWidget(otherOptions_, 1, 1);
  buttons->addWidget(supervisor_, 2, 0);
  buttons->addWidget(colors_, 2, 1);
  buttons->addWidget(done_, 3, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  fields_->setMinimumWidth(fields_->fontMetrics().horizontalAdvance(QString(48, '0')));
}

void SetupDialog::Refresh() {
  const setup::SetupView& view = screen_.view();
  scaleType_->setText(QString::fromStdString(view.scaleType));
  scaleSample_->setText(QString::fromStdString(view.scaleSample));
  table_->setCurrentIndex(static_cast<int>(view.table));
  fields_->setText(QString::fromStdString(view.fields));
  fields_->setCursorPosition(0);
  fields_->setToolTip(fields_->text());
  const QSignalBlocker quiet(landing_);
  landing_->clear();
  for (const std::string& name : view.landingChoices) {
    landing_->addItem(QString::fromStdString(name));
  }
  landing_->setCurrentIndex(view.landingIndex);
  landing_->setEnabled(view.landingEnabled);
}

bool SetupDialog::SelectColumns(setup::ColumnSelectionScreen& selection) {
  return ColumnSelectionDialog(selection, this).exec() == QDialog::Accepted;
}

void SetupDialog::ChangeLengths(const std::string& table) {
  ChangeLengthsDialog::Run(app_, table, this);
}

void SetupDialog::OtherOptions() { OtherOptionsDialog::Run(app_, this); }

}  // namespace gui
