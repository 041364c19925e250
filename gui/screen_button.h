// A command button bound to one method of a screen's logic class: a click,
// Space or its mnemonic runs the method, then the dialog redraws itself from
// the screen's state.
#pragma once

#include <QPushButton>
#include <functional>
#include <utility>

#include "gui/command_button.h"

namespace gui {

// Makes a MakeCommandButton with `text` as a child of `parent` that calls
// (screen.*action)() and then `redraw`. `screen` must outlive the button.
template <class Screen>
QPushButton* MakeScreenButton(QWidget* parent, const char* text, Screen& screen,
                              void (Screen::*action)(), std::function<void()> redraw) {
  return MakeCommandButton(parent, text, [&screen, action, redraw = std::move(redraw)] {
    (screen.*action)();
    redraw();
  });
}

}  // namespace gui
