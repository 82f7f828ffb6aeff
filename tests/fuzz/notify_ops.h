// The byte format the notification fuzzer decodes, shared with the seed
// generator so both agree on it. An input is a run of operations, each an
// opcode byte (taken modulo kOpKinds) and its argument bytes; a read past
// the end yields zeros, so every input decodes to something.
//
//   CallerId  size code fill pool [filler | raw bytes...]
//   Ring      count                    1..8 rings of 32 bytes
//   Connect                            16 bytes
//   End       null                     no payload: null or a 0-byte buffer
//   Notify    code:u32 size raw...     any code, payload from the input
//   Advance   ms:u16                   the clock, delivering expiries
//   Take      ms:u16                   takes the next expiry, delivers later
//   Deliver                            the oldest expiry taken
//   Setting   field value [u32]
//   Text      which length mode [u16...]
//   Row       row pool flags [u16...]
//   RowCount  value [u32]
//   Fail      op times
//
// `size` bytes: 0..30 as they are, then indices into kSizes, else a u16.
// `fill` for a caller identification: kFillTerminated writes the pool number
// at byte 24 with its terminator where it fits, kFillOpen writes it with
// non-zero filler after it to the end, kFillRaw copies input bytes; bit 2
// flips the letter case of the pool number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace notifyfuzz {

enum Opcode : uint8_t {
  kOpCallerId,
  kOpRing,
  kOpConnect,
  kOpEnd,
  kOpNotify,
  kOpAdvance,
  kOpTake,
  kOpDeliver,
  kOpSetting,
  kOpText,
  kOpRow,
  kOpRowCount,
  kOpFail,
  kOpKinds,
};

constexpr uint8_t kFillTerminated = 0;
constexpr uint8_t kFillOpen = 1;
constexpr uint8_t kFillRaw = 2;
constexpr uint8_t kFillFlipCase = 4;

constexpr uint8_t kDirectSizes = 31;  // size bytes 0..30 are the size itself
constexpr uint32_t kSizes[] = {1576, 1575, 1577, 32, 16, 0,
                               31,   48,   50,   70, 72, 3152};
constexpr uint8_t kSizeFromU16 = kDirectSizes + sizeof kSizes / sizeof *kSizes;
constexpr uint32_t kMaxU16Size = 4096;

// Codes the engine takes for a caller identification; the code byte picks one.
constexpr uint32_t kCallerIdCodes[] = {0x00080001u, 0xFF08AB01u, 0x00080101u};
constexpr uint8_t kCallerIdCodeChoices =
    sizeof kCallerIdCodes / sizeof *kCallerIdCodes;

// Numbers shared by payloads and table rows, so that rows can match.
constexpr const char16_t* kPool[] = {
    u"+491701234567",
    u"+49 170 1234567",
    u"01701234567",
    u"Unknown",
    u"12345",
    u"1234",
    u"",
    u"+1",
    u"abcDE",
    u"\u00C4\u00D6\u00DC12",             // Latin-1 capitals
    u"\u0391\u0392\u0393123",            // Greek capitals
    u"\u0410\u0411\u0412123",            // Cyrillic capitals
    u"\u0178\u0100\u1E00\uFF21x",        // odd pairs and full width
    u"12345678901234567890123",          // 23 units: fills the number
    u"123456789012345678901234567890",   // longer than the number holds
    u"+44 20 7946 0958",
};
constexpr uint8_t kPoolSize = sizeof kPool / sizeof *kPool;

// ReplySettings' int32 fields, in the order the Setting op numbers them.
enum SettingField : uint8_t {
  kActivated,
  kSecondEnabled,
  kRingsBeforeReply,
  kReplyOnCancel,
  kMainMode,
  kSecondRings,
  kSecondReplyOnCancel,
  kSecondMode,
  kSettingFields,
};

constexpr int32_t kValues[] = {0,  1,    2,    3,         4,
                               5,  -1,   -2,   100,       1000,
                               6,  255,  INT32_MAX, INT32_MIN};
constexpr uint8_t kValueFromU32 = sizeof kValues / sizeof *kValues;

// Row counts, chosen by the RowCount op; past the list a u32 follows.
constexpr int32_t kCounts[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9,
                               999, 1000, 1001, -1, INT32_MAX, INT32_MIN};
constexpr uint8_t kCountFromU32 = sizeof kCounts / sizeof *kCounts;

// Rows the Row op writes: the first few, and the last one.
constexpr int32_t kRows[] = {1, 2, 3, 4, 5, 6, 7, 8, 1000};
constexpr uint8_t kRowChoices = sizeof kRows / sizeof *kRows;

// Row flags byte: bit 0 main, bit 1 second, bit 2 writes -1 for a set flag.
// Row pool byte: below kPoolSize a pool number (bit 7 flips its case), else
// raw units follow: all 66 of the array, a 0 among them read as 'x'.
constexpr uint8_t kRowPoolFlip = 0x80;
constexpr uint8_t kRowRaw = 0x7F;

// Text mode byte: 0 letters, 1 raw units from the input. A length of 160 or
// more fills the whole array with no terminator.
constexpr uint8_t kTextLetters = 0;
constexpr uint8_t kTextRaw = 1;

// Fail op: which platform call, and how many of the next ones fail.
constexpr uint8_t kFailOps = 3;  // SmsOpen, SmsSendMessage, SmsClose
constexpr int kFailTimes[] = {0, 1, 2, -1};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool done() const { return at_ >= size_; }
  uint8_t u8() { return at_ < size_ ? data_[at_++] : 0; }
  uint16_t u16() {
    const uint16_t lo = u8();
    return static_cast<uint16_t>(lo | (u8() << 8));
  }
  uint32_t u32() {
    const uint32_t lo = u16();
    return lo | (static_cast<uint32_t>(u16()) << 16);
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace notifyfuzz
