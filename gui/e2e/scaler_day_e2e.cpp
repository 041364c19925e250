// A scaler's day, end to end: the real `varnolde` and `plinq-panel` under a
// private X server. The numbers and the Enter, Tab and Backspace keys of the
// data entry are tapped on the field keypad (pointer clicks through XTest),
// the rest is typed with xdotool. Afterwards the files the day left are
// checked with `varnolde-cli`. A screenshot of every screen on the way is
// left in the build folder (day/*.png).
//
// Every dialog of the day is entered, used and left by keys alone (xdotool's
// keys and the keypad's taps; the pointer never touches the program): the
// design dialog's lists after its KZ grid, the tapers window, the Reports
// dialog with Print... (into a PDF file through the print dialog), the
// supervisor's sign-in and options, and Escape on the main screen. A dialog
// that needed a click would leave its window open and stop the test.
#include "gui/e2e/e2e_support.h"
// After gtest and Qt (see e2e_support.h).
#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>

#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using e2e::Child;
using e2e::Clock;

// The keypad's keys, left to right and top to bottom, as plinq lays them
// out: 'e' is Enter, '>' Tab and '<' Backspace.
constexpr char kKeypad[] = "eAT123CLDF>HP456.MRE<ZS7890YBN";
constexpr char kEnter = 'e', kTab = '>', kBackspace = '<';

// One log as the scaler records it.
struct TypedLog {
  std::string sp;  // species, tapped on the keypad's letter keys
  int p;           // product
  int kpi;         // 3P estimate
  int ln, sd, ld;  // length and diameters
  bool split;      // the second piece of the log above (Ctrl+S)
  bool typo;       // the length is mistyped and mended with Backspace
};

// KPI 50 equals the KZ set in the design: every log is a sample log (RND
// never exceeds KZ), so the day takes the same road on every run.
// Log 2 is voided later, log 4 gets defects, log 6 is split in two.
const TypedLog kLogs[] = {
    {"DF", 1, 50, 32, 10, 14, false, false}, {"DF", 1, 50, 16, 14, 16, false, false},
    {"RC", 1, 50, 20, 12, 15, false, true},  {"PP", 2, 50, 12, 6, 8, false, false},
    {"DF", 1, 50, 40, 11, 16, false, false}, {"RC", 1, 50, 18, 16, 19, false, false},
    {"DF", 2, 50, 16, 8, 11, true, false},   {"DF", 1, 50, 24, 13, 17, false, false},
    {"PP", 1, 50, 18, 10, 13, false, false},
};

// Counts the key releases the X server delivers, from every client: a key
// tapped on the keypad has reached the program once its release is counted.
class KeyCounter {
 public:
  bool Start(const std::string& display) {
    control_ = XOpenDisplay(display.c_str());
    data_ = XOpenDisplay(display.c_str());
    if (control_ == nullptr || data_ == nullptr) return false;
    XRecordRange* range = XRecordAllocRange();
    if (range == nullptr) return false;
    range->device_events.first = KeyRelease;
    range->device_events.last = KeyRelease;
    XRecordClientSpec clients = XRecordAllClients;
    context_ = XRecordCreateContext(control_, 0, &clients, 1, &range, 1);
    XFree(range);
    XSync(control_, False);
    return context_ != 0 && XRecordEnableContextAsync(data_, context_, &KeyCounter::Intercept,
                                                      reinterpret_cast<XPointer>(this));
  }

  ~KeyCounter() {
    if (context_ != 0) {
      XRecordDisableContext(control_, context_);
      XRecordFreeContext(control_, context_);
      XSync(control_, False);
    }
    if (data_ != nullptr) XCloseDisplay(data_);
    if (control_ != nullptr) XCloseDisplay(control_);
  }

  int Count() {
    XRecordProcessReplies(data_);
    return releases_;
  }

