// Feeds arbitrary selection files to the line reader and the tick pass, then
// writes random ticks and reads them back, checking each step against a
// model written from the functions' promises:
// - readSelectionLine gives the first non-empty line, ended by CR and one
//   more byte, converted and cut to 999 characters and terminated, or false
//   with the line untouched;
// - applySelectionFiles sets to 1 exactly the flags of rows named by a token
//   of their kind's file, within the tables' counts, and changes no other;
// - writeSelectionFile writes the ticked names, then the ticked numbers,
//   each with ";", then CR LF; read back over cleared flags they tick what
//   the model of that line names, and at least every ticked row whose text
//   is not empty, holds no ";", survives the code page and ends within the
//   line's first 999 characters;
// - no file is left open, changed by a read, or left beside the two.
//
// The input is the main file's content. The second file holds what follows
// the main file's first CR and the byte after it, and is absent when there
// is no such pair. The tables hold fixed texts (long ones, ";", characters
// outside the code page) and tokens of both first lines, so that rows and
// tokens meet; flags and ticks come from a generator seeded by the input.
// Now and then the main file is read again with its first line stretched
// past the reader's raw buffer, which inputs are too short to reach.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/tables.h"
#include "engine/text.h"
#include "platform/codepage.h"
#include "platform/fake/device.h"
#include "platform/fake/files.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "store/selection_files.h"

