#include "gui/report_printer.h"

#include <QFont>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRawFont>
#include <algorithm>

#include "reports/report_pages.h"

namespace gui {

namespace {

using namespace Qt::StringLiterals;

// The report face sized in points so that a glyph advances one character
// pitch, but no taller than a line (a sheet with closely set lines gets
// glyphs narrower than their pitch rather than overlapping ones).
QRawFont ReportFont(const reports::PrintSheet& sheet) {
  QFont font(QString::fromLatin1(reports::kReportFontFamily));
  font.setStyleHint(QFont::Monospace);
  QRawFont raw = QRawFont::fromFont(font);
  raw.setPixelSize(1);
  const QList<QPointF> advances = raw.advancesForGlyphIndexes(raw.glyphIndexesForString(u"0"_s));
  const double advance = advances.isEmpty() ? 0 : advances.front().x();
  raw.setPixelSize(
      std::min(advance > 0 ? sheet.charPitch / advance : sheet.charPitch, sheet.linePitch));
  return raw;
}

QPageLayout SheetLayout(const reports::PrintSheet& sheet) {
  return QPageLayout(QPageSize(QPageSize::Letter),
                     sheet.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

// One line as a run of glyphs, each placed at its own character position so
// that columns hold exactly whatever the face's advances.
QGlyphRun LineRun(const QRawFont& font, const std::string& line, double charPitch) {
  QGlyphRun run;
  run.setRawFont(font);
  const QList<quint32> glyphs = font.glyphIndexesForString(
      QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
  QList<QPointF> positions;
  for (qsizetype i = 0; i < glyphs.size(); ++i) positions.append(QPointF(i * charPitch, 0));
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  return run;
}

// Draws one report's sheets, in points; the first goes on the current page.
void DrawReport(QPainter& painter, QPrinter& printer, const reports::PrintSheet& sheet,
                const std::vector<reports::SheetLines>& sheets) {
  painter.resetTransform();
  painter.scale(printer.resolution() / 72.0, printer.resolution() / 72.0);
  const QRawFont font = ReportFont(sheet);
  const double baseline = (sheet.linePitch - font.ascent() - font.descent()) / 2 + font.ascent();
  for (size_t page = 0; page < sheets.size(); ++page) {
    if (page > 0) printer.newPage();
    const reports::SheetLines& lines = sheets[page];
    for (size_t i = 0; i < lines.size(); ++i) {
      const double top = sheet.top + static_cast<double>(i) * sheet.linePitch;
      painter.drawGlyphRun(QPointF(sheet.left, top + baseline),
                           LineRun(font, lines[i], sheet.charPitch));
    }
  }
}

}  // namespace

QtReportPrinter::QtReportPrinter(QPrinter& printer, QWidget* parent)
    : printer_(printer), parent_(parent) {}

bool QtReportPrinter::Choose() {
  QPrintDialog dialog(&printer_, parent_);
  return dialog.exec() == QDialog::Accepted;
}

bool QtReportPrinter::Print(const app::PrintedReport& report) {
  // The page layout of the next page is set before it starts.
  printer_.setFullPage(true);
  printer_.setPageLayout(SheetLayout(report.sheet));
  if (painter_.isActive()) {
    printer_.newPage();
  } else if (!painter_.begin(&printer_)) {
    return false;
  }
  DrawReport(painter_, printer_, report.sheet, report.pages);
  return true;
}

}  // namespace gui