  // Waits until more than `seen` releases have been counted.
  bool WaitBeyond(int seen) {
    for (const auto deadline = Clock::now() + e2e::kPatience; Clock::now() < deadline;) {
      if (Count() > seen) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

 private:
  static void Intercept(XPointer self, XRecordInterceptData* data) {
    if (data->category == XRecordFromServer && data->data != nullptr &&
        data->data[0] == KeyRelease) {
      ++reinterpret_cast<KeyCounter*>(self)->releases_;
    }
    XRecordFreeData(data);
  }

  Display* control_ = nullptr;
  Display* data_ = nullptr;
  XRecordContext context_ = 0;
  int releases_ = 0;
};

constexpr char kMainTitle[] = "Varnolde 2010.11.05";
constexpr char kDataEntry[] = "Log Data Entry";

class ScalerDayTest : public e2e::ProgramTest {
 protected:
  ScalerDayTest() : ProgramTest(VARNOLDE_PROGRAM) {}

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
    shots_ = fs::path(VARNOLDE_E2E_DIR) / "day";
    fs::create_directories(shots_);
    fs::copy_file(fs::path(VARNOLDE_DATA_DIR) / "demo" / "sales.csv", root_ / "bin" / "sales.csv");
    keys_ = std::make_unique<KeyCounter>();
    ASSERT_TRUE(keys_->Start(displayName_)) << "the X server records no keys";
  }

  void TearDown() override {
    keys_.reset();  // before the X server goes
    ProgramTest::TearDown();
  }

  void StartKeypad() {
    fs::create_directories(root_ / "registry");
    Start({PLINQ_PANEL, "-geometry", "400x200+870+815"},
          {{"PLINQ_REGISTRY", (root_ / "registry").string()}});
    keypad_ = WaitForWindow("Field Keypad");
    ASSERT_NE(keypad_, 0u);
  }

  // Taps each key of `keys` (labels of kKeypad) on the keypad and waits
  // until the program has been sent it.
  void Tap(const std::string& keys) {
    XRaiseWindow(display_, keypad_);
    for (const char key : keys) {
      const char* at = std::strchr(kKeypad, key);
      ASSERT_NE(at, nullptr) << "no keypad key " << key;
      const int index = static_cast<int>(at - kKeypad);
      XWindowAttributes attributes;
      ASSERT_TRUE(XGetWindowAttributes(display_, keypad_, &attributes));
      int x = 0, y = 0;
      Window child = 0;
      XTranslateCoordinates(display_, keypad_, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
      x += (index % 10 * 2 + 1) * attributes.width / 20;
      y += (index / 10 * 2 + 1) * attributes.height / 6;
      const int seen = keys_->Count();
      XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
      XTestFakeButtonEvent(display_, 1, True, CurrentTime);
      XTestFakeButtonEvent(display_, 1, False, CurrentTime);
      XSync(display_, False);
      ASSERT_TRUE(keys_->WaitBeyond(seen)) << "the keypad sent no key for " << key;
    }
  }

  // Taps a number.
  void TapNumber(int value) { Tap(std::to_string(value)); }

  // Waits for the window titled `title` and gives it the keyboard.
  Window Reach(const std::string& title) {
    const Window w = WaitForWindow(title);
    EXPECT_NE(w, 0u) << "no window titled " << title << "; shown: " << ShownTitles();
    if (w != 0) Focus(w);
    return w;
  }

  // Saves the window titled `title` as day/NN-name.png (the keypad kept
  // out of the picture).
  void Shot(const std::string& title, const std::string& name) {
    const Window w = WaitForWindow(title);
    ASSERT_NE(w, 0u) << "no window titled " << title << "; shown: " << ShownTitles();
    if (keypad_ != 0) XLowerWindow(display_, keypad_);
    XRaiseWindow(display_, w);
    XSync(display_, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // repainted after raising
    char number[16];  // room for any int, so the name is never cut short
    std::snprintf(number, sizeof number, "%02d-", ++shot_);
    EXPECT_TRUE(SaveScreenshot(w, (shots_ / (number + name + ".png")).string()));
    if (keypad_ != 0) XRaiseWindow(display_, keypad_);
    Focus(w);
  }

  // A new scale file from the bundled default setup (given on the command
  // line), named after the load receipt.
  void CreateScaleFile() {
    ASSERT_NE(Reach("Type file name"), 0u);
    ASSERT_NO_FATAL_FAILURE(Shot("Type file name", "create-file"));
    ASSERT_TRUE(Type((root_ / "data" / "310001").string()));
    ASSERT_TRUE(Keys({"Return"}));
  }

  // The load information: the sale chosen from the list fills the header;
  // the scaler adds their name.
  void FillInHeader() {
    const std::string loadInfo = "Varnolde -- Edit Load Information";
    ASSERT_NE(Reach(loadInfo), 0u);
    ASSERT_TRUE(Type("Cedar Ridge"));
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_NO_FATAL_FAILURE(Shot(loadInfo, "load-information"));
    ASSERT_TRUE(Keys({"ctrl+End"}));
    ASSERT_TRUE(Keys({"Up", "Up", "Up"}));
    ASSERT_TRUE(Type("J. Alvarez"));
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_NO_FATAL_FAILURE(Shot(loadInfo, "load-information-end"));
    // OK and Cancel alike keep the header; Escape is the keyboard's way out.
    ASSERT_TRUE(Keys({"Escape"}));
    ASSERT_TRUE(WaitForWindowGone(loadInfo));
  }

  // The design: 3P sampling on the cubic scale, and the KZ row for every
  // species and product (P 0) set to 50. The scale type is first set wrong
  // (Longlog) and mended after the KZ grid, back in the lists: the reports
  // checked at the end show cubic volumes only when the keys reached it.
  void ChooseDesign() {
    const std::string design = "Scale and Sample Setup";
    ASSERT_NE(Reach(design), 0u);
    ASSERT_TRUE(Keys({"End", "Tab", "End", "Tab", "ctrl+End"}));
    ASSERT_NO_FATAL_FAILURE(Tap(std::string("50") + kEnter));
    ASSERT_TRUE(Keys({"ctrl+shift+Tab", "shift+Tab", "Home"}));  // out of the grid, to Scale Type
    ASSERT_NO_FATAL_FAILURE(Shot(design, "design"));
    ASSERT_TRUE(Keys({"alt+o"}));  // &OK
    ASSERT_TRUE(WaitForWindowGone(design));
    ASSERT_NO_FATAL_FAILURE(Shot(kMainTitle, "main-screen"));
  }

  // Options: the SAMPLE LOG! box closes itself after two seconds.
  void CloseSampleBoxByItself() {
    ASSERT_NE(Reach(kMainTitle), 0u);
    ASSERT_TRUE(Keys({"alt+s"}));
    const std::string setup = "Varnolde -- Setup and Options";
    ASSERT_NE(Reach(setup), 0u);
    ASSERT_NO_FATAL_FAILURE(Shot(setup, "setup"));
    ASSERT_TRUE(Keys({"alt+o"}));
    ASSERT_NE(Reach("Other Options"), 0u);
    // (From the empty list, Home and Down stop at "-1": End, then Up.)
    ASSERT_TRUE(Keys({"Tab", "Tab", "Tab", "space", "Tab", "End", "Up", "Up"}));
    ASSERT_NO_FATAL_FAILURE(Shot("Other Options", "other-options"));
    // A taper for Douglas fir in the region, forest and district of the sale:
    // typed into the first row, Enter ends the edit and Enter again is OK.
    ASSERT_TRUE(Keys({"alt+t"}));
    const std::string tapers = "Tapers for Butt Logs";
    ASSERT_NE(Reach(tapers), 0u);
    ASSERT_TRUE(Keys({"ctrl+Home"}));
    ASSERT_TRUE(Type("DF"));
    for (const char* cell : {"6", "1", "3", "0.125"}) {
      ASSERT_TRUE(Keys({"Tab"}));
      ASSERT_TRUE(Type(cell));
    }
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_NO_FATAL_FAILURE(Shot(tapers, "tapers"));
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_TRUE(WaitForWindowGone(tapers));
    ASSERT_NE(Reach("Other Options"), 0u);
    ASSERT_TRUE(Keys({"alt+o"}));  // &OK
    ASSERT_TRUE(WaitForWindowGone("Other Options"));
    ASSERT_NE(Reach(setup), 0u);
    ASSERT_TRUE(Keys({"Escape"}));
    ASSERT_TRUE(WaitForWindowGone(setup));
  }

  // Data entry: the logs, two defects of log 4 and its volume.
  void RecordLogs() {
    ASSERT_NE(Reach(kMainTitle), 0u);
    ASSERT_TRUE(Keys({"alt+d"}));
    ASSERT_NE(Reach(kDataEntry), 0u);
    ASSERT_NO_FATAL_FAILURE(Shot(kDataEntry, "data-entry-empty"));
    for (size_t i = 0; i < 4; ++i) ASSERT_NO_FATAL_FAILURE(EnterLog(kLogs[i], i == 0));

    // Two defects of log 4 (a diameter cut and a length cut) on the Defect
    // grid, then back to the logs: the screen keys D, A and L, tapped on the
    // keypad's letter keys (a button's Alt+letter clicks a moment later, after
    // keys typed next). Enter after LD passed over the computed columns to
    // the remark (REM), a text cell where letters are typed: Shift+Tab goes
    // back to LD, a number cell, where they are the screen's keys.
    ASSERT_TRUE(Keys({"shift+Tab"}));
    ASSERT_NO_FATAL_FAILURE(Tap("DA"));
    // Tab passes over the measurements a method does not use.
    ASSERT_NO_FATAL_FAILURE(Tap(std::string("2") + kTab + "4" + kTab + "8" + kEnter));
    ASSERT_NO_FATAL_FAILURE(Tap("A"));
    ASSERT_NO_FATAL_FAILURE(Tap(std::string("1") + kTab + "2" + kEnter));
    ASSERT_NO_FATAL_FAILURE(Shot(kDataEntry, "defects"));
    ASSERT_NO_FATAL_FAILURE(Tap("L"));
    // The volume of log 4, segment by segment.
    ASSERT_TRUE(Keys({"v"}));
    ASSERT_NO_FATAL_FAILURE(Shot("Log Volume", "log-volume"));
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_TRUE(WaitForWindowGone("Log Volume"));
    ASSERT_NE(Reach(kDataEntry), 0u);

    for (size_t i = 4; i < std::size(kLogs); ++i)
      ASSERT_NO_FATAL_FAILURE(EnterLog(kLogs[i], false));
    ASSERT_NO_FATAL_FAILURE(Shot(kDataEntry, "data-entry-logs"));
  }

  // Log 2 was scanned twice: void it, with the reason as its remark.
  void VoidLogTwo() {
    ASSERT_TRUE(Keys({"Up", "Up", "Up", "Up", "Up", "Up", "Up", "alt+x"}));
    ASSERT_NE(Reach("Confirm"), 0u);
    ASSERT_NO_FATAL_FAILURE(Shot("Confirm", "void-confirm"));
    ASSERT_TRUE(Keys({"Tab", "space"}));  // Cancel has the focus; OK is next
    ASSERT_NE(Reach("Log Remark"), 0u);
    ASSERT_TRUE(Type("Scanned twice"));
    ASSERT_NO_FATAL_FAILURE(Shot("Log Remark", "void-remark"));
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_TRUE(WaitForWindowGone("Log Remark"));
    ASSERT_NO_FATAL_FAILURE(Shot(kDataEntry, "data-entry-voided"));
  }

  // The load's totals (Ctrl+L), then save and audit (F2), which shows them
  // again when the load passes; then the screen closes.
  void TotalsAndAudit() {
    ASSERT_NE(Reach(kDataEntry), 0u);
    ASSERT_TRUE(Keys({"ctrl+l"}));
    ASSERT_NO_FATAL_FAILURE(Shot("3P Load Information", "load-totals"));
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_TRUE(WaitForWindowGone("3P Load Information"));
    ASSERT_NE(Reach(kDataEntry), 0u);
    ASSERT_TRUE(Keys({"F2"}));
    ASSERT_NE(Reach("3P Load Information"), 0u);
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_TRUE(WaitForWindowGone("3P Load Information"));
    // OK (or Escape) closes the screen; everything is written back.
    ASSERT_NE(Reach(kDataEntry), 0u);
    ASSERT_TRUE(Keys({"Escape"}));
    ASSERT_TRUE(WaitForWindowGone(kDataEntry));
  }

  // Finalize the load.
  void Finalize() {
    ASSERT_NE(Reach(kMainTitle), 0u);
    ASSERT_TRUE(Keys({"alt+f"}));
    ASSERT_NE(Reach("Confirm Finalize"), 0u);
    ASSERT_NO_FATAL_FAILURE(Shot("Confirm Finalize", "finalize"));
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_NE(Reach("Done"), 0u);
    ASSERT_NO_FATAL_FAILURE(Shot("Done", "finalized"));
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_TRUE(WaitForWindowGone("Done"));
  }

  // The reports with their PDF copies (the PDF tick is reached with Tab);
  // the dialog stays open, and Print... prints them, the audit report too,
  // through the print dialog into a PDF file (no printer needed).
  void WriteReports() {
    ASSERT_NE(Reach(kMainTitle), 0u);
    ASSERT_NO_FATAL_FAILURE(Shot(kMainTitle, "main-screen-finalized"));
    ASSERT_TRUE(Keys({"alt+r"}));
    ASSERT_NE(Reach("Reports"), 0u);
    ASSERT_TRUE(Keys({"Tab", "Tab", "Tab", "space"}));  // PDF copies
    ASSERT_NO_FATAL_FAILURE(Shot("Reports", "reports"));
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_NE(Reach("Done"), 0u);
    ASSERT_NO_FATAL_FAILURE(Shot("Done", "reports-written"));
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_TRUE(WaitForWindowGone("Done"));
    ASSERT_NE(Reach("Reports"), 0u);
    ASSERT_TRUE(Keys({"alt+p"}));
    ASSERT_NE(Reach("Print"), 0u);
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_TRUE(WaitForWindowGone("Print"));
    const fs::path printed = root_ / "home" / "print.pdf";
    for (const auto deadline = Clock::now() + e2e::kPatience;
         !fs::exists(printed) && Clock::now() < deadline;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(fs::exists(printed)) << "nothing printed to " << printed;
    ASSERT_NE(Reach("Reports"), 0u);
    ASSERT_TRUE(Keys({"Escape"}));
    ASSERT_TRUE(WaitForWindowGone("Reports"));
  }

  // The supervisor road: Setup & Options, Supervisor, the sign-in, and the
  // audit report written again from "Supervisor Options".
  void SupervisorRoad() {
    // The office's password file beside the program (the bundled account).
    fs::copy_file(fs::path(VARNOLDE_PROGRAM).parent_path() / "Varnolde.upw",
                  root_ / "bin" / "Varnolde.upw", fs::copy_options::overwrite_existing);
    ASSERT_NE(Reach(kMainTitle), 0u);
    ASSERT_TRUE(Keys({"alt+s"}));
    const std::string setup = "Varnolde -- Setup and Options";
    ASSERT_NE(Reach(setup), 0u);
    ASSERT_TRUE(Keys({"alt+s"}));
    ASSERT_NE(Reach("Username & Password"), 0u);
    ASSERT_TRUE(Type("supervisor"));
    ASSERT_TRUE(Keys({"Tab"}));
    ASSERT_TRUE(Type("scale2010"));
    ASSERT_TRUE(Keys({"Return"}));  // &Sign in is the default
    const std::string options = "Supervisor Options";
    ASSERT_NE(Reach(options), 0u);
    ASSERT_NO_FATAL_FAILURE(Shot(options, "supervisor"));
    ASSERT_TRUE(Keys({"alt+a"}));  // Create &Audit Report
    ASSERT_NE(Reach("Done"), 0u);
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_TRUE(WaitForWindowGone("Done"));
    ASSERT_NE(Reach(options), 0u);
    ASSERT_TRUE(Keys({"Escape"}));
    ASSERT_TRUE(WaitForWindowGone(options));
    ASSERT_NE(Reach(setup), 0u);
    ASSERT_TRUE(Keys({"Escape"}));
    ASSERT_TRUE(WaitForWindowGone(setup));
  }

  // Escape on the main screen asks first; No (the default) keeps it.
  void EscapeAsksFirst() {
    ASSERT_NE(Reach(kMainTitle), 0u);
    ASSERT_TRUE(Keys({"Escape"}));
    ASSERT_NE(Reach("Confirm"), 0u);
    ASSERT_TRUE(Keys({"Return"}));
    ASSERT_TRUE(WaitForWindowGone("Confirm"));
    ASSERT_NE(Reach(kMainTitle), 0u);
  }

  // The files of the day, checked with varnolde-cli; the same load as a
  // text file, through varnolde-cli, gives the same log report.
  void CheckTheFiles() {
    const std::string scale = Scale();
    const std::string base = (root_ / "data" / "310001").string();
    for (const char* extension :
         {".cmp", ".clg", ".bva", ".audit", ".cmp.pdf", ".clg.pdf", ".audit.pdf"})
      EXPECT_TRUE(fs::exists(base + extension)) << extension;
    std::string tapers;
    ASSERT_EQ(Cli({"dump", scale, "--table", "Tapers"}, &tapers), 0);
    EXPECT_NE(tapers.find("\"DF\""), std::string::npos) << tapers;
    EXPECT_NE(tapers.find("0.125"), std::string::npos) << tapers;
    EXPECT_EQ(Cli({"audit", scale}), 0);
    std::string logTable;
    ASSERT_EQ(Cli({"dump", scale, "--table", "Log"}, &logTable), 0);
    std::string loadTable;
    ASSERT_EQ(Cli({"dump", scale, "--table", "Load"}, &loadTable), 0);
    std::vector<std::string> draws;
    ASSERT_NO_FATAL_FAILURE(CheckLogTable(logTable, &draws));
    const std::string typedReport = Read(base + ".clg");
    ExpectLogLines(typedReport);

    // The same load as a text file, through varnolde-cli, gives the same log
    // report.
    const std::string imported = (root_ / "data" / "imported.scl").string();
    const fs::path text = root_ / "data" / "310001.txt";
    std::ofstream(text) << ImportText(loadTable, draws);
    ASSERT_EQ(Cli({"create", imported}), 0);
    ASSERT_EQ(Cli({"import", imported, text.string()}), 0);
    ASSERT_EQ(Cli({"report", imported, "--log"}), 0);
    EXPECT_EQ(ReportLines(Read(root_ / "data" / "imported.clg")), ReportLines(typedReport));
  }

  // Records `log` on a new row of the Log grid: Ctrl+A, then the row's cells
  // from the species on; the first log of the load gets its number too.
  void EnterLog(const TypedLog& log, bool first) {
    ASSERT_TRUE(Keys({log.split ? "ctrl+s" : "ctrl+a"}));
    if (first) {
      ASSERT_TRUE(Keys({"Left", "Left"}));  // from SP back to LOG
      ASSERT_NO_FATAL_FAILURE(Tap(std::string("1") + kTab + kTab));
    }
    ASSERT_NO_FATAL_FAILURE(Tap(log.sp + kTab + std::to_string(log.p) + kTab));
    ASSERT_NO_FATAL_FAILURE(Tap(std::to_string(log.kpi) + kTab));
    ASSERT_NO_FATAL_FAILURE(CloseSampleLogBox());
    // The KPI's Tab passed over RND and HIT (read-only) to G; G and B are
    // passed by.
    const std::string length =
        log.typo ? std::to_string(log.ln) + "7" + kBackspace : std::to_string(log.ln);
    ASSERT_NO_FATAL_FAILURE(Tap(std::string(2, kTab) + length + kTab + std::to_string(log.sd) +
                                kTab + std::to_string(log.ld) + kEnter));
  }

  // The "SAMPLE LOG!" box (it has no title) shows and closes itself.
  void CloseSampleLogBox() {
    ASSERT_NE(WaitForWindow(""), 0u) << "no SAMPLE LOG! box; shown: " << ShownTitles();
    if (!sampleShot_) {
      ASSERT_NO_FATAL_FAILURE(Shot("", "sample-log"));
      sampleShot_ = true;
    }
    ASSERT_TRUE(WaitForWindowGone(""));
    ASSERT_NE(Reach(kDataEntry), 0u);
  }

  // Checks the Log table's dump: one row per typed log, log 2 voided with
  // its remark; `draws` receives each row's RND.
  static void CheckLogTable(const std::string& dump, std::vector<std::string>* draws) {
    int number = 0;
    std::string::const_iterator from = dump.begin();
    for (const TypedLog& log : kLogs) {
      if (!log.split) ++number;
      const bool voided = number == 2;
      const std::regex row(
          "\\[\"Cedar Ridge\", \"310001\", " + std::to_string(number) + ", \"" +
          (log.split ? "2" : "1") + "\", \"" + log.sp + "\", " + std::to_string(log.p) +
          ", 0, \"\", " + std::to_string(log.kpi) + ", (\\d+), 1, " + std::to_string(log.ln) +
          ", " + std::to_string(log.sd) + ", " + std::to_string(log.ld) + ", [^,]+, [^,]+, 0, 0, " +
          (voided ? "1, \"Scanned twice\"" : "0, \"\"") + ", 0, 0\\]");
      std::smatch found;
      ASSERT_TRUE(std::regex_search(from, dump.end(), found, row))
          << "log " << number << " not stored as typed:\n"
          << dump;
      draws->push_back(found[1]);
      from = found[0].second;
    }
    EXPECT_NE(dump.find("\"row_count\": " + std::to_string(std::size(kLogs))), std::string::npos);
  }

  // The log report lists every log with its measurements.
  static void ExpectLogLines(const std::string& report) {
    int number = 0;
    for (const TypedLog& log : kLogs) {
      if (!log.split) ++number;
      char line[64];
      std::snprintf(line, sizeof line, "%3d  %d  %s  %2d  %2d  %2d   %d        %2d", number,
                    log.split ? 2 : 1, log.sp.c_str(), log.ln, log.sd, log.ld, log.p, log.kpi);
      EXPECT_NE(report.find(line), std::string::npos) << "no line " << line << " in\n" << report;
    }
  }

  // The day's load as an import text: the header the sale filled in, the
  // typed logs with the program's draws, the two defects and the design's
  // KZ row.
  static std::string ImportText(const std::string& loadDump,
                                const std::vector<std::string>& draws) {
    std::smatch when;
    std::regex_search(loadDump, when, std::regex("\"(\\d{8})\", \"(\\d\\d:\\d\\d)\""));
    std::string text =
        "[Load]\n"
        "Load[SALE:S,LLR:S,CONTRACT:S,PURCH:S,LOCATION:S,BRAND:S,REM:S,DEST:S,STATUS:S,MEASSYS:S,"
        "REGION:S,FOREST:S,DISTRICT:S,SG:S,ST:S,SCALESYS:S,CFSAWCU:F,CFNONSAWCU:F,MINLEN:I,"
        "MAXLEN:I,MINDIA:I,MAXDIA:I,SDATE:S,STIME:S,SCALER:S]\n"
        "SALE,LLR,CONTRACT,PURCH,LOCATION,BRAND,REM,DEST,STATUS,MEASSYS,REGION,FOREST,DISTRICT,SG,"
        "ST,SCALESYS,CFSAWCU,CFNONSAWCU,MINLEN,MAXLEN,MINDIA,MAXDIA,SDATE,STIME,SCALER\n"
        "Cedar Ridge,310001,CR-2026-07,North Fork Mill,Landing 4,NF,Thinning unit 12,"
        "North Fork Mill yard,Open,English,6,1,3,01,3P,Cubic,10.67,8.0,8,70,4,40," +
        when[1].str() + "," + when[2].str() + ",J. Alvarez\n\n";
    text +=
        "[Log]\n"
        "Log[SALE:S,LLR:S,LOG:I,S:S,SP:S,P:I,G:I,KPI:I,RND:I,HIT:I,LN:I,SD:I,LD:I,VOID:I,REM:S]\n"
        "SALE,LLR,LOG,S,SP,P,G,KPI,RND,HIT,LN,SD,LD,VOID,REM\n";
    int number = 0;
    for (size_t i = 0; i < std::size(kLogs); ++i) {
      const TypedLog& log = kLogs[i];
      if (!log.split) ++number;
      text += "Cedar Ridge,310001," + std::to_string(number) + "," + (log.split ? "2" : "1") + "," +
              log.sp + "," + std::to_string(log.p) + ",0," + std::to_string(log.kpi) + "," +
              draws[i] + ",1," + std::to_string(log.ln) + "," + std::to_string(log.sd) + "," +
              std::to_string(log.ld) + (number == 2 ? ",1,Scanned twice\n" : ",0,\n");
    }
    text +=
        "\n[DefC]\n"
        "DefC[SALE:S,LLR:S,LOG:I,S:S,Seg:I,M:I,M1:I,LN:I]\n"
        "SALE,LLR,LOG,S,Seg,M,M1,LN\n"
        "Cedar Ridge,310001,4,1,0,2,4,8\n"
        "Cedar Ridge,310001,4,1,0,1,,2\n"
        "\n[KZ]\nKZ[P:I,SP:S,KZ:I]\nP,SP,KZ\n0,,50\n";
    return text;
  }

  // A report's non-blank lines, the time it was written masked, without
  // the lines of the KZ table: the import adds its KZ row to the default
  // setup's, where the design dialog changed that one.
  static std::string ReportLines(const std::string& report) {
    std::istringstream in(std::regex_replace(report, std::regex("(Date|Time): [0-9/:]+"), "$1: *"));
    const std::regex blankOrKz("\\s*|\\s+\\d+\\s+[A-Z]*\\s+\\d+\\s*");
    std::string lines;
    for (std::string line; std::getline(in, line);) {
      if (!std::regex_match(line, blankOrKz)) lines += line + "\n";
    }
    return lines;
  }

  std::string Scale() const { return (root_ / "data" / "310001.scl").string(); }

  static std::string Read(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path shots_;
  int shot_ = 0;
  std::unique_ptr<KeyCounter> keys_;
  Window keypad_ = 0;
  bool sampleShot_ = false;
};

TEST_F(ScalerDayTest, ADayOfScaling) {
  ASSERT_NO_FATAL_FAILURE(StartKeypad());
  Child& program = StartProgram({(root_ / "bin" / "DefaultScaler.SetupScl").string()});
  ASSERT_NO_FATAL_FAILURE(CreateScaleFile());
  ASSERT_NO_FATAL_FAILURE(FillInHeader());
  ASSERT_NO_FATAL_FAILURE(ChooseDesign());
  ASSERT_NO_FATAL_FAILURE(CloseSampleBoxByItself());
  ASSERT_NO_FATAL_FAILURE(RecordLogs());
  ASSERT_NO_FATAL_FAILURE(VoidLogTwo());
  ASSERT_NO_FATAL_FAILURE(TotalsAndAudit());
  ASSERT_NO_FATAL_FAILURE(Finalize());
  ASSERT_NO_FATAL_FAILURE(WriteReports());
  ASSERT_NO_FATAL_FAILURE(SupervisorRoad());
  ASSERT_NO_FATAL_FAILURE(EscapeAsksFirst());
  ASSERT_NE(Reach(kMainTitle), 0u);
  ASSERT_TRUE(Keys({"alt+o"}));  // Done
  EXPECT_EQ(program.Wait(), 0);
  CheckTheFiles();
}

}  // namespace
