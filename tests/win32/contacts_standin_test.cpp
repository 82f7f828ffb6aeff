// The contact store stand-in end to end: real COM initialisation, the
// registry knobs, vCard files on disk and BSTRs from oleaut32.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/standin/contact_store.h"
#include "tests/win32/support.h"

#include <objbase.h>
#include <oleauto.h>

namespace {

constexpr wchar_t kContactsKey[] = L"Software\\Vantorel Stand-ins\\Contacts";

void setKnob(const wchar_t* name, const std::wstring& value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kContactsKey, name, REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void deleteKnob(const wchar_t* name) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kContactsKey, name);
}

bool writeFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(),
                            static_cast<DWORD>(bytes.size()), &written,
                            nullptr);
  ::CloseHandle(file);
  return ok && written == bytes.size();
}

const char kTwo[] =
    "BEGIN:VCARD\r\nVERSION:2.1\r\n"
    "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Schr=C3=B6der;J=C3=BCrgen\r\n"
    "TEL;HOME:0221 1\r\nTEL;HOME:0221 2\r\nTEL;WORK:0221 3\r\n"
    "TEL;WORK:0221 4\r\nTEL;CELL:+49 151 5\r\nTEL;CAR:0151 6\r\n"
    "CATEGORIES:Family,Friends\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Kowalski;Marek;;;\r\n"
    "TEL;TYPE=cell;VALUE=uri:tel:+48-601-234-567\r\nEND:VCARD\r\n";

using Getter = plat::HRESULT (plat::IContact::*)(plat::BSTR*);
const Getter kGetters[9] = {
    &plat::IContact::get_FirstName,
    &plat::IContact::get_LastName,
    &plat::IContact::get_HomeTelephoneNumber,
    &plat::IContact::get_Home2TelephoneNumber,
    &plat::IContact::get_BusinessTelephoneNumber,
    &plat::IContact::get_Business2TelephoneNumber,
    &plat::IContact::get_MobileTelephoneNumber,
    &plat::IContact::get_CarTelephoneNumber,
    &plat::IContact::get_Categories,
};

class ContactStandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(plat::CoInitializeEx(nullptr, plat::COINIT_MULTITHREADED),
              S_OK);
    file_ = support::freshTempPath(L"contacts");
    setKnob(L"File", file_);
    deleteKnob(L"Fail");
  }
  void TearDown() override {
    if (app_ != nullptr) {
      EXPECT_EQ(app_->Release(), 0u);
    }
    EXPECT_EQ(standin::liveObjects(), 0);
    deleteKnob(L"File");
    deleteKnob(L"Fail");
    DeleteFileW(file_.c_str());
    plat::CoUninitialize();
  }

  plat::HRESULT logon() {
    void* object = nullptr;
    const plat::HRESULT created = plat::CoCreateInstance(
        plat::CLSID_Application, nullptr, plat::CLSCTX_INPROC_SERVER,
        plat::IID_IPOutlookApp, &object);
    if (created != S_OK) return created;
    app_ = static_cast<plat::IPOutlookApp*>(object);
    return app_->Logon(0);
  }

  // The collection interface of the logged-on store's contacts folder, as
  // the importer reaches it.
  plat::IPOutlookItemCollection* collection() {
    plat::IFolder* folder = nullptr;
    plat::IPOutlookItemCollection* items = nullptr;
    void* collection = nullptr;
    EXPECT_EQ(app_->GetDefaultFolder(plat::olFolderContacts, &folder), S_OK);
    if (folder == nullptr) return nullptr;
    EXPECT_EQ(folder->get_Items(&items), S_OK);
    if (items != nullptr) {
      EXPECT_EQ(items->QueryInterface(plat::IID_IPOutlookItemCollection,
                                      &collection),
                S_OK);
      EXPECT_EQ(items->Release(), 1u);
    }
    EXPECT_EQ(folder->Release(), 0u);
    return static_cast<plat::IPOutlookItemCollection*>(collection);
  }

  // The nine texts of contact `index`, joined by "|".
  static std::wstring texts(plat::IPOutlookItemCollection* items,
                            int32_t index) {
    plat::IContact* contact = nullptr;
    if (items->Item(index, &contact) != S_OK) return L"(no contact)";
    std::wstring joined;
    for (Getter getter : kGetters) {
      plat::BSTR text = nullptr;
      if ((contact->*getter)(&text) != S_OK) {
        joined += L"(failed)|";
        continue;
      }
      // A real BSTR: its length is where the text ends.
      const ::BSTR bstr = reinterpret_cast<::BSTR>(text);
      joined += std::wstring(bstr, SysStringLen(bstr)) + L"|";
      plat::SysFreeString(text);
    }
    EXPECT_EQ(contact->Release(), 0u);
    return joined;
  }

  std::wstring file_;
  plat::IPOutlookApp* app_ = nullptr;
};

}  // namespace

TEST_F(ContactStandIn, ReadsTheFileTheKnobNames) {
  ASSERT_TRUE(writeFile(file_, kTwo));
  ASSERT_EQ(logon(), S_OK);
  plat::IPOutlookItemCollection* items = collection();
  ASSERT_NE(items, nullptr);
  int32_t count = 0;
  ASSERT_EQ(items->get_Count(&count), S_OK);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(texts(items, 1),
            L"J\u00fcrgen|Schr\u00f6der|0221 1|0221 2|0221 3|0221 4|"
            L"+49 151 5|0151 6|Family,Friends|");
  EXPECT_EQ(texts(items, 2), L"Marek|Kowalski|||||+48-601-234-567|||");
  EXPECT_EQ(texts(items, 3), L"(no contact)");
  EXPECT_EQ(items->Release(), 0u);
  EXPECT_EQ(app_->Logoff(), S_OK);
}

