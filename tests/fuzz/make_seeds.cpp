// Writes the notification fuzzer's seed corpus: one short input per kind of
// call and configuration, so fuzzing starts from every path at once.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/fuzz/notify_ops.h"

namespace {

using namespace notifyfuzz;

constexpr uint8_t kSize1576 = kDirectSizes;  // kSizes[0]

class Seed {
 public:
  Seed& op(Opcode o) { return u8(o); }
  Seed& u8(uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  Seed& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
  Seed& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }

  Seed& callerId(uint8_t pool, uint8_t fill = kFillTerminated,
                 uint8_t size = kSize1576) {
    return op(kOpCallerId).u8(size).u8(0).u8(fill).u8(pool);
  }
  Seed& rings(uint8_t n) { return op(kOpRing).u8(n - 1); }
  Seed& end() { return op(kOpEnd).u8(1); }
  Seed& advance(uint16_t ms) { return op(kOpAdvance).u16(ms); }
  Seed& setting(SettingField f, uint8_t valueIndex) {
    return op(kOpSetting).u8(f).u8(valueIndex);
  }
  Seed& text(bool second, uint8_t length) {
    return op(kOpText).u8(second).u8(length).u8(kTextLetters);
  }
  Seed& row(uint8_t rowIndex, uint8_t pool, uint8_t flags) {
    return op(kOpRow).u8(rowIndex).u8(pool).u8(flags);
  }

  bool write(const std::string& path) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok =
        std::fwrite(bytes_.data(), 1, bytes_.size(), f) == bytes_.size();
    return std::fclose(f) == 0 && ok;
  }

 private:
  std::vector<uint8_t> bytes_;
};

// Indices into kValues and kCounts.
constexpr uint8_t v0 = 0, v1 = 1, v2 = 2, v3 = 3, v4 = 4, vMinus1 = 6,
                  vIntMax = 12, vIntMin = 13, v1000 = 9;
constexpr uint8_t kCount1000 = 11, kCountMinus1 = 13;
constexpr uint8_t kLastRow = 8;  // kRows[8] is row 1000

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  auto save = [&](const char* name, const Seed& seed) {
    if (!seed.write(dir + "/" + name)) {
      std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), name);
      ok = false;
    }
  };

  save("unanswered-call",
       Seed().text(false, 40).callerId(1).rings(3).advance(6000).end());

  save("reply-on-end", Seed()
                           .setting(kReplyOnCancel, v1)
                           .setting(kSecondReplyOnCancel, v1)
                           .text(false, 20)
                           .text(true, 30)
                           .callerId(0)
                           .rings(1)
                           .end());

  save("selected-rows", Seed()
                            .setting(kSecondEnabled, v1)
                            .setting(kSecondMode, v1)
                            .setting(kMainMode, v1)
                            .row(0, 1, 3)
                            .row(kLastRow, 9, 1 | 4)
                            .op(kOpRowCount).u8(kCount1000)
                            .callerId(1, kFillTerminated | kFillFlipCase)
                            .rings(3)
                            .advance(5000)
                            .op(kOpConnect)
                            .callerId(9, kFillFlipCase)
                            .rings(3)
                            .advance(5000)
                            .end());

  Seed shortPayloads;
  for (uint8_t size = 0; size < kDirectSizes; ++size)
    shortPayloads.callerId(13, kFillOpen, size).u8('A');
  shortPayloads.callerId(2, kFillRaw, 28).u32(0x00330032).u32(0x00350034);
  shortPayloads.op(kOpNotify).u32(0x12345678).u8(kDirectSizes + 3);
  shortPayloads.op(kOpNotify).u32(0x00080001).u8(kSizeFromU16).u16(3152);
  save("short-payloads", shortPayloads);

  save("expiry-after-cancel", Seed()
                                  .callerId(0)
                                  .rings(3)
                                  .op(kOpTake).u16(6000)
                                  .op(kOpConnect)
                                  .op(kOpDeliver)
                                  .callerId(15)
                                  .rings(3)
                                  .op(kOpTake).u16(6000)
                                  .callerId(15)
                                  .rings(3)
                                  .op(kOpDeliver)
                                  .advance(6000));

  // Texts and a row that fill their arrays with no terminator.
  Seed unterminated;
  unterminated.text(false, 200).text(true, 255).row(1, kRowRaw, 3);
  for (int i = 0; i < 66; ++i) unterminated.u16(u'1');
  unterminated.op(kOpRowCount).u8(2)
      .setting(kMainMode, v2)
      .callerId(13, kFillOpen).u8(0x31)
      .rings(3)
      .advance(5000);
  save("unterminated", unterminated);

  save("extreme-settings", Seed()
                               .setting(kRingsBeforeReply, vMinus1)
                               .callerId(0)
                               .rings(1)
                               .setting(kRingsBeforeReply, vIntMax)
                               .rings(8)
                               .setting(kRingsBeforeReply, vIntMin)
                               .setting(kMainMode, v1000)
                               .setting(kSecondEnabled, v4)
                               .setting(kSecondMode, vMinus1)
                               .op(kOpRowCount).u8(kCountMinus1)
                               .op(kOpFail).u8(0).u8(1)
                               .op(kOpFail).u8(1).u8(3)
                               .callerId(7)
                               .rings(2)
                               .advance(60000)
                               .setting(kReplyOnCancel, v1)
                               .end());

  save("plus-rules", Seed()
                         .setting(kSecondEnabled, v1)
                         .setting(kSecondMode, v3)
                         .callerId(1)
                         .rings(3)
                         .advance(5000)
                         .end()
                         .setting(kSecondMode, v4)
                         .setting(kMainMode, v0)
                         .callerId(2)
                         .rings(3)
                         .advance(5000)
                         .end());
  return ok ? 0 : 1;
}
