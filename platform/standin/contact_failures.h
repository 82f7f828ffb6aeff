// The contact store stand-in's "Fail" knob: which steps of reading the store
// are made to fail (docs/contact-store.md). The knob is a list of steps
// separated by ";", letter case ignored:
//
//   create  logon  folder  folder:none  items  collection  collection:none
//   count  item:N  getter:N:PROPERTY
//
// N is a contact's number from 1, or "*" for every contact; PROPERTY is a
// getter's name without "get_" (FirstName, ..., Categories) or "*". Steps
// that are not understood are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

enum class Step {
  Create,          // CoCreateInstance
  Logon,           // IPOutlookApp::Logon
  Folder,          // GetDefaultFolder fails
  FolderNone,      // GetDefaultFolder succeeds without a folder
  Items,           // IFolder::get_Items
  Collection,      // QueryInterface for the collection interface fails
  CollectionNone,  // ... succeeds without an interface
  Count,           // get_Count
  Item,            // Item(N)
  Getter,          // a getter of contact N
};

// The nine getters of IContact, in the order of its declaration.
enum class Property {
  FirstName,
  LastName,
  Home,
  Home2,
  Business,
  Business2,
  Mobile,
  Car,
  Categories,
};

class FailurePlan {
 public:
  FailurePlan() = default;
  explicit FailurePlan(const std::u16string& knob);

  bool fails(Step step) const;
  bool failsItem(int32_t index) const;
  bool failsGetter(int32_t index, Property property) const;

 private:
  struct Entry {
    Step step;
    int32_t index;  // 0: every contact
    int property;   // -1: every getter
  };
  std::vector<Entry> entries_;
};

}  // namespace standin
