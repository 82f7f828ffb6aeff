// The input format of the settings fuzzer, shared with its seed writer.
//
// A header, then stored values until the input ends:
//   header: u8 flags (bit 0: the record starts with non-default numbers),
//           u8 main text length, u8 second text length (each % 160)
//   value:  u8 name: % 11 picks one of the ten names or, for 10, another
//           name (u8 length % 24, then one byte per unit); bit 7 writes a
//           known name in capitals (the registry ignores case)
//           u8 type (% 12, any registry type)
//           u8 size: below kSizeChoices one of kSizes, else u16 % 1001
//           u8 fill: % 4 one of Fill, then the bytes it takes
#pragma once

#include <cstddef>
#include <cstdint>

namespace settingsfuzz {

constexpr char16_t kKeyPath[] = u"SOFTWARE\\Zerv\\QRL";

constexpr const char16_t* kNames[10] = {
    u"Activate",       u"Second Message",           u"Rings number",
    u"Reply when user cancel", u"Reply mode",       u"Message text",
    u"2 Rings number", u"2 Reply when user cancel", u"2 Reply mode",
    u"2 Message text"};
constexpr bool isTextField(size_t i) { return i == 5 || i == 9; }

constexpr uint8_t kOtherName = 10;
constexpr uint8_t kNameChoices = 11;
constexpr uint8_t kCapitals = 0x80;
constexpr uint8_t kMaxOtherName = 24;
constexpr uint8_t kTypeChoices = 12;

// Around a number's 4 bytes and a text's 320.
constexpr uint32_t kSizes[] = {0,   1,   2,   3,   4,   5,   8,
                               316, 318, 319, 320, 321, 322, 1000};
constexpr uint8_t kSizeChoices = sizeof kSizes / sizeof kSizes[0];
constexpr uint32_t kMaxSize = 1000;

enum Fill : uint8_t {
  kFillRaw,       // `size` bytes from the input (0 past its end)
  kFillText,      // letters, the last whole unit a terminator
  kFillOpenText,  // letters, no terminator
  kFillByte,      // u8, repeated
  kFillChoices
};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool done() const { return at_ >= size_; }
  uint8_t u8() { return at_ < size_ ? data_[at_++] : 0; }
  uint16_t u16() {
    const uint16_t lo = u8();
    return static_cast<uint16_t>(lo | (u8() << 8));
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace settingsfuzz
