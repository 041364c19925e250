// QuickEstimateWindow: the "Quick Volume Estimage" window of the data entry
// screen (Ctrl+E): three number fields "SD:", "LD:", "LN:" and "&Calculate",
// which shows "CF Volume: " and the estimate (scaling::QuickEstimateText).
//
// Thread safety: GUI thread only.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace gui {

class QuickEstimateWindow : public QDialog {
  Q_OBJECT

 public:
  explicit QuickEstimateWindow(QWidget* parent = nullptr);

  // The result line as shown (for tests).
  QString result() const;

 private:
  void Calculate();

  QLineEdit* sd_;
  QLineEdit* ld_;
  QLineEdit* ln_;
  QLabel* result_;
};

}  // namespace gui
