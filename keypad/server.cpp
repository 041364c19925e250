#include "keypad/server.h"

#include <QApplication>
#include <new>

#include "keypad/image_list.h"
#include "keypad/options_dialog.h"

namespace plinq {
namespace {

std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

// The host's widget behind a window handle, or nullptr when the handle is
// not a live widget of this application (a stale or foreign handle must not
// be dereferenced).
QWidget* widgetOf(HWND window) {
  if (window == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
  auto* widget = reinterpret_cast<QWidget*>(window);
  return QApplication::allWidgets().contains(widget) ? widget : nullptr;
}

// Hands out this object's own interface when riid is one of the two given.
template <typename Interface>
HRESULT queryOwn(Interface* self, REFIID riid, const IID& own, void** ppv) {
  if (ppv == nullptr) return E_FAIL;
  if (!IsEqualGUID(riid, IID_IUnknown) && !IsEqualGUID(riid, own)) {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  *ppv = self;
  self->AddRef();
  return S_OK;
}

}  // namespace

bool canUnload() { return liveObjects == 0 && serverLocks == 0; }

HRESULT createClassFactory(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_FAIL;
  *ppv = nullptr;
  auto* factory = new (std::nothrow) ClassFactory;
  if (factory == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = factory->QueryInterface(riid, ppv);
  factory->Release();
  return hr;
}

ClassFactory::ClassFactory() { ++liveObjects; }
ClassFactory::~ClassFactory() { --liveObjects; }

HRESULT ClassFactory::QueryInterface(REFIID riid, void** ppv) { return queryOwn(this, riid, IID_IClassFactory, ppv); }
ULONG ClassFactory::AddRef() { return ++references_; }
ULONG ClassFactory::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_FAIL;
  *ppv = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  if (!IsEqualGUID(riid, IID_IUnknown) && !IsEqualGUID(riid, IID_IInputMethod)) return E_NOINTERFACE;
  auto* method = new (std::nothrow) InputMethod;
  if (method == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = method->QueryInterface(riid, ppv);
  method->Release();
  return hr;
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    ++serverLocks;
    return S_OK;
  }
  long held = serverLocks.load();
  while (held > 0) {
    if (serverLocks.compare_exchange_weak(held, held - 1)) return S_OK;
  }
  return E_FAIL;
}

InputMethod::InputMethod() { ++liveObjects; }

InputMethod::~InputMethod() {
  // A host that releases the object without Deselect must not be left with
  // a window whose code may be unloaded next.
  destroyWindow();
  if (callback_ != nullptr) callback_->Release();
  --liveObjects;
}

HRESULT InputMethod::QueryInterface(REFIID riid, void** ppv) { return queryOwn(this, riid, IID_IInputMethod, ppv); }
ULONG InputMethod::AddRef() { return ++references_; }
ULONG InputMethod::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT InputMethod::Select(HWND panel) {
  QWidget* parent = widgetOf(panel);
  if (parent == nullptr) return E_FAIL;
  destroyWindow();
  narrow_ = createImageList(16, 16, "NarrowBmp", "NarrowMask");
  wide_ = createImageList(32, 16, "WideBmp", "WideMask");
  window_ = KeypadWidget::create(parent);
  if (window_.isNull()) return E_FAIL;
  if (callback_ != nullptr) window_->postMessage(kPlinqMessage, kMessageCallback, reinterpret_cast<std::intptr_t>(callback_));
  return S_OK;
}

void InputMethod::destroyWindow() {
  delete window_.data();
  window_.clear();
  destroyImageList(narrow_);
  destroyImageList(wide_);
  narrow_ = wide_ = 0;
}

HRESULT InputMethod::Deselect() {
  destroyWindow();
  return S_OK;
}

HRESULT InputMethod::Showing() { return S_OK; }
HRESULT InputMethod::Hiding() { return S_OK; }

HRESULT InputMethod::GetInfo(IMINFO* info) {
  if (info == nullptr) return E_FAIL;
  *info = IMINFO{sizeof(IMINFO), narrow_, wide_, 0, 0, SIPF_DOCKED, RECT{0, 0, 200, 100}};
  if (!window_.isNull()) window_->sendMessage(kPlinqMessage, kMessageInfo, reinterpret_cast<std::intptr_t>(info));
  return S_OK;
}

HRESULT InputMethod::ReceiveSipInfo(SIPINFO*) {
  if (!window_.isNull()) window_->sendMessage(kPlinqMessage, kMessageFit, 0);
  return S_OK;
}

HRESULT InputMethod::RegisterCallback(IIMCallback* callback) {
  if (callback != nullptr) callback->AddRef();
  if (callback_ != nullptr) callback_->Release();
  callback_ = callback;
  if (!window_.isNull()) window_->postMessage(kPlinqMessage, kMessageCallback, reinterpret_cast<std::intptr_t>(callback));
  return S_OK;
}

HRESULT InputMethod::GetImData(DWORD, void*) { return E_FAIL; }
HRESULT InputMethod::SetImData(DWORD, void*) { return S_OK; }

HRESULT InputMethod::UserOptionsDlg(HWND parent) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return E_FAIL;
  QWidget* owner = widgetOf(parent);
  if (parent != nullptr && owner == nullptr) return E_FAIL;
  OptionsDialog::run(owner);
  return S_OK;
}

}  // namespace plinq
