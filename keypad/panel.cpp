// plinq-panel: the input panel that hosts the Field Keypad on a Linux
// desktop, in place of the handheld's soft-input-panel manager.
//
// It loads libplinq at run time by its file name, gets the class factory
// through DllGetClassObject and drives the input method through the
// platform's lifecycle (Select, GetInfo, RegisterCallback, ReceiveSipInfo;
// Deselect at the end). Its window never takes the keyboard focus, and the
// characters the keypad sends are typed into the focused window with XTest.
#include <dlfcn.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "keypad/com.h"
#include "keypad/key_sender.h"

namespace {

constexpr const char* kUsage =
    "usage: plinq-panel [--library FILE] [--scale N] [Qt options]\n"
    "       plinq-panel [--library FILE] --register | --unregister | --options\n"
    "Shows the Field Keypad; taps type into the window that has the focus.\n"
    "  --register    register the keypad (the library's DllRegisterServer)\n"
    "  --unregister  remove the registration and the customized letters\n"
    "  --options     open the \"Field Keyboard\" dialog to choose the letters\n"
    "  --library     the keypad library (default libplinq.so beside this program)\n"
    "  --scale       panel size as a multiple of the keypad's 200 x 100 (default 2)\n"
    "The registry lives in $PLINQ_REGISTRY, else ~/.config/plinq/registry.\n";

enum class Command { Show, Register, Unregister, Options, Help };

constexpr const char* kLibraryFile = "libplinq.so";

// libplinq.so beside this program when it is there, else the bare file name
// for the loader's search path. (The program's own run path cannot be
// relied on: a sanitizer runtime that wraps dlopen becomes the caller.)
std::string defaultLibrary() {
  std::error_code ec;
  auto beside = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path() / kLibraryFile;
  return !ec && std::filesystem::exists(beside, ec) ? beside.string() : kLibraryFile;
}

struct Options {
  Command command = Command::Show;
  std::string library = defaultLibrary();
  int scale = 2;
};

// Takes our own options out of argv (Qt's stay for QApplication); nullopt on
// a malformed one.
std::optional<Options> parse(int& argc, char** argv) {
  Options options;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--register") options.command = Command::Register;
    else if (arg == "--unregister") options.command = Command::Unregister;
    else if (arg == "--options") options.command = Command::Options;
    else if (arg == "--help" || arg == "-h") options.command = Command::Help;
    else if (arg == "--library" && hasValue) options.library = argv[++i];
    else if (arg == "--scale" && hasValue) {
      options.scale = std::atoi(argv[++i]);
      if (options.scale < 1 || options.scale > 10) return std::nullopt;
    } else if (arg == "--library" || arg == "--scale") return std::nullopt;
    else argv[kept++] = argv[i];
  }
  argc = kept;
  return options;
}

// The loaded library and its exports.
struct Library {
  void* handle = nullptr;
  DllGetClassObjectFn getClassObject = nullptr;
  DllCanUnloadNowFn canUnloadNow = nullptr;
  DllRegisterServerFn registerServer = nullptr;
  DllUnRegisterServerFn unregisterServer = nullptr;
};

std::optional<Library> load(const std::string& file) {
  Library lib;
  lib.handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (lib.handle == nullptr) {
    std::fprintf(stderr, "plinq-panel: cannot load %s: %s\n", file.c_str(), dlerror());
    return std::nullopt;
  }
  lib.getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(lib.handle, "DllGetClassObject"));
  lib.canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(dlsym(lib.handle, "DllCanUnloadNow"));
  lib.registerServer = reinterpret_cast<DllRegisterServerFn>(dlsym(lib.handle, "DllRegisterServer"));
  lib.unregisterServer = reinterpret_cast<DllUnRegisterServerFn>(dlsym(lib.handle, "DllUnRegisterServer"));
  if (!lib.getClassObject || !lib.canUnloadNow || !lib.registerServer || !lib.unregisterServer) {
    std::fprintf(stderr, "plinq-panel: %s is not an input method library\n", file.c_str());
    dlclose(lib.handle);
    return std::nullopt;
  }
  return lib;
}

// Creates the input method through the class factory; nullptr (with a
// message) on failure. The caller owns the reference.
IInputMethod* createInputMethod(const Library& lib) {
  void* out = nullptr;
  HRESULT hr = lib.getClassObject(CLSID_FieldKeypad, IID_IClassFactory, &out);
  if (!Succeeded(hr)) {
    std::fprintf(stderr, "plinq-panel: no class factory (0x%08X)\n", static_cast<unsigned>(hr));
    return nullptr;
  }
  auto* factory = static_cast<IClassFactory*>(out);
  hr = factory->CreateInstance(nullptr, IID_IInputMethod, &out);
  factory->Release();
  if (!Succeeded(hr)) {
    std::fprintf(stderr, "plinq-panel: cannot create the input method (0x%08X)\n", static_cast<unsigned>(hr));
    return nullptr;
  }
  return static_cast<IInputMethod*>(out);
}

int registration(const Library& lib, Command command) {
  bool registering = command == Command::Register;
  HRESULT hr = registering ? lib.registerServer() : lib.unregisterServer();
  if (!Succeeded(hr)) {
    std::fprintf(stderr, "plinq-panel: %s failed (0x%08X)\n", registering ? "registration" : "unregistration",
                 static_cast<unsigned>(hr));
    return 1;
  }
  std::printf("Field Keypad %s\n", registering ? "registered" : "unregistered");
  return 0;
}

// The panel window: holds the keypad, tells the input method when its size
// changes, and is never activated, so the focus stays where the user put it.
class PanelWindow : public QWidget {
 public:
  explicit PanelWindow(IInputMethod* method) : method_(method) {
    setWindowTitle(QStringLiteral("Field Keypad"));
    setWindowFlags(Qt::Window | Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    SIPINFO info{};
    info.cbSize = sizeof info;
    info.rcSipRect = RECT{0, 0, width(), height()};
    method_->ReceiveSipInfo(&info);
  }

 private:
  IInputMethod* method_;
};

int showPanel(IInputMethod* method, int scale) {
  IIMCallback* sender = plinq::KeySender::open();
  if (sender == nullptr) std::fprintf(stderr, "plinq-panel: no X display with XTest; taps will type nothing\n");
  int result = 1;
  {
    PanelWindow panel(method);
    if (method->Select(reinterpret_cast<HWND>(&panel)) != S_OK) {
      std::fprintf(stderr, "plinq-panel: the input method could not create its window\n");
    } else {
      IMINFO info{};
      method->GetInfo(&info);
      if (sender != nullptr) method->RegisterCallback(sender);
      panel.resize((info.rcSipRect.right - info.rcSipRect.left) * scale, (info.rcSipRect.bottom - info.rcSipRect.top) * scale);
      panel.show();
      result = QApplication::exec();
      method->Deselect();
    }
  }
  method->RegisterCallback(nullptr);
  if (sender != nullptr) sender->Release();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  auto options = parse(argc, argv);
  if (!options) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (options->command == Command::Help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  auto lib = load(options->library);
  if (!lib) return 1;
  int result = 1;
  if (options->command == Command::Register || options->command == Command::Unregister) {
    result = registration(*lib, options->command);
  } else {
    QApplication app(argc, argv);
    if (IInputMethod* method = createInputMethod(*lib)) {
      result = options->command == Command::Options ? (method->UserOptionsDlg(nullptr) == S_OK ? 0 : 1)
                                                    : showPanel(method, options->scale);
      method->Release();
    }
  }
  if (lib->canUnloadNow() == S_OK) dlclose(lib->handle);
  return result;
}
