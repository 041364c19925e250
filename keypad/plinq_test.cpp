// The library as the platform sees it: loaded at run time, reached only
// through its four exports and the COM interfaces they hand out, inside the
// host's application with a panel window.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <fstream>
#include <functional>

#include "keypad/com.h"
#include "keypad/registry.h"
#include "keypad/test_support.h"

namespace plinq {
namespace {

using test::CharEvent;
using test::tapOf;

const char* kClass = "HKEY_CLASSES_ROOT\\CLSID\\{27CD5083-08E9-4588-341A-D683C8338E10}";
const std::u32string kDefaultLabels = U"eAT123CLDF>HP456.MRE<ZS7890YBN";

std::string under(const std::string& key) { return std::string(kClass) + "\\" + key; }

class PlinqTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = dlopen(PLINQ_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    getClassObject_ = reinterpret_cast<DllGetClassObjectFn>(dlsym(library_, "DllGetClassObject"));
    canUnloadNow_ = reinterpret_cast<DllCanUnloadNowFn>(dlsym(library_, "DllCanUnloadNow"));
    register_ = reinterpret_cast<DllRegisterServerFn>(dlsym(library_, "DllRegisterServer"));
    unregister_ = reinterpret_cast<DllUnRegisterServerFn>(dlsym(library_, "DllUnRegisterServer"));
    ASSERT_TRUE(getClassObject_ && canUnloadNow_ && register_ && unregister_);
    panel_.resize(400, 200);
    panel_.show();
  }

  void TearDown() override {
    if (library_ != nullptr && canUnloadNow_() == S_OK) dlclose(library_);
  }

  IClassFactory* factory() {
    void* out = nullptr;
    EXPECT_EQ(getClassObject_(CLSID_FieldKeypad, IID_IClassFactory, &out), S_OK);
    return static_cast<IClassFactory*>(out);
  }

  IInputMethod* createMethod() {
    IClassFactory* f = factory();
    void* out = nullptr;
    EXPECT_EQ(f->CreateInstance(nullptr, IID_IInputMethod, &out), S_OK);
    f->Release();
    return static_cast<IInputMethod*>(out);
  }

  HWND panelHandle() { return reinterpret_cast<HWND>(&panel_); }

  // The platform's lifecycle: Select, GetInfo, RegisterCallback,
  // ReceiveSipInfo; then the posted callback is delivered.
  void selectWithCallback(IInputMethod* method, IMINFO* info = nullptr) {
    IMINFO local{};
    ASSERT_EQ(method->Select(panelHandle()), S_OK);
    ASSERT_EQ(method->GetInfo(info ? info : &local), S_OK);
    ASSERT_EQ(method->RegisterCallback(&callback_), S_OK);
    SIPINFO sip{};
    ASSERT_EQ(method->ReceiveSipInfo(&sip), S_OK);
    QCoreApplication::processEvents();
  }

  QWidget* keypad() { return panel_.findChild<QWidget*>(QStringLiteral("PlinqWndCls")); }

  std::u32string shownLabels() { return keypad()->property("keyLabels").toString().toStdU32String(); }

  QPoint centre(int index) {
    QSize s = keypad()->size();
    return {(index % 10 * 2 + 1) * s.width() / 20, (index / 10 * 2 + 1) * s.height() / 6};
  }

  void pen(QEvent::Type type, QPoint at) {
    Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(keypad()->mapToGlobal(at)), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(keypad(), &event);
  }

  void tap(int index) {
    pen(QEvent::MouseButtonPress, centre(index));
    pen(QEvent::MouseButtonRelease, centre(index));
  }

  void setArray(int index, const std::string& letter) {
    std::string key = under("Array" + std::to_string(index));
    ASSERT_TRUE(registry_.createKey(key));
    ASSERT_TRUE(registry_.setDefaultValue(key, letter));
  }

