// The contact store stand-in's objects. A logon reads the vCard file and the
// "Fail" knob once; every object made from that logon shares the result, so
// a folder, collection or contact stays usable after Logoff or after the
// application object is gone.
#include "platform/standin/contact_store.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/standin/contact_failures.h"
#include "platform/standin/vcard.h"

namespace standin {
namespace {

constexpr plat::GUID kIID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::atomic<long> live{0};

struct Session {
  std::vector<vcard::Contact> contacts;
  FailurePlan plan;
};
using SessionPtr = std::shared_ptr<const Session>;

template <class Derived, class Interface>
class Counted : public Interface {
 public:
  uint32_t AddRef() override { return ++references_; }
  uint32_t Release() override {
    const uint32_t left = --references_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 protected:
  Counted() { ++live; }
  ~Counted() { --live; }

  // QueryInterface for IUnknown and the one interface the object offers.
  plat::HRESULT offer(const plat::GUID& iid, const plat::GUID& own,
                      void** object) {
    if (object == nullptr) return plat::E_POINTER;
    *object = nullptr;
    if (!(iid == kIID_IUnknown) && !(iid == own)) return plat::E_NOINTERFACE;
    AddRef();
    *object = static_cast<Interface*>(this);
    return plat::S_OK;
  }

 private:
  std::atomic<uint32_t> references_{1};
};

class ContactObject final : public Counted<ContactObject, plat::IContact> {
 public:
  ContactObject(const ContactStoreHost* host, SessionPtr session,
                int32_t index)
      : host_(host), session_(std::move(session)), index_(index) {}

  plat::HRESULT QueryInterface(const plat::GUID& iid, void** object) override {
    return offer(iid, kIID_IUnknown, object);
  }
  plat::HRESULT get_FirstName(plat::BSTR* text) override {
    return give(Property::FirstName, &vcard::Contact::firstName, text);
  }
  plat::HRESULT get_LastName(plat::BSTR* text) override {
    return give(Property::LastName, &vcard::Contact::lastName, text);
  }
  plat::HRESULT get_HomeTelephoneNumber(plat::BSTR* text) override {
    return give(Property::Home, &vcard::Contact::home, text);
  }
  plat::HRESULT get_Home2TelephoneNumber(plat::BSTR* text) override {
    return give(Property::Home2, &vcard::Contact::home2, text);
  }
  plat::HRESULT get_BusinessTelephoneNumber(plat::BSTR* text) override {
    return give(Property::Business, &vcard::Contact::business, text);
  }
  plat::HRESULT get_Business2TelephoneNumber(plat::BSTR* text) override {
    return give(Property::Business2, &vcard::Contact::business2, text);
  }
  plat::HRESULT get_MobileTelephoneNumber(plat::BSTR* text) override {
    return give(Property::Mobile, &vcard::Contact::mobile, text);
  }
  plat::HRESULT get_CarTelephoneNumber(plat::BSTR* text) override {
    return give(Property::Car, &vcard::Contact::car, text);
  }
  plat::HRESULT get_Categories(plat::BSTR* text) override {
    return give(Property::Categories, &vcard::Contact::categories, text);
  }

 private:
  // An empty field is an empty text, never a null one.
  plat::HRESULT give(Property property,
                     std::u16string vcard::Contact::*field,
                     plat::BSTR* text) {
    if (text == nullptr) return plat::E_POINTER;
    *text = nullptr;
    if (session_->plan.failsGetter(index_, property)) return plat::E_FAIL;
    const std::u16string& value = session_->contacts[index_ - 1].*field;
    *text = host_->allocText(value.c_str(),
                             static_cast<uint32_t>(value.size()));
    return *text != nullptr ? plat::S_OK : kOutOfMemory;
  }

