// The handset has one file system, and the program names its files from its
// root ("\Windows\cdbase.txt"). On the desktop a path rooted without a drive
// is taken on the current drive, which for a program started from a Unix
// shell under Wine is Z:, the Unix root. Such paths are put on the drive that
// Windows itself is on, where the handset's \Windows folder has its
// counterpart; every other path is handed on as it is.
#pragma once

#include <string>

namespace win32 {

class FilePath {
 public:
  explicit FilePath(const char16_t* path);
  // Null for a null path.
  const wchar_t* get() const;

 private:
  bool null_;
  std::wstring text_;
};

}  // namespace win32
