// Paths from the handset's root land on the drive Windows is on, whatever
// the current drive; every other path is left as it is.
#include "platform/win32/file_path.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32.h"

namespace {

std::wstring windowsFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  GetWindowsDirectoryW(folder, MAX_PATH + 1);
  return folder;
}

TEST(FilePath, OnlyPathsRootedWithoutADriveGetTheSystemDrive) {
  const std::wstring drive = windowsFolder().substr(0, 2);
  ASSERT_EQ(drive[1], L':');
  struct Case {
    const char16_t* path;
    std::wstring handedOn;
  };
  const Case cases[] = {
      {u"\\Windows\\cdbase.txt", drive + L"\\Windows\\cdbase.txt"},
      {u"\\", drive + L"\\"},
      {u"\\\\server\\share\\a.txt", L"\\\\server\\share\\a.txt"},
      {u"C:\\a.txt", L"C:\\a.txt"},
      {u"a.txt", L"a.txt"},
      {u"", L""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(std::wstring(win32::FilePath(c.path).get()), c.handedOn);
  EXPECT_EQ(win32::FilePath(nullptr).get(), nullptr);
}

TEST(FilePath, TheFileFunctionsUseIt) {
  const char16_t rooted[] = u"\\Windows\\vantorel-rooted-path.txt";
  const std::wstring real = windowsFolder() + L"\\vantorel-rooted-path.txt";
  wchar_t current[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH + 1, current);
  SetCurrentDirectoryW(L"Z:\\");  // the Unix root under Wine

  plat::HANDLE file = plat::CreateFileW(rooted, GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                        nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  plat::CloseHandle(file);
  EXPECT_NE(GetFileAttributesW(real.c_str()), INVALID_FILE_ATTRIBUTES);
  plat::WIN32_FIND_DATAW found{};
  plat::HANDLE search = plat::FindFirstFileW(rooted, &found);
  EXPECT_NE(search, INVALID_HANDLE_VALUE);
  if (search != INVALID_HANDLE_VALUE) plat::FindClose(search);
  EXPECT_TRUE(plat::DeleteFileW(rooted));
  EXPECT_EQ(GetFileAttributesW(real.c_str()), INVALID_FILE_ATTRIBUTES);
  SetCurrentDirectoryW(current);
}

}  // namespace
