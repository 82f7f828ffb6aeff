#include "store/selection_files.h"

#include <initializer_list>

#include "engine/text.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/handles.h"

namespace {

constexpr int kRawLineBytes = 8000;  // the terminator included
constexpr char16_t kMainPath[] = u"\\Windows\\cdbase.txt";
constexpr char16_t kSecondPath[] = u"\\Windows\\cdbase2.txt";
constexpr char16_t kMainTempPath[] = u"\\Windows\\cdbase.txt.new";
constexpr char16_t kSecondTempPath[] = u"\\Windows\\cdbase2.txt.new";

// Longest item: a category name's whole storage (130 units) and its suffix,
// at most two bytes each in a double-byte code page, and the terminator.
constexpr size_t kItemUnits = 130 + 2;
constexpr size_t kItemBytes = 2 * kItemUnits + 1;

bool flagOf(int32_t main, int32_t second, ReplyKind kind) {
  return (kind == ReplyKind::main ? main : second) != 0;
}

void setFlag(int32_t& main, int32_t& second, ReplyKind kind) {
  (kind == ReplyKind::main ? main : second) = 1;
}

bool isValid(plat::HANDLE file) {
  return file != nullptr && file != plat::INVALID_HANDLE_VALUE;
}

// Converts one item and writes it; false when the write did not take it all.
bool writeItem(plat::HANDLE file, const char16_t* text, size_t capacity,
               const char16_t* suffix) {
  char16_t item[kItemUnits + 1];
  const size_t length = textLength(text, capacity < 130 ? capacity : 130);
  size_t n = 0;
  for (; n < length; ++n) item[n] = text[n];
  for (; *suffix != 0; ++suffix) item[n++] = *suffix;
  item[n] = 0;
  char bytes[kItemBytes];
  const size_t size = plat::wcstombs(bytes, item, sizeof bytes - 1);
  if (size == static_cast<size_t>(-1)) return false;
  uint32_t written = 0;
  return plat::WriteFile(file, bytes, static_cast<uint32_t>(size), &written,
                         nullptr) != 0 &&
         written == size;
}

bool writeTicks(plat::HANDLE file, ReplyKind kind) {
  for (int32_t k = 1; k <= categoryTable.count && k <= kMaxCategoryRows; ++k) {
    const CategoryEntry& row = categoryTable.rows[k];
    if (flagOf(row.selectedMain, row.selectedSecond, kind) &&
        !writeItem(file, row.name, sizeof row.name / 2, u";"))
      return false;
  }
  for (int32_t k = 1; k <= numberTable.count && k <= kMaxNumberRows; ++k) {
    const NumberEntry& row = numberTable.rows[k];
    if (flagOf(row.selectedMain, row.selectedSecond, kind) &&
        !writeItem(file, row.number, sizeof row.number / 2, u";"))
      return false;
  }
  return writeItem(file, u"", 1, u"\r\n");
}

// One byte, or false at the end of the file (a failed read ends it too).
bool readByte(plat::HANDLE file, char* byte) {
  uint32_t read = 0;
  return plat::ReadFile(file, byte, 1, &read, nullptr) != 0 && read == 1;
}

using TokenAction = void (*)(const char16_t* token, ReplyKind kind);

void tickCategories(const char16_t* token, ReplyKind kind) {
  for (int32_t k = 1; k <= categoryTable.count && k <= kMaxCategoryRows; ++k) {
    CategoryEntry& row = categoryTable.rows[k];
    if (textEqualsIgnoreCase(row.name, token))
      setFlag(row.selectedMain, row.selectedSecond, kind);
  }
}

void tickNumbers(const char16_t* token, ReplyKind kind) {
  for (int32_t k = 1; k <= numberTable.count && k <= kMaxNumberRows; ++k) {
    NumberEntry& row = numberTable.rows[k];
    if (textEqualsIgnoreCase(row.number, token))
      setFlag(row.selectedMain, row.selectedSecond, kind);
  }
}

// One pass over one file: its first line's tokens, each handed to `action`.
void applyPass(const char16_t* path, ReplyKind kind, TokenAction action) {
  plat::HANDLE file =
      plat::CreateFileW(path, plat::GENERIC_READ, plat::FILE_SHARE_READ,
                        nullptr, plat::OPEN_EXISTING,
                        plat::FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!isValid(file)) return;
  char16_t line[kSelectionLineUnits] = {};
  if (readSelectionLine(file, line)) {
    char16_t token[kSelectionLineUnits];
    size_t n = 0;
    for (const char16_t* at = line;; ++at) {
      if (*at == u';' || *at == 0) {
        // Runs of ";" give no empty token.
        if (n != 0) {
          token[n] = 0;
          action(token, kind);
          n = 0;
        }
        if (*at == 0) break;
      } else {
        token[n++] = *at;
      }
    }
  }
  plat::CloseHandle(file);
}

}  // namespace

const char16_t* selectionFilePath(ReplyKind kind) {
  return kind == ReplyKind::main ? kMainPath : kSecondPath;
}

void writeSelectionFile(ReplyKind kind) {
  const char16_t* path = selectionFilePath(kind);
  const char16_t* temp =
      kind == ReplyKind::main ? kMainTempPath : kSecondTempPath;
  plat::DeleteFileW(temp);  // left over from an earlier failure, if any
  plat::HANDLE file = plat::CreateFileW(
      temp, plat::GENERIC_WRITE, plat::FILE_SHARE_READ | plat::FILE_SHARE_WRITE,
      nullptr, plat::CREATE_ALWAYS, plat::FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!isValid(file)) return;
  const bool written =
      plat::SetFilePointer(file, 0, nullptr, plat::FILE_BEGIN) == 0 &&
      writeTicks(file, kind);
  const bool closed = plat::CloseHandle(file) != 0;
  if (!written || !closed ||
      plat::MoveFileExW(temp, path,
                        plat::MOVEFILE_REPLACE_EXISTING |
                            plat::MOVEFILE_WRITE_THROUGH) == 0)
    plat::DeleteFileW(temp);
}

void applySelectionFiles() {
  for (ReplyKind kind : {ReplyKind::main, ReplyKind::second}) {
    const char16_t* path = selectionFilePath(kind);
    applyPass(path, kind, tickCategories);
    applyPass(path, kind, tickNumbers);
  }
}

bool readSelectionLine(plat::HANDLE file,
                       char16_t (&line)[kSelectionLineUnits]) {
  char raw[kRawLineBytes];
  int length = 0;
  char byte = 0;
  for (;;) {
    if (!readByte(file, &byte)) return false;
    if (byte == '\r') {
      char dropped;
      const bool more = readByte(file, &dropped);
      if (length == 0) {
        if (!more) return false;
        continue;  // an empty line before the first item
      }
      if (!more) return false;
      break;
    }
    if (length < kRawLineBytes - 1) raw[length++] = byte;
  }
  raw[length] = 0;
  // Converted whole, then cut: the converter cannot be asked for a prefix.
  char16_t converted[kRawLineBytes];
  const int32_t units = plat::MultiByteToWideChar(plat::CP_ACP, 0, raw, -1,
                                                  converted, kRawLineBytes);
  if (units <= 0) return false;
  copyText(line, converted);
  return true;
}
