#include "gui/reports_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/check_compare.h"
#include "app/main_screen.h"
#include "gui/report_printer.h"

namespace gui {
namespace {

QCheckBox* TickBox(const char* text, bool ticked, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setChecked(ticked);
  return box;
}

}  // namespace

ReportsDialog::ReportsDialog(app::Application* app, QWidget* parent)
    : QDialog(parent != nullptr ? parent : QApplication::activeWindow()), app_(app) {
  setWindowTitle(app::kReportsTitle);
  const app::ReportChoice initial;
  comprehensive_ = TickBox(app::kReportsComprehensive, initial.comprehensive, this);
  logReport_ = TickBox(app::kReportsLog, initial.logReport, this);
  brevanta_ = TickBox(app::kReportsBrevanta, initial.brevanta, this);
  pdf_ = TickBox(app::kReportsPdf, initial.pdf, this);
  if (app_ != nullptr && app_->checkScale) {
    checkCompare_ = TickBox(app::kReportsCheckCompare, true, this);
  }
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* generate = buttons->addButton(app::kReportsGenerate, QDialogButtonBox::AcceptRole);
  QPushButton* print = buttons->addButton(app::kReportsPrint, QDialogButtonBox::ActionRole);
  print->setAutoDefault(false);
  print->setEnabled(app_ != nullptr && !PrintableReports(app_->lastReports).empty());
  connect(print, &QPushButton::clicked, this,
          [this] { PrintReports(this, app_->lastReports, app_->fs, app_->ui); });
  buttons->addButton(QDialogButtonBox::Cancel);
  generate->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  for (QCheckBox* box : {comprehensive_, logReport_, brevanta_, checkCompare_, pdf_}) {
    if (box != nullptr) layout->addWidget(box);
  }
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

app::ReportChoice ReportsDialog::choice() const {
  app::ReportChoice choice;
  choice.comprehensive = comprehensive_->isChecked();
  choice.logReport = logReport_->isChecked();
  choice.brevanta = brevanta_->isChecked();
  choice.pdf = pdf_->isChecked();
  choice.checkCompare = checkCompare_ != nullptr && checkCompare_->isChecked();
  return choice;
}

}  // namespace gui
