// The push buttons of the screens' dialogs: each runs one command of the
// dialog's logic class and then redraws the dialog from that class's state.
#pragma once

#include <QPushButton>
#include <functional>

namespace gui {

// Makes a push button with `text` ("&" marks the mnemonic) as a child of
// `parent` (which owns it). A click, Space or its mnemonic runs `command`.
// The button never becomes the dialog's default button: Enter belongs to the
// grids and fields.
QPushButton* MakeCommandButton(QWidget* parent, const char* text, std::function<void()> command);

}  // namespace gui
