// The vCard reader: physical lines are joined into properties (folding,
// quoted-printable soft breaks), the four properties the store needs are
// decoded, everything else is passed over. Every access is bounds-checked
// by string_view; nothing is recursive, so no input can exhaust the stack.
#include "platform/standin/vcard.h"

#include <cstdint>
#include <string_view>

namespace vcard {
namespace {

enum class Version { V21, V30, V40 };

char upperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upperAscii(a[i]) != upperAscii(b[i])) return false;
  return true;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string trim(std::u16string s) {
  size_t from = 0, to = s.size();
  while (from < to && (s[from] == u' ' || s[from] == u'\t')) ++from;
  while (to > from && (s[to - 1] == u' ' || s[to - 1] == u'\t')) --to;
  return s.substr(from, to - from);
}

// Physical lines, ended by CR LF, LF or a CR on its own.
class LineReader {
 public:
  LineReader(const char* data, size_t size) : data_(data), size_(size) {}

  bool atEnd() const { return at_ >= size_; }
  char peek() const { return atEnd() ? '\0' : data_[at_]; }

  std::string_view next() {
    const size_t start = at_;
    while (at_ < size_ && data_[at_] != '\r' && data_[at_] != '\n') ++at_;
    const std::string_view line(data_ + start, at_ - start);
    if (at_ < size_ && data_[at_++] == '\r' && at_ < size_ &&
        data_[at_] == '\n')
      ++at_;
    return line;
  }

 private:
  const char* data_;
  size_t size_;
  size_t at_ = 0;
};

struct Param {
  std::string name;                 // upper case
  std::vector<std::string> values;  // as written, quotes removed
};

struct Property {
  std::string name;  // upper case, without its group
  std::vector<Param> params;
  std::string_view value;  // points into the line that was parsed
};

// Splits at `separator` outside double quotes.
std::vector<std::string_view> splitOutsideQuotes(std::string_view s,
                                                 char separator) {
  std::vector<std::string_view> pieces;
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '"') quoted = !quoted;
    if (s[i] == separator && !quoted) {
      pieces.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.push_back(s.substr(start));
  return pieces;
}

Param parseParam(std::string_view token) {
  Param param;
  const size_t equals = token.find('=');
  if (equals == std::string_view::npos) {
    // 2.1 writes parameter values without their names.
    const bool isEncoding = sameIgnoringCase(token, "QUOTED-PRINTABLE") ||
                            sameIgnoringCase(token, "BASE64") ||
                            sameIgnoringCase(token, "8BIT") ||
                            sameIgnoringCase(token, "7BIT");
    param.name = isEncoding ? "ENCODING" : "TYPE";
    param.values.emplace_back(token);
    return param;
  }
  for (char c : trim(token.substr(0, equals))) param.name += upperAscii(c);
  std::string list;
  for (char c : token.substr(equals + 1))
    if (c != '"') list += c;
  for (std::string_view value : splitOutsideQuotes(list, ','))
    if (!trim(value).empty()) param.values.emplace_back(trim(value));
  return param;
}

// "[group.]NAME[;param...]:value"; false when the line has no such shape.
bool parseProperty(std::string_view line, Property* property) {
  size_t colon = std::string_view::npos;
  bool quoted = false;
  for (size_t i = 0; i < line.size() && colon == std::string_view::npos; ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) colon = i;
  }
  // A stray quote must not hide the value.
  if (colon == std::string_view::npos) colon = line.find(':');
  if (colon == std::string_view::npos) return false;

  const std::vector<std::string_view> head =
      splitOutsideQuotes(line.substr(0, colon), ';');
  std::string_view name = trim(head[0]);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name.remove_prefix(dot + 1);
  if (name.empty()) return false;

  property->name.clear();
  for (char c : name) property->name += upperAscii(c);
  property->params.clear();
  for (size_t i = 1; i < head.size(); ++i)
    if (!trim(head[i]).empty())
      property->params.push_back(parseParam(trim(head[i])));
  property->value = line.substr(colon + 1);
  return true;
}

