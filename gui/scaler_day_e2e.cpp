// A scaler's day, end to end: the real `varnolde` and `plinq-panel` under a
// private X server. The numbers and the Enter, Tab and Backspace keys of the
// data entry are tapped on the field keypad (pointer clicks through XTest),
// the rest is typed with xdotool. Afterwards the files the day left are
// checked with `varnolde-cli`. A screenshot of every screen on the way is
// left in the build folder (day/*.png).
#include "gui/e2e_support.h"
// After gtest and Qt (see e2e_support.h).
#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>

#include <cstring>
#include <fstream>
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
};

// KPI 60 equals the sale's KZ: every log is a sample log (RND never exceeds
// KZ), so the day takes the same road on every run.
const TypedLog kLogs[] = {
    {"DF", 1, 60, 32, 10, 14}, {"DF", 1, 60, 16, 14, 16}, {"RC", 1, 60, 20, 12, 15},
    {"PP", 2, 60, 12, 6, 8},   {"DF", 1, 60, 40, 11, 16}, {"RC", 1, 60, 18, 16, 19},
    {"DF", 1, 60, 24, 13, 17}, {"DF", 2, 60, 16, 8, 11},  {"PP", 1, 60, 18, 10, 13},
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
    return context_ != 0 &&
           XRecordEnableContextAsync(data_, context_, &KeyCounter::Intercept,
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
    char number[8];
    std::snprintf(number, sizeof number, "%02d-", ++shot_);
    EXPECT_TRUE(SaveScreenshot(w, (shots_ / (number + name + ".png")).string()));
    if (keypad_ != 0) XRaiseWindow(display_, keypad_);
    Focus(w);
  }

  // Runs varnolde-cli with `args` to its end; its exit status, and its
  // standard output in `out`.
  int Cli(const std::vector<std::string>& args, std::string* out = nullptr) {
    std::vector<std::string> argv = {VARNOLDE_CLI, "--yes"};
    argv.insert(argv.end(), args.begin(), args.end());
    const fs::path log = root_ / "cli.out";
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    auto child = Child::Start(argv, {}, -1, fd);
    close(fd);
    const int status = child ? child->Wait(std::chrono::seconds(60)) : -1;
    if (out != nullptr) *out = Read(log);
    return status;
  }

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
};

TEST_F(ScalerDayTest, ADayOfScaling) {
  ASSERT_NO_FATAL_FAILURE(StartKeypad());
  // A new scale file from the bundled default setup.
  StartProgram({(root_ / "bin" / "DefaultScaler.SetupScl").string()});
  const std::string scale = (root_ / "data" / "310001.scl").string();
  ASSERT_NE(Reach("Type file name"), 0u);
  ASSERT_NO_FATAL_FAILURE(Shot("Type file name", "create-file"));
  ASSERT_TRUE(Type((root_ / "data" / "310001").string()));
  ASSERT_TRUE(Keys({"Return"}));

  // The load information: the sale chosen from the list fills the header.
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
  ASSERT_NO_FATAL_FAILURE(Shot("Scale and Sample Design", "design"));
  ASSERT_TRUE(Keys({"Return"}));
  // The main screen read the design when the file opened, before the sale
  // set it: opening the file again shows it. (A file open cannot be chosen
  // again; Cancel in the open dialog closes it first.)
  const std::string mainTitle = "Varnolde 2010.11.05";
  ASSERT_NE(Reach(mainTitle), 0u);
  ASSERT_TRUE(Keys({"alt+e"}));
  ASSERT_NE(Reach("Select file:"), 0u);
  ASSERT_TRUE(Keys({"Escape"}));
  ASSERT_TRUE(WaitForWindowGone("Select file:"));
  ASSERT_NE(Reach(mainTitle), 0u);
  ASSERT_TRUE(Keys({"alt+e"}));
  ASSERT_NE(Reach("Select file:"), 0u);
  ASSERT_TRUE(Type(scale));
  ASSERT_TRUE(Keys({"Return"}));
  ASSERT_TRUE(WaitForWindowGone("Select file:"));
  ASSERT_NO_FATAL_FAILURE(Shot(mainTitle, "main-screen"));

  // Data entry.
  ASSERT_NE(Reach(mainTitle), 0u);
  ASSERT_TRUE(Keys({"alt+d"}));
  const std::string dataEntry = "Log Data Entry";
  ASSERT_NE(Reach(dataEntry), 0u);
  ASSERT_NO_FATAL_FAILURE(Shot(dataEntry, "data-entry-empty"));
}

}  // namespace
