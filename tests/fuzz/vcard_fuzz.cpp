// Reads arbitrary bytes as a vCard file from a heap buffer of exactly their
// size, so a read past the end is caught by AddressSanitizer, and checks
// what vcard.h and docs/contact-store.md promise of any input:
// - cards are appended after what the list held;
// - bytes with no card are no vCard file unless they are white space (after
//   a byte order mark), which is a valid file without cards;
// - a file with a BEGIN:VCARD line is never refused, for lines that no
//   folding or soft line break joins to another;
// - names, numbers and category names have no surrounding spaces or tabs,
//   no category name is empty or holds a separator;
// - every text is valid UTF-16: it is decoded from strict UTF-8 or from
//   windows-1252, neither of which gives a lone surrogate;
// - the same bytes always give the same contacts.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/standin/vcard.h"

namespace {

[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

bool same(const vcard::Contact& a, const vcard::Contact& b) {
  return a.firstName == b.firstName && a.lastName == b.lastName &&
         a.home == b.home && a.home2 == b.home2 && a.business == b.business &&
         a.business2 == b.business2 && a.mobile == b.mobile && a.car == b.car &&
         a.categories == b.categories;
}

bool same(const std::vector<vcard::Contact>& a,
          const std::vector<vcard::Contact>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!same(a[i], b[i])) return false;
  return true;
}

vcard::Contact marker() {
  vcard::Contact c;
  c.firstName = u"already";
  c.lastName = u"there";
  c.mobile = u"+1";
  return c;
}

bool startsWithBom(const char* data, size_t size) {
  return size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0;
}

bool onlyWhiteSpace(const char* data, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (data[i] != ' ' && data[i] != '\t' && data[i] != '\r' && data[i] != '\n')
      return false;
  return true;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

bool isBeginLine(const char* line, size_t length) {
  static const char kBegin[] = "BEGIN:VCARD";
  if (length != sizeof kBegin - 1) return false;
  for (size_t i = 0; i < length; ++i)
    if (upper(line[i]) != kBegin[i]) return false;
  return true;
}

// A physical line (ended by CR LF, LF or CR) that is BEGIN:VCARD in any
// letter case, after a line that does not end in "=" (a soft line break)
// and before one that does not begin with a blank (folding).
bool hasStandaloneBeginLine(const char* data, size_t size) {
  size_t start = 0;
  bool previousSoftBreak = false;
  while (start < size) {
    size_t end = start;
    while (end < size && data[end] != '\r' && data[end] != '\n') ++end;
    size_t next = end;
    if (next < size && data[next++] == '\r' && next < size &&
        data[next] == '\n')
      ++next;
    const bool foldedOn = next < size && (data[next] == ' ' || data[next] == '\t');
    if (!previousSoftBreak && !foldedOn && isBeginLine(data + start, end - start))
      return true;
    previousSoftBreak = end > start && data[end - 1] == '=';
    start = next;
  }
  return false;
}

bool isBlank(char16_t u) { return u == u' ' || u == u'\t'; }

bool trimmed(const std::u16string& text) {
  return text.empty() || (!isBlank(text.front()) && !isBlank(text.back()));
}

bool validUtf16(const std::u16string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u >= 0xDC00 && u <= 0xDFFF) return false;
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
        return false;
      ++i;
    }
  }
  return true;
}

void checkTexts(const vcard::Contact& c) {
  const std::u16string* const texts[] = {
      &c.firstName, &c.lastName, &c.home,   &c.home2,     &c.business,
      &c.business2, &c.mobile,   &c.car,    &c.categories};
  for (const std::u16string* text : texts)
    if (!validUtf16(*text)) broken("a text that is not valid UTF-16");
  for (size_t i = 0; i + 1 < sizeof texts / sizeof texts[0]; ++i)
    if (!trimmed(*texts[i])) broken("a name or number with blanks around it");
  if (c.categories.empty()) return;
  if (c.categories.find(u';') != std::u16string::npos)
    broken("a category name holds a separator");
  size_t start = 0;
  for (size_t at = 0; at <= c.categories.size(); ++at) {
    if (at < c.categories.size() && c.categories[at] != u',') continue;
    const std::u16string name = c.categories.substr(start, at - start);
    if (name.empty()) broken("an empty category name");
    if (!trimmed(name)) broken("a category name with blanks around it");
    start = at + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  std::unique_ptr<char[]> data(new char[size]);
  if (size != 0) std::memcpy(data.get(), bytes, size);

  std::vector<vcard::Contact> first{marker()};
  const bool valid = vcard::read(data.get(), size, &first);
  if (first.empty() || !same(first[0], marker()))
    broken("the contacts already in the list were changed");
  const size_t cards = first.size() - 1;

  const char* body = data.get();
  size_t bodySize = size;
  if (startsWithBom(body, bodySize)) body += 3, bodySize -= 3;
  if (onlyWhiteSpace(body, bodySize) && (!valid || cards != 0))
    broken("white space is not a valid file without cards");
  if (!valid && cards != 0) broken("cards read from what is no vCard file");
  if (hasStandaloneBeginLine(body, bodySize) && !valid)
    broken("a file with a BEGIN:VCARD line was refused");
  for (size_t i = 1; i < first.size(); ++i) checkTexts(first[i]);

  std::vector<vcard::Contact> again{marker()};
  if (vcard::read(data.get(), size, &again) != valid || !same(first, again))
    broken("the same bytes read differently");
  return 0;
}
