#include "tests/standin/contact_text.h"

#include <fstream>
#include <iterator>
#include <memory>

#include "tools/utf8.h"

namespace vcard {

std::string utf8(const std::u16string& text) { return utf8FromUtf16(text); }

void PrintTo(const Contact& c, std::ostream* out) {
  *out << "{first \"" << utf8(c.firstName) << "\", last \""
       << utf8(c.lastName) << "\", home \"" << utf8(c.home) << "\", home2 \""
       << utf8(c.home2) << "\", business \"" << utf8(c.business)
       << "\", business2 \"" << utf8(c.business2) << "\", mobile \""
       << utf8(c.mobile) << "\", car \"" << utf8(c.car)
       << "\", categories \"" << utf8(c.categories) << "\"}";
}

}  // namespace vcard

namespace standin_test {

std::u16string utf16(const std::string& text) { return utf16FromUtf8(text); }

vcard::Contact contact(const std::vector<std::string>& f) {
  vcard::Contact c;
  std::u16string* fields[] = {&c.firstName, &c.lastName, &c.home,
                              &c.home2,     &c.business, &c.business2,
                              &c.mobile,    &c.car,      &c.categories};
  for (size_t i = 0; i < f.size() && i < 9; ++i) *fields[i] = utf16(f[i]);
  return c;
}

std::vector<vcard::Contact> readAll(const std::string& bytes, bool* valid) {
  // An exact-size copy, so that a read past the end is caught by ASan.
  std::unique_ptr<char[]> copy(new char[bytes.size()]);
  bytes.copy(copy.get(), bytes.size());
  std::vector<vcard::Contact> contacts;
  const bool ok = vcard::read(bytes.empty() ? nullptr : copy.get(),
                              bytes.size(), &contacts);
  if (valid != nullptr) *valid = ok;
  return contacts;
}

std::string sourceFile(const std::string& relativePath) {
  std::ifstream in(std::string(SOURCE_DIR) + "/" + relativePath,
                   std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

}  // namespace standin_test
