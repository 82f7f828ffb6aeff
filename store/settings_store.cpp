#include "store/settings_store.h"


#include "engine/settings.h"
#include "engine/text.h"
#include "platform/registry.h"

namespace {

constexpr const char16_t* kKeyPath = u"SOFTWARE\\Zerv\\QRL";

struct StoredField {
  const char16_t* name;
  int32_t ReplySettings::*number;  // null for a text
  char16_t (ReplySettings::*text)[kReplyTextCapacity];
};

constexpr StoredField kFields[] = {
    {u"Activate", &ReplySettings::activated, nullptr},
    {u"Second Message", &ReplySettings::secondEnabled, nullptr},
    {u"Rings number", &ReplySettings::ringsBeforeReply, nullptr},
    {u"Reply when user cancel", &ReplySettings::replyOnCancel, nullptr},
    {u"Reply mode", &ReplySettings::mainMode, nullptr},
    {u"Message text", nullptr, &ReplySettings::mainText},
    {u"2 Rings number", &ReplySettings::secondRings, nullptr},
    {u"2 Reply when user cancel", &ReplySettings::secondReplyOnCancel,
     nullptr},
    {u"2 Reply mode", &ReplySettings::secondMode, nullptr},
    {u"2 Message text", nullptr, &ReplySettings::secondText},
};

constexpr uint32_t kTextBytes = kReplyTextCapacity * 2;

// The stored bytes are little-endian whatever the host's order.
void loadNumber(plat::HKEY key, const char16_t* name, int32_t& field) {
  const auto bits = static_cast<uint32_t>(field);
  uint8_t bytes[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                      static_cast<uint8_t>(bits >> 16),
                      static_cast<uint8_t>(bits >> 24)};
  uint32_t type = 0;
  uint32_t size = sizeof bytes;
  if (plat::RegQueryValueExW(key, name, nullptr, &type, bytes, &size) !=
      plat::ERROR_SUCCESS)
    return;
  // A shorter value of another type replaces only the bytes it has.
  field = static_cast<int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                               (static_cast<uint32_t>(bytes[3]) << 24));
}

void loadText(plat::HKEY key, const char16_t* name,
              char16_t (&field)[kReplyTextCapacity]) {
  uint8_t bytes[kTextBytes];
  uint32_t type = 0;
  uint32_t size = kTextBytes;
  if (plat::RegQueryValueExW(key, name, nullptr, &type, bytes, &size) !=
          plat::ERROR_SUCCESS ||
      size > kTextBytes)
    return;  // too long, or missing: the field keeps its text
  // Whatever was stored, the field ends up terminated: a value that fills
  // all 160 units without a terminator keeps its first 159.
  const uint32_t units = size / 2;
  for (uint32_t i = 0; i < units; ++i)
    field[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  field[units < kReplyTextCapacity ? units : kReplyTextCapacity - 1] = 0;
}

void saveNumber(plat::HKEY key, const char16_t* name, int32_t field) {
  const auto bits = static_cast<uint32_t>(field);
  const uint8_t bytes[4] = {static_cast<uint8_t>(bits),
                            static_cast<uint8_t>(bits >> 8),
                            static_cast<uint8_t>(bits >> 16),
                            static_cast<uint8_t>(bits >> 24)};
  plat::RegSetValueExW(key, name, 0, plat::REG_DWORD, bytes, sizeof bytes);
}

void saveText(plat::HKEY key, const char16_t* name,
              const char16_t (&field)[kReplyTextCapacity]) {
  const size_t length = textLength(field, kReplyTextCapacity - 1);
  uint8_t bytes[kTextBytes];
  for (size_t i = 0; i < length; ++i) {
    bytes[2 * i] = static_cast<uint8_t>(field[i]);
    bytes[2 * i + 1] = static_cast<uint8_t>(field[i] >> 8);
  }
  bytes[2 * length] = 0;
  bytes[2 * length + 1] = 0;
  plat::RegSetValueExW(key, name, 0, plat::REG_SZ, bytes,
                       static_cast<uint32_t>((length + 1) * 2));
}

}  // namespace

void loadSettings() {
  plat::HKEY key = nullptr;
  if (plat::RegOpenKeyExW(plat::HKEY_LOCAL_MACHINE, kKeyPath, 0, 0, &key) !=
      plat::ERROR_SUCCESS)
    return;
  for (const StoredField& f : kFields) {
    if (f.number != nullptr)
      loadNumber(key, f.name, replySettings.*f.number);
    else
      loadText(key, f.name, replySettings.*f.text);
  }
  plat::RegCloseKey(key);
}

void saveSettings() {
  plat::HKEY key = nullptr;
  uint32_t disposition = 0;
  if (plat::RegCreateKeyExW(plat::HKEY_LOCAL_MACHINE, kKeyPath, 0, nullptr,
                            plat::REG_OPTION_NON_VOLATILE,
                            plat::KEY_ALL_ACCESS, nullptr, &key,
                            &disposition) != plat::ERROR_SUCCESS)
    return;
  for (const StoredField& f : kFields) {
    if (f.number != nullptr)
      saveNumber(key, f.name, replySettings.*f.number);
    else
      saveText(key, f.name, replySettings.*f.text);
  }
  plat::RegCloseKey(key);
}