bool hasParamValue(const Property& p, std::string_view name,
                   std::string_view value) {
  for (const Param& param : p.params)
    if (param.name == name)
      for (const std::string& v : param.values)
        if (sameIgnoringCase(v, value)) return true;
  return false;
}

std::string paramValue(const Property& p, std::string_view name) {
  for (const Param& param : p.params)
    if (param.name == name && !param.values.empty()) return param.values[0];
  return std::string();
}

bool isQuotedPrintable(const Property& p) {
  return hasParamValue(p, "ENCODING", "QUOTED-PRINTABLE");
}

// One property's line: later physical lines that begin with a blank are
// folded in (3.0 and 4.0 drop that blank; 2.1 folds in front of white space
// that belongs to the value, so it stays), and a quoted-printable value
// that ends in "=" goes on in the next line, whatever that begins with.
bool nextLogicalLine(LineReader* in, Version version, std::string* line) {
  if (in->atEnd()) return false;
  // The physical line read last: only its own end can be a soft break, not
  // an "=" that an empty line after it would leave at the joined end.
  std::string_view last = in->next();
  line->assign(last);
  // Known once the line has its first colon, and from then on fixed; each
  // byte is searched once, so no line costs more than its length.
  int quotedPrintable = -1;
  size_t searched = 0;
  for (;;) {
    if (quotedPrintable < 0) {
      const size_t colon = line->find(':', searched);
      searched = line->size();
      if (colon != std::string::npos) {
        Property p;
        quotedPrintable =
            parseProperty(std::string_view(*line).substr(0, colon + 1), &p) &&
            isQuotedPrintable(p);
      }
    }
    if (quotedPrintable > 0 && !last.empty() && last.back() == '=') {
      line->pop_back();
      if (in->atEnd()) return true;  // a soft break with nothing after it
      last = in->next();
      line->append(last);
      continue;
    }
    if (!in->atEnd() && isBlank(in->peek())) {
      last = in->next();
      if (version != Version::V21) last.remove_prefix(1);
      line->append(last);
      continue;
    }
    return true;
  }
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string decodeQuotedPrintable(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '=') {
      out += s[i];
    } else if (i + 2 < s.size() && hexDigit(s[i + 1]) >= 0 &&
               hexDigit(s[i + 2]) >= 0) {
      out += static_cast<char>(hexDigit(s[i + 1]) * 16 + hexDigit(s[i + 2]));
      i += 2;
    } else {
      out += '=';  // not an escape: kept as written
    }
  }
  return out;
}

// 3.0 and 4.0: \\ \, \; \n (or \N); any other escaped character stands for
// itself. 2.1 escapes only ";".
std::string unescape(std::string_view s, Version version) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char next = s[i + 1];
    if (version == Version::V21) {
      if (next == ';') {
        out += ';';
        ++i;
      } else {
        out += '\\';
      }
      continue;
    }
    out += next == 'n' || next == 'N' ? '\n' : next;
    ++i;
  }
  return out;
}

// Splits at separators that are not escaped with a backslash.
std::vector<std::string_view> splitUnescaped(std::string_view s,
                                             char separator) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\') {
      ++i;
    } else if (s[i] == separator) {
      pieces.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.push_back(s.substr(start));
  return pieces;
}

