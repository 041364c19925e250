#include "gui/design_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "gui/command_button.h"
#include "gui/grid_view.h"
#include "gui/command_button.h"

namespace gui {
namespace {

template <size_t N>
QComboBox* List(const char* const (&entries)[N], const char* name, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  for (const char* entry : entries) list->addItem(entry);
  return list;
}

}  // namespace

DesignDialog::DesignDialog(app::Application& app, QWidget* parent) : QDialog(parent), screen_(app) {
  setWindowTitle(app::kDesignTitle);
  scaleType_ = List(app::kScaleTypes, "scaleType", this);
  scaleSample_ = List(app::kScaleSamples, "scaleSample", this);
  connect(scaleType_, &QComboBox::activated, this, [this](int index) {
    screen_.OnScaleTypeChanged(index);
    Refresh();
  });
  connect(scaleSample_, &QComboBox::activated, this, [this](int index) {
    screen_.OnScaleSampleChanged(index);
    Refresh();
  });
  kzGrid_ = new GridView(screen_.kzGrid(), this);
  kzGrid_->setObjectName("kzGrid");
  addRecord_ = MakeCommandButton(this, app::kDesignAddRecord, [this] {
    screen_.OnAddRecord();
    Refresh();
    kzGrid_->setFocus();
  });
  deleteRecord_ = MakeCommandButton(this, app::kDesignDeleteRecord, screen_,
                                   &app::DesignScreen::OnDeleteRecord, [this] { Refresh(); });
  BuildLayout();
  Refresh();
}

void DesignDialog::BuildLayout() {
  QDialogButtonBox* buttons = MakeOkCancel(this);
  auto* layout = new QGridLayout(this);
  auto* typeLabel = new QLabel(app::kDesignScaleTypeLabel, this);
  auto* sampleLabel = new QLabel(app::kDesignScaleSampleLabel, this);
  typeLabel->setBuddy(scaleType_);
  sampleLabel->setBuddy(scaleSample_);
  layout->addWidget(typeLabel, 0, 0);
  layout->addWidget(scaleType_, 0, 1);
  layout->addWidget(sampleLabel, 1, 0);
  layout->addWidget(scaleSample_, 1, 1);
  layout->addWidget(kzGrid_, 2, 0, 1, 3);
  layout->addWidget(addRecord_, 3, 0);
  layout->addWidget(deleteRecord_, 3, 1);
  layout->addWidget(buttons, 4, 0, 1, 3);
  layout->setColumnStretch(2, 1);
  kzGrid_->setMinimumSize(kzGrid_->CharsToPixels(36), kzGrid_->CharsToPixels(12));
}

void DesignDialog::Refresh() {
  const app::DesignView& view = screen_.view();
  scaleType_->setCurrentIndex(view.scaleType);
  scaleSample_->setCurrentIndex(view.scaleSample);
  scaleSample_->setEnabled(view.scaleSampleEnabled);
  for (QWidget* widget : {static_cast<QWidget*>(kzGrid_), static_cast<QWidget*>(addRecord_),
                          static_cast<QWidget*>(deleteRecord_)}) {
    widget->setVisible(view.kzShown);
    widget->setEnabled(view.kzEnabled);
  }
}

void DesignDialog::accept() {
  choice_ = screen_.OnOk();
  if (choice_) QDialog::accept();
}

}  // namespace gui
