// The registry functions against the real registry of the Wine prefix.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "tests/win32/plat_support.h"

namespace {

constexpr uint32_t kCreatedNewKey = 1;
constexpr uint32_t kOpenedExistingKey = 2;

std::vector<uint8_t> bytesOf(const std::u16string& text) {
  std::vector<uint8_t> bytes((text.size() + 1) * 2);
  std::memcpy(bytes.data(), text.c_str(), bytes.size());
  return bytes;
}

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = plat_support::freshMachineKey();
    path_ = base_ + u"\\Outer\\Settings";
  }
  void TearDown() override {
    for (plat::HKEY key : open_) plat::RegCloseKey(key);
    plat_support::deleteMachineTree(base_);
  }

  plat::HKEY create(const std::u16string& path, uint32_t* disposition) {
    plat::HKEY key = nullptr;
    EXPECT_EQ(plat::RegCreateKeyExW(plat::HKEY_LOCAL_MACHINE, path.c_str(), 0,
                                    nullptr, plat::REG_OPTION_NON_VOLATILE,
                                    plat::KEY_ALL_ACCESS, nullptr, &key,
                                    disposition),
              plat::ERROR_SUCCESS);
    if (key != nullptr) open_.push_back(key);
    return key;
  }

  // Opened as the program does: access 0.
  plat::HKEY open(const std::u16string& path) {
    plat::HKEY key = nullptr;
    EXPECT_EQ(plat::RegOpenKeyExW(plat::HKEY_LOCAL_MACHINE, path.c_str(), 0, 0,
                                  &key),
              plat::ERROR_SUCCESS);
    if (key != nullptr) open_.push_back(key);
    return key;
  }

  std::u16string base_, path_;
  std::vector<plat::HKEY> open_;
};

}  // namespace

TEST_F(Registry, ValuesKeepTheirTypesAndSizes) {
  uint32_t disposition = 0;
  plat::HKEY key = create(path_, &disposition);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(disposition, kCreatedNewKey);  // both levels were made
  EXPECT_TRUE(plat_support::machineKeyExists(base_ + u"\\Outer"));

  const uint32_t number = 0x80000102u;
  const std::u16string text = u"Gr\u00fc\u00dfe \u0416";
  const std::vector<uint8_t> textBytes = bytesOf(text);
  ASSERT_EQ(plat::RegSetValueExW(key, u"Number", 0, plat::REG_DWORD,
                                 reinterpret_cast<const uint8_t*>(&number), 4),
            plat::ERROR_SUCCESS);
  ASSERT_EQ(plat::RegSetValueExW(key, u"Text", 0, plat::REG_SZ,
                                 textBytes.data(),
                                 static_cast<uint32_t>(textBytes.size())),
            plat::ERROR_SUCCESS);

  // What the real registry holds, read without plat.
  uint32_t type = 0;
  std::vector<uint8_t> stored;
  ASSERT_TRUE(plat_support::machineValue(path_, u"Number", &type, &stored));
  EXPECT_EQ(type, plat::REG_DWORD);
  EXPECT_EQ(stored, std::vector<uint8_t>({0x02, 0x01, 0x00, 0x80}));
  ASSERT_TRUE(plat_support::machineValue(path_, u"Text", &type, &stored));
  EXPECT_EQ(type, plat::REG_SZ);
  EXPECT_EQ(stored, textBytes);

  // Read back through a key opened with access 0.
  plat::HKEY reading = open(path_);
  ASSERT_NE(reading, nullptr);
  uint32_t got = 0;
  uint32_t size = 4;
  type = 0;
  ASSERT_EQ(plat::RegQueryValueExW(reading, u"Number", nullptr, &type,
                                   reinterpret_cast<uint8_t*>(&got), &size),
            plat::ERROR_SUCCESS);
  EXPECT_EQ(type, plat::REG_DWORD);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(got, number);

  char16_t field[160];
  size = sizeof field;
  ASSERT_EQ(plat::RegQueryValueExW(reading, u"Text", nullptr, &type,
                                   reinterpret_cast<uint8_t*>(field), &size),
            plat::ERROR_SUCCESS);
  EXPECT_EQ(type, plat::REG_SZ);
  EXPECT_EQ(size, textBytes.size());
  EXPECT_EQ(std::u16string(field), text);

  // A value set again is replaced, type and all.
  ASSERT_EQ(plat::RegSetValueExW(key, u"Number", 0, plat::REG_SZ,
                                 textBytes.data(),
                                 static_cast<uint32_t>(textBytes.size())),
            plat::ERROR_SUCCESS);
  ASSERT_TRUE(plat_support::machineValue(path_, u"Number", &type, &stored));
  EXPECT_EQ(type, plat::REG_SZ);

  // Creating it again opens it.
  ASSERT_NE(create(path_, &disposition), nullptr);
  EXPECT_EQ(disposition, kOpenedExistingKey);
}

