#include "gui/about_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/main_screen.h"
#include "gui/command_button.h"

namespace gui {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent != nullptr ? parent : QApplication::activeWindow()) {
  setWindowTitle(app::kAboutTitle);
  // The handheld's label broke the line with "\r\n"; a Qt label needs "\n".
  auto* version = new QLabel(QString(app::kAboutVersion).remove('\r'), this);
  version->setFont(QFont("Arial", 14, QFont::Bold));
  auto* line = new QLabel(app::kAboutLine, this);
  QDialogButtonBox* buttons = MakeOkCancel(this, nullptr);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(version);
  layout->addWidget(line);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace gui
