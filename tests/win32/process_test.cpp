// Threads, looking a file up and the program's own path through plat's
// functions. No display needed.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "platform/files.h"
#include "platform/handles.h"
#include "platform/thread.h"
#include "tests/win32/plat_support.h"
#include "tests/win32/window_support.h"

namespace {

uint32_t startRoutine(void* parameter) {
  auto* ran = static_cast<std::atomic<int>*>(parameter);
  ran->fetch_add(1);
  return 1234;
}

TEST(Threads, RoutineRunsWithItsParameterAndItsResultIsTheExitCode) {
  std::atomic<int> ran{0};
  uint32_t id = 0;
  plat::HANDLE thread =
      plat::CreateThread(nullptr, 0, startRoutine, &ran, 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  uint32_t exitCode = 0;
  ASSERT_TRUE(window_support::waitForThread(thread, &exitCode));
  EXPECT_EQ(exitCode, 1234u);
  EXPECT_EQ(ran.load(), 1);
  EXPECT_TRUE(plat::CloseHandle(thread));

  // The id is optional.
  thread = plat::CreateThread(nullptr, 0, startRoutine, &ran, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_TRUE(window_support::waitForThread(thread, &exitCode));
  EXPECT_EQ(ran.load(), 2);
  plat::CloseHandle(thread);
}

TEST(FindFile, FindsAnExistingFileByItsPathOnly) {
  const std::u16string path = plat_support::freshTempPath(u"find");
  ASSERT_TRUE(plat_support::writeFile(path, "x"));
  plat::WIN32_FIND_DATAW found{};
  plat::HANDLE search = plat::FindFirstFileW(path.c_str(), &found);
  ASSERT_NE(search, plat::INVALID_HANDLE_VALUE);
  ASSERT_NE(search, nullptr);
  const std::u16string name = path.substr(path.find_last_of(u'\\') + 1);
  EXPECT_EQ(std::u16string(found.cFileName), name);
  EXPECT_EQ(found.dwFileAttributes & 0x10u, 0u) << "not a folder";
  EXPECT_TRUE(plat::FindClose(search));

  plat::DeleteFileW(path.c_str());
  EXPECT_EQ(plat::FindFirstFileW(path.c_str(), &found),
            plat::INVALID_HANDLE_VALUE);
}

TEST(ModulePath, IsTheProgramsFullPathAndEndsInsideTheBuffer) {
  char16_t path[plat::MAX_PATH];
  const uint32_t n = plat::GetModuleFileNameW(nullptr, path, plat::MAX_PATH);
  ASSERT_GT(n, 0u);
  ASSERT_LT(n, plat::MAX_PATH);
  const std::u16string full(path, n);
  EXPECT_EQ(path[n], u'\0');
  EXPECT_EQ(full.substr(1, 2), u":\\");
  const std::u16string tail = u"\\win32_window_tests.exe";
  ASSERT_GT(full.size(), tail.size());
  EXPECT_EQ(full.substr(full.size() - tail.size()), tail);
  EXPECT_TRUE(plat_support::fileExists(full));

  // Too small a buffer: cut, and still a string.
  for (uint32_t size : {1u, 4u, n}) {
    SCOPED_TRACE(size);
    char16_t cut[plat::MAX_PATH];
    for (char16_t& c : cut) c = u'#';
    plat::GetModuleFileNameW(nullptr, cut, size);
    EXPECT_EQ(cut[size - 1], u'\0');
    EXPECT_EQ(std::u16string(cut, cut + size - 1), full.substr(0, size - 1));
    EXPECT_EQ(cut[size], u'#') << "nothing written past the buffer";
  }
}

}  // namespace
