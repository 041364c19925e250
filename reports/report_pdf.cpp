#include "reports/report_pdf.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/text.h"
#include "reports/report_file.h"
#include "reports/report_run.h"

// Fontconfig's configuration, loaded once per process and kept for its life,
// holds some of its blocks through offsets rather than pointers, so
// LeakSanitizer takes them for leaked at exit. Every program that draws a
// report links this file and so gets this exception.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

namespace reports {

namespace {

// Owners of the C libraries' handles.
template <typename T, void (*Free)(T*)>
struct Release {
  void operator()(T* handle) const { Free(handle); }
};
using Pattern = std::unique_ptr<FcPattern, Release<FcPattern, FcPatternDestroy>>;
using Surface = std::unique_ptr<cairo_surface_t, Release<cairo_surface_t, cairo_surface_destroy>>;
using Cairo = std::unique_ptr<cairo_t, Release<cairo_t, cairo_destroy>>;
using FontFace =
    std::unique_ptr<cairo_font_face_t, Release<cairo_font_face_t, cairo_font_face_destroy>>;
using FontOptions = std::unique_ptr<cairo_font_options_t,
                                    Release<cairo_font_options_t, cairo_font_options_destroy>>;

bool HasFamily(FcPattern* pattern, const char* family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    if (std::strcmp(reinterpret_cast<const char*>(name), family) == 0) return true;
  }
  return false;
}

// The installed report face. Fontconfig always answers with some face; any
// other than the report face would print with other widths, so it is refused.
Pattern MatchReportFace() {
  Pattern wanted(FcNameParse(reinterpret_cast<const FcChar8*>(kReportFontFamily)));
  if (!wanted) return nullptr;
  FcConfigSubstitute(nullptr, wanted.get(), FcMatchPattern);
  FcDefaultSubstitute(wanted.get());
  FcResult result = FcResultNoMatch;
  Pattern found(FcFontMatch(nullptr, wanted.get(), &result));
  if (!found || !HasFamily(found.get(), kReportFontFamily)) return nullptr;
  return found;
}

cairo_status_t AppendTo(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

// Sets the face scaled so that one character advances sheet.charPitch, as
// tall as that (but never taller than a line), with unhinted metrics so that
// the advance is exact. Returns the baseline's distance below a line's top:
// the face's ascent, with the glyph box centred in the line.
double SetReportFont(cairo_t* cr, cairo_font_face_t* face, const PrintSheet& sheet) {
  FontOptions options(cairo_font_options_create());
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
  cairo_set_font_options(cr, options.get());
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, 1);
  cairo_text_extents_t unit;
  cairo_text_extents(cr, "0", &unit);
  const double across = unit.x_advance > 0 ? sheet.charPitch / unit.x_advance : sheet.charPitch;
  cairo_matrix_t scale;
  cairo_matrix_init_scale(&scale, across, std::min(across, sheet.linePitch));
  cairo_set_font_matrix(cr, &scale);
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  return (sheet.linePitch - font.ascent - font.descent) / 2 + font.ascent;
}

void DrawSheet(cairo_t* cr, const SheetLines& lines, const PrintSheet& sheet, double baseline) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const size_t last = lines[i].find_last_not_of(' ');
    if (last == std::string::npos) continue;
    const std::string shown = lines[i].substr(0, last + 1);
    cairo_move_to(cr, sheet.left, sheet.top + static_cast<double>(i) * sheet.linePitch + baseline);
    cairo_show_text(cr, shown.c_str());
  }
  cairo_show_page(cr);
}

// Draws every sheet on a PDF surface writing into *pdf. Returns cairo's status
// once the document is finished.
cairo_status_t DrawPdf(std::string_view reportBytes, const PrintSheet& sheet, FcPattern* face,
                       std::string* pdf) {
  Surface surface(cairo_pdf_surface_create_for_stream(AppendTo, pdf, sheet.width, sheet.height));
  FontFace font(cairo_ft_font_face_create_for_pattern(face));
  {
    Cairo cr(cairo_create(surface.get()));
    cairo_set_source_rgb(cr.get(), 0, 0, 0);
    const double baseline = SetReportFont(cr.get(), font.get(), sheet);
    for (const SheetLines& lines : ReportSheets(reportBytes, sheet)) {
      DrawSheet(cr.get(), lines, sheet, baseline);
    }
    const cairo_status_t drawn = cairo_status(cr.get());
    if (drawn != CAIRO_STATUS_SUCCESS) return drawn;
  }
  cairo_surface_finish(surface.get());
  return cairo_surface_status(surface.get());
}

}  // namespace

std::string PdfPath(std::string_view reportPath) {
  std::string path(reportPath);
  path += ".pdf";
  return path;
}

bool RenderReportPdf(std::string_view reportBytes, const PrintSheet& sheet, std::string* pdf,
                     std::string* error) {
  pdf->clear();
  const Pattern face = MatchReportFace();
  if (!face) {
    if (error != nullptr) {
      *error = std::string("the fixed-pitch face ") + kReportFontFamily + " is not installed";
    }
    return false;
  }
  const cairo_status_t status = DrawPdf(reportBytes, sheet, face.get(), pdf);
  if (status == CAIRO_STATUS_SUCCESS) return true;
  pdf->clear();
  if (error != nullptr) *error = cairo_status_to_string(status);
  return false;
}

bool WriteReportPdf(platform::FileSystem& files, const std::string& reportPath,
                    std::string_view text, platform::Ui* ui) {
  const char* layout = LayoutForReportFile(reportPath);
  if (layout == nullptr) return false;
  return WritePdfOfReport(files, layout, PdfPath(reportPath), text, ui);
}

bool WritePdfOfReport(platform::FileSystem& files, const char* layout, const std::string& path,
                      std::string_view text, platform::Ui* ui) {
  const std::string bytes = platform::Utf8ToCp1252(text);
  const PrintSheet sheet = SheetForReport(LayoutGeometry(layout), bytes);
  std::string pdf, error;
  if (!RenderReportPdf(bytes, sheet, &pdf, &error)) {
    if (ui != nullptr) ShowErrorCreatingFile(*ui, path + " could not be made: " + error + ".");
    return false;
  }
  if (files.WriteFile(path, pdf) == platform::FileResult::kOk) return true;
  if (ui != nullptr) ShowErrorCreatingFile(*ui, ErrorCreatingFileText(path, files.LastErrorText()));
  return false;
}

bool WriteReportAndPdf(const ReportContext& context, const std::string& path, std::string_view text,
                       platform::Ui* ui, ReportRunResult* result) {
  const auto record = [result](bool written, const std::string& file) {
    if (result != nullptr) (written ? result->written : result->failed).push_back(file);
  };
  platform::FileSystem& files = *context.files;
  const bool written = WriteReportFile(files, path, text, ui);
  record(written, path);
  if (!written || LayoutForReportFile(path) == nullptr) return written;
  const std::string pdf = PdfPath(path);
  // A PDF of an earlier version of the report is made again with it, asked
  // for or not: a copy that says something else than its report misleads.
  const bool earlierCopy = files.Exists(pdf);
  if (!context.pdfCopies && !earlierCopy) return written;
  const bool pdfWritten = WriteReportPdf(files, path, text, context.pdfCopies ? ui : nullptr);
  if (context.pdfCopies) {
    record(pdfWritten, pdf);
  } else if (pdfWritten) {
    record(true, pdf);
  }
  // One that could not be made again goes, rather than disagree.
  if (!pdfWritten && earlierCopy) (void)files.Delete(pdf);
  return written;
}

}  // namespace reports
