// Writes the settings fuzzer's seed corpus: a key with no values, all ten
// well formed, and values that are too long, short, odd-sized, of another
// type or under other names.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/fuzz/settings_ops.h"

namespace {

using namespace settingsfuzz;

constexpr uint8_t kDword = 4;
constexpr uint8_t kSz = 1;
constexpr uint8_t kBinary = 3;

uint8_t sizeCode(uint32_t size) {
  for (uint8_t i = 0; i < kSizeChoices; ++i)
    if (kSizes[i] == size) return i;
  return 0xFF;  // followed by the size as u16
}

class Seed {
 public:
  Seed(uint8_t flags, uint8_t mainLength, uint8_t secondLength) {
    bytes_ = {flags, mainLength, secondLength};
  }
  Seed& u8(uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  Seed& name(uint8_t pick) { return u8(pick); }
  Seed& otherName(const char* name) {
    u8(kOtherName).u8(static_cast<uint8_t>(std::string(name).size()));
    for (const char* c = name; *c != 0; ++c) u8(static_cast<uint8_t>(*c));
    return *this;
  }
  Seed& size(uint32_t size) {
    const uint8_t code = sizeCode(size);
    u8(code);
    if (code == 0xFF) u8(size & 0xFF).u8(size >> 8);
    return *this;
  }
  Seed& number(uint8_t pick, uint32_t value, uint8_t type = kDword) {
    name(pick).u8(type).size(4).u8(kFillRaw);
    return u8(value & 0xFF).u8((value >> 8) & 0xFF).u8((value >> 16) & 0xFF)
        .u8(value >> 24);
  }
  Seed& raw(uint8_t type, std::vector<uint8_t> bytes) {
    u8(type).size(static_cast<uint32_t>(bytes.size())).u8(kFillRaw);
    for (uint8_t b : bytes) u8(b);
    return *this;
  }
  Seed& text(uint8_t type, uint32_t size, Fill fill) {
    return u8(type).size(size).u8(fill);
  }
  void write(const std::string& dir, const char* file) const {
    const std::string path = dir + "/" + file;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
      std::perror(path.c_str());
      return;
    }
    std::fwrite(bytes_.data(), 1, bytes_.size(), f);
    std::fclose(f);
  }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];

  Seed(0, 0, 0).write(dir, "no-key");
  Seed(1, 20, 159).otherName("Unrelated").raw(kSz, {'x', 0, 0, 0})
      .write(dir, "other-value-only");

  Seed all(0, 5, 5);
  for (uint8_t i = 0; i < 10; ++i) {
    if (isTextField(i))
      all.name(i).text(kSz, 2 * 12, kFillText);
    else
      all.number(i, i * 3 + 1);
  }
  all.write(dir, "all-ten");

  Seed(1, 30, 30)
      .name(5).text(kSz, 1000, kFillText)
      .name(9).text(kSz, 320, kFillOpenText)
      .name(2).u8(kBinary).size(8).u8(kFillByte).u8(0x7F)
      .write(dir, "too-long");

  Seed(1, 10, 0)
      .name(0).u8(kDword).size(0).u8(kFillRaw)
      .name(2).raw(kBinary, {3, 0})
      .name(4).raw(kSz, {'2', 0, 0})
      .name(5).text(kSz, 319, kFillText)
      .name(9).text(kBinary, 1, kFillRaw).u8('z')
      .write(dir, "short-and-odd");

  Seed(0, 159, 1)
      .number(kCapitals | 1, 0xFFFFFFFF)  // the same value twice
      .number(1, 7)
      .number(kCapitals | 6, 0x80000000u, kSz)
      .name(5).raw(kDword, {'H', 0, 'i', 0})
      .otherName("message TEXT").text(kSz, 40, kFillText)
      .otherName("Message text ").text(kSz, 40, kFillText)
      .write(dir, "names-and-types");
  return 0;
}
