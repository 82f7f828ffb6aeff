#include "platform/fake/files.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/fake/internal.h"
#include "platform/files.h"

namespace fake {
namespace {

constexpr uintptr_t kFirstFileHandle = 0x10000;

struct File {
  std::u16string path;
  std::vector<uint8_t> bytes;
};

struct OpenFile {
  bool open;
  std::u16string key;
  bool writing;
  size_t position;
};

std::map<std::u16string, File> files;  // by folded path
std::vector<OpenFile> handles;
bool writesLimited = false;
size_t writesLeft = 0;

OpenFile* openFile(plat::HANDLE handle) {
  const uintptr_t index = reinterpret_cast<uintptr_t>(handle) - kFirstFileHandle;
  if (index >= handles.size() || !handles[index].open) return nullptr;
  return &handles[index];
}

bool isOpen(const std::u16string& key) {
  for (const OpenFile& h : handles)
    if (h.open && h.key == key) return true;
  return false;
}

std::u16string pathText(const char16_t* path) {
  return path != nullptr ? std::u16string(path) : std::u16string();
}

}  // namespace

void resetFiles() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  files.clear();
  handles.clear();
  writesLimited = false;
}

bool closeFile(plat::HANDLE handle) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  OpenFile* h = openFile(handle);
  if (h == nullptr) return false;
  h->open = false;
  return true;
}

bool fileExists(const std::u16string& path) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return files.count(folded(path)) != 0;
}

std::vector<uint8_t> fileBytes(const std::u16string& path) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  auto it = files.find(folded(path));
  return it == files.end() ? std::vector<uint8_t>{} : it->second.bytes;
}

void setFile(const std::u16string& path, const std::vector<uint8_t>& bytes) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  files[folded(path)] = {path, bytes};
}

std::vector<std::u16string> filePaths() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  std::vector<std::u16string> paths;
  for (const auto& [key, file] : files) paths.push_back(file.path);
  std::sort(paths.begin(), paths.end());
  return paths;
}

size_t openFiles() {
  std::lock_guard<std::mutex> guard(deviceMutex);
  return static_cast<size_t>(std::count_if(
      handles.begin(), handles.end(), [](const OpenFile& h) { return h.open; }));
}

void limitWrites(size_t bytes) {
  std::lock_guard<std::mutex> guard(deviceMutex);
  writesLimited = true;
  writesLeft = bytes;
}

}  // namespace fake

namespace plat {

using fake::asArg;
using fake::Op;

HANDLE CreateFileW(const char16_t* lpFileName, uint32_t dwDesiredAccess,
                   uint32_t dwShareMode, const void* lpSecurityAttributes,
                   uint32_t dwCreationDisposition,
                   uint32_t dwFlagsAndAttributes, HANDLE hTemplateFile) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::CreateFileW)) {
    const uintptr_t args[7] = {asArg(lpFileName),   dwDesiredAccess,
                               dwShareMode,         asArg(lpSecurityAttributes),
                               dwCreationDisposition, dwFlagsAndAttributes,
                               asArg(hTemplateFile)};
    std::memcpy(c->args, args, sizeof args);
    fake::copyUnits(c->text, 256, lpFileName);
  }
  if (fake::shouldFail(Op::CreateFileW)) return INVALID_HANDLE_VALUE;
  const std::u16string path = fake::pathText(lpFileName);
  if (path.empty()) return INVALID_HANDLE_VALUE;
  const std::u16string key = fake::folded(path);
  const bool writing = (dwDesiredAccess & GENERIC_WRITE) != 0;
  auto it = fake::files.find(key);
  if (dwCreationDisposition == OPEN_EXISTING) {
    if (it == fake::files.end()) return INVALID_HANDLE_VALUE;
  } else if (dwCreationDisposition == CREATE_ALWAYS) {
    fake::files[key] = {it != fake::files.end() ? it->second.path : path, {}};
  } else {
    return INVALID_HANDLE_VALUE;  // no other disposition is used here
  }
  fake::handles.push_back({true, key, writing, 0});
  return reinterpret_cast<HANDLE>(fake::kFirstFileHandle +
                                  fake::handles.size() - 1);
}

uint32_t SetFilePointer(HANDLE hFile, int32_t lDistanceToMove,
                        int32_t* lpDistanceToMoveHigh, uint32_t dwMoveMethod) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::SetFilePointer)) {
    c->args[0] = asArg(hFile);
    c->args[1] = static_cast<uintptr_t>(lDistanceToMove);
    c->args[2] = asArg(lpDistanceToMoveHigh);
    c->args[3] = dwMoveMethod;
  }
  fake::OpenFile* h = fake::openFile(hFile);
  if (h == nullptr || fake::shouldFail(Op::SetFilePointer) ||
      dwMoveMethod != FILE_BEGIN || lDistanceToMove < 0)
    return 0xFFFFFFFFu;
  h->position = static_cast<size_t>(lDistanceToMove);
  return static_cast<uint32_t>(h->position);
}

