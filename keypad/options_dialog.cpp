#include "keypad/options_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace plinq {
namespace {

LetterChoices loadChoices() {
  auto registry = Registry::forUser();
  return LetterChoices(registry ? &*registry : nullptr);
}

}  // namespace

OptionsDialog::OptionsDialog(QWidget* parent) : QDialog(parent), choices_(loadChoices()) {
  setObjectName(QStringLiteral("KeybdDlg"));
  setWindowTitle(QStringLiteral("Field Keyboard"));
  setFont(QFont(QStringLiteral("Tahoma"), 10));
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(QStringLiteral("Customize the letters on either side of the numeric part of the Field Keypad."));
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* grid = new QGridLayout;
  for (int list = 0; list < kLetterLists; ++list) {
    auto* combo = new QComboBox;
    for (int item = 0; item < kLetterItems; ++item) combo->addItem(QString::fromStdString(LetterChoices::itemText(item)), item);
    combo->setCurrentIndex(choices_.selection(list));
    int index = LetterChoices::keyIndex(list);
    grid->addWidget(combo, index / kColumns, index % kColumns);
    lists_[list] = combo;
  }
  // Columns of the fixed keys keep a key's width, so the lists sit where
  // their keys sit on the keypad.
  for (int column = 0; column < kColumns; ++column) {
    if (grid->itemAtPosition(0, column) == nullptr && grid->itemAtPosition(1, column) == nullptr) {
      grid->setColumnMinimumWidth(column, lists_[0]->sizeHint().width());
    }
  }
  layout->addLayout(grid);
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"));
  auto* exit = new QPushButton(QStringLiteral("EXIT"));
  ok->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(exit);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, [this] { onOk(); });
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

void OptionsDialog::onOk() {
  for (int list = 0; list < kLetterLists; ++list) {
    QComboBox* combo = lists_[list];
    choices_.select(list, combo->currentIndex() < 0 ? -1 : combo->currentData().toInt());
  }
  // Failures are silent by design: the keys that could not be written keep
  // their earlier letters.
  if (auto registry = Registry::forUser()) choices_.save(*registry);
  accept();
}

void OptionsDialog::run(QWidget* parent) {
  OptionsDialog dialog(parent);
  dialog.exec();
}

}  // namespace plinq
