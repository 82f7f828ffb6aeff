// The contact store stand-in's objects over a test host: the walk the
// importer makes, reference counts, the failure knob and the failure exits.
#include <gtest/gtest.h>

#include <string>

#include "platform/standin/contact_store.h"
#include "tests/standin/contact_text.h"

namespace {

using standin_test::utf16;

// The host's file, knob and texts, set by each test.
plat::HRESULT fileResult = plat::S_OK;
std::string fileBytes;
std::u16string knob;
bool outOfMemory = false;
int textsAlive = 0;

plat::HRESULT readStore(std::string* bytes) {
  if (fileResult == plat::S_OK) *bytes = fileBytes;
  return fileResult;
}
std::u16string failKnob() { return knob; }
plat::BSTR allocText(const char16_t* text, uint32_t length) {
  if (outOfMemory) return nullptr;
  auto* copy = new char16_t[length + 1];
  std::char_traits<char16_t>::copy(copy, text, length);
  copy[length] = 0;
  ++textsAlive;
  return copy;
}
void freeText(plat::BSTR text) {
  if (text != nullptr) --textsAlive;
  delete[] text;
}

const standin::ContactStoreHost kHost = {readStore, failKnob, allocText};

constexpr plat::GUID kIID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr plat::HRESULT kFileNotFound = static_cast<plat::HRESULT>(0x80070002u);
constexpr plat::HRESULT kAccessDenied = static_cast<plat::HRESULT>(0x80070005u);

const char kThree[] =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:M\xC3\xBCller;Anna;;;\r\n"
    "TEL;TYPE=HOME:030 1\r\nTEL;TYPE=CELL:+49 170 2\r\n"
    "CATEGORIES:Family,Work\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Berg;Ole;;;\r\nTEL;TYPE=WORK:040 3\r\n"
    "END:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nORG:Taxi\r\nTEL;TYPE=CAR:0800 4\r\n"
    "END:VCARD\r\n";

class ContactStore : public ::testing::Test {
 protected:
  void SetUp() override {
    fileResult = plat::S_OK;
    fileBytes = kThree;
    knob.clear();
    outOfMemory = false;
    textsAlive = 0;
  }
  void TearDown() override {
    EXPECT_EQ(standin::liveObjects(), 0);
    EXPECT_EQ(textsAlive, 0);
  }

  static plat::HRESULT create(plat::IPOutlookApp** app) {
    return standin::createApplication(
        &kHost, plat::CLSID_Application, nullptr, plat::CLSCTX_INPROC_SERVER,
        plat::IID_IPOutlookApp, reinterpret_cast<void**>(app));
  }

