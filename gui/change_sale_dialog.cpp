#include "gui/change_sale_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "gui/command_button.h"

namespace gui {
namespace {

QComboBox* List(const std::vector<std::string>& entries, int chosen, QWidget* parent) {
  auto* list = new QComboBox(parent);
  for (const std::string& entry : entries) list->addItem(QString::fromStdString(entry));
  list->setCurrentIndex(chosen);
  return list;
}

QLineEdit* NewValue(size_t maxChars, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(static_cast<int>(maxChars));
  return edit;
}

}  // namespace

ChangeSaleDialog::ChangeSaleDialog(app::Application& app, QWidget* parent)
    : QDialog(parent), screen_(app) {
  setWindowTitle(setup::kChangeSaleTitle);
  const setup::ChangeSaleView& view = screen_.view();
  QComboBox* sales = List(view.sales, view.sale, this);
  QComboBox* llrs = List(view.llrs, view.llr, this);
  QLineEdit* newSale = NewValue(setup::kMaxSaleChars, this);
  QLineEdit* newLlr = NewValue(setup::kMaxLlrChars, this);
  connect(sales, &QComboBox::activated, this, [this](int i) { screen_.OnSaleChosen(i); });
  connect(llrs, &QComboBox::activated, this, [this](int i) { screen_.OnLlrChosen(i); });
  connect(newSale, &QLineEdit::textEdited, this,
          [this](const QString& text) { screen_.OnNewSaleChanged(text.toStdString()); });
  connect(newLlr, &QLineEdit::textEdited, this,
          [this](const QString& text) { screen_.OnNewLlrChanged(text.toStdString()); });
  QDialogButtonBox* buttons = MakeOkCancel(this);
  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(setup::kChangeSaleLabel, this), 0, 0);
  layout->addWidget(sales, 0, 1);
  layout->addWidget(new QLabel(setup::kChangeToLabel, this), 0, 2);
  layout->addWidget(newSale, 0, 3);
  layout->addWidget(new QLabel(setup::kChangeLlrLabel, this), 1, 0);
  layout->addWidget(llrs, 1, 1);
  layout->addWidget(new QLabel(setup::kChangeToLabel, this), 1, 2);
  layout->addWidget(newLlr, 1, 3);
  layout->addWidget(buttons, 2, 0, 1, 4);
  newSale->setMinimumWidth(fontMetrics().horizontalAdvance(QString(22, 'W')));
}

void ChangeSaleDialog::accept() {
  if (screen_.OnOk()) QDialog::accept();
}

}  // namespace gui
