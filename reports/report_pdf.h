// PDF copies of the printed reports.
//
// Beside a report file "NAME.cmp", "NAME.clg" or "NAME.audit" the report run
// can write "NAME.cmp.pdf" and so on: the report's own name with ".pdf"
// added, so that the comprehensive and log reports of one load get two PDFs
// that sort beside their text files and still say which report they hold.
// The text files themselves stay as they are; the PDF is an addition.
//
// The PDF has one page per report page, on the sheet report_pages.h describes
// (US Letter, landscape for the comprehensive report, the layout's margins and
// pitches), in the fixed-pitch face kReportFontFamily, embedded as a subset so
// that the file prints the same anywhere. It is drawn with cairo's PDF
// surface: a well-kept library that writes compact, valid PDF with real text
// (searchable, and read back by pdftotext), and finds the face through
// fontconfig, which this system's desktop uses too.
//
// The PDF is built in memory and written through the FileSystem in one piece,
// like the text report, so it is either written whole or not at all.
//
// Thread safety: the functions may run on any one thread at a time (cairo and
// fontconfig keep process-wide caches).
#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/ui.h"
#include "reports/report_pages.h"

namespace reports {

struct ReportContext;
struct ReportRunResult;

// The PDF copy's path: reportPath followed by ".pdf".
std::string PdfPath(std::string_view reportPath);

// Renders a report's 8-bit text (Windows-1252, pages separated by form feeds)
// as a PDF of the sheets ReportSheets gives for `sheet`, into *pdf (replacing
// what it held). Returns true on success. On failure *pdf is empty and *error
// (when not null) says why: the face kReportFontFamily is not installed, or
// cairo could not make the document. REQUIRES: pdf != nullptr.
[[nodiscard]] bool RenderReportPdf(std::string_view reportBytes, const PrintSheet& sheet,
                                   std::string* pdf, std::string* error);

// Writes the PDF copy of the report text `text` (UTF-8, as given to
// WriteReportFile for reportPath) to PdfPath(reportPath), on the sheet
// SheetForReport gives for the layout LayoutForReportFile(reportPath) names.
// The characters are those of the text file, so a character with no 8-bit
// form shows as "?" in both. Returns true when written; false, changing no
// file, for a path that names no printed report. When the PDF cannot be
// written, returns false and, when ui is not null, shows the text report's
// message (ErrorCreatingFileText of the PDF's path); when it cannot be made
// (no report face), the same caption with the text
// "<pdf path> could not be made: <reason>.".
[[nodiscard]] bool WriteReportPdf(platform::FileSystem& files, const std::string& reportPath,
                                  std::string_view text, platform::Ui* ui);

// WriteReportPdf to the PDF path `path` of the caller's choosing, for a
// report laid out with the layout text `layout` (kPortraitLayout, ...):
// for a report that has no file of its own beside the PDF.
[[nodiscard]] bool WritePdfOfReport(platform::FileSystem& files, const char* layout,
                                    const std::string& path, std::string_view text,
                                    platform::Ui* ui);

// The report file and, when context.pdfCopies is set and the file is a printed
// report (LayoutForReportFile), its PDF copy: WriteReportFile, then, only when
// the text was written, WriteReportPdf with the same ui. A PDF copy of an
// earlier version of the report, found beside it, is made again too (also
// without pdfCopies, then silently), or deleted when it cannot be, so that
// no PDF disagrees with its report. Returns whether the text report was
// written; a PDF that could not be written has shown its message (with a ui
// and pdfCopies) and never keeps the text report from being written.
// When result is not null, each path written is appended to result->written
// and each that could not be, to result->failed.
[[nodiscard]] bool WriteReportAndPdf(const ReportContext& context, const std::string& path,
                                     std::string_view text, platform::Ui* ui,
                                     ReportRunResult* result);

}  // namespace reports