  static plat::IPOutlookItemCollection* openItems(plat::IPOutlookApp* app) {
    plat::IFolder* folder = nullptr;
    plat::IPOutlookItemCollection* items = nullptr;
    EXPECT_EQ(app->GetDefaultFolder(plat::olFolderContacts, &folder),
              plat::S_OK);
    if (folder == nullptr) return nullptr;
    EXPECT_EQ(folder->get_Items(&items), plat::S_OK);
    EXPECT_EQ(folder->Release(), 0u);
    return items;
  }
};

// The importer's walk, written down as it goes: each step that fails ends
// the trace with "!" (or ":none" when it succeeds without an object); each
// contact gives its number, followed by the getters that failed.
std::string walk() {
  plat::IPOutlookApp* app = nullptr;
  if (standin::createApplication(&kHost, plat::CLSID_Application, nullptr,
                                 plat::CLSCTX_INPROC_SERVER,
                                 plat::IID_IPOutlookApp,
                                 reinterpret_cast<void**>(&app)) != plat::S_OK)
    return "create!";
  std::string trace;
  plat::IFolder* folder = nullptr;
  plat::IPOutlookItemCollection* items = nullptr;
  plat::IPOutlookItemCollection* collection = nullptr;
  int32_t count = 0;
  if (app->Logon(0) != plat::S_OK) {
    trace = "logon!";
  } else if (app->GetDefaultFolder(plat::olFolderContacts, &folder) !=
             plat::S_OK) {
    trace = "folder!";
  } else if (folder == nullptr) {
    trace = "folder:none";
  } else if (folder->get_Items(&items) != plat::S_OK) {
    trace = "items!";
  } else if (items->QueryInterface(plat::IID_IPOutlookItemCollection,
                                   reinterpret_cast<void**>(&collection)) !=
             plat::S_OK) {
    trace = "collection!";
  } else if (collection == nullptr) {
    trace = "collection:none";
  } else if (collection->get_Count(&count) != plat::S_OK) {
    trace = "count!";
  } else {
    using Getter = plat::HRESULT (plat::IContact::*)(plat::BSTR*);
    const std::pair<const char*, Getter> getters[] = {
        {"FirstName", &plat::IContact::get_FirstName},
        {"LastName", &plat::IContact::get_LastName},
        {"Home", &plat::IContact::get_HomeTelephoneNumber},
        {"Home2", &plat::IContact::get_Home2TelephoneNumber},
        {"Business", &plat::IContact::get_BusinessTelephoneNumber},
        {"Business2", &plat::IContact::get_Business2TelephoneNumber},
        {"Mobile", &plat::IContact::get_MobileTelephoneNumber},
        {"Car", &plat::IContact::get_CarTelephoneNumber},
        {"Categories", &plat::IContact::get_Categories},
    };
    for (int32_t i = 1; i <= count; ++i) {
      trace += (i > 1 ? " " : "") + std::to_string(i);
      plat::IContact* contact = nullptr;
      if (collection->Item(i, &contact) != plat::S_OK) {
        trace += contact == nullptr ? "!" : "!(but an object)";
        continue;
      }
      for (const auto& getter : getters) {
        plat::BSTR text = reinterpret_cast<plat::BSTR>(&trace);
        if ((contact->*getter.second)(&text) != plat::S_OK)
          trace += std::string(":") + getter.first +
                   (text == nullptr ? "!" : "!(but a text)");
        freeText(text);
      }
      EXPECT_EQ(contact->Release(), 0u);
    }
  }
  if (collection != nullptr) {
    EXPECT_EQ(collection->Release(), 1u);
  }
  if (items != nullptr) {
    EXPECT_EQ(items->Release(), 0u);
  }
  if (folder != nullptr) {
    EXPECT_EQ(folder->Release(), 0u);
  }
  app->Logoff();
  EXPECT_EQ(app->Release(), 0u);
  return trace;
}

}  // namespace

TEST_F(ContactStore, GivesTheContactsOfTheFile) {
  plat::IPOutlookApp* app = nullptr;
  ASSERT_EQ(create(&app), plat::S_OK);
  ASSERT_EQ(app->Logon(0), plat::S_OK);
  plat::IPOutlookItemCollection* items = openItems(app);
  ASSERT_NE(items, nullptr);
  int32_t count = -1;
  ASSERT_EQ(items->get_Count(&count), plat::S_OK);
  ASSERT_EQ(count, 3);

  plat::IContact* first = nullptr;
  ASSERT_EQ(items->Item(1, &first), plat::S_OK);
  const struct {
    plat::HRESULT (plat::IContact::*getter)(plat::BSTR*);
    const char* text;
  } expected[] = {
      {&plat::IContact::get_FirstName, "Anna"},
      {&plat::IContact::get_LastName, "M\xC3\xBCller"},
      {&plat::IContact::get_HomeTelephoneNumber, "030 1"},
      {&plat::IContact::get_Home2TelephoneNumber, ""},
      {&plat::IContact::get_BusinessTelephoneNumber, ""},
      {&plat::IContact::get_Business2TelephoneNumber, ""},
      {&plat::IContact::get_MobileTelephoneNumber, "+49 170 2"},
      {&plat::IContact::get_CarTelephoneNumber, ""},
      {&plat::IContact::get_Categories, "Family,Work"},
  };
  for (const auto& e : expected) {
    plat::BSTR text = nullptr;
    ASSERT_EQ((first->*e.getter)(&text), plat::S_OK) << e.text;
    // An empty field is an empty text, not a null one.
    ASSERT_NE(text, nullptr) << e.text;
    EXPECT_EQ(std::u16string(text), utf16(e.text));
    freeText(text);
  }
  EXPECT_EQ(first->Release(), 0u);

  plat::IContact* third = nullptr;
  ASSERT_EQ(items->Item(3, &third), plat::S_OK);
  plat::BSTR text = nullptr;
  ASSERT_EQ(third->get_LastName(&text), plat::S_OK);
  EXPECT_EQ(std::u16string(text), u"");
  freeText(text);
  ASSERT_EQ(third->get_CarTelephoneNumber(&text), plat::S_OK);
  EXPECT_EQ(std::u16string(text), u"0800 4");
  freeText(text);
  EXPECT_EQ(third->Release(), 0u);

  EXPECT_EQ(items->Release(), 0u);
  EXPECT_EQ(app->Logoff(), plat::S_OK);
  EXPECT_EQ(app->Release(), 0u);
}

