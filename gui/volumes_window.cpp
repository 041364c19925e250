#include "gui/volumes_window.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/command_button.h"

namespace gui {

VolumesWindow::VolumesWindow(const std::string& caption, const std::string& text, QWidget* parent)
    : QDialog(parent), text_(new QPlainTextEdit(this)) {
  setWindowTitle(QString::fromStdString(caption));
  QString shown = QString::fromStdString(text);
  shown.replace("\r\n", "\n");
  QFont font("courier");
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(16);
  text_->setFont(font);
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setPlainText(shown);
  QDialogButtonBox* buttons = MakeOkCancel(this, nullptr);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(buttons);
  // Wide and tall enough for the widest line of the listings.
  const QFontMetrics metrics(font);
  int widest = 0;
  for (const QString& line : shown.split('\n')) {
    widest = std::max(widest, metrics.horizontalAdvance(line));
  }
  const int lines = static_cast<int>(shown.count('\n')) + 2;
  resize(std::min(widest + 60, 1000), std::min(lines * metrics.lineSpacing() + 80, 700));
  buttons->button(QDialogButtonBox::Ok)->setFocus();
}

void VolumesWindow::Show(const std::string& caption, const std::string& text, QWidget* parent) {
  VolumesWindow window(caption, text, parent);
  window.exec();
}

QString VolumesWindow::shownText() const { return text_->toPlainText(); }

}  // namespace gui
