// The file functions against real files, in the ways the selection files
// use them: written whole, read back one byte at a time, replaced by rename.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/handles.h"
#include "tests/win32/plat_support.h"

namespace {

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    a_ = plat_support::freshTempPath(u"a");
    b_ = plat_support::freshTempPath(u"b");
  }
  void TearDown() override {
    plat::DeleteFileW(a_.c_str());
    plat::DeleteFileW(b_.c_str());
  }

  static plat::HANDLE openForWriting(const std::u16string& path) {
    return plat::CreateFileW(
        path.c_str(), plat::GENERIC_WRITE,
        plat::FILE_SHARE_READ | plat::FILE_SHARE_WRITE, nullptr,
        plat::CREATE_ALWAYS, plat::FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  static plat::HANDLE openForReading(const std::u16string& path) {
    return plat::CreateFileW(path.c_str(), plat::GENERIC_READ,
                             plat::FILE_SHARE_READ, nullptr,
                             plat::OPEN_EXISTING, plat::FILE_ATTRIBUTE_NORMAL,
                             nullptr);
  }

  std::u16string a_, b_;
};

}  // namespace

TEST_F(Files, WrittenBytesReadBackOneAtATimeUntilTheEnd) {
  const std::string bytes = "Family;+49 170 1\xE4;\r\n";
  plat::HANDLE file = openForWriting(a_);
  ASSERT_NE(file, plat::INVALID_HANDLE_VALUE);
  EXPECT_EQ(plat::SetFilePointer(file, 0, nullptr, plat::FILE_BEGIN), 0u);
  uint32_t written = 0;
  ASSERT_TRUE(plat::WriteFile(file, bytes.data(),
                              static_cast<uint32_t>(bytes.size()), &written,
                              nullptr));
  EXPECT_EQ(written, bytes.size());
  EXPECT_TRUE(plat::CloseHandle(file));

  file = openForReading(a_);
  ASSERT_NE(file, plat::INVALID_HANDLE_VALUE);
  std::string read;
  for (;;) {
    char byte = 0;
    uint32_t count = 99;
    ASSERT_TRUE(plat::ReadFile(file, &byte, 1, &count, nullptr));
    if (count == 0) break;
    ASSERT_EQ(count, 1u);
    read += byte;
    ASSERT_LE(read.size(), bytes.size());
  }
  EXPECT_EQ(read, bytes);
  // At the end every further read gives 0 bytes and succeeds.
  char byte = 'x';
  uint32_t count = 99;
  EXPECT_TRUE(plat::ReadFile(file, &byte, 1, &count, nullptr));
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(byte, 'x');
  // Back to the start, and to an offset with a high part.
  EXPECT_EQ(plat::SetFilePointer(file, 0, nullptr, plat::FILE_BEGIN), 0u);
  ASSERT_TRUE(plat::ReadFile(file, &byte, 1, &count, nullptr));
  EXPECT_EQ(byte, 'F');
  int32_t high = 0;
  EXPECT_EQ(plat::SetFilePointer(file, 7, &high, plat::FILE_BEGIN), 7u);
  EXPECT_EQ(high, 0);
  ASSERT_TRUE(plat::ReadFile(file, &byte, 1, &count, nullptr));
  EXPECT_EQ(byte, '+');
  EXPECT_TRUE(plat::CloseHandle(file));

  // CREATE_ALWAYS empties an existing file.
  file = openForWriting(a_);
  ASSERT_NE(file, plat::INVALID_HANDLE_VALUE);
  EXPECT_TRUE(plat::CloseHandle(file));
  std::string now;
  ASSERT_TRUE(plat_support::readFile(a_, &now));
  EXPECT_EQ(now, "");
}

TEST_F(Files, AMissingFileCannotBeOpenedOrDeleted) {
  // All ones, the value the program compares with.
  EXPECT_EQ(reinterpret_cast<uintptr_t>(plat::INVALID_HANDLE_VALUE),
            ~uintptr_t{0});
  EXPECT_EQ(openForReading(a_), plat::INVALID_HANDLE_VALUE);
  EXPECT_FALSE(plat_support::fileExists(a_));
  EXPECT_FALSE(plat::DeleteFileW(a_.c_str()));

  ASSERT_TRUE(plat_support::writeFile(a_, "x"));
  EXPECT_TRUE(plat::DeleteFileW(a_.c_str()));
  EXPECT_FALSE(plat_support::fileExists(a_));
}

TEST_F(Files, MoveReplacesAnExistingFileOnlyWhenAskedTo) {
  ASSERT_TRUE(plat_support::writeFile(a_, "new"));
  ASSERT_TRUE(plat_support::writeFile(b_, "old"));
  EXPECT_FALSE(plat::MoveFileExW(a_.c_str(), b_.c_str(), 0));
  std::string content;
  ASSERT_TRUE(plat_support::readFile(b_, &content));
  EXPECT_EQ(content, "old");

  EXPECT_TRUE(plat::MoveFileExW(
      a_.c_str(), b_.c_str(),
      plat::MOVEFILE_REPLACE_EXISTING | plat::MOVEFILE_WRITE_THROUGH));
  ASSERT_TRUE(plat_support::readFile(b_, &content));
  EXPECT_EQ(content, "new");
  EXPECT_FALSE(plat_support::fileExists(a_));

  // Without a target in the way no flag is needed.
  EXPECT_TRUE(plat::MoveFileExW(b_.c_str(), a_.c_str(), 0));
  EXPECT_TRUE(plat_support::fileExists(a_));
}
