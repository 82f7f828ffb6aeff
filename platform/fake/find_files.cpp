// File searches over the in-memory file system, and the program's own path.
#include <cstring>
#include <mutex>

#include "platform/fake/files.h"
#include "platform/fake/ui_internal.h"
#include "platform/files.h"

namespace fake {
namespace {

std::vector<bool> searches;  // open or closed, by handle

constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;

// `*` and `?` as the platform reads them; letter case is ignored.
bool wildMatch(const std::u16string& pattern, const std::u16string& text) {
  size_t p = 0, t = 0, star = std::u16string::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      resume = t;
    } else if (star != std::u16string::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

// The first file the pattern names, empty when none (without the lock).
std::u16string firstMatch(const std::u16string& pattern) {
  if (pattern.find_first_of(u"*?") == std::u16string::npos)
    return fileExists(pattern) ? pattern : std::u16string();
  const std::u16string folds = folded(pattern);
  for (const std::u16string& path : filePaths())
    if (wildMatch(folds, folded(path))) return path;
  return std::u16string();
}

}  // namespace

void resetSearches() { searches.clear(); }

size_t openSearches() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  size_t n = 0;
  for (bool open : searches) n += open ? 1 : 0;
  return n;
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

HANDLE FindFirstFileW(const char16_t* lpFileName,
                      WIN32_FIND_DATAW* lpFindFileData) {
  {
    std::lock_guard<std::mutex> guard(fake::deviceMutex);
    if (fake::Call* c = fake::record(Op::FindFirstFileW)) {
      c->args[0] = asArg(lpFileName);
      c->args[1] = asArg(lpFindFileData);
      fake::copyUnits(c->text, 256, lpFileName);
    }
    if (fake::shouldFail(Op::FindFirstFileW) || lpFileName == nullptr ||
        lpFindFileData == nullptr)
      return INVALID_HANDLE_VALUE;
  }
  const std::u16string found = fake::firstMatch(lpFileName);
  if (found.empty()) return INVALID_HANDLE_VALUE;
  const size_t slash = found.find_last_of(u'\\');
  lpFindFileData->dwFileAttributes = fake::FILE_ATTRIBUTE_NORMAL;
  fake::copyUnits(
      lpFindFileData->cFileName, MAX_PATH,
      found.c_str() + (slash == std::u16string::npos ? 0 : slash + 1));
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  fake::searches.push_back(true);
  return reinterpret_cast<HANDLE>(fake::kFirstSearch + fake::searches.size() -
                                  1);
}

BOOL FindClose(HANDLE hFindFile) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::FindClose))
    c->args[0] = asArg(hFindFile);
  const uintptr_t index = asArg(hFindFile) - fake::kFirstSearch;
  if (fake::shouldFail(Op::FindClose) || index >= fake::searches.size() ||
      !fake::searches[index])
    return 0;
  fake::searches[index] = false;
  return 1;
}

// A buffer too small gets nSize - 1 units and a terminator, and the answer
// is nSize, as the platform's desktop versions (and Wine) do.
uint32_t GetModuleFileNameW(HINSTANCE hModule, char16_t* lpFilename,
                            uint32_t nSize) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::GetModuleFileNameW)) {
    c->args[0] = asArg(hModule);
    c->args[1] = asArg(lpFilename);
    c->args[2] = nSize;
  }
  if (fake::shouldFail(Op::GetModuleFileNameW) || lpFilename == nullptr ||
      nSize == 0)
    return 0;
  const size_t length = sizeof fake::kModulePath / sizeof(char16_t) - 1;
  fake::copyUnits(lpFilename, nSize, fake::kModulePath);
  return length < nSize ? static_cast<uint32_t>(length) : nSize;
}

}  // namespace plat