TEST_F(Registry, AValueThatDoesNotFitLeavesTheDestinationAlone) {
  plat::HKEY key = create(path_, nullptr);
  ASSERT_NE(key, nullptr);
  const std::vector<uint8_t> textBytes = bytesOf(u"0123456789");  // 22 bytes
  const uint32_t number = 7;
  ASSERT_EQ(plat::RegSetValueExW(key, u"Text", 0, plat::REG_SZ,
                                 textBytes.data(), 22),
            plat::ERROR_SUCCESS);
  ASSERT_EQ(plat::RegSetValueExW(key, u"Number", 0, plat::REG_DWORD,
                                 reinterpret_cast<const uint8_t*>(&number), 4),
            plat::ERROR_SUCCESS);
  plat::HKEY reading = open(path_);
  ASSERT_NE(reading, nullptr);

  const struct {
    const char16_t* name;
    uint32_t capacity;
    uint32_t size;
  } tooSmall[] = {{u"Text", 21, 22}, {u"Text", 0, 22}, {u"Number", 3, 4}};
  for (const auto& c : tooSmall) {
    uint8_t field[64];
    std::memset(field, 0xAA, sizeof field);
    uint32_t size = c.capacity;
    uint32_t type = 0;
    EXPECT_EQ(plat::RegQueryValueExW(reading, c.name, nullptr, &type, field,
                                     &size),
              plat::ERROR_MORE_DATA)
        << c.capacity;
    EXPECT_EQ(size, c.size);
    for (uint8_t b : field) ASSERT_EQ(b, 0xAA) << "written at " << c.capacity;
  }

  // Exactly fitting, and room to spare: only the value's bytes are written.
  for (uint32_t capacity : {22u, 40u}) {
    uint8_t field[64];
    std::memset(field, 0xAA, sizeof field);
    uint32_t size = capacity;
    ASSERT_EQ(plat::RegQueryValueExW(reading, u"Text", nullptr, nullptr, field,
                                     &size),
              plat::ERROR_SUCCESS);
    EXPECT_EQ(size, 22u);
    EXPECT_EQ(std::memcmp(field, textBytes.data(), 22), 0);
    EXPECT_EQ(field[22], 0xAA);
  }

  // Without a destination: the size.
  uint32_t size = 0;
  uint32_t type = 0;
  EXPECT_EQ(plat::RegQueryValueExW(reading, u"Text", nullptr, &type, nullptr,
                                   &size),
            plat::ERROR_SUCCESS);
  EXPECT_EQ(size, 22u);
  EXPECT_EQ(type, plat::REG_SZ);
}

TEST_F(Registry, MissingKeysAndValues) {
  plat::HKEY key = reinterpret_cast<plat::HKEY>(&open_);
  EXPECT_EQ(plat::RegOpenKeyExW(plat::HKEY_LOCAL_MACHINE, path_.c_str(), 0, 0,
                                &key),
            plat::ERROR_FILE_NOT_FOUND);
  // Opening never creates, not even the level above.
  EXPECT_FALSE(plat_support::machineKeyExists(base_));

  ASSERT_NE(create(path_, nullptr), nullptr);
  plat::HKEY reading = open(path_);
  ASSERT_NE(reading, nullptr);
  uint8_t field[4] = {1, 2, 3, 4};
  uint32_t size = sizeof field;
  EXPECT_EQ(plat::RegQueryValueExW(reading, u"Absent", nullptr, nullptr, field,
                                   &size),
            plat::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(field[0], 1);
  EXPECT_EQ(field[3], 4);
  EXPECT_EQ(plat::RegCloseKey(reading), plat::ERROR_SUCCESS);
  open_.erase(open_.end() - 1);
}
