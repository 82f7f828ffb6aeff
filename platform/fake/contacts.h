// The scripted contact store, and what the program left of it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace fake {

// In the order the store's getters are read.
enum ContactField {
  firstName,
  lastName,
  homeNumber,
  home2Number,
  businessNumber,
  business2Number,
  mobileNumber,
  carNumber,
  categories,
  contactFieldCount
};

struct FakeContact {
  std::u16string fields[contactFieldCount];
  int failingField = -1;  // this getter fails for this contact
  bool failFetch = false;  // Item() fails for this contact
};

void setContacts(const std::vector<FakeContact>& contacts);
// GetDefaultFolder succeeds without giving a folder; QueryInterface on the
// item collection succeeds without giving an interface.
void giveNoFolder(bool on = true);
void giveNoCollection(bool on = true);

// Store objects and texts handed out and not yet released or freed.
size_t liveStoreObjects();
size_t liveStoreTexts();
bool storeLoggedOn();
// CoInitializeEx calls less CoUninitialize calls.
int comInitialisations();

}  // namespace fake
