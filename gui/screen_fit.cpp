#include "gui/screen_fit.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace gui {
namespace {

// Room the title bar's buttons and icon take beside the title text; window
// managers differ, this covers the common ones.
constexpr int kTitleBarExtra = 120;

QRect Available(const QWidget* window) {
  const QScreen* screen = window->screen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

// The frame around the client area: known once the window manager has
// framed the window; zero before (and with no window manager).
QSize FrameExtra(const QWidget* window) {
  return window->frameGeometry().size() - window->geometry().size();
}

bool IsFittedWindow(const QWidget* widget) {
  if (!widget->isWindow()) return false;
  const Qt::WindowType type = widget->windowType();
  return type == Qt::Window || type == Qt::Dialog;
}

}  // namespace

int TitleWidth(const QString& title) {
  return QFontMetrics(QApplication::font()).horizontalAdvance(title) + kTitleBarExtra;
}

void FitToScreen(QWidget* window, QSize wanted) {
  const QRect available = Available(window);
  if (available.isValid()) {
    wanted = wanted.boundedTo(available.size() - FrameExtra(window));
  }
  window->resize(wanted.expandedTo(window->minimumSizeHint()).expandedTo(window->minimumSize()));
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
  auto* window = static_cast<QWidget*>(watched);
  if (!IsFittedWindow(window)) return false;
  const QRect available = Available(window);
  if (!available.isValid()) return false;
  const QSize wanted(std::max(window->width(), TitleWidth(window->windowTitle())), window->height());
  FitToScreen(window, wanted);
  // Inside the available area, top-left corner first when it cannot fit.
  const QSize outer = window->size() + FrameExtra(window);
  QPoint at = window->frameGeometry().topLeft();
  at.setX(std::max(available.left(), std::min(at.x(), available.right() + 1 - outer.width())));
  at.setY(std::max(available.top(), std::min(at.y(), available.bottom() + 1 - outer.height())));
  if (at != window->frameGeometry().topLeft()) window->move(at);
  return false;
}

}  // namespace gui