void appendCodePoint(std::u16string* out, uint32_t cp) {
  if (cp < 0x10000) {
    *out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    *out += static_cast<char16_t>(0xD800 + (cp >> 10));
    *out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool decodeUtf8(std::string_view s, std::u16string* out) {
  for (size_t i = 0; i < s.size();) {
    const auto lead = static_cast<uint8_t>(s[i]);
    size_t length;
    uint32_t cp;
    if (lead < 0x80) {
      length = 1, cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, cp = lead & 0x07;
    } else {
      return false;
    }
    if (length > s.size() - i) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto b = static_cast<uint8_t>(s[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b & 0x3F);
    }
    if ((length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    appendCodePoint(out, cp);
    i += length;
  }
  return true;
}

std::u16string decodeWindows1252(std::string_view s) {
  static const char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::u16string out;
  for (char c : s) {
    const auto b = static_cast<uint8_t>(c);
    out += b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<char16_t>(b);
  }
  return out;
}

bool isWesternCharset(std::string_view charset) {
  for (std::string_view name : {"ISO-8859-1", "ISO8859-1", "ISO_8859-1",
                                "LATIN1", "ISO-LATIN-1", "WINDOWS-1252",
                                "CP1252"})
    if (sameIgnoringCase(charset, name)) return true;
  return false;
}

// UTF-8 unless the property names a western charset. Bytes that are not
// UTF-8 are read as windows-1252, which old exporters write without saying.
std::u16string toText(std::string_view bytes, const Property& p) {
  std::u16string out;
  if (!isWesternCharset(paramValue(p, "CHARSET")) && decodeUtf8(bytes, &out))
    return out;
  return decodeWindows1252(bytes);
}

std::u16string decodeText(std::string_view raw, const Property& p,
                          Version version) {
  const std::string bytes =
      isQuotedPrintable(p) ? decodeQuotedPrintable(raw) : std::string(raw);
  return trim(toText(unescape(bytes, version), p));
}

enum class Kind { Home, Work, Cell, Car, Other, NotVoice };

Kind telephoneKind(const Property& p) {
  const auto has = [&](std::string_view type) {
    return hasParamValue(p, "TYPE", type);
  };
  if ((has("FAX") || has("PAGER")) && !has("VOICE")) return Kind::NotVoice;
  if (has("CELL")) return Kind::Cell;
  if (has("CAR")) return Kind::Car;
  if (has("WORK")) return Kind::Work;
  if (has("HOME")) return Kind::Home;
  return Kind::Other;
}

std::u16string telephoneNumber(const Property& p, Version version) {
  std::u16string number = decodeText(p.value, p, version);
  // 4.0 gives numbers as tel: URIs; their parameters (";ext=") are no part
  // of the number that calls.
  if (number.size() >= 4 && (number[0] | 0x20) == u't' &&
      (number[1] | 0x20) == u'e' && (number[2] | 0x20) == u'l' &&
      number[3] == u':') {
    number.erase(0, 4);
    number = trim(number.substr(0, number.find(u';')));
  }
  return number;
}

struct Telephone {
  Kind kind;
  std::u16string number;
};

// The card being read.
struct Card {
  Contact contact;
  bool named = false;  // the first N counts
  std::vector<Telephone> telephones;
  std::vector<std::u16string> categories;
};

void addCategories(Card* card, const Property& p, Version version) {
  const std::string bytes = unescape(
      isQuotedPrintable(p) ? decodeQuotedPrintable(p.value)
                           : std::string(p.value),
      version);
  // Every comma separates, escaped or not: the joined text could not keep
  // a comma inside a name anyway, and some exporters escape the separators.
  // Semicolons separate too, as in some 2.1 exports.
  const std::u16string text = toText(bytes, p);
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u',' && text[i] != u';') continue;
    std::u16string name = trim(text.substr(start, i - start));
    if (!name.empty()) card->categories.push_back(std::move(name));
    start = i + 1;
  }
}

void addProperty(Card* card, const Property& p, Version version) {
  if (p.name == "N" && !card->named) {
    card->named = true;
    const std::vector<std::string_view> parts = splitUnescaped(p.value, ';');
    card->contact.lastName = decodeText(parts[0], p, version);
    if (parts.size() > 1)
      card->contact.firstName = decodeText(parts[1], p, version);
  } else if (p.name == "TEL") {
    const Kind kind = telephoneKind(p);
    std::u16string number = telephoneNumber(p, version);
    if (kind != Kind::NotVoice && !number.empty())
      card->telephones.push_back({kind, std::move(number)});
  } else if (p.name == "CATEGORIES") {
    addCategories(card, p, version);
  }
}

bool placeInFirstEmpty(std::u16string* const* fields, size_t count,
                       const std::u16string& number) {
  for (size_t i = 0; i < count; ++i) {
    if (fields[i]->empty()) {
      *fields[i] = number;
      return true;
    }
  }
  return false;
}

// Numbers of a type take their fields first, in file order; numbers without
// a usable type and those for which their type has no field left then fill
// the fields still empty, in the store's order.
Contact finish(Card* card) {
  Contact& c = card->contact;
  std::u16string* const home[] = {&c.home, &c.home2};
  std::u16string* const work[] = {&c.business, &c.business2};
  std::u16string* const mobile[] = {&c.mobile};
  std::u16string* const car[] = {&c.car};
  std::u16string* const any[] = {&c.home,      &c.home2,  &c.business,
                                 &c.business2, &c.mobile, &c.car};
  std::vector<const std::u16string*> rest;
  for (const Telephone& t : card->telephones) {
    bool placed = false;
    switch (t.kind) {
      case Kind::Home: placed = placeInFirstEmpty(home, 2, t.number); break;
      case Kind::Work: placed = placeInFirstEmpty(work, 2, t.number); break;
      case Kind::Cell: placed = placeInFirstEmpty(mobile, 1, t.number); break;
      case Kind::Car: placed = placeInFirstEmpty(car, 1, t.number); break;
      default: break;
    }
    if (!placed) rest.push_back(&t.number);
  }
  for (const std::u16string* number : rest)
    placeInFirstEmpty(any, 6, *number);
  for (const std::u16string& name : card->categories) {
    if (!c.categories.empty()) c.categories += u',';
    c.categories += name;
  }
  return c;
}

bool isOnlyWhiteSpace(const char* data, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (!isBlank(data[i]) && data[i] != '\r' && data[i] != '\n') return false;
  return true;
}

Version versionOf(std::string_view value) {
  value = trim(value);
  if (value == "2.1") return Version::V21;
  if (value == "4.0") return Version::V40;
  return Version::V30;
}

}  // namespace

bool read(const char* data, size_t size, std::vector<Contact>* contacts) {
  if (data == nullptr) size = 0;
  if (size >= 3 && static_cast<uint8_t>(data[0]) == 0xEF &&
      static_cast<uint8_t>(data[1]) == 0xBB &&
      static_cast<uint8_t>(data[2]) == 0xBF) {
    data += 3;
    size -= 3;
  }
  LineReader in(data, size);
  std::string line;
  Property p;
  Card card;
  Version version = Version::V30;
  int depth = 0;  // 1 inside a card; more inside a card embedded by AGENT
  bool agentOpen = false;  // an empty AGENT value: its card comes next
  bool sawCard = false;
  while (nextLogicalLine(&in, version, &line)) {
    if (!parseProperty(line, &p)) continue;
    const bool isVCard = sameIgnoringCase(trim(p.value), "VCARD");
    if (p.name == "BEGIN" && isVCard) {
      sawCard = true;
      if (depth == 1 && !agentOpen) {
        contacts->push_back(finish(&card));  // its END:VCARD is missing
        depth = 0;
      }
      if (depth++ == 0) {
        card = Card();
        version = Version::V30;
      }
      agentOpen = false;
      continue;
    }
    if (p.name == "END" && isVCard) {
      if (depth == 1) contacts->push_back(finish(&card));
      if (depth > 0) --depth;
      continue;
    }
    if (depth != 1) continue;
    agentOpen = p.name == "AGENT" && trim(p.value).empty();
    if (p.name == "VERSION")
      version = versionOf(p.value);
    else
      addProperty(&card, p, version);
  }
  if (depth >= 1) contacts->push_back(finish(&card));
  return sawCard || isOnlyWhiteSpace(data, size);
}

}  // namespace vcard