TEST_F(ContactStore, TheWalkSeesEveryContactAndFreesEverything) {
  EXPECT_EQ(walk(), "1 2 3");
}

TEST_F(ContactStore, TheFailKnob) {
  const struct {
    const char* knob;
    const char* trace;
  } cases[] = {
      {"create", "create!"},
      {"Logon", "logon!"},
      {"folder", "folder!"},
      {"folder:none", "folder:none"},
      {"items", "items!"},
      {"collection", "collection!"},
      {"COLLECTION:NONE", "collection:none"},
      {"count", "count!"},
      {"item:2", "1 2! 3"},
      {"item:*", "1! 2! 3!"},
      {"getter:3:categories", "1 2 3:Categories!"},
      {"getter:*:FirstName", "1:FirstName! 2:FirstName! 3:FirstName!"},
      {"getter:2:*",
       "1 2:FirstName!:LastName!:Home!:Home2!:Business!:Business2!:Mobile!"
       ":Car!:Categories! 3"},
      {"item:2; getter:1:MobileTelephoneNumber", "1:Mobile! 2! 3"},
      // Steps that are not understood change nothing.
      {"", "1 2 3"},
      {"send", "1 2 3"},
      {"item:0", "1 2 3"},
      {"item:x", "1 2 3"},
      {"getter:1:Nickname", "1 2 3"},
      {"getter:1", "1 2 3"},
  };
  for (const auto& c : cases) {
    knob = utf16(c.knob);
    EXPECT_EQ(walk(), c.trace) << c.knob;
    EXPECT_EQ(standin::liveObjects(), 0) << c.knob;
  }
}

TEST_F(ContactStore, TheKnobIsReadAtCreateAndAtLogon) {
  plat::IPOutlookApp* app = nullptr;
  ASSERT_EQ(create(&app), plat::S_OK);
  knob = u"item:1";
  ASSERT_EQ(app->Logon(0), plat::S_OK);
  knob = u"count";  // too late for this logon
  plat::IPOutlookItemCollection* items = openItems(app);
  ASSERT_NE(items, nullptr);
  int32_t count = 0;
  EXPECT_EQ(items->get_Count(&count), plat::S_OK);
  plat::IContact* contact = nullptr;
  EXPECT_EQ(items->Item(1, &contact), plat::E_FAIL);
  EXPECT_EQ(contact, nullptr);
  EXPECT_EQ(items->Release(), 0u);
  ASSERT_EQ(app->Logon(0), plat::S_OK);  // a new logon reads it again
  items = openItems(app);
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(items->get_Count(&count), plat::E_FAIL);
  EXPECT_EQ(items->Release(), 0u);
  EXPECT_EQ(app->Release(), 0u);
}

TEST_F(ContactStore, MissingUnreadableInvalidAndEmptyFilesAreKeptApart) {
  const struct {
    const char* what;
    plat::HRESULT file;
    const char* bytes;
    plat::HRESULT logon;
  } cases[] = {
      {"missing", kFileNotFound, "", kFileNotFound},
      {"unreadable", kAccessDenied, "", kAccessDenied},
      {"a failure that is no error", 1, "", plat::E_FAIL},
      {"not a vCard file", plat::S_OK, "Name;Phone\r\nAnna;1\r\n",
       standin::kInvalidData},
  };
  for (const auto& c : cases) {
    fileResult = c.file;
    fileBytes = c.bytes;
    plat::IPOutlookApp* app = nullptr;
    ASSERT_EQ(create(&app), plat::S_OK) << c.what;
    EXPECT_EQ(app->Logon(0), c.logon) << c.what;
    plat::IFolder* folder = reinterpret_cast<plat::IFolder*>(app);
    EXPECT_EQ(app->GetDefaultFolder(plat::olFolderContacts, &folder),
              plat::E_FAIL)
        << c.what;
    EXPECT_EQ(folder, nullptr);
    EXPECT_EQ(app->Release(), 0u);
  }

  fileResult = plat::S_OK;
  fileBytes = "";
  EXPECT_EQ(walk(), "");  // an empty store: a count of 0
  fileBytes = "\xEF\xBB\xBF\r\n";
  EXPECT_EQ(walk(), "");
}

