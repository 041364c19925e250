#include "gui/command_button.h"

namespace gui {

QPushButton* MakeCommandButton(QWidget* parent, const char* text, std::function<void()> command) {
  auto* button = new QPushButton(text, parent);
  button->setAutoDefault(false);
  QObject::connect(button, &QPushButton::clicked, parent,
                   [command = std::move(command)] { command(); });
  return button;
}

}  // namespace gui
