#include "screens/label_text.h"

#include "engine/text.h"

namespace {

void appendNumber(char16_t* out, size_t capacity, int32_t value) {
  char16_t digits[12];
  size_t n = 0;
  int64_t v = value;
  const bool negative = v < 0;
  if (negative) v = -v;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v != 0);
  char16_t text[13];
  size_t t = 0;
  if (negative) text[t++] = u'-';
  while (n > 0) text[t++] = digits[--n];
  text[t] = 0;
  appendText(out, capacity, text);
}

}  // namespace

void appendText(char16_t* out, size_t capacity, const char16_t* text) {
  size_t n = textLength(out, capacity);
  for (; *text != 0 && n + 1 < capacity; ++text) out[n++] = *text;
  out[n] = 0;
}

void formatCount(char16_t* out, size_t capacity, const char16_t* pattern,
                 int32_t value) {
  out[0] = 0;
  for (const char16_t* p = pattern; *p != 0; ++p) {
    if (p[0] == u'%' && p[1] == u'd') {
      appendNumber(out, capacity, value);
      appendText(out, capacity, p + 2);
      return;
    }
    const char16_t unit[2] = {*p, 0};
    appendText(out, capacity, unit);
  }
}

const char16_t* ringPhrase(int32_t rings) {
  static const char16_t* const kPhrases[] = {
      u"immediatelly",  u"after first ring", u"after 2 rings",
      u"after 3 rings", u"after 4 rings",    u"after 5 rings"};
  return rings >= 0 && rings <= 5 ? kPhrases[rings] : u"";
}
