// How the contact import and the selection files grow with the phone book:
// the import of 100, 300 and 1000 rows with both selection files present
// (the import ends by applying them), the same import with no files, one
// pass of applySelectionFiles alone, and writeSelectionFile with every row
// ticked. All on the in-memory device, whose per-call bookkeeping is part of
// every figure.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/tables.h"
#include "engine/tracker.h"
#include "platform/fake/contacts.h"
#include "platform/fake/device.h"
#include "platform/fake/files.h"
#include "store/contact_import.h"
#include "store/selection_files.h"

namespace {

const std::u16string kMainFile = u"\\Windows\\cdbase.txt";
const std::u16string kSecondFile = u"\\Windows\\cdbase2.txt";
constexpr int kSizes[] = {100, 300, 1000};
constexpr size_t kFileTokens = 1000;  // numbers in each selection file

const char* const kCategories[] = {
    "Family",  "Friends",  "Work",     "Golf club", "Neighbours",
    "School",  "Doctors",  "Football", "Choir",     "Suppliers",
    "Clients", "Holiday",  "Book club", "Gym",      "Church",
    "Band",    "Old work", "Cousins",  "Landlord",  "Emergency"};
constexpr size_t kCategoryCount = sizeof kCategories / sizeof kCategories[0];

std::u16string wide(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

// Contacts with two or three numbers each, `rows` numbers in all, and one
// to three categories written as people and exporters do ("A, B", "a,B").
std::vector<fake::FakeContact> phoneBook(int rows) {
  uint32_t seed = 4711;
  auto next = [&seed](uint32_t below) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % below;
  };
  auto digits = [&next](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>('0' + next(10));
    return s;
  };
  const int numberFields[] = {fake::homeNumber, fake::mobileNumber,
                              fake::businessNumber};
  std::vector<fake::FakeContact> book;
  for (int made = 0, i = 0; made < rows; ++i) {
    fake::FakeContact c;
    c.fields[fake::firstName] = wide("First" + std::to_string(i));
    c.fields[fake::lastName] = wide("Last" + std::to_string(i));
    const int numbers = std::min(2 + i % 2, rows - made);
    for (int n = 0; n < numbers; ++n)
      c.fields[numberFields[n]] =
          wide("+49 1" + digits(2) + " " + digits(7 + next(2)));
    made += numbers;
    // The first contacts bring every category once.
    std::string list =
        i < static_cast<int>(kCategoryCount) ? kCategories[i] : "";
    for (uint32_t n = list.empty() ? 1 + next(3) : next(3); n > 0; --n) {
      std::string name = kCategories[next(kCategoryCount)];
      if (next(7) == 0) name = lower(name);
      list += list.empty() ? name : (next(2) ? ", " : ",") + name;
    }
    c.fields[fake::categories] = wide(list);
    book.push_back(c);
  }
  return book;
}

std::vector<std::string> bookNumbers(const std::vector<fake::FakeContact>& book) {
  std::vector<std::string> numbers;
  for (const fake::FakeContact& c : book)
    for (int f = fake::homeNumber; f <= fake::carNumber; ++f)
      if (!c.fields[f].empty())
        numbers.emplace_back(c.fields[f].begin(), c.fields[f].end());
  return numbers;
}

struct SelectionFiles {
  std::vector<uint8_t> main;
  std::vector<uint8_t> second;
  size_t tokensInLine;  // tokens within the 999 characters a line keeps
};

// Both files as the program writes them: a few categories, then the
// numbers of the full 1000-row book (main in order, second reversed), so a
// smaller book finds only some of them.
SelectionFiles selectionFiles() {
  std::vector<std::string> numbers = bookNumbers(phoneBook(1000));
  numbers.resize(kFileTokens);
  auto line = [](const std::vector<std::string>& categories,
                 const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& c : categories) text += c + ";";
    for (const std::string& n : items) text += n + ";";
    return text;
  };
  const std::string main = line({"Family", "Work", "golf club"}, numbers);
  const std::vector<std::string> reversed(numbers.rbegin(), numbers.rend());
  const std::string second = line({"Friends", "Emergency"}, reversed);
  size_t tokens = 0;
  for (size_t i = 0; i < main.size() && i < kSelectionLineUnits - 1; ++i)
    if (main[i] == ';') ++tokens;
  auto bytes = [](const std::string& text) {
    std::vector<uint8_t> b(text.begin(), text.end());
    b.push_back('\r');
    b.push_back('\n');
    return b;
  };
  return {bytes(main), bytes(second), tokens};
}

void freshDevice(int rows, bool withFiles) {
  static const SelectionFiles files = selectionFiles();
  fake::reset();
  resetTables();
  resetContactImport();
  mainWindow = nullptr;
  fake::setContacts(phoneBook(rows));
  if (withFiles) {
    fake::setFile(kMainFile, files.main);
    fake::setFile(kSecondFile, files.second);
  }
}

