#include "platform/win32/file_path.h"

#include "platform/win32/win32.h"

namespace win32 {
namespace {

// "C:", from the Windows folder's path; empty when that cannot be read.
std::wstring systemDrive() {
  wchar_t folder[MAX_PATH + 1] = {};
  const UINT n = ::GetWindowsDirectoryW(folder, MAX_PATH + 1);
  if (n < 2 || n > MAX_PATH || folder[1] != L':') return std::wstring();
  return std::wstring(folder, 2);
}

}  // namespace

FilePath::FilePath(const char16_t* path) : null_(path == nullptr) {
  if (null_) return;
  text_ = wide(path);
  const bool rootedWithoutDrive =
      text_.size() >= 1 && text_[0] == L'\\' &&
      (text_.size() == 1 || text_[1] != L'\\');
  static const std::wstring drive = systemDrive();
  if (rootedWithoutDrive) text_.insert(0, drive);
}

const wchar_t* FilePath::get() const {
  return null_ ? nullptr : text_.c_str();
}

}  // namespace win32
