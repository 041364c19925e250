#include "gui/quick_estimate_window.h"

#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dataentry/data_entry_screen.h"
#include "scaling/volume_windows.h"

namespace gui {

QuickEstimateWindow::QuickEstimateWindow(QWidget* parent)
    : QDialog(parent),
      sd_(new QLineEdit(this)),
      ld_(new QLineEdit(this)),
      ln_(new QLineEdit(this)),
      result_(new QLabel(this)) {
  setWindowTitle(scaling::kQuickEstimateCaption);
  auto* form = new QFormLayout;
  form->addRow(dataentry::kQuickSdLabel, sd_);
  form->addRow(dataentry::kQuickLdLabel, ld_);
  form->addRow(dataentry::kQuickLnLabel, ln_);
  for (QLineEdit* field : {sd_, ld_, ln_}) field->setValidator(new QIntValidator(0, 9999, field));
  auto* calculate = new QPushButton(dataentry::kQuickCalculate, this);
  calculate->setDefault(true);
  connect(calculate, &QPushButton::clicked, this, &QuickEstimateWindow::Calculate);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(calculate);
  layout->addWidget(result_);
  result_->setMinimumWidth(180);
}

void QuickEstimateWindow::Calculate() {
  result_->setText(QString::fromStdString(scaling::QuickEstimateText(
      sd_->text().toStdString(), ld_->text().toStdString(), ln_->text().toStdString())));
}

QString QuickEstimateWindow::result() const { return result_->text(); }

}  // namespace gui