namespace {

const std::u16string kMainFile = u"\\Windows\\cdbase.txt";
const std::u16string kSecondFile = u"\\Windows\\cdbase2.txt";
constexpr size_t kLineChars = kSelectionLineUnits - 1;
constexpr size_t kNameChars = 129;   // a category name without terminator
constexpr size_t kNumberChars = 65;  // a number without terminator
constexpr char16_t kUntouched = 0xFFFF;
constexpr size_t kStretch = 7900;  // the reader keeps 7999 bytes of a line

[[noreturn]] void broken(const char* what, int row = 0) {
  if (row != 0)
    std::fprintf(stderr, "broken: %s (row %d)\n", what, row);
  else
    std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

using Bytes = std::vector<uint8_t>;

uint64_t nextRandom(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::u16string toText(const Bytes& bytes) {
  std::u16string text(bytes.size(), 0);
  if (!bytes.empty() &&
      plat::MultiByteToWideChar(plat::CP_ACP, 0,
                                reinterpret_cast<const char*>(bytes.data()),
                                static_cast<int32_t>(bytes.size()), &text[0],
                                static_cast<int32_t>(text.size())) !=
          static_cast<int32_t>(bytes.size()))
    broken("the code page converter failed");
  return text;
}

Bytes toBytes(const std::u16string& text) {
  std::vector<char> bytes(text.size() + 1);
  const size_t n = plat::wcstombs(bytes.data(), text.c_str(), bytes.size());
  return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n));
}

// readSelectionLine's promise: the first non-empty line, ended by CR and one
// more byte, converted from the code page (a NUL byte ends its text) and cut
// to 999 characters. False when no such line can be read.
bool modelLine(const Bytes& file, std::u16string* line) {
  Bytes raw;
  size_t at = 0;
  for (;;) {
    if (at == file.size()) return false;
    const uint8_t byte = file[at++];
    if (byte != '\r') {
      raw.push_back(byte);
      continue;
    }
    if (at == file.size()) return false;
    ++at;  // the byte after the CR
    if (!raw.empty()) break;
  }
  Bytes text;
  for (uint8_t b : raw) {
    if (b == 0 || text.size() == kLineChars) break;
    text.push_back(b);
  }
  *line = toText(text);
  return true;
}

// The non-empty pieces between ";".
std::vector<std::u16string> tokensOf(const std::u16string& line) {
  std::vector<std::u16string> tokens;
  size_t start = 0;
  for (size_t at = 0; at <= line.size(); ++at) {
    if (at < line.size() && line[at] != u';') continue;
    if (at > start) tokens.push_back(line.substr(start, at - start));
    start = at + 1;
  }
  return tokens;
}

// A file's tokens, none when it is absent or has no line.
std::vector<std::u16string> fileTokens(const Bytes* file) {
  std::u16string line;
  if (file == nullptr || !modelLine(*file, &line)) return {};
  return tokensOf(line);
}

bool named(const std::u16string& text,
           const std::vector<std::u16string>& tokens) {
  for (const std::u16string& t : tokens)
    if (textEqualsIgnoreCase(text.c_str(), t.c_str())) return true;
  return false;
}

void checkDirectRead(const Bytes& file) {
  fake::setFile(kMainFile, file);
  plat::HANDLE handle = plat::CreateFileW(
      kMainFile.c_str(), plat::GENERIC_READ, plat::FILE_SHARE_READ, nullptr,
      plat::OPEN_EXISTING, plat::FILE_ATTRIBUTE_NORMAL, nullptr);
  char16_t line[kSelectionLineUnits];
  for (char16_t& u : line) u = kUntouched;
  const bool read = readSelectionLine(handle, line);
  plat::CloseHandle(handle);
  std::u16string expected;
  if (read != modelLine(file, &expected))
    broken(read ? "a line read where none is complete"
                : "a complete line not read");
  if (!read) {
    for (char16_t u : line)
      if (u != kUntouched) broken("a failed read changed the line");
    return;
  }
  const size_t length = textLength(line, kSelectionLineUnits);
  if (length == kSelectionLineUnits) broken("a line without a terminator");
  if (std::u16string(line, length) != expected)
    broken("the line is not the file's first line");
}

// Fixed rows: cut and long texts, ";", and units the code page lacks.
const char16_t* const kFixedCategories[] = {
    u"Family", u"WORK", u" ", u"", u"a;b", u"Caf\u00e9 \u20ac", u"\u0416",
    u"\U0001F33B", u"030 2222"};
const char16_t* const kFixedNumbers[] = {
    u"+49 170 1111", u"030 2222", u"", u"\u0416 44444", u"? 44444",
    u"0049;3333",    u"+49 170 1111"};

struct Tables {
  std::vector<std::u16string> categories;
  std::vector<std::u16string> numbers;
};

Tables makeRows(const std::vector<std::u16string>& mainTokens,
                const std::vector<std::u16string>& secondTokens,
                uint64_t& random) {
  Tables t;
  for (const char16_t* c : kFixedCategories) t.categories.push_back(c);
  for (const char16_t* n : kFixedNumbers) t.numbers.push_back(n);
  t.categories.push_back(std::u16string(kNameChars, u'c'));
  t.numbers.push_back(std::u16string(kNumberChars, u'9'));
  for (const auto* tokens : {&mainTokens, &secondTokens}) {
    for (size_t i = 0; i < tokens->size() && i < 6; ++i) {
      const std::u16string& token = (*tokens)[i];
      if (i % 2 == 0) t.categories.push_back(token.substr(0, kNameChars));
      t.numbers.push_back(token.substr(0, kNumberChars));
    }
  }
  // Now and then long numbers enough to carry a written line past 999
  // characters; every byte of a line costs a read.
  const uint64_t many = nextRandom(random) % 8 == 0 ? 36 : 0;
  for (uint64_t n = many + nextRandom(random) % 4; n > 0; --n) {
    std::u16string number = u"+";
    for (uint64_t d = 40 + nextRandom(random) % 26; d > 0; --d)
      number.push_back(static_cast<char16_t>(u'0' + nextRandom(random) % 10));
    t.numbers.push_back(number);
  }
  return t;
}

int32_t randomFlag(uint64_t& random) {
  static const int32_t flags[] = {0, 0, 0, 1, 1, -1, 2};
  return flags[nextRandom(random) % (sizeof flags / sizeof flags[0])];
}

// The tables from the rows, with random flags, and a row past each count
// that the first token names.
void fillTables(const Tables& t, uint64_t& random, const std::u16string& bait) {
  resetTables();
  for (const std::u16string& name : t.categories) {
    CategoryEntry& row = categoryTable.rows[++categoryTable.count];
    copyText(row.name, name.c_str());
    row.selectedMain = randomFlag(random);
    row.selectedSecond = randomFlag(random);
  }
  for (const std::u16string& number : t.numbers) {
    NumberEntry& row = numberTable.rows[++numberTable.count];
    copyText(row.number, number.c_str());
    row.selectedMain = randomFlag(random);
    row.selectedSecond = randomFlag(random);
  }
  copyText(categoryTable.rows[categoryTable.count + 1].name,
           bait.substr(0, kNameChars).c_str());
  copyText(numberTable.rows[numberTable.count + 1].number,
           bait.substr(0, kNumberChars).c_str());
}

// One row of either table; `past` is the row just past its table's count,
// which no token may tick.
struct Row {
  bool category;
  int32_t k;
  bool past;
  const char16_t* text() const {
    return category ? categoryTable.rows[k].name : numberTable.rows[k].number;
  }
  int32_t& flag(ReplyKind kind) const {
    if (category)
      return kind == ReplyKind::main ? categoryTable.rows[k].selectedMain
                                     : categoryTable.rows[k].selectedSecond;
    return kind == ReplyKind::main ? numberTable.rows[k].selectedMain
                                   : numberTable.rows[k].selectedSecond;
  }
};

// Categories first, then numbers: the order a file is written in.
std::vector<Row> allRows() {
  std::vector<Row> rows;
  for (int32_t k = 1; k <= categoryTable.count + 1; ++k)
    rows.push_back({true, k, k > categoryTable.count});
  for (int32_t k = 1; k <= numberTable.count + 1; ++k)
    rows.push_back({false, k, k > numberTable.count});
  return rows;
}

struct Flags {
  std::vector<int32_t> main;
  std::vector<int32_t> second;
  const std::vector<int32_t>& of(ReplyKind kind) const {
    return kind == ReplyKind::main ? main : second;
  }
};

Flags flagsNow() {
  Flags f;
  for (const Row& row : allRows()) {
    f.main.push_back(row.flag(ReplyKind::main));
    f.second.push_back(row.flag(ReplyKind::second));
  }
  return f;
}

// After applySelectionFiles: a row named by a token of its kind's file has
// the flag 1, every other row keeps its flag.
void checkTicks(const Flags& before, const std::vector<std::u16string>& main,
                const std::vector<std::u16string>& second) {
  const std::vector<Row> rows = allRows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const int where = static_cast<int>(i) + 1;
    for (ReplyKind kind : {ReplyKind::main, ReplyKind::second}) {
      const int32_t was = before.of(kind)[i];
      const int32_t now = rows[i].flag(kind);
      const bool isNamed =
          !rows[i].past &&
          named(rows[i].text(), kind == ReplyKind::main ? main : second);
      if (was != 0 && now == 0) broken("a flag was cleared", where);
      if (now != (isNamed ? 1 : was))
        broken(kind == ReplyKind::main
                   ? "a main flag does not follow the main file"
                   : "a second flag does not follow the second file",
               where);
    }
  }
}

