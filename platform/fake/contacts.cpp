#include "platform/fake/contacts.h"

#include <cstring>

#include "platform/contacts.h"
#include "platform/dialogs.h"
#include "platform/fake/internal.h"

namespace fake {
namespace {

std::vector<FakeContact> store;
bool noFolder = false;
bool noCollection = false;
size_t liveObjects = 0;
size_t liveTexts = 0;
bool loggedOn = false;
int comCount = 0;

// Records the call and says whether it is to fail.
bool recordFails(Op op, uintptr_t arg0 = 0, uintptr_t arg1 = 0) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  if (Call* c = record(op)) {
    c->args[0] = arg0;
    c->args[1] = arg1;
  }
  return shouldFail(op);
}

plat::BSTR allocText(const std::u16string& text) {
  auto* units = new char16_t[text.size() + 1];
  std::memcpy(units, text.data(), text.size() * sizeof(char16_t));
  units[text.size()] = 0;
  ++liveTexts;
  return units;
}

template <typename Interface>
class Counted : public Interface {
 public:
  Counted() { ++liveObjects; }
  virtual ~Counted() { --liveObjects; }
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    const uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  plat::HRESULT QueryInterface(const plat::GUID&, void** object) override {
    *object = nullptr;
    return plat::E_NOINTERFACE;
  }

 private:
  uint32_t refs_ = 1;
};

class Contact final : public Counted<plat::IContact> {
 public:
  explicit Contact(size_t index) : index_(index) {}
  plat::HRESULT get_FirstName(plat::BSTR* t) override { return get(firstName, t); }
  plat::HRESULT get_LastName(plat::BSTR* t) override { return get(lastName, t); }
  plat::HRESULT get_HomeTelephoneNumber(plat::BSTR* t) override {
    return get(homeNumber, t);
  }
  plat::HRESULT get_Home2TelephoneNumber(plat::BSTR* t) override {
    return get(home2Number, t);
  }
  plat::HRESULT get_BusinessTelephoneNumber(plat::BSTR* t) override {
    return get(businessNumber, t);
  }
  plat::HRESULT get_Business2TelephoneNumber(plat::BSTR* t) override {
    return get(business2Number, t);
  }
  plat::HRESULT get_MobileTelephoneNumber(plat::BSTR* t) override {
    return get(mobileNumber, t);
  }
  plat::HRESULT get_CarTelephoneNumber(plat::BSTR* t) override {
    return get(carNumber, t);
  }
  plat::HRESULT get_Categories(plat::BSTR* t) override { return get(categories, t); }

 private:
  plat::HRESULT get(int field, plat::BSTR* text) {
    *text = nullptr;
    if (recordFails(Op::Getter, static_cast<uintptr_t>(field), index_ + 1) ||
        store[index_].failingField == field)
      return plat::E_FAIL;
    *text = allocText(store[index_].fields[field]);
    return plat::S_OK;
  }
  size_t index_;
};

class Items final : public Counted<plat::IPOutlookItemCollection> {
 public:
  plat::HRESULT QueryInterface(const plat::GUID& iid, void** object) override {
    *object = nullptr;
    if (recordFails(Op::QueryInterface)) return plat::E_NOINTERFACE;
    if (!(iid == plat::IID_IPOutlookItemCollection)) return plat::E_NOINTERFACE;
    if (noCollection) return plat::S_OK;
    AddRef();
    *object = static_cast<plat::IPOutlookItemCollection*>(this);
    return plat::S_OK;
  }
  plat::HRESULT get_Count(int32_t* count) override {
    if (recordFails(Op::get_Count)) return plat::E_FAIL;
    *count = static_cast<int32_t>(store.size());
    return plat::S_OK;
  }
  plat::HRESULT Item(int32_t index, plat::IContact** contact) override {
    *contact = nullptr;
    if (recordFails(Op::Item, static_cast<uintptr_t>(index))) return plat::E_FAIL;
    if (index < 1 || static_cast<size_t>(index) > store.size() ||
        store[index - 1].failFetch)
      return plat::E_FAIL;
    *contact = new Contact(static_cast<size_t>(index - 1));
    return plat::S_OK;
  }
};

class Folder final : public Counted<plat::IFolder> {
 public:
  plat::HRESULT get_Items(plat::IPOutlookItemCollection** items) override {
    *items = nullptr;
    if (recordFails(Op::get_Items)) return plat::E_FAIL;
    *items = new Items();
    return plat::S_OK;
  }
};

class App final : public Counted<plat::IPOutlookApp> {
 public:
  plat::HRESULT Logon(intptr_t owner) override {
    if (recordFails(Op::Logon, static_cast<uintptr_t>(owner))) return plat::E_FAIL;
    loggedOn = true;
    return plat::S_OK;
  }
  plat::HRESULT Logoff() override {
    if (recordFails(Op::Logoff)) return plat::E_FAIL;
    loggedOn = false;
    return plat::S_OK;
  }
  plat::HRESULT GetDefaultFolder(int32_t type, plat::IFolder** folder) override {
    *folder = nullptr;
    if (recordFails(Op::GetDefaultFolder, static_cast<uintptr_t>(type)) ||
        type != plat::olFolderContacts)
      return plat::E_FAIL;
    if (!noFolder) *folder = new Folder();
    return plat::S_OK;
  }
};

}  // namespace

void resetContacts() {
  store.clear();
  noFolder = false;
  noCollection = false;
  loggedOn = false;
  comCount = 0;
  // Objects a test leaked stay counted only until the next test.
  liveObjects = 0;
  liveTexts = 0;
}

void setContacts(const std::vector<FakeContact>& contacts) { store = contacts; }
void giveNoFolder(bool on) { noFolder = on; }
void giveNoCollection(bool on) { noCollection = on; }
size_t liveStoreObjects() { return liveObjects; }
size_t liveStoreTexts() { return liveTexts; }
bool storeLoggedOn() { return loggedOn; }
int comInitialisations() { return comCount; }

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

void SysFreeString(BSTR text) {
  if (text == nullptr) return;
  delete[] text;
  --fake::liveTexts;
}

HRESULT CoInitializeEx(void* pvReserved, uint32_t dwCoInit) {
  if (fake::recordFails(Op::CoInitializeEx, asArg(pvReserved), dwCoInit))
    return E_FAIL;
  ++fake::comCount;
  return S_OK;
}

void CoUninitialize() {
  fake::recordFails(Op::CoUninitialize);
  --fake::comCount;
}

HRESULT CoCreateInstance(const GUID& rclsid, IUnknown* pUnkOuter,
                         uint32_t dwClsContext, const GUID& riid, void** ppv) {
  *ppv = nullptr;
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::CoCreateInstance)) {
      c->args[0] = rclsid == CLSID_Application;
      c->args[1] = asArg(pUnkOuter);
      c->args[2] = dwClsContext;
      c->args[3] = riid == IID_IPOutlookApp;
    }
    if (fake::shouldFail(Op::CoCreateInstance)) return E_FAIL;
  }
  if (!(rclsid == CLSID_Application) || !(riid == IID_IPOutlookApp))
    return E_NOINTERFACE;
  *ppv = static_cast<IPOutlookApp*>(new fake::App());
  return S_OK;
}

int32_t MessageBoxW(HWND hWnd, const char16_t* lpText,
                    const char16_t* lpCaption, uint32_t uType) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::MessageBoxW)) {
    c->args[0] = asArg(hWnd);
    c->args[3] = uType;
    fake::copyUnits(c->text, 256, lpText);
    fake::copyUnits(c->text2, 128, lpCaption);
  }
  return IDOK;
}

}  // namespace plat
