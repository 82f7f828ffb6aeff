// Reads the contacts of a vCard file (versions 2.1, 3.0 and 4.0) for the
// contact store stand-in: the two names, six telephone numbers and the
// categories. docs/contact-store.md gives the mapping and the rules.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vcard {

struct Contact {
  std::u16string firstName;
  std::u16string lastName;
  std::u16string home;
  std::u16string home2;
  std::u16string business;
  std::u16string business2;
  std::u16string mobile;
  std::u16string car;
  std::u16string categories;  // the names joined by ","
};

// Appends the cards of `data` to `contacts`, in file order. Returns false
// when the bytes are not a vCard file at all: something other than white
// space, but no BEGIN:VCARD line. An empty file is a file without cards.
// A damaged file gives every card that could be read; a card cut off by
// the end of the file keeps what was read of it.
bool read(const char* data, size_t size, std::vector<Contact>* contacts);

}  // namespace vcard
