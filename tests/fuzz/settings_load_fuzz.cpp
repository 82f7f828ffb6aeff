// Loads the settings from arbitrary stored values (any name, type and size,
// any bytes, any of them missing) and checks what a damaged or foreign
// registry key must not break: each field gets exactly what fits of its
// value or keeps what it had, texts stay terminated, no key is left open,
// and a save followed by a load gives the same record back. The input
// format is in settings_ops.h.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/settings.h"
#include "engine/text.h"
#include "platform/fake/device.h"
#include "platform/fake/registry.h"
#include "platform/registry.h"
#include "store/settings_store.h"
#include "tests/fuzz/settings_ops.h"

namespace {

using namespace settingsfuzz;

constexpr size_t kMaxValues = 40;

[[noreturn]] void broken(const char* what, size_t field = 10) {
  if (field < 10)
    std::fprintf(stderr, "broken: %s (field %zu)\n", what, field);
  else
    std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

int32_t ReplySettings::*numberField(size_t i) {
  static int32_t ReplySettings::*const fields[10] = {
      &ReplySettings::activated,   &ReplySettings::secondEnabled,
      &ReplySettings::ringsBeforeReply, &ReplySettings::replyOnCancel,
      &ReplySettings::mainMode,    nullptr,
      &ReplySettings::secondRings, &ReplySettings::secondReplyOnCancel,
      &ReplySettings::secondMode,  nullptr};
  return fields[i];
}

char16_t* textField(ReplySettings& s, size_t i) {
  return i == 5 ? s.mainText : s.secondText;
}
const char16_t* textField(const ReplySettings& s, size_t i) {
  return i == 5 ? s.mainText : s.secondText;
}

// Value names compare as the registry compares them: ASCII case ignored.
std::u16string folded(std::u16string name) {
  for (char16_t& u : name)
    if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u + 32);
  return name;
}

std::u16string textOf(const char16_t* field) {
  return std::u16string(field, textLength(field, kReplyTextCapacity));
}

void previousRecord(Reader& in) {
  resetReplySettings();
  ReplySettings& s = replySettings;
  if (in.u8() & 1) {
    s.activated = 1;
    s.secondEnabled = 7;
    s.ringsBeforeReply = -1;
    s.replyOnCancel = 0x7FFFFFFF;
    s.mainMode = static_cast<MainRuleMode>(9);
    s.secondRings = 123456;
    s.secondReplyOnCancel = INT32_MIN;
    s.secondMode = static_cast<SecondRuleMode>(-2);
  }
  const size_t mainLength = in.u8() % kReplyTextCapacity;
  const size_t secondLength = in.u8() % kReplyTextCapacity;
  for (size_t i = 0; i < mainLength; ++i)
    s.mainText[i] = static_cast<char16_t>(u'A' + i % 26);
  for (size_t i = 0; i < secondLength; ++i)
    s.secondText[i] = static_cast<char16_t>(0x0410 + i % 32);
}

std::u16string valueName(Reader& in) {
  const uint8_t pick = in.u8();
  if (pick % kNameChoices != kOtherName) {
    std::u16string name = kNames[pick % kNameChoices];
    if (pick & kCapitals)
      for (char16_t& u : name)
        if (u >= u'a' && u <= u'z') u = static_cast<char16_t>(u - 32);
    return name;
  }
  std::u16string name;
  for (size_t n = in.u8() % kMaxOtherName; n > 0; --n) {
    const uint8_t b = in.u8();
    name.push_back(b != 0 ? b : u'0');
  }
  return name;
}

std::vector<uint8_t> valueBytes(Reader& in) {
  const uint8_t code = in.u8();
  const uint32_t size =
      code < kSizeChoices ? kSizes[code] : in.u16() % (kMaxSize + 1);
  std::vector<uint8_t> bytes(size);
  const uint8_t fill = in.u8() % kFillChoices;
  if (fill == kFillRaw) {
    for (uint8_t& b : bytes) b = in.u8();
  } else if (fill == kFillByte) {
    const uint8_t b = in.u8();
    for (uint8_t& each : bytes) each = b;
  } else {
    for (uint32_t i = 0; i < size; ++i)
      bytes[i] = i % 2 == 0 ? static_cast<uint8_t>('a' + (i / 2) % 26) : 0;
    if (size % 2 != 0) bytes[size - 1] = 'x';
    if (fill == kFillText && size >= 2) bytes[size / 2 * 2 - 2] = 0;
  }
  return bytes;
}

const fake::RegistryValue* find(const std::vector<fake::RegistryValue>& values,
                                const char16_t* name) {
  for (const fake::RegistryValue& v : values)
    if (folded(v.name) == folded(name)) return &v;
  return nullptr;
}

bool isOneOfTheTen(const std::u16string& name) {
  for (const char16_t* known : kNames)
    if (folded(name) == folded(known)) return true;
  return false;
}

std::vector<uint8_t> littleEndian(int32_t value) {
  return fake::dwordBytes(static_cast<uint32_t>(value));
}

// A number takes the value's bytes over its own, when there are at most 4.
void checkNumber(size_t i, const fake::RegistryValue* v,
                 const ReplySettings& before) {
  const int32_t previous = before.*numberField(i);
  const int32_t now = replySettings.*numberField(i);
  if (v == nullptr || v->bytes.size() > 4) {
    if (now != previous) broken("a number changed by a missing or long value", i);
    return;
  }
  std::vector<uint8_t> expected = littleEndian(previous);
  for (size_t b = 0; b < v->bytes.size(); ++b) expected[b] = v->bytes[b];
  if (littleEndian(now) != expected) {
    if (v->bytes.size() == 4)
      broken("a number is not its 4 stored bytes, little-endian", i);
    broken("a short value did not replace just its low bytes", i);
  }
}

// A text takes the value's whole units up to a terminator, at most 159,
// when the value has at most 320 bytes; otherwise it is left alone.
void checkText(size_t i, const fake::RegistryValue* v,
               const ReplySettings& before) {
  const char16_t* now = textField(replySettings, i);
  if (textLength(now, kReplyTextCapacity) == kReplyTextCapacity)
    broken("a text without a terminator in its 160 units", i);
  const char16_t* previous = textField(before, i);
  if (v == nullptr || v->bytes.size() > 2 * kReplyTextCapacity) {
    if (std::memcmp(now, previous, 2 * kReplyTextCapacity) != 0)
      broken("a text changed by a missing or long value", i);
    return;
  }
  std::u16string expected;
  for (size_t u = 0; u < v->bytes.size() / 2 && u < kReplyTextCapacity - 1;
       ++u) {
    const char16_t unit =
        static_cast<char16_t>(v->bytes[2 * u] | (v->bytes[2 * u + 1] << 8));
    if (unit == 0) break;
    expected.push_back(unit);
  }
  if (textOf(now) != expected) broken("a text is not its stored units", i);
}

void checkSaved(const std::vector<fake::RegistryValue>& stored) {
  const std::vector<fake::RegistryValue> saved =
      fake::registryValues(kKeyPath);
  size_t others = 0;
  for (const fake::RegistryValue& v : stored) {
    if (isOneOfTheTen(v.name)) continue;
    ++others;
    const fake::RegistryValue* kept = find(saved, v.name.c_str());
    if (kept == nullptr || kept->type != v.type || kept->bytes != v.bytes)
      broken("a save changed a value that is not one of the ten");
  }
  if (saved.size() != 10 + others) broken("a save left other than ten values");
  for (size_t i = 0; i < 10; ++i) {
    const fake::RegistryValue* v = find(saved, kNames[i]);
    if (v == nullptr) broken("a save left a name out", i);
    if (isTextField(i)) {
      if (v->type != plat::REG_SZ) broken("a text saved not as REG_SZ", i);
      if (v->bytes != fake::textBytes(textOf(textField(replySettings, i))))
        broken("a text saved with other units or size", i);
    } else {
      if (v->type != plat::REG_DWORD) broken("a number saved not as REG_DWORD", i);
      if (v->bytes != littleEndian(replySettings.*numberField(i)))
        broken("a number saved with other bytes or size", i);
    }
  }
}

// Every field set to something a load must overwrite.
void scramble() {
  for (size_t i = 0; i < 10; ++i) {
    if (isTextField(i)) {
      char16_t* text = textField(replySettings, i);
      for (int u = 0; u < kReplyTextCapacity - 1; ++u) text[u] = u'#';
      text[kReplyTextCapacity - 1] = 0;
    } else {
      replySettings.*numberField(i) = ~(replySettings.*numberField(i));
    }
  }
}

bool sameRecord(const ReplySettings& a, const ReplySettings& b) {
  for (size_t i = 0; i < 10; ++i) {
    if (isTextField(i)) {
      if (textOf(textField(a, i)) != textOf(textField(b, i)))
        return false;
    } else if (a.*numberField(i) != b.*numberField(i)) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fake::reset();
  Reader in(data, size);
  previousRecord(in);
  for (size_t n = 0; n < kMaxValues && !in.done(); ++n) {
    const std::u16string name = valueName(in);
    const uint32_t type = in.u8() % kTypeChoices;
    fake::setRegistryValue(kKeyPath, name, type, valueBytes(in));
  }

  const ReplySettings before = replySettings;
  const std::vector<fake::RegistryValue> stored =
      fake::registryValues(kKeyPath);
  loadSettings();
  if (fake::openRegistryKeys() != 0) broken("a load left a key open");
  for (size_t i = 0; i < 10; ++i) {
    const fake::RegistryValue* v = find(stored, kNames[i]);
    if (isTextField(i))
      checkText(i, v, before);
    else
      checkNumber(i, v, before);
  }

  const ReplySettings loaded = replySettings;
  saveSettings();
  if (fake::openRegistryKeys() != 0) broken("a save left a key open");
  checkSaved(stored);
  scramble();
  loadSettings();
  if (fake::openRegistryKeys() != 0) broken("a load left a key open");
  if (!sameRecord(replySettings, loaded))
    broken("a save and a load did not give the record back");
  return 0;
}
