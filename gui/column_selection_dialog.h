// ColumnSelectionDialog: the window "Select Colums to view..." over a
// setup::ColumnSelectionScreen.
//
// Two lists ("Available:" and "Selected:") and the move buttons between
// them. Focus entering a list and the current entry of each list go to the
// selection; every button calls the matching method; after each call the
// lists and the buttons' enabling are redrawn from the selection. OK accepts;
// the close box and Escape reject. No rule and no text of its own.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QDialog>

#include "setup/column_selection_screen.h"

class QListWidget;
class QPushButton;

namespace gui {

class ColumnSelectionDialog : public QDialog {
  Q_OBJECT

 public:
  // `selection` is borrowed and must outlive the dialog; on OK it holds the
  // user's choice.
  explicit ColumnSelectionDialog(setup::ColumnSelectionScreen& selection,
                                 QWidget* parent = nullptr);

  // The widgets (tests drive them).
  QListWidget* available() const { return available_; }
  QListWidget* selected() const { return selected_; }
  // The button whose text is `text` ("&" marks ignored); null when none.
  QPushButton* button(const char* text) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout();
  void Refresh();

  setup::ColumnSelectionScreen& selection_;
  QListWidget* available_;
  QListWidget* selected_;
  QPushButton* allIn_;
  QPushButton* allOut_;
  QPushButton* include_;
  QPushButton* exclude_;
  QPushButton* up_;
  QPushButton* down_;
  QPushButton* ok_;
};

}  // namespace gui