  // Runs the options dialog through UserOptionsDlg, letting act work on it
  // while it is open. A dialog that act leaves open (it pressed no button,
  // or an assertion stopped it) is closed as by its window's close button,
  // so the test goes on instead of waiting forever.
  void withOptionsDialog(IInputMethod* method, const std::function<void(QDialog*)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        acted = true;
        act(dialog);
      }
      if (modal != nullptr && modal->isVisible()) modal->close();
    });
    EXPECT_EQ(method->UserOptionsDlg(panelHandle()), S_OK);
    EXPECT_TRUE(acted);
  }

  static QPushButton* button(QDialog* dialog, const QString& text) {
    for (auto* b : dialog->findChildren<QPushButton*>()) {
      if (b->text() == text) return b;
    }
    return nullptr;
  }

  test::TempDir dir_;
  test::ScopedEnv env_{kRegistryEnv, dir_.path().string()};
  Registry registry_{dir_.path()};
  QWidget panel_;
  test::RecordingCallback callback_;
  void* library_ = nullptr;
  DllGetClassObjectFn getClassObject_ = nullptr;
  DllCanUnloadNowFn canUnloadNow_ = nullptr;
  DllRegisterServerFn register_ = nullptr;
  DllUnRegisterServerFn unregister_ = nullptr;
};