int32_t ticked() {
  return countSelected(ReplyKind::main) + countSelected(ReplyKind::second);
}

void checkImport(benchmark::State& state, int rows, bool withFiles) {
  if (numberTable.count != rows) state.SkipWithError("wrong row count");
  if (categoryTable.count != static_cast<int32_t>(kCategoryCount))
    state.SkipWithError("categories not collected");
  if (withFiles != (ticked() > 0)) state.SkipWithError("ticks not as expected");
  if (fake::liveStoreObjects() != 0 || fake::liveStoreTexts() != 0)
    state.SkipWithError("the import leaked store objects");
}

// Each iteration starts with an empty call log, so none runs into its
// limit, past which the device stops recording.
template <typename Body>
void iterate(benchmark::State& state, Body body) {
  for (auto _ : state) {
    state.PauseTiming();
    fake::clearCalls();
    state.ResumeTiming();
    body();
  }
}

void BM_Import(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  freshDevice(rows, true);
  iterate(state, [] { benchmark::DoNotOptimize(importContacts(nullptr)); });
  checkImport(state, rows, true);
}

void BM_ImportWithoutFiles(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  freshDevice(rows, false);
  iterate(state, [] { benchmark::DoNotOptimize(importContacts(nullptr)); });
  checkImport(state, rows, false);
}

void BM_ApplySelectionFiles(benchmark::State& state) {
  freshDevice(static_cast<int>(state.range(0)), true);
  importContacts(nullptr);
  iterate(state, [] { applySelectionFiles(); });
  if (ticked() == 0) state.SkipWithError("nothing ticked");
}

void BM_WriteSelectionFile(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  freshDevice(rows, false);
  importContacts(nullptr);
  for (int32_t k = 1; k <= numberTable.count; ++k)
    numberTable.rows[k].selectedMain = 1;
  for (int32_t k = 1; k <= categoryTable.count; ++k)
    categoryTable.rows[k].selectedMain = 1;
  iterate(state, [] { writeSelectionFile(ReplyKind::main); });
  // Every ticked item, each with its ";", and the line end.
  size_t expected = 2;
  for (int32_t k = 1; k <= numberTable.count; ++k)
    expected += std::u16string(numberTable.rows[k].number).size() + 1;
  for (int32_t k = 1; k <= categoryTable.count; ++k)
    expected += std::u16string(categoryTable.rows[k].name).size() + 1;
  if (fake::fileBytes(kMainFile).size() != expected)
    state.SkipWithError("the file does not hold every tick");
}

void sizes(benchmark::internal::Benchmark* b) {
  for (int rows : kSizes) b->Arg(rows);
  b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Import)->Apply(sizes);
BENCHMARK(BM_ImportWithoutFiles)->Apply(sizes);
BENCHMARK(BM_ApplySelectionFiles)->Apply(sizes);
BENCHMARK(BM_WriteSelectionFile)->Apply(sizes);

// Keeps each run's time per iteration, by name and size.
class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.error_occurred)
        ++failed;
      else if (run.run_type == Run::RT_Iteration)
        times[run.run_name.function_name + "/" + run.run_name.args] =
            run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
  int failed = 0;
};

// One line of times and one of ratios; false when a size did not run.
bool printGrowth(const Reporter& r, const char* function, const char* what) {
  double us[3] = {};
  for (int i = 0; i < 3; ++i) {
    const auto it =
        r.times.find(std::string(function) + "/" + std::to_string(kSizes[i]));
    if (it == r.times.end() || it->second <= 0) return false;
    us[i] = it->second;
  }
  std::printf("%s: 100 rows %.0f us, 300 rows %.0f us, 1000 rows %.0f us\n",
              what, us[0], us[1], us[2]);
  std::printf("  ratios 300/100 %.2f, 1000/100 %.2f\n", us[1] / us[0],
              us[2] / us[0]);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const SelectionFiles files = selectionFiles();
  std::printf(
      "phone book: 2 or 3 numbers a contact, 1 to 3 of %zu categories; "
      "selection files: %zu numbers and a few categories each (%zu and %zu "
      "bytes), %zu tokens within the 999 characters a line keeps\n",
      kCategoryCount, kFileTokens, files.main.size(), files.second.size(),
      files.tokensInLine);
  bool all = true;
  all &= printGrowth(reporter, "BM_Import", "import with both selection files");
  all &= printGrowth(reporter, "BM_ImportWithoutFiles",
                     "import without selection files");
  all &= printGrowth(reporter, "BM_ApplySelectionFiles", "applySelectionFiles");
  all &= printGrowth(reporter, "BM_WriteSelectionFile",
                     "writeSelectionFile, every row and category ticked");
  if (!all) std::printf("some sizes did not run\n");
  // A run whose result was wrong measured something else.
  if (reporter.failed != 0)
    std::printf("%d runs did not do what they measure\n", reporter.failed);
  return reporter.failed == 0 ? 0 : 1;
}
