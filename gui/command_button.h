// The push buttons of the screens' dialogs: each runs one command of the
// dialog's logic class and then redraws the dialog from that class's state;
// and the closing buttons (OK, Cancel) every dialog shares.
#pragma once

#include <QPushButton>
#include <functional>
#include <utility>

class QDialog;
class QDialogButtonBox;

namespace gui {

// The closing buttons' texts with their underlined letters (Alt+O, Alt+C).
inline constexpr char kOkButton[] = "&OK";
inline constexpr char kCancelButton[] = "&Cancel";
// Cancel where C is taken by another button of the dialog.
inline constexpr char kCancelButtonN[] = "Ca&ncel";

// Makes a push button with `text` ("&" marks the mnemonic) as a child of
// `parent` (which owns it). A click, Space or its mnemonic runs `command`.
// Enter presses it while it has the focus; elsewhere Enter belongs to the
// field that has the focus, or presses the dialog's default button.
QPushButton* MakeCommandButton(QWidget* parent, const char* text, std::function<void()> command);

// As above, and `redraw` runs after every `command`: the dialog shows the
// state the command left.
QPushButton* MakeCommandButton(QWidget* parent, const char* text, std::function<void()> command,
                               std::function<void()> redraw);

// The button of a screen's command: a click runs `(screen.*command)()`, then
// `redraw`. `screen` is borrowed and must outlive the button.
template <typename Screen>
QPushButton* MakeCommandButton(QWidget* parent, const char* text, Screen& screen,
                               void (Screen::*command)(), std::function<void()> redraw) {
  return MakeCommandButton(
      parent, text, [&screen, command] { (screen.*command)(); }, std::move(redraw));
}

// A button box owned by `dialog` with OK (kOkButton, the dialog's default
// button: Enter presses it wherever a field does not take Enter itself) and,
// when `cancelText` is not null, Cancel with that text. OK calls the dialog's
// accept(), Cancel (and Escape) its reject().
QDialogButtonBox* MakeOkCancel(QDialog* dialog, const char* cancelText = kCancelButton);

}  // namespace gui