TEST_F(PlinqTest, ExportsCarryTheModuleName) {
  for (const char* name : {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnRegisterServer"}) {
    EXPECT_NE(dlvsym(library_, name, "PLINQ10"), nullptr) << name;
  }
  EXPECT_EQ(dlsym(library_, "_ZN5plinq16createClassFactoryERK4GUIDPPv"), nullptr);
}

TEST_F(PlinqTest, UnknownClassIsNotAvailable) {
  CLSID other = CLSID_FieldKeypad;
  other.Data4[7] ^= 1;
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(getClassObject_(other, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(getClassObject_(IID_IInputMethod, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(PlinqTest, ResultCodesHaveTheirPlatformValues) {
  EXPECT_EQ(S_OK, 0);
  EXPECT_EQ(S_FALSE, 1);
  EXPECT_EQ(static_cast<std::uint32_t>(E_FAIL), 0x80004005u);
  EXPECT_EQ(static_cast<std::uint32_t>(E_OUTOFMEMORY), 0x8007000Eu);
  EXPECT_EQ(static_cast<std::uint32_t>(E_NOINTERFACE), 0x80004002u);
  EXPECT_EQ(static_cast<std::uint32_t>(CLASS_E_NOAGGREGATION), 0x80040110u);
  EXPECT_EQ(static_cast<std::uint32_t>(CLASS_E_CLASSNOTAVAILABLE), 0x80040111u);
}

TEST_F(PlinqTest, FactoryGivesOnlyItsOwnInterfaces) {
  void* out = nullptr;
  EXPECT_EQ(getClassObject_(CLSID_FieldKeypad, IID_IInputMethod, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(getClassObject_(CLSID_FieldKeypad, IID_IUnknown, &out), S_OK);
  auto* unknown = static_cast<IUnknown*>(out);
  void* again = nullptr;
  EXPECT_EQ(unknown->QueryInterface(IID_IClassFactory, &again), S_OK);
  EXPECT_EQ(again, out);
  static_cast<IUnknown*>(again)->Release();
  EXPECT_EQ(unknown->QueryInterface(IID_IIMCallback, &again), E_NOINTERFACE);
  EXPECT_EQ(again, nullptr);
  unknown->Release();
  EXPECT_EQ(getClassObject_(CLSID_FieldKeypad, IID_IClassFactory, nullptr), E_FAIL);
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(PlinqTest, AggregationIsRefused) {
  IClassFactory* f = factory();
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(f->CreateInstance(f, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  f->Release();
}

TEST_F(PlinqTest, OnlyIUnknownAndIInputMethodAreCreated) {
  IClassFactory* f = factory();
  void* out = reinterpret_cast<void*>(1);
  for (const IID* refused : {&IID_IClassFactory, &IID_IIMCallback, &CLSID_FieldKeypad}) {
    EXPECT_EQ(f->CreateInstance(nullptr, *refused, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_EQ(f->CreateInstance(nullptr, IID_IUnknown, &out), S_OK);
  auto* unknown = static_cast<IUnknown*>(out);
  void* method = nullptr;
  EXPECT_EQ(unknown->QueryInterface(IID_IInputMethod, &method), S_OK);
  EXPECT_EQ(method, out);
  EXPECT_EQ(unknown->QueryInterface(IID_IClassFactory, &method), E_NOINTERFACE);
  EXPECT_EQ(method, nullptr);
  unknown->Release();
  unknown->Release();
  f->Release();
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(PlinqTest, CanUnloadOnlyWhenNoObjectLives) {
  EXPECT_EQ(canUnloadNow_(), S_OK);
  IClassFactory* f = factory();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  void* out = nullptr;
  ASSERT_EQ(f->CreateInstance(nullptr, IID_IInputMethod, &out), S_OK);
  auto* method = static_cast<IInputMethod*>(out);
  f->Release();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  method->AddRef();
  method->Release();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  method->Release();
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(PlinqTest, LockServerHoldsTheLibrary) {
  IClassFactory* f = factory();
  EXPECT_EQ(f->LockServer(1), S_OK);
  f->Release();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  f = factory();
  EXPECT_EQ(f->LockServer(0), S_OK);
  EXPECT_EQ(f->LockServer(0), E_FAIL);  // no lock left to drop
  EXPECT_EQ(canUnloadNow_(), S_FALSE);  // the factory itself still lives
  f->Release();
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(PlinqTest, GetInfoFillsTheRecord) {
  IInputMethod* method = createMethod();
  ASSERT_EQ(method->Select(panelHandle()), S_OK);
  IMINFO info;
  std::memset(&info, 0xAB, sizeof info);
  ASSERT_EQ(method->GetInfo(&info), S_OK);
  EXPECT_EQ(info.cbSize, 40u);
  EXPECT_NE(info.hImageNarrow, 0u);
  EXPECT_NE(info.hImageWide, 0u);
  EXPECT_NE(info.hImageNarrow, info.hImageWide);
  EXPECT_EQ(info.iNarrow, 0);
  EXPECT_EQ(info.iWide, 0);
  EXPECT_EQ(info.fdwFlags, 2u);
  EXPECT_EQ(info.rcSipRect.left, 0);
  EXPECT_EQ(info.rcSipRect.top, 0);
  EXPECT_EQ(info.rcSipRect.right, 200);
  EXPECT_EQ(info.rcSipRect.bottom, 100);
  EXPECT_EQ(method->GetInfo(nullptr), E_FAIL);
  method->Release();
}

TEST_F(PlinqTest, OtherMethodsAnswerAsThePlatformExpects) {
  IInputMethod* method = createMethod();
  char data[4] = {};
  EXPECT_EQ(method->Showing(), S_OK);
  EXPECT_EQ(method->Hiding(), S_OK);
  EXPECT_EQ(method->GetImData(sizeof data, data), E_FAIL);
  EXPECT_EQ(method->SetImData(sizeof data, data), S_OK);
  EXPECT_EQ(method->Deselect(), S_OK);  // nothing selected yet
  EXPECT_EQ(method->ReceiveSipInfo(nullptr), S_OK);
  method->Release();
}

TEST_F(PlinqTest, SelectCreatesTheKeypadCoveringThePanel) {
  IInputMethod* method = createMethod();
  ASSERT_EQ(method->Select(panelHandle()), S_OK);
  QWidget* window = keypad();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->parentWidget(), &panel_);
  EXPECT_EQ(window->property("childId").toInt(), 10);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->geometry(), panel_.rect());
  EXPECT_EQ(window->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(shownLabels(), kDefaultLabels);
  EXPECT_EQ(method->Deselect(), S_OK);
  EXPECT_EQ(keypad(), nullptr);
  method->Release();
}

TEST_F(PlinqTest, SelectRefusesWhatIsNoLiveWindow) {
  IInputMethod* method = createMethod();
  EXPECT_EQ(method->Select(nullptr), E_FAIL);
  int notAWindow = 0;
  EXPECT_EQ(method->Select(reinterpret_cast<HWND>(&notAWindow)), E_FAIL);
  method->Release();
}

TEST_F(PlinqTest, OptionsRefuseWhatIsNoLiveWindow) {
  IInputMethod* method = createMethod();
  int notAWindow = 0;
  EXPECT_EQ(method->UserOptionsDlg(reinterpret_cast<HWND>(&notAWindow)), E_FAIL);
  EXPECT_FALSE(registry_.keyExists(kClass));
  method->Release();
}

TEST_F(PlinqTest, SelectingAgainReplacesTheWindow) {
  IInputMethod* method = createMethod();
  ASSERT_EQ(method->Select(panelHandle()), S_OK);
  ASSERT_EQ(method->Select(panelHandle()), S_OK);
  EXPECT_EQ(panel_.findChildren<QWidget*>(QStringLiteral("PlinqWndCls")).size(), 1);
  method->Release();
}

TEST_F(PlinqTest, ReleasingWithoutDeselectTakesTheWindowAlong) {
  IInputMethod* method = createMethod();
  selectWithCallback(method);
  EXPECT_EQ(callback_.references, 3u);  // the object's and the window's
  method->Release();
  EXPECT_EQ(keypad(), nullptr);
  EXPECT_EQ(callback_.references, 1u);
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(PlinqTest, ReceiveSipInfoFitsTheKeypadToThePanel) {
  IInputMethod* method = createMethod();
  selectWithCallback(method);
  panel_.resize(300, 90);
  EXPECT_EQ(method->ReceiveSipInfo(nullptr), S_OK);
  EXPECT_EQ(keypad()->geometry(), QRect(0, 0, 300, 90));
  tap(29);
  EXPECT_EQ(callback_.sent, std::vector<CharEvent>{tapOf('N')});
  method->Release();
}

TEST_F(PlinqTest, CallbackArrivesPostedNotSent) {
  IInputMethod* method = createMethod();
  ASSERT_EQ(method->Select(panelHandle()), S_OK);
  ASSERT_EQ(method->RegisterCallback(&callback_), S_OK);
  tap(3);
  EXPECT_TRUE(callback_.sent.empty());
  QCoreApplication::processEvents();
  tap(3);
  EXPECT_EQ(callback_.sent, std::vector<CharEvent>{tapOf('1')});
  method->Release();
}

TEST_F(PlinqTest, TapOnEnterSendsCarriageReturn) {
  IInputMethod* method = createMethod();
  selectWithCallback(method);
  tap(0);
  ASSERT_EQ(callback_.sent.size(), 1u);
  EXPECT_EQ(callback_.sent[0], (CharEvent{0x0D, 0x80, 1, 0, 0x0D}));
  method->Release();
}

TEST_F(PlinqTest, TapOnBackspaceAndDot) {
  IInputMethod* method = createMethod();
  selectWithCallback(method);
  tap(20);
  tap(16);
  EXPECT_EQ(callback_.sent, (std::vector<CharEvent>{{0x08, 0x80, 1, 0, 0x08}, {0x2E, 0x80, 1, 0, '.'}}));
  method->Release();
}

TEST_F(PlinqTest, SlidingSendsOnlyTheKeyAtLift) {
  IInputMethod* method = createMethod();
  selectWithCallback(method);
  pen(QEvent::MouseButtonPress, centre(13));
  pen(QEvent::MouseMove, centre(14));
  pen(QEvent::MouseMove, centre(15));
  pen(QEvent::MouseButtonRelease, centre(15));
  EXPECT_EQ(callback_.sent, std::vector<CharEvent>{tapOf('6')});
  method->Release();
}

TEST_F(PlinqTest, Array5IsIgnored) {
  ASSERT_EQ(register_(), S_OK);
  setArray(5, "Q");
  IInputMethod* method = createMethod();
  selectWithCallback(method);
  EXPECT_EQ(shownLabels(), kDefaultLabels);
  tap(5);
  EXPECT_EQ(callback_.sent, std::vector<CharEvent>{tapOf('3')});
  method->Release();
}

TEST_F(PlinqTest, Array1ShowsAndSendsQAfterTheNextSelect) {
  ASSERT_EQ(register_(), S_OK);
  IInputMethod* method = createMethod();
  selectWithCallback(method);
  setArray(1, "Q");
  EXPECT_EQ(shownLabels()[1], U'A');  // read at creation only
  ASSERT_EQ(method->Deselect(), S_OK);
  selectWithCallback(method);
  EXPECT_EQ(shownLabels(), U"eQT123CLDF>HP456.MRE<ZS7890YBN");
  tap(1);
  EXPECT_EQ(callback_.sent, std::vector<CharEvent>{tapOf('Q')});
  method->Release();
}

TEST_F(PlinqTest, RegisterWritesTheClassKey) {
  ASSERT_EQ(register_(), S_OK);
  std::string library = std::filesystem::weakly_canonical(std::filesystem::absolute(PLINQ_LIBRARY)).string();
  EXPECT_EQ(registry_.defaultValue(kClass), "Field Keypad");
  EXPECT_EQ(registry_.defaultValue(under("InProcServer32")), library);
  EXPECT_EQ(registry_.defaultValue(under("DefaultIcon")), library + ",0");
  EXPECT_EQ(registry_.defaultValue(under("IsSIPInputMethod")), "1");
  const std::pair<int, const char*> letters[] = {{1, "A"},  {2, "T"},  {6, "C"},  {7, "L"},  {8, "D"},  {9, "F"},
                                                 {11, "H"}, {12, "P"}, {17, "M"}, {18, "R"}, {19, "E"}, {21, "Z"},
                                                 {22, "S"}, {27, "Y"}, {28, "B"}, {29, "N"}};
  for (auto [index, letter] : letters) EXPECT_EQ(registry_.defaultValue(under("Array" + std::to_string(index))), letter);
  EXPECT_FALSE(registry_.keyExists(under("Array3")));
}

TEST_F(PlinqTest, UnregisterRemovesTheClassKeyAndCustomizedLetters) {
  ASSERT_TRUE(registry_.createKey("HKEY_CLASSES_ROOT\\CLSID\\{OTHER}"));
  ASSERT_EQ(register_(), S_OK);
  setArray(1, "Q");
  ASSERT_EQ(unregister_(), S_OK);
  EXPECT_FALSE(registry_.keyExists(kClass));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "HKEY_CLASSES_ROOT" / "CLSID" / "{27CD5083-08E9-4588-341A-D683C8338E10}"));
  EXPECT_TRUE(registry_.keyExists("HKEY_CLASSES_ROOT\\CLSID\\{OTHER}"));
  IInputMethod* method = createMethod();
  selectWithCallback(method);
  EXPECT_EQ(shownLabels(), kDefaultLabels);
  tap(1);
  EXPECT_EQ(callback_.sent, std::vector<CharEvent>{tapOf('A')});
  method->Release();
}

TEST_F(PlinqTest, UnregisterWithoutRegistrationFails) { EXPECT_EQ(unregister_(), E_FAIL); }

TEST_F(PlinqTest, RegistrationFailsWhereTheStoreCannotBeWritten) {
  std::filesystem::path blocked = dir_.path() / "file";
  std::ofstream(blocked) << "x";
  test::ScopedEnv env(kRegistryEnv, blocked.string());
  EXPECT_EQ(register_(), E_FAIL);
  EXPECT_EQ(unregister_(), E_FAIL);
}

TEST_F(PlinqTest, OptionsOkWritesTheChosenLetters) {
  IInputMethod* method = createMethod();
  withOptionsDialog(method, [&](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Field Keyboard");
    auto lists = dialog->findChildren<QComboBox*>();
    ASSERT_EQ(lists.size(), 16);
    for (auto* list : lists) EXPECT_EQ(list->count(), 26);
    EXPECT_EQ(lists[0]->currentText(), "A");
    lists[0]->setCurrentIndex(16);
    button(dialog, "OK")->click();
  });
  EXPECT_EQ(registry_.defaultValue(under("Array1")), "Q");
  EXPECT_EQ(registry_.defaultValue(under("Array2")), "T");
  selectWithCallback(method);
  EXPECT_EQ(shownLabels()[1], U'Q');
  method->Release();
}

TEST_F(PlinqTest, OptionsExitWritesNothing) {
  ASSERT_EQ(register_(), S_OK);
  setArray(2, "W");
  IInputMethod* method = createMethod();
  withOptionsDialog(method, [&](QDialog* dialog) {
    auto lists = dialog->findChildren<QComboBox*>();
    ASSERT_EQ(lists.size(), 16);
    EXPECT_EQ(lists[1]->currentText(), "W");
    lists[0]->setCurrentIndex(16);
    button(dialog, "EXIT")->click();
  });
  EXPECT_EQ(registry_.defaultValue(under("Array1")), "A");
  EXPECT_EQ(registry_.defaultValue(under("Array2")), "W");
  method->Release();
}

TEST_F(PlinqTest, OptionsClosedWithoutAButtonWriteNothing) {
  IInputMethod* method = createMethod();
  withOptionsDialog(method, [&](QDialog* dialog) {
    auto lists = dialog->findChildren<QComboBox*>();
    ASSERT_EQ(lists.size(), 16);
    lists[0]->setCurrentIndex(16);
  });
  EXPECT_FALSE(registry_.keyExists(under("Array1")));
  method->Release();
}

}  // namespace
}  // namespace plinq
