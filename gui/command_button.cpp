#include "gui/command_button.h"

#include <QDialog>
#include <QDialogButtonBox>

namespace gui {

QPushButton* MakeCommandButton(QWidget* parent, const char* text, std::function<void()> command) {
  auto* button = new QPushButton(text, parent);
  button->setAutoDefault(true);
  QObject::connect(button, &QPushButton::clicked, parent,
                   [command = std::move(command)] { command(); });
  return button;
}

QPushButton* MakeCommandButton(QWidget* parent, const char* text, std::function<void()> command,
                               std::function<void()> redraw) {
  return MakeCommandButton(parent, text,
                           [command = std::move(command), redraw = std::move(redraw)] {
                             command();
                             redraw();
                           });
}

QDialogButtonBox* MakeOkCancel(QDialog* dialog, const char* cancelText) {
  auto* box = new QDialogButtonBox(dialog);
  QPushButton* ok = box->addButton(QDialogButtonBox::Ok);
  ok->setText(kOkButton);
  if (cancelText != nullptr) box->addButton(QDialogButtonBox::Cancel)->setText(cancelText);
  ok->setDefault(true);
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}

}  // namespace gui
