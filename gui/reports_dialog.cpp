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

ReportsDialog::ReportsDialog(app::Application& app, Generate generate, QWidget* parent)
    : QDialog(parent != nullptr ? parent : QApplication::activeWindow()),
      app_(app),
      generate_(std::move(generate)) {
  setWindowTitle(app::kReportsTitle);
  const app::ReportChoice& last = app_.reportChoice;
  comprehensive_ = TickBox(app::kReportsComprehensive, last.comprehensive, this);
  logReport_ = TickBox(app::kReportsLog, last.logReport, this);
  brevanta_ = TickBox(app::kReportsBrevanta, last.brevanta, this);
  pdf_ = TickBox(app::kReportsPdf, last.pdf, this);
  if (app_.IsCheckScale()) {
    checkCompare_ = TickBox(app::kReportsCheckCompare, last.checkCompare, this);
  }
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* generateButton = buttons->addButton(app::kReportsGenerate, QDialogButtonBox::ActionRole);
  print_ = buttons->addButton(app::kReportsPrint, QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(kReportsClose, QDialogButtonBox::RejectRole);
  generateButton->setDefault(true);
  connect(generateButton, &QPushButton::clicked, this, &ReportsDialog::OnGenerate);
  connect(print_, &QPushButton::clicked, this,
          [this] { PrintReports(this, app_.lastReports, app_.fs, app_.ui); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  for (QCheckBox* box : {comprehensive_, logReport_, brevanta_, checkCompare_, pdf_}) {
    if (box != nullptr) layout->addWidget(box);
  }
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  Refresh();
}

app::ReportChoice ReportsDialog::choice() const {
  app::ReportChoice choice;
  choice.comprehensive = comprehensive_->isChecked();
  choice.logReport = logReport_->isChecked();
  choice.brevanta = brevanta_->isChecked();
  choice.pdf = pdf_->isChecked();
  // A file of another type keeps the tick as it was for the next check scale file.
  choice.checkCompare =
      checkCompare_ != nullptr ? checkCompare_->isChecked() : app_.reportChoice.checkCompare;
  return choice;
}

void ReportsDialog::OnGenerate() {
  app_.reportChoice = choice();
  generate_(app_.reportChoice);
  Refresh();
}

void ReportsDialog::Refresh() { print_->setEnabled(!PrintableReports(app_.lastReports).empty()); }

}  // namespace gui