TEST_F(ContactStore, ObjectsOutliveLogoffAndTheApplication) {
  plat::IPOutlookApp* app = nullptr;
  ASSERT_EQ(create(&app), plat::S_OK);
  ASSERT_EQ(app->Logon(0), plat::S_OK);
  plat::IFolder* folder = nullptr;
  ASSERT_EQ(app->GetDefaultFolder(plat::olFolderContacts, &folder),
            plat::S_OK);
  EXPECT_EQ(app->Logoff(), plat::S_OK);
  plat::IFolder* again = nullptr;
  EXPECT_EQ(app->GetDefaultFolder(plat::olFolderContacts, &again),
            plat::E_FAIL);
  EXPECT_EQ(app->Release(), 0u);

  plat::IPOutlookItemCollection* items = nullptr;
  ASSERT_EQ(folder->get_Items(&items), plat::S_OK);
  EXPECT_EQ(folder->Release(), 0u);
  plat::IContact* contact = nullptr;
  ASSERT_EQ(items->Item(2, &contact), plat::S_OK);
  EXPECT_EQ(items->Release(), 0u);
  plat::BSTR text = nullptr;
  ASSERT_EQ(contact->get_BusinessTelephoneNumber(&text), plat::S_OK);
  EXPECT_EQ(std::u16string(text), u"040 3");
  freeText(text);
  EXPECT_EQ(contact->Release(), 0u);
}

TEST_F(ContactStore, RefusesWhatItDoesNotOffer) {
  void* object = &object;
  const plat::GUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  EXPECT_EQ(standin::createApplication(&kHost, other, nullptr, 1,
                                       plat::IID_IPOutlookApp, &object),
            standin::kClassNotRegistered);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(standin::createApplication(&kHost, plat::CLSID_Application,
                                       nullptr, 4, plat::IID_IPOutlookApp,
                                       &object),
            standin::kClassNotRegistered);
  plat::IUnknown* outer = reinterpret_cast<plat::IUnknown*>(&object);
  EXPECT_EQ(standin::createApplication(&kHost, plat::CLSID_Application, outer,
                                       1, plat::IID_IPOutlookApp, &object),
            standin::kNoAggregation);
  EXPECT_EQ(standin::createApplication(&kHost, plat::CLSID_Application,
                                       nullptr, 1, other, &object),
            plat::E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(standin::createApplication(&kHost, plat::CLSID_Application,
                                       nullptr, 1, plat::IID_IPOutlookApp,
                                       nullptr),
            plat::E_POINTER);

  // IUnknown works everywhere; each interface only on its own object.
  ASSERT_EQ(standin::createApplication(&kHost, plat::CLSID_Application,
                                       nullptr, 1, kIID_IUnknown, &object),
            plat::S_OK);
  auto* app = static_cast<plat::IPOutlookApp*>(object);
  EXPECT_EQ(app->QueryInterface(plat::IID_IPOutlookItemCollection, &object),
            plat::E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  ASSERT_EQ(app->QueryInterface(plat::IID_IPOutlookApp, &object), plat::S_OK);
  EXPECT_EQ(object, app);
  EXPECT_EQ(app->Release(), 1u);
  EXPECT_EQ(app->Logon(0), plat::S_OK);
  plat::IFolder* folder = nullptr;
  EXPECT_EQ(app->GetDefaultFolder(5, &folder), standin::kInvalidArg);
  EXPECT_EQ(app->GetDefaultFolder(plat::olFolderContacts, nullptr),
            plat::E_POINTER);

  plat::IPOutlookItemCollection* items = openItems(app);
  ASSERT_NE(items, nullptr);
  ASSERT_EQ(items->QueryInterface(kIID_IUnknown, &object), plat::S_OK);
  EXPECT_EQ(items->Release(), 1u);
  plat::IContact* contact = reinterpret_cast<plat::IContact*>(&object);
  EXPECT_EQ(items->Item(0, &contact), standin::kInvalidArg);
  EXPECT_EQ(contact, nullptr);
  EXPECT_EQ(items->Item(4, &contact), standin::kInvalidArg);
  EXPECT_EQ(items->Item(1, nullptr), plat::E_POINTER);
  EXPECT_EQ(items->get_Count(nullptr), plat::E_POINTER);
  ASSERT_EQ(items->Item(1, &contact), plat::S_OK);
  EXPECT_EQ(contact->QueryInterface(plat::IID_IPOutlookItemCollection,
                                    &object),
            plat::E_NOINTERFACE);
  EXPECT_EQ(contact->get_FirstName(nullptr), plat::E_POINTER);
  outOfMemory = true;
  plat::BSTR text = reinterpret_cast<plat::BSTR>(&object);
  EXPECT_EQ(contact->get_FirstName(&text), standin::kOutOfMemory);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(contact->Release(), 0u);
  EXPECT_EQ(items->Release(), 0u);
  EXPECT_EQ(app->Release(), 0u);
}
