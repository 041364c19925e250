// The keypad window on screen: a Qt widget that draws a KeypadWindow and
// feeds it the pen. The widget never takes the keyboard focus, so the
// characters it sends reach the window that has it.
//
// The widget is named "PlinqWndCls", has the dynamic property "childId" 10
// (its child identifier in the panel) and the property "keyLabels" (the 30
// labels shown, for assistive tools). GUI thread only.
#ifndef KEYPAD_KEYPAD_WIDGET_H_
#define KEYPAD_KEYPAD_WIDGET_H_

#include <QFrame>

#include "keypad/keypad_window.h"

namespace plinq {

// The child identifier of the keypad window inside the panel.
inline constexpr int kKeypadChildId = 10;

class KeypadWidget : public QFrame, private WindowHost {
 public:
  // Creates the keypad as a visible, bordered child of panel covering its
  // client area, with the letters customized from the user's registry.
  // Returns nullptr when it cannot be created. panel owns the widget (Qt
  // parent); the caller may delete it earlier.
  static KeypadWidget* create(QWidget* panel);

  // Delivers the private message now (a message sent, not posted); other
  // messages are ignored.
  void sendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  // Queues the private message for the event loop (a message posted). For
  // kMessageCallback the queued message holds its own reference to the
  // callback until it is delivered or dropped.
  void postMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void customEvent(QEvent* event) override;

 private:
  explicit KeypadWidget(QWidget* panel);
  void repaintKey(int index) override;
  void repaintAll() override;
  void fitToParent() override;
  QPoint clientPoint(const QMouseEvent* event) const;
  void syncClientSize();

  KeypadWindow window_;
};

}  // namespace plinq

#endif  // KEYPAD_KEYPAD_WIDGET_H_
