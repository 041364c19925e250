// The "Field Keyboard" customization dialog (template `KeybdDlg`): sixteen
// drop-down lists placed like the letter keys, "OK" writing the choices to
// the registry and "EXIT" writing nothing. GUI thread only.
#ifndef KEYPAD_OPTIONS_DIALOG_H_
#define KEYPAD_OPTIONS_DIALOG_H_

#include <QDialog>
#include <array>

#include "keypad/letter_choices.h"

class QComboBox;

namespace plinq {

class OptionsDialog : public QDialog {
 public:
  // A dialog over parent (may be null) showing the current letters of the
  // user's registry (the defaults when there is no store).
  explicit OptionsDialog(QWidget* parent);

  // Shows a dialog modally over parent and returns when it is closed.
  // Registry failures are silent: the earlier letters stay.
  static void run(QWidget* parent);

 private:
  void onOk();

  LetterChoices choices_;
  std::array<QComboBox*, kLetterLists> lists_{};
};

}  // namespace plinq

#endif  // KEYPAD_OPTIONS_DIALOG_H_
