// The cost of the worst caller identification (two full scans of a full
// number table, ignoring letter case) next to a plain scan of the same
// numbers, and a check that no reply path touches the heap: the radio
// thread must not allocate while a call comes in.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>

#include "engine/sender.h"
#include "engine/settings.h"
#include "engine/tables.h"
#include "engine/text.h"
#include "engine/tracker.h"
#include "platform/fake/device.h"
#include "platform/thread.h"
#include "platform/timer.h"
#include "tools/callscript.h"

// Every operator new in the process passes here; the paths are measured by
// the difference across them.
namespace {
size_t heapAllocations = 0;

void* allocate(size_t size) {
  ++heapAllocations;
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}

void* allocateAligned(size_t size, std::align_val_t align) {
  ++heapAllocations;
  const size_t a = static_cast<size_t>(align);
  if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(size_t n) { return allocate(n); }
void* operator new[](size_t n) { return allocate(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept {
  ++heapAllocations;
  return std::malloc(n != 0 ? n : 1);
}
void* operator new[](size_t n, const std::nothrow_t& t) noexcept {
  return operator new(n, t);
}
void* operator new(size_t n, std::align_val_t a) { return allocateAligned(n, a); }
void* operator new[](size_t n, std::align_val_t a) {
  return allocateAligned(n, a);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, size_t, std::align_val_t) noexcept {
  std::free(p);
}

namespace {

constexpr char16_t kCaller[] = u"+49 170 1234567";
constexpr size_t kLogBatch = 2048;  // calls between clearing the fake's log

uint8_t callerRecord[plat::RILREMOTEPARTYINFO_SIZE];
uint8_t otherRecord[plat::RILREMOTEPARTYINFO_SIZE];
uint8_t ringInfo[plat::RILRINGINFO_SIZE];
uint8_t connectInfo[plat::RILCONNECTINFO_SIZE];

intptr_t windowProc(plat::HWND, uint32_t message, uintptr_t wParam, intptr_t) {
  if (message == plat::WM_TIMER && wParam == IDT_REPLY) onReplyTimer();
  return 0;
}

void writeRecord(uint8_t (&record)[plat::RILREMOTEPARTYINFO_SIZE],
                 const char16_t* number) {
  std::memset(record, 0, sizeof record);
  uint32_t at = plat::RILREMOTEPARTYINFO_ADDRESS_OFFSET;
  for (; *number != 0; ++number, at += 2) {
    record[at] = static_cast<uint8_t>(*number & 0xFF);
    record[at + 1] = static_cast<uint8_t>(*number >> 8);
  }
}

void put(char16_t (&target)[66], const std::string& ascii) {
  size_t n = 0;
  for (; n < ascii.size() && n + 1 < 66; ++n) target[n] = ascii[n];
  target[n] = 0;
}

// 1000 phone-book numbers in the formats people type, a tenth of them
// sharing all but the last digits with the caller; none equals it.
void fillNumberTable() {
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t below) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % below;
  };
  auto digits = [&next](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>('0' + next(10));
    return s;
  };
  for (int32_t k = 1; k <= kMaxNumberRows; ++k) {
    std::string number;
    switch (next(6)) {
      case 0:  // the caller's prefix, a different or extra last digit
        number = "+49 170 123456" + digits(1 + next(2));
        if (number == "+49 170 1234567") number = "+49 170 1234568";
        break;
      case 1:
        number = "+49 1" + digits(2) + " " + digits(6 + next(3));
        break;
      case 2:
        number = "01" + digits(2) + " " + digits(7);
        break;
      case 3:
        number = "+44 20 " + digits(4) + " " + digits(4);
        break;
      case 4:
        number = "0" + digits(2 + next(3)) + " " + digits(5 + next(4));
        break;
      default:
        number = "+" + digits(1 + next(3)) + digits(6 + next(7));
        break;
    }
    NumberEntry& row = numberTable.rows[k];
    put(row.number, number);
    row.selectedMain = 1;
    row.selectedSecond = 1;
  }
  numberTable.count = kMaxNumberRows;
}

void fillText(char16_t (&text)[kReplyTextCapacity], const char* ascii) {
  size_t n = 0;
  for (; ascii[n] != 0 && n + 1 < kReplyTextCapacity; ++n) text[n] = ascii[n];
  text[n] = 0;
}

// A fresh process with the worst-case table and rules.
void setUp() {
  fake::reset();
  resetCallState();
  resetReplySettings();
  resetTables();
  mainWindow = fake::createWindow(windowProc);
  fillNumberTable();
  replySettings.secondEnabled = 1;
  replySettings.secondMode = secondOnlySelected;
  replySettings.mainMode = mainOnlySelected;
  fillText(replySettings.mainText, "Sorry, I cannot take your call now. I will call you back.");
  fillText(replySettings.secondText, "Driving at the moment, back soon.");
  writeRecord(callerRecord, kCaller);
  writeRecord(otherRecord, u"+49 171 7654321");
}

bool matchesNoRow() {
  for (int32_t k = 1; k <= numberTable.count; ++k)
    if (textEqualsIgnoreCase(numberTable.rows[k].number, kCaller)) return false;
  return true;
}

void notify(uint32_t code, const void* payload, uint32_t size) {
  onNotify(code, payload, size, kRadioCallbackParam);
}

void BM_CallerIdentification(benchmark::State& state) {
  setUp();
  if (!matchesNoRow()) {
    state.SkipWithError("a row matches the caller");
    return;
  }
  size_t batch = 0;
  for (auto _ : state) {
    notify(plat::RIL_NOTIFY_CALLERID, callerRecord, sizeof callerRecord);
    if (++batch == kLogBatch) {
      state.PauseTiming();
      fake::clearCalls();
      batch = 0;
      state.ResumeTiming();
    }
  }
  if (callState.eligible) state.SkipWithError("the caller was found");
  if (fake::droppedCalls() != 0) state.SkipWithError("the call log overflowed");
}

// Exact match, unit by unit: what one pass over the table costs at least.
bool plainScan(const char16_t* number, const NumberTable& table) {
  for (int32_t k = 1; k <= table.count; ++k) {
    const char16_t* a = table.rows[k].number;
    const char16_t* b = number;
    while (*a == *b && *a != 0) ++a, ++b;
    if (*a == *b) return true;
  }
  return false;
}

void BM_PlainScan(benchmark::State& state) {
  setUp();
  const char16_t* number = kCaller;
  for (auto _ : state) {
    benchmark::DoNotOptimize(number);
    benchmark::DoNotOptimize(plainScan(number, numberTable));
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_CallerIdentification)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainScan)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration for the ratios.
class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        times[run.run_name.function_name] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

// The allocations made over `iterations` runs of `body`, and whether it sent
// `replies` messages each time.
struct Count {
  size_t allocations;
  bool repliesAsExpected;
};

template <typename Body>
Count countAllocations(int iterations, size_t replies, Body body) {
  setUp();
  replySettings.mainMode = mainAnyNumber;
  replySettings.secondEnabled = 0;
  bool asExpected = true;
  const size_t before = heapAllocations;
  for (int i = 0; i < iterations; ++i) {
    body();
    asExpected = asExpected &&
                 fake::countCalls(fake::Op::SmsSendMessage) == replies &&
                 fake::droppedCalls() == 0;
    fake::clearCalls();
  }
  return {heapAllocations - before, asExpected};
}

}  // namespace

int main(int argc, char** argv) {
  constexpr int kIterations = 10000;

  // A counter that missed allocations would report every path clean.
  const size_t probe = heapAllocations;
  int* allocated = new int(1);
  benchmark::DoNotOptimize(allocated);
  delete allocated;
  if (heapAllocations == probe) {
    std::printf("operator new is not counted\n");
    return 1;
  }

  // Rings, answer, hang up: nothing is sent.
  const Count notification = countAllocations(kIterations, 0, [] {
    notify(plat::RIL_NOTIFY_CALLERID, callerRecord, sizeof callerRecord);
    notify(kRingCode, ringInfo, sizeof ringInfo);
    notify(kConnectCode, connectInfo, sizeof connectInfo);
    notify(kCallEndCode, nullptr, 0);
  });
  // Enough rings to arm the timer, then its expiry sends.
  const Count timer = countAllocations(kIterations, 1, [] {
    notify(plat::RIL_NOTIFY_CALLERID, callerRecord, sizeof callerRecord);
    for (int r = 0; r <= replySettings.ringsBeforeReply; ++r)
      notify(kRingCode, ringInfo, sizeof ringInfo);
    fake::advanceClock(kReplyDelayMs);
    notify(kCallEndCode, nullptr, 0);
  });
  // A direct send, then a rung call ending unanswered. Two callers take
  // turns, so no call depends on how the last one left the guard.
  bool other = false;
  const Count send = countAllocations(kIterations, 2, [&other] {
    replySettings.replyOnCancel = 1;
    other = !other;
    notify(plat::RIL_NOTIFY_CALLERID, other ? otherRecord : callerRecord,
           sizeof callerRecord);
    plat::EnterCallLock();
    sendReply();
    plat::LeaveCallLock();
    notify(kConnectCode, connectInfo, sizeof connectInfo);
    notify(kRingCode, ringInfo, sizeof ringInfo);
    notify(kCallEndCode, nullptr, 0);
  });

  benchmark::Initialize(&argc, argv);
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const double notifyUs = reporter.times["BM_CallerIdentification"];
  const double scanUs = reporter.times["BM_PlainScan"];
  if (notifyUs > 0 && scanUs > 0) {
    std::printf("caller identification, 1000 rows, two scans: %.2f us\n",
                notifyUs);
    std::printf("plain scan of the same 1000 numbers: %.2f us\n", scanUs);
    std::printf("ratio to one plain scan: %.2f\n", notifyUs / scanUs);
    std::printf("ratio to two plain scans (the cost of ignoring case): %.2f\n",
                notifyUs / (2 * scanUs));
  }
  std::printf("heap allocations: notification %zu, timer %zu, send %zu\n",
              notification.allocations, timer.allocations, send.allocations);

  bool ok = notification.allocations == 0 && timer.allocations == 0 &&
            send.allocations == 0;
  const struct {
    const char* name;
    const Count& count;
  } paths[] = {{"notification", notification}, {"timer", timer}, {"send", send}};
  for (const auto& path : paths) {
    if (path.count.repliesAsExpected) continue;
    std::printf("the %s path did not send the replies it should\n", path.name);
    ok = false;
  }
  return ok ? 0 : 1;
}
