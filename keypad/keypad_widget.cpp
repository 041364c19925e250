#include "keypad/keypad_widget.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <new>

namespace plinq {
namespace {

RECT rectOf(const QRect& r) { return {r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }

// A posted private message. A callback it carries stays referenced until the
// event is delivered or Qt drops it with its receiver.
class MessageEvent : public QEvent {
 public:
  static QEvent::Type type() {
    static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
    return registered;
  }
  MessageEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
      : QEvent(type()), message_(message), wParam_(wParam), lParam_(lParam) {
    if (carriesCallback() && lParam_ != 0) reinterpret_cast<IIMCallback*>(lParam_)->AddRef();
  }
  ~MessageEvent() override {
    if (carriesCallback() && lParam_ != 0) reinterpret_cast<IIMCallback*>(lParam_)->Release();
  }
  MessageEvent(const MessageEvent&) = delete;
  MessageEvent& operator=(const MessageEvent&) = delete;

  std::uint32_t message() const { return message_; }
  std::uintptr_t wParam() const { return wParam_; }
  std::intptr_t lParam() const { return lParam_; }

 private:
  bool carriesCallback() const { return message_ == kPlinqMessage && wParam_ == kMessageCallback; }
  std::uint32_t message_;
  std::uintptr_t wParam_;
  std::intptr_t lParam_;
};

}  // namespace

KeypadWidget* KeypadWidget::create(QWidget* panel) {
  auto* widget = new (std::nothrow) KeypadWidget(panel);
  if (widget == nullptr) return nullptr;
  if (auto registry = Registry::forUser()) widget->window_.customize(*registry);
  widget->setProperty("keyLabels", QString::fromStdU32String(widget->window_.labels()));
  widget->fitToParent();
  widget->show();
  return widget;
}

KeypadWidget::KeypadWidget(QWidget* panel) : QFrame(panel), window_(*this, rectOf(panel->geometry())) {
  setObjectName(QStringLiteral("PlinqWndCls"));
  setProperty("childId", kKeypadChildId);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
}

void KeypadWidget::sendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (message == kPlinqMessage) window_.onPlinqMessage(wParam, lParam);
}

void KeypadWidget::postMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  QCoreApplication::postEvent(this, new MessageEvent(message, wParam, lParam));
}

void KeypadWidget::customEvent(QEvent* event) {
  if (event->type() != MessageEvent::type()) return;
  const auto* message = static_cast<const MessageEvent*>(event);
  sendMessage(message->message(), message->wParam(), message->lParam());
}

void KeypadWidget::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.translate(contentsRect().topLeft());
  QFont font = painter.font();
  KeyRect first = window_.keyRect(0);
  font.setPixelSize(std::max(6, std::min(first.height * 3 / 5, first.width * 4 / 5)));
  painter.setFont(font);
  for (int i = 0; i < kKeyCount; ++i) {
    KeyRect k = window_.keyRect(i);
    QRect box(k.x, k.y, k.width, k.height);
    bool inverted = KeypadWindow::drawnInverted(window_.label(i));
    QColor ink = inverted ? Qt::white : Qt::black;
    painter.fillRect(box, inverted ? Qt::black : Qt::white);
    painter.setPen(ink);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    char32_t label = window_.label(i);
    painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, QString::fromUcs4(&label, 1));
  }
}

void KeypadWidget::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  syncClientSize();
}

QPoint KeypadWidget::clientPoint(const QMouseEvent* event) const {
  return event->position().toPoint() - contentsRect().topLeft();
}

void KeypadWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  QPoint p = clientPoint(event);
  window_.penDown(p.x(), p.y());
}

void KeypadWidget::mouseMoveEvent(QMouseEvent* event) {
  QPoint p = clientPoint(event);
  window_.penMove(p.x(), p.y());
}

void KeypadWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  QPoint p = clientPoint(event);
  window_.penUp(p.x(), p.y());
}

void KeypadWidget::repaintKey(int index) {
  KeyRect k = window_.keyRect(index);
  update(QRect(k.x, k.y, k.width, k.height).translated(contentsRect().topLeft()));
}

void KeypadWidget::repaintAll() { update(); }

void KeypadWidget::fitToParent() {
  if (parentWidget() != nullptr) setGeometry(parentWidget()->rect());
  // A hidden widget gets its resize event only when shown; the keys must fit
  // at once.
  syncClientSize();
}

void KeypadWidget::syncClientSize() { window_.setClientSize(contentsRect().width(), contentsRect().height()); }

}  // namespace plinq
