#include "store/contact_import.h"

#include "engine/tables.h"
#include "engine/text.h"
#include "engine/tracker.h"
#include "platform/dialogs.h"
#include "store/selection_files.h"

plat::IPOutlookApp* contactApp = nullptr;

void resetContactImport() { contactApp = nullptr; }

namespace {

constexpr char16_t kFullWarning[] =
    u"You have more than thusand numbers in your Contacts Database.\n"
    u"This program read/use only the first thusand.";
constexpr char16_t kWarningCaption[] = u"Zerv: Vantorel";
constexpr size_t kNameChars = 128;
constexpr size_t kNumberChars = 64;
constexpr size_t kCategoriesChars = 516;
constexpr size_t kCategoryNameChars = 64;

enum Field {
  first,
  last,
  home,
  home2,
  business,
  business2,
  mobile,
  car,
  categoryList,
  fieldCount
};

// One contact as read from the store, each text cut to what a row keeps.
struct ContactTexts {
  char16_t names[2][kNameChars + 2];
  char16_t numbers[6][kNumberChars + 2];
  char16_t categories[kCategoriesChars + 2];
};

plat::HRESULT getField(plat::IContact* contact, int field, plat::BSTR* text) {
  switch (field) {
    case first:
      return contact->get_FirstName(text);
    case last:
      return contact->get_LastName(text);
    case home:
      return contact->get_HomeTelephoneNumber(text);
    case home2:
      return contact->get_Home2TelephoneNumber(text);
    case business:
      return contact->get_BusinessTelephoneNumber(text);
    case business2:
      return contact->get_Business2TelephoneNumber(text);
    case mobile:
      return contact->get_MobileTelephoneNumber(text);
    case car:
      return contact->get_CarTelephoneNumber(text);
    default:
      return contact->get_Categories(text);
  }
}

char16_t* fieldText(ContactTexts& c, int field, size_t* limit) {
  if (field <= last) {
    *limit = kNameChars;
    return c.names[field];
  }
  if (field < categoryList) {
    *limit = kNumberChars;
    return c.numbers[field - home];
  }
  *limit = kCategoriesChars;
  return c.categories;
}

// All nine texts, or false when any getter fails: a contact is taken whole
// or not at all.
bool readContact(plat::IContact* contact, ContactTexts& texts) {
  for (int field = 0; field < fieldCount; ++field) {
    plat::BSTR text = nullptr;
    const plat::HRESULT hr = getField(contact, field, &text);
    size_t limit = 0;
    char16_t* target = fieldText(texts, field, &limit);
    if (hr == plat::S_OK)
      copyText(target, limit + 2, text != nullptr ? text : u"", limit);
    plat::SysFreeString(text);
    if (hr != plat::S_OK) return false;
  }
  return true;
}

void addRows(const ContactTexts& c) {
  if (c.names[0][0] == 0 && c.names[1][0] == 0) return;
  for (const char16_t* number : c.numbers) {
    if (number[0] == 0 || numberTable.count >= kMaxNumberRows) continue;
    NumberEntry& row = numberTable.rows[++numberTable.count];
    copyText(row.number, number);
    copyText(row.firstName, c.names[0]);
    copyText(row.lastName, c.names[1]);
    copyText(row.categories, c.categories);
  }
}

bool hasNumber(const ContactTexts& c) {
  for (const char16_t* number : c.numbers)
    if (number[0] != 0) return true;
  return false;
}

void release(plat::IUnknown* object) {
  if (object != nullptr) object->Release();
}

void endSession() {
  contactApp->Logoff();
  contactApp->Release();
  contactApp = nullptr;
  plat::CoUninitialize();
}

bool categoryKnown(const char16_t* name) {
  for (int32_t k = 1; k <= categoryTable.count; ++k)
    if (textEqualsIgnoreCase(categoryTable.rows[k].name, name)) return true;
  return false;
}

void addCategory(const char16_t* piece, size_t length) {
  // The name is the piece's first 64 characters, less one leading space as
  // "Family, Friends" writes it; a second one stays.
  size_t n = length < kCategoryNameChars ? length : kCategoryNameChars;
  if (n > 0 && piece[0] == u' ') {
    ++piece;
    --n;
  }
  char16_t name[kCategoryNameChars + 1];
  for (size_t i = 0; i < n; ++i) name[i] = piece[i];
  name[n] = 0;
  if (categoryKnown(name) || categoryTable.count >= kMaxCategoryRows) return;
  CategoryEntry& row = categoryTable.rows[++categoryTable.count];
  copyText(row.name, name);
}

}  // namespace

void collectCategories() {
  categoryTable.count = 0;
  const int32_t rows = numberTable.count < kMaxNumberRows ? numberTable.count
                                                          : kMaxNumberRows;
  for (int32_t k = 1; k <= rows; ++k) {
    const char16_t* list = numberTable.rows[k].categories;
    const size_t length = textLength(list, kCategoriesChars);
    size_t start = 0;
    for (size_t at = 0; at <= length; ++at) {
      if (at < length && list[at] != u',') continue;
      // Runs of commas give no empty piece.
      if (at > start) addCategory(list + start, at - start);
      start = at + 1;
    }
  }
}

bool importContacts(plat::HWND owner) {
  numberTable.count = 0;

  if (contactApp == nullptr) {
    plat::CoInitializeEx(nullptr, plat::COINIT_MULTITHREADED);
    void* created = nullptr;
    if (plat::CoCreateInstance(plat::CLSID_Application, nullptr,
                               plat::CLSCTX_INPROC_SERVER,
                               plat::IID_IPOutlookApp, &created) != plat::S_OK ||
        created == nullptr)
      return false;
    contactApp = static_cast<plat::IPOutlookApp*>(created);
    if (contactApp->Logon(reinterpret_cast<intptr_t>(owner)) != plat::S_OK) {
      contactApp->Release();
      contactApp = nullptr;
      plat::CoUninitialize();
      return false;
    }
  }

  plat::IFolder* folder = nullptr;
  plat::IPOutlookItemCollection* items = nullptr;
  void* collection = nullptr;
  if (contactApp->GetDefaultFolder(plat::olFolderContacts, &folder) !=
          plat::S_OK ||
      folder == nullptr || folder->get_Items(&items) != plat::S_OK ||
      items == nullptr ||
      items->QueryInterface(plat::IID_IPOutlookItemCollection, &collection) !=
          plat::S_OK) {
    // The store stays logged on for the next import; what was obtained on
    // the way is given back.
    release(items);
    release(folder);
    return false;
  }
  auto* contacts = static_cast<plat::IPOutlookItemCollection*>(collection);

  int32_t count = 0;
  if (contacts != nullptr && contacts->get_Count(&count) == plat::S_OK) {
    for (int32_t i = 1; i <= count; ++i) {
      plat::IContact* contact = nullptr;
      if (contacts->Item(i, &contact) != plat::S_OK || contact == nullptr)
        continue;
      ContactTexts texts;
      const bool whole = readContact(contact, texts);
      if (whole && numberTable.count >= kMaxNumberRows) {
        plat::MessageBoxW(mainWindow, kFullWarning, kWarningCaption,
                          plat::MB_OK | plat::MB_ICONHAND);
        contact->Release();
        break;
      }
      if (whole && hasNumber(texts)) addRows(texts);
      contact->Release();
    }
  }

  release(contacts);
  release(items);
  release(folder);
  endSession();

  collectCategories();
  if (numberTable.count > 0) applySelectionFiles();
  return true;
}