  const ContactStoreHost* host_;
  SessionPtr session_;
  int32_t index_;  // from 1
};

class Collection final
    : public Counted<Collection, plat::IPOutlookItemCollection> {
 public:
  Collection(const ContactStoreHost* host, SessionPtr session)
      : host_(host), session_(std::move(session)) {}

  plat::HRESULT QueryInterface(const plat::GUID& iid, void** object) override {
    if (object != nullptr && iid == plat::IID_IPOutlookItemCollection) {
      *object = nullptr;
      if (session_->plan.fails(Step::Collection)) return plat::E_NOINTERFACE;
      if (session_->plan.fails(Step::CollectionNone)) return plat::S_OK;
    }
    return offer(iid, plat::IID_IPOutlookItemCollection, object);
  }

  plat::HRESULT get_Count(int32_t* count) override {
    if (count == nullptr) return plat::E_POINTER;
    if (session_->plan.fails(Step::Count)) return plat::E_FAIL;
    *count = size();
    return plat::S_OK;
  }

  plat::HRESULT Item(int32_t index, plat::IContact** contact) override {
    if (contact == nullptr) return plat::E_POINTER;
    *contact = nullptr;
    if (index < 1 || index > size()) return kInvalidArg;
    if (session_->plan.failsItem(index)) return plat::E_FAIL;
    *contact = new ContactObject(host_, session_, index);
    return plat::S_OK;
  }

 private:
  int32_t size() const {
    const size_t n = session_->contacts.size();
    return n > INT32_MAX ? INT32_MAX : static_cast<int32_t>(n);
  }

  const ContactStoreHost* host_;
  SessionPtr session_;
};

class Folder final : public Counted<Folder, plat::IFolder> {
 public:
  Folder(const ContactStoreHost* host, SessionPtr session)
      : host_(host), session_(std::move(session)) {}

  plat::HRESULT QueryInterface(const plat::GUID& iid, void** object) override {
    return offer(iid, kIID_IUnknown, object);
  }

  plat::HRESULT get_Items(plat::IPOutlookItemCollection** items) override {
    if (items == nullptr) return plat::E_POINTER;
    *items = nullptr;
    if (session_->plan.fails(Step::Items)) return plat::E_FAIL;
    *items = new Collection(host_, session_);
    return plat::S_OK;
  }

 private:
  const ContactStoreHost* host_;
  SessionPtr session_;
};

class Application final : public Counted<Application, plat::IPOutlookApp> {
 public:
  explicit Application(const ContactStoreHost* host) : host_(host) {}

  plat::HRESULT QueryInterface(const plat::GUID& iid, void** object) override {
    return offer(iid, plat::IID_IPOutlookApp, object);
  }

  // A missing or unreadable file gives the host's reason; bytes that are not
  // a vCard file give kInvalidData. An empty file is an empty store.
  plat::HRESULT Logon(intptr_t /*hWnd*/) override {
    auto session = std::make_shared<Session>();
    session->plan = FailurePlan(host_->failKnob());
    if (session->plan.fails(Step::Logon)) return plat::E_FAIL;
    std::string bytes;
    const plat::HRESULT read = host_->readStore(&bytes);
    if (read != plat::S_OK) return read < 0 ? read : plat::E_FAIL;
    if (!vcard::read(bytes.data(), bytes.size(), &session->contacts))
      return kInvalidData;
    std::lock_guard<std::mutex> guard(mutex_);
    session_ = std::move(session);
    return plat::S_OK;
  }

  plat::HRESULT Logoff() override {
    std::lock_guard<std::mutex> guard(mutex_);
    session_.reset();
    return plat::S_OK;
  }

  plat::HRESULT GetDefaultFolder(int32_t folderType,
                                 plat::IFolder** folder) override {
    if (folder == nullptr) return plat::E_POINTER;
    *folder = nullptr;
    if (folderType != plat::olFolderContacts) return kInvalidArg;
    SessionPtr session;
    {
      std::lock_guard<std::mutex> guard(mutex_);
      session = session_;
    }
    if (session == nullptr) return plat::E_FAIL;  // not logged on
    if (session->plan.fails(Step::Folder)) return plat::E_FAIL;
    if (session->plan.fails(Step::FolderNone)) return plat::S_OK;
    *folder = new Folder(host_, std::move(session));
    return plat::S_OK;
  }

 private:
  const ContactStoreHost* host_;
  std::mutex mutex_;  // COM lets any thread of the process call in
  SessionPtr session_;
};

}  // namespace

plat::HRESULT createApplication(const ContactStoreHost* host,
                                const plat::GUID& clsid,
                                plat::IUnknown* outer, uint32_t context,
                                const plat::GUID& iid, void** object) {
  if (object == nullptr) return plat::E_POINTER;
  *object = nullptr;
  if (!(clsid == plat::CLSID_Application) ||
      (context & plat::CLSCTX_INPROC_SERVER) == 0)
    return kClassNotRegistered;
  if (outer != nullptr) return kNoAggregation;
  if (FailurePlan(host->failKnob()).fails(Step::Create)) return plat::E_FAIL;
  auto* app = new Application(host);
  const plat::HRESULT result = app->QueryInterface(iid, object);
  app->Release();  // the reference QueryInterface took, or none: gone
  return result;
}

long liveObjects() { return live.load(); }

}  // namespace standin
