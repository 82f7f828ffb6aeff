// Helpers of the stand-in tests: contacts written as nine UTF-8 texts, and
// printing them readably when a comparison fails.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/standin/vcard.h"

namespace vcard {

inline bool operator==(const Contact& a, const Contact& b) {
  return a.firstName == b.firstName && a.lastName == b.lastName &&
         a.home == b.home && a.home2 == b.home2 && a.business == b.business &&
         a.business2 == b.business2 && a.mobile == b.mobile && a.car == b.car &&
         a.categories == b.categories;
}

std::string utf8(const std::u16string& text);
void PrintTo(const Contact& c, std::ostream* out);

}  // namespace vcard

namespace standin_test {

std::u16string utf16(const std::string& text);

// In the order first, last, home, home 2, business, business 2, mobile,
// car, categories.
vcard::Contact contact(const std::vector<std::string>& fields);

// The contacts of `bytes`; `valid` gets what read() returned.
std::vector<vcard::Contact> readAll(const std::string& bytes,
                                    bool* valid = nullptr);

// A file of the source tree, "" when it cannot be read.
std::string sourceFile(const std::string& relativePath);

}  // namespace standin_test
