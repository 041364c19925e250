#include "gui/other_options_dialog.h"

#include <QDialogButtonBox>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/command_button.h"
#include "gui/tapers_dialog.h"

namespace gui {

namespace {

constexpr const char* kBoxTexts[] = {setup::kAppendDateBox, setup::kAuditEachLogBox,
                                     setup::kAppendAfterDefectBox};

}  // namespace

OtherOptionsDialog::OtherOptionsDialog(app::Application& app, QWidget* parent)
    : QDialog(parent), app_(app), options_(app) {
  setWindowTitle(setup::kOtherOptionsCaption);
  open_ = options_.Open() == setup::OtherOptionsOpen::kOpened;
  for (int i = 0; i < 3; ++i) {
    boxes_[i] = new QCheckBox(kBoxTexts[i], this);
    connect(boxes_[i], &QCheckBox::toggled, this,
            [this, i](bool on) { options_.OnToggle(static_cast<setup::YesNoOption>(i), on); });
  }
  closeHit_ = new QCheckBox(setup::kCloseHitBox, this);
  seconds_ = new QComboBox(this);
  for (const char* value : setup::kCloseHitChoices) seconds_->addItem(value);
  connect(closeHit_, &QCheckBox::toggled, this, [this](bool on) {
    options_.OnCloseHitBox(on);
    Refresh();
  });
  connect(seconds_, &QComboBox::activated, this, [this](int index) {
    options_.OnCloseHitChosen(index);
    Refresh();
  });
  auto* tapers = new QPushButton(setup::kTapersButton, this);
  connect(tapers, &QPushButton::clicked, this,
          [this] { options_.OnTapersClosed(TapersDialog::Run(app_, this)); });
  BuildLayout(tapers, MakeOkCancel(this));
  Refresh();
}

void OtherOptionsDialog::BuildLayout(QWidget* tapers, QWidget* closing) {
  auto* closeHitRow = new QHBoxLayout;
  closeHitRow->addWidget(closeHit_);
  closeHitRow->addWidget(seconds_);
  closeHitRow->addWidget(new QLabel(setup::kCloseHitSeconds, this));
  closeHitRow->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(tapers);
  buttons->addStretch();
  buttons->addWidget(closing);
  auto* layout = new QVBoxLayout(this);
  for (QCheckBox* box : boxes_) layout->addWidget(box);
  layout->addLayout(closeHitRow);
  layout->addStretch();
  layout->addLayout(buttons);
}

void OtherOptionsDialog::Refresh() {
  const setup::OtherOptionsView& view = options_.view();
  for (int i = 0; i < 3; ++i) {
    const QSignalBlocker quiet(boxes_[i]);
    boxes_[i]->setChecked(view.checked[i]);
  }
  const QSignalBlocker quietBox(closeHit_);
  const QSignalBlocker quietList(seconds_);
  closeHit_->setChecked(view.closeHitChecked);
  seconds_->setEnabled(view.closeHitListEnabled);
  seconds_->setCurrentIndex(view.closeHitIndex);
}

void OtherOptionsDialog::Run(app::Application& app, QWidget* parent) {
  OtherOptionsDialog dialog(app, parent);
  if (dialog.open_) dialog.exec();
}

void OtherOptionsDialog::accept() {
  if (options_.OnOk()) QDialog::accept();
}

}  // namespace gui