TEST_F(ContactStandIn, WithoutTheKnobTheSampleNextToTheProgramIsRead) {
  setKnob(L"File", L"");  // empty counts as unset
  ASSERT_EQ(logon(), S_OK);
  plat::IPOutlookItemCollection* items = collection();
  ASSERT_NE(items, nullptr);
  int32_t count = 0;
  ASSERT_EQ(items->get_Count(&count), S_OK);
  EXPECT_EQ(count, 9);
  // The organisation, last in the sample, has no names.
  EXPECT_EQ(texts(items, 9).substr(0, 2), L"||");
  EXPECT_EQ(items->Release(), 0u);
}

TEST_F(ContactStandIn, UnreachableStoresAreKeptApartFromAnEmptyOne) {
  const std::wstring folder = support::freshTempPath(L"folder");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const struct {
    const char* what;
    std::wstring path;
    const char* bytes;  // written to `path` when not null
    plat::HRESULT logon;
  } cases[] = {
      {"missing file", file_, nullptr,
       HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
      {"missing folder", folder + L"\\absent\\contacts.vcf", nullptr,
       HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
      {"a folder, not a file", folder, nullptr,
       HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)},
      {"not a vCard file", file_, "Name,Phone\r\nAnna,030 1\r\n",
       standin::kInvalidData},
  };
  for (const auto& c : cases) {
    if (c.bytes != nullptr) {
      ASSERT_TRUE(writeFile(c.path, c.bytes));
    }
    setKnob(L"File", c.path);
    EXPECT_EQ(logon(), c.logon) << c.what;
    plat::IFolder* contacts = nullptr;
    EXPECT_NE(app_->GetDefaultFolder(plat::olFolderContacts, &contacts), S_OK)
        << c.what;
    EXPECT_EQ(app_->Release(), 0u);
    app_ = nullptr;
  }
  RemoveDirectoryW(folder.c_str());

  setKnob(L"File", file_);
  ASSERT_TRUE(writeFile(file_, ""));
  ASSERT_EQ(logon(), S_OK);
  plat::IPOutlookItemCollection* items = collection();
  ASSERT_NE(items, nullptr);
  int32_t count = -1;
  EXPECT_EQ(items->get_Count(&count), S_OK);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(items->Release(), 0u);
}

TEST_F(ContactStandIn, TheFailKnobReachesEachStep) {
  ASSERT_TRUE(writeFile(file_, kTwo));
  setKnob(L"Fail", L"Create");
  void* object = &object;
  EXPECT_EQ(plat::CoCreateInstance(plat::CLSID_Application, nullptr,
                                   plat::CLSCTX_INPROC_SERVER,
                                   plat::IID_IPOutlookApp, &object),
            E_FAIL);
  EXPECT_EQ(object, nullptr);

  setKnob(L"Fail", L"logon");
  EXPECT_EQ(logon(), E_FAIL);
  EXPECT_EQ(app_->Release(), 0u);
  app_ = nullptr;

  setKnob(L"Fail", L"item:1;getter:2:MobileTelephoneNumber");
  ASSERT_EQ(logon(), S_OK);
  plat::IPOutlookItemCollection* items = collection();
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(texts(items, 1), L"(no contact)");
  EXPECT_EQ(texts(items, 2), L"Marek|Kowalski|||||(failed)|||");
  EXPECT_EQ(items->Release(), 0u);

  setKnob(L"Fail", L"folder:none");
  ASSERT_EQ(app_->Logon(0), S_OK);
  plat::IFolder* folder = reinterpret_cast<plat::IFolder*>(&object);
  EXPECT_EQ(app_->GetDefaultFolder(plat::olFolderContacts, &folder), S_OK);
  EXPECT_EQ(folder, nullptr);
}

TEST(ContactStandInCom, CreatingNeedsComOnTheThread) {
  void* object = &object;
  EXPECT_EQ(plat::CoCreateInstance(plat::CLSID_Application, nullptr,
                                   plat::CLSCTX_INPROC_SERVER,
                                   plat::IID_IPOutlookApp, &object),
            CO_E_NOTINITIALIZED);
  EXPECT_EQ(object, nullptr);

  ASSERT_EQ(plat::CoInitializeEx(nullptr, plat::COINIT_MULTITHREADED), S_OK);
  EXPECT_EQ(plat::CoInitializeEx(nullptr, plat::COINIT_MULTITHREADED),
            S_FALSE);  // counted: a second call needs a second CoUninitialize
  plat::CoUninitialize();
  // Another thread of the process shares the multithreaded apartment.
  plat::HRESULT created = E_FAIL;
  std::thread other([&] {
    created = plat::CoCreateInstance(plat::CLSID_Application, nullptr,
                                     plat::CLSCTX_INPROC_SERVER,
                                     plat::IID_IPOutlookApp, &object);
  });
  other.join();
  ASSERT_EQ(created, S_OK);
  EXPECT_EQ(static_cast<plat::IPOutlookApp*>(object)->Release(), 0u);
  plat::CoUninitialize();
  EXPECT_EQ(standin::liveObjects(), 0);
}