// writeSelectionFile's format: the ticked category names, then the ticked
// numbers, each in the code page and followed by ";", then CR LF.
Bytes expectedFile(const Flags& ticks, ReplyKind kind) {
  const std::vector<Row> rows = allRows();
  Bytes file;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (ticks.of(kind)[i] == 0 || rows[i].past) continue;
    const Bytes item = toBytes(rows[i].text());
    file.insert(file.end(), item.begin(), item.end());
    file.push_back(';');
  }
  file.push_back('\r');
  file.push_back('\n');
  return file;
}

bool survivesCodePage(const std::u16string& text) {
  return toText(toBytes(text)) == text;
}

// The weaker promise on its own: a ticked row comes back when its text is
// not empty, holds no ";", survives the code page and ends within the first
// 999 characters of the line (row texts hold no CR).
void checkComesBack(const Flags& ticks, ReplyKind kind) {
  const std::vector<Row> rows = allRows();
  size_t offset = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (ticks.of(kind)[i] == 0 || rows[i].past) continue;
    const std::u16string text = rows[i].text();
    if (!text.empty() && text.find(u';') == std::u16string::npos &&
        offset + text.size() <= kLineChars && survivesCodePage(text) &&
        rows[i].flag(kind) == 0)
      broken("a ticked row did not come back", static_cast<int>(i) + 1);
    offset += text.size() + 1;
  }
}

