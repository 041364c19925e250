// ScreenFit: keeps every window of the program on the screen it opens on.
//
// Field tablets have 800x480 or 800x600 screens, office machines wide ones.
// Installed as an event filter on the application, ScreenFit looks at each
// top-level window as it is shown: it widens a window whose title would be
// cut (as far as the screen allows), then shrinks it to the screen's
// available area (frame included, where the window system reports one) and
// moves it inside. A window's layout can still refuse to shrink below its
// minimum size; the dialogs keep their minimum sizes within 800x480 (the
// screen-fit test checks every one).
//
// FitToScreen is the same bound for a dialog's first size: the size it wants
// (e.g. every grid column whole) as far as the screen allows.
//
// Thread safety: the Qt GUI thread only.
#pragma once

#include <QObject>
#include <QSize>

class QWidget;

namespace gui {

class ScreenFit : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Resizes `window` to `wanted`, bounded by the available area of its screen
// (less the frame, when known) and by the window's minimum size.
void FitToScreen(QWidget* window, QSize wanted);

// The width a window needs for its title `title` to show whole in the title
// bar (the text and the bar's buttons).
int TitleWidth(const QString& title);

}  // namespace gui
