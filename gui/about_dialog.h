// AboutDialog: the About box (program name, version and what it does).
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

namespace gui {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  // A modal box over `parent` (the active window when null).
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace gui
