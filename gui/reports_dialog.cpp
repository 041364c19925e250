#include "gui/reports_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/report_printer.h"

namespace gui {

using app::ReportChoice;

ReportsDialog::ReportsDialog(app::Application& app, app::ReportsScreen::Generate generate,
                             QWidget* parent)
    : QDialog(parent != nullptr ? parent : QApplication::activeWindow()),
      screen_(app, std::move(generate)) {
  setWindowTitle(app::kReportsTitle);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TickBox(app::kReportsComprehensive, &ReportChoice::comprehensive));
  layout->addWidget(TickBox(app::kReportsLog, &ReportChoice::logReport));
  layout->addWidget(TickBox(app::kReportsBrevanta, &ReportChoice::brevanta));
  if (screen_.view().checkCompareShown) {
    layout->addWidget(TickBox(app::kReportsCheckCompare, &ReportChoice::checkCompare));
  }
  layout->addWidget(TickBox(app::kReportsPdf, &ReportChoice::pdf));
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* generateButton =
      buttons->addButton(app::kReportsGenerate, QDialogButtonBox::ActionRole);
  print_ = buttons->addButton(app::kReportsPrint, QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(app::kReportsClose, QDialogButtonBox::RejectRole);
  generateButton->setDefault(true);
  connect(generateButton, &QPushButton::clicked, this, [this] {
    screen_.OnGenerate();
    Refresh();
  });
  connect(print_, &QPushButton::clicked, this, &ReportsDialog::OnPrint);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  Refresh();
}

QCheckBox* ReportsDialog::TickBox(const char* text, bool ReportChoice::*tick) {
  auto* box = new QCheckBox(text, this);
  box->setChecked(screen_.view().ticks.*tick);
  connect(box, &QCheckBox::toggled, this,
          [this, tick](bool ticked) { screen_.OnTick(tick, ticked); });
  return box;
}

void ReportsDialog::OnPrint() {
  QPrinter printer(QPrinter::HighResolution);
  QtReportPrinter output(printer, this);
  // The screen has shown every failure; the dialog stays as it is whatever
  // came of it.
  static_cast<void>(screen_.OnPrint(output));
}

void ReportsDialog::Refresh() { print_->setEnabled(screen_.view().printEnabled); }

}  // namespace gui
