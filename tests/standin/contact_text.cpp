#include "tests/standin/contact_text.h"

#include <fstream>
#include <iterator>
#include <memory>

namespace vcard {

std::string utf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

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

std::u16string utf16(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    uint32_t cp = n == 1 ? b : b & (0x7F >> n);
    for (size_t k = 1; k < n && i + k < text.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += n;
  }
  return out;
}

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