BOOL ReadFile(HANDLE hFile, void* lpBuffer, uint32_t nNumberOfBytesToRead,
              uint32_t* lpNumberOfBytesRead, void* lpOverlapped) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::ReadFile)) {
    c->args[0] = asArg(hFile);
    c->args[1] = asArg(lpBuffer);
    c->args[2] = nNumberOfBytesToRead;
    c->args[3] = asArg(lpNumberOfBytesRead);
    c->args[4] = asArg(lpOverlapped);
  }
  if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
  fake::OpenFile* h = fake::openFile(hFile);
  if (h == nullptr || h->writing || fake::shouldFail(Op::ReadFile)) return 0;
  const std::vector<uint8_t>& bytes = fake::files[h->key].bytes;
  size_t n = 0;
  while (n < nNumberOfBytesToRead && h->position < bytes.size())
    static_cast<uint8_t*>(lpBuffer)[n++] = bytes[h->position++];
  if (lpNumberOfBytesRead != nullptr)
    *lpNumberOfBytesRead = static_cast<uint32_t>(n);
  return 1;
}

BOOL WriteFile(HANDLE hFile, const void* lpBuffer,
               uint32_t nNumberOfBytesToWrite, uint32_t* lpNumberOfBytesWritten,
               void* lpOverlapped) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::WriteFile)) {
    c->args[0] = asArg(hFile);
    c->args[1] = asArg(lpBuffer);
    c->args[2] = nNumberOfBytesToWrite;
    c->args[3] = asArg(lpNumberOfBytesWritten);
    c->args[4] = asArg(lpOverlapped);
    fake::copyBytes(c, lpBuffer, nNumberOfBytesToWrite);
  }
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = 0;
  fake::OpenFile* h = fake::openFile(hFile);
  if (h == nullptr || !h->writing || fake::shouldFail(Op::WriteFile)) return 0;
  size_t n = nNumberOfBytesToWrite;
  bool full = false;
  if (fake::writesLimited && n > fake::writesLeft) {
    n = fake::writesLeft;
    full = true;
  }
  if (fake::writesLimited) fake::writesLeft -= n;
  std::vector<uint8_t>& bytes = fake::files[h->key].bytes;
  const auto* source = static_cast<const uint8_t*>(lpBuffer);
  for (size_t i = 0; i < n; ++i) {
    if (h->position == bytes.size())
      bytes.push_back(source[i]);
    else
      bytes[h->position] = source[i];
    ++h->position;
  }
  if (lpNumberOfBytesWritten != nullptr)
    *lpNumberOfBytesWritten = static_cast<uint32_t>(n);
  return full ? 0 : 1;
}

BOOL DeleteFileW(const char16_t* lpFileName) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::DeleteFileW)) {
    c->args[0] = asArg(lpFileName);
    fake::copyUnits(c->text, 256, lpFileName);
  }
  const std::u16string key = fake::folded(fake::pathText(lpFileName));
  if (fake::shouldFail(Op::DeleteFileW) || fake::isOpen(key)) return 0;
  return fake::files.erase(key) != 0 ? 1 : 0;
}

BOOL MoveFileExW(const char16_t* lpExistingFileName,
                 const char16_t* lpNewFileName, uint32_t dwFlags) {
  std::lock_guard<std::mutex> guard(fake::deviceMutex);
  if (fake::Call* c = fake::record(Op::MoveFileExW)) {
    c->args[0] = asArg(lpExistingFileName);
    c->args[1] = asArg(lpNewFileName);
    c->args[2] = dwFlags;
    fake::copyUnits(c->text, 256, lpExistingFileName);
    fake::copyUnits(c->text2, 128, lpNewFileName);
  }
  const std::u16string from = fake::folded(fake::pathText(lpExistingFileName));
  const std::u16string toPath = fake::pathText(lpNewFileName);
  const std::u16string to = fake::folded(toPath);
  auto source = fake::files.find(from);
  if (fake::shouldFail(Op::MoveFileExW) || source == fake::files.end() ||
      to.empty() || fake::isOpen(from) || fake::isOpen(to))
    return 0;
  if (from == to) return 1;
  auto target = fake::files.find(to);
  if (target != fake::files.end() && (dwFlags & MOVEFILE_REPLACE_EXISTING) == 0)
    return 0;
  const std::u16string kept =
      target != fake::files.end() ? target->second.path : toPath;
  std::vector<uint8_t> bytes = std::move(source->second.bytes);
  fake::files.erase(source);
  fake::files[to] = {kept, std::move(bytes)};
  return 1;
}

}  // namespace plat
