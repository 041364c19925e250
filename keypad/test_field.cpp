// A text field for the keypad's end-to-end test: a window titled
// "plinq test field" with one multi-line text editor (so Tab and Enter stay
// in the text) that has the focus. It prints "ready" once shown, "active"
// each time its window gets the keyboard focus, and "text:" followed by the
// whole text (Tab as \t, newline as \n) after every change, one line each.
#include <QApplication>
#include <QPlainTextEdit>
#include <QWindow>
#include <cstdio>

namespace {

void say(const QString& line) {
  std::fputs(line.toUtf8().constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

QString escaped(QString text) {
  return text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
      .replace(QLatin1Char('\t'), QStringLiteral("\\t"))
      .replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QPlainTextEdit field;
  field.setWindowTitle(QStringLiteral("plinq test field"));
  field.resize(300, 100);
  QObject::connect(&field, &QPlainTextEdit::textChanged, [&] { say("text:" + escaped(field.toPlainText())); });
  QObject::connect(&app, &QGuiApplication::focusWindowChanged, [&](QWindow* window) {
    if (window != nullptr && window == field.windowHandle()) say(QStringLiteral("active"));
  });
  field.show();
  field.activateWindow();
  field.setFocus();
  say(QStringLiteral("ready"));
  return QApplication::exec();
}
