// Parsing the contact store stand-in's "Fail" knob.
#include "platform/standin/contact_failures.h"

#include <string_view>

namespace standin {
namespace {

char16_t lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool sameIgnoringCase(std::u16string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(static_cast<char16_t>(b[i]))) return false;
  return true;
}

std::u16string_view trim(std::u16string_view s) {
  while (!s.empty() && s.front() == u' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
  return s;
}

// "*" gives 0; a number from 1 gives itself; anything else -1.
int32_t parseIndex(std::u16string_view s) {
  if (s == u"*") return 0;
  if (s.empty() || s.size() > 9) return -1;
  int32_t n = 0;
  for (char16_t c : s) {
    if (c < u'0' || c > u'9') return -1;
    n = n * 10 + (c - u'0');
  }
  return n >= 1 ? n : -1;
}

// The getter's position in Property, -1 for "*", -2 when unknown.
int parseProperty(std::u16string_view s) {
  static const char* const kNames[] = {
      "FirstName",
      "LastName",
      "HomeTelephoneNumber",
      "Home2TelephoneNumber",
      "BusinessTelephoneNumber",
      "Business2TelephoneNumber",
      "MobileTelephoneNumber",
      "CarTelephoneNumber",
      "Categories",
  };
  if (s == u"*") return -1;
  for (int i = 0; i < 9; ++i)
    if (sameIgnoringCase(s, kNames[i])) return i;
  return -2;
}

std::vector<std::u16string_view> split(std::u16string_view s, char16_t at) {
  std::vector<std::u16string_view> pieces;
  for (size_t start = 0;;) {
    const size_t end = s.find(at, start);
    pieces.push_back(trim(s.substr(start, end - start)));
    if (end == std::u16string_view::npos) return pieces;
    start = end + 1;
  }
}

}  // namespace

FailurePlan::FailurePlan(const std::u16string& knob) {
  static const struct {
    const char* name;
    Step step;
  } kPlain[] = {
      {"create", Step::Create},
      {"logon", Step::Logon},
      {"folder", Step::Folder},
      {"folder:none", Step::FolderNone},
      {"items", Step::Items},
      {"collection", Step::Collection},
      {"collection:none", Step::CollectionNone},
      {"count", Step::Count},
  };
  for (std::u16string_view entry : split(knob, u';')) {
    bool known = false;
    for (const auto& plain : kPlain) {
      if (sameIgnoringCase(entry, plain.name)) {
        entries_.push_back({plain.step, 0, -1});
        known = true;
      }
    }
    if (known) continue;
    const std::vector<std::u16string_view> parts = split(entry, u':');
    if (parts.size() == 2 && sameIgnoringCase(parts[0], "item")) {
      const int32_t index = parseIndex(parts[1]);
      if (index >= 0) entries_.push_back({Step::Item, index, -1});
    } else if (parts.size() == 3 && sameIgnoringCase(parts[0], "getter")) {
      const int32_t index = parseIndex(parts[1]);
      const int property = parseProperty(parts[2]);
      if (index >= 0 && property >= -1)
        entries_.push_back({Step::Getter, index, property});
    }
  }
}

bool FailurePlan::fails(Step step) const {
  for (const Entry& e : entries_)
    if (e.step == step) return true;
  return false;
}

bool FailurePlan::failsItem(int32_t index) const {
  for (const Entry& e : entries_)
    if (e.step == Step::Item && (e.index == 0 || e.index == index))
      return true;
  return false;
}

bool FailurePlan::failsGetter(int32_t index, Property property) const {
  for (const Entry& e : entries_)
    if (e.step == Step::Getter && (e.index == 0 || e.index == index) &&
        (e.property == -1 || e.property == static_cast<int>(property)))
      return true;
  return false;
}

}  // namespace standin