void checkFilesAlone(size_t expectedCount) {
  if (fake::openFiles() != 0) broken("a file left open");
  if (fake::filePaths().size() != expectedCount)
    broken("a file was left beside the selection files");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fake::reset();
  const Bytes mainFile(data, data + size);
  Bytes secondFile;
  bool hasSecond = false;
  for (size_t i = 0; i + 1 < size && !hasSecond; ++i) {
    if (data[i] != '\r') continue;
    secondFile.assign(data + i + 2, data + size);
    hasSecond = true;
  }
  if (hasSecond) fake::setFile(kSecondFile, secondFile);
  const size_t files = hasSecond ? 2 : 1;

  checkDirectRead(mainFile);
  checkFilesAlone(files);

  uint64_t random = 0xCBF29CE484222325ull;
  for (size_t i = 0; i < size; ++i) random = (random ^ data[i]) * 0x100000001B3ull;
  const std::vector<std::u16string> mainTokens = fileTokens(&mainFile);
  const std::vector<std::u16string> secondTokens =
      fileTokens(hasSecond ? &secondFile : nullptr);
  const Tables rows = makeRows(mainTokens, secondTokens, random);
  const std::u16string bait = !mainTokens.empty()     ? mainTokens[0]
                              : !secondTokens.empty() ? secondTokens[0]
                                                      : u"bait";
  fillTables(rows, random, bait);

  const Flags before = flagsNow();
  applySelectionFiles();
  checkTicks(before, mainTokens, secondTokens);
  checkFilesAlone(files);
  if (fake::fileBytes(kMainFile) != mainFile ||
      (hasSecond && fake::fileBytes(kSecondFile) != secondFile))
    broken("reading changed a file");

  // Random ticks out and back in over cleared flags.
  fillTables(rows, random, bait);
  const Flags ticks = flagsNow();
  writeSelectionFile(ReplyKind::main);
  writeSelectionFile(ReplyKind::second);
  checkFilesAlone(2);
  const Bytes writtenMain = expectedFile(ticks, ReplyKind::main);
  const Bytes writtenSecond = expectedFile(ticks, ReplyKind::second);
  if (fake::fileBytes(kMainFile) != writtenMain)
    broken("the main file does not hold its ticks");
  if (fake::fileBytes(kSecondFile) != writtenSecond)
    broken("the second file does not hold its ticks");
  for (const Row& row : allRows())
    row.flag(ReplyKind::main) = row.flag(ReplyKind::second) = 0;
  const Flags cleared = flagsNow();
  applySelectionFiles();
  checkTicks(cleared, fileTokens(&writtenMain), fileTokens(&writtenSecond));
  checkComesBack(ticks, ReplyKind::main);
  checkComesBack(ticks, ReplyKind::second);
  checkFilesAlone(2);

  // Inputs stay under 8000 bytes, so now and then the line is stretched
  // past the reader's raw buffer.
  if (nextRandom(random) % 32 == 0) {
    const uint8_t filler = static_cast<uint8_t>(nextRandom(random));
    Bytes stretched(kStretch + nextRandom(random) % 200,
                    filler != '\r' ? filler : 'y');
    stretched.insert(stretched.end(), mainFile.begin(), mainFile.end());
    checkDirectRead(stretched);
    checkFilesAlone(2);
  }
  return 0;
}
