#include "tests/unit/replay.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/settings.h"
#include "engine/tables.h"
#include "engine/tracker.h"
#include "platform/fake/device.h"
#include "platform/timer.h"

namespace {

intptr_t mainWindowProc(plat::HWND, uint32_t message, uintptr_t wParam,
                        intptr_t) {
  if (message == plat::WM_TIMER && wParam == IDT_REPLY) onReplyTimer();
  return 0;
}

std::u16string unitsOf(const uint8_t* bytes, uint32_t size) {
  std::u16string text;
  for (uint32_t i = 0; i + 1 < size; i += 2)
    text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  return text;
}

// Enough for test messages: numbers and texts here are mostly ASCII.
std::string narrow(const std::u16string& text) {
  std::string out;
  for (char16_t u : text) out += u < 0x80 ? static_cast<char>(u) : '?';
  return out;
}

}  // namespace

void PrintTo(const SentMessage& m, std::ostream* os) {
  *os << "{" << m.at << " ms, to \"" << narrow(m.destination) << "\": \""
      << narrow(m.text) << "\"}";
}

void freshEngine() {
  fake::reset();
  resetCallState();
  resetReplySettings();
  resetTables();
  mainWindow = fake::createWindow(mainWindowProc);
}

std::vector<CallStep> loadFixture(const std::string& name) {
  std::ifstream in(std::string(FIXTURE_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::vector<CallStep> steps;
  std::string error;
  EXPECT_TRUE(in.good() || in.eof()) << "cannot read fixture " << name;
  EXPECT_TRUE(parseCallScript(text.str(), &steps, &error)) << name << ": "
                                                           << error;
  EXPECT_FALSE(steps.empty()) << name;
  return steps;
}

void sendNotification(const CallStep& step) {
  onNotify(step.code, step.payload.empty() ? nullptr : step.payload.data(),
           static_cast<uint32_t>(step.payload.size()), kRadioCallbackParam);
}

void replay(const std::vector<CallStep>& steps, uint64_t tailMs) {
  for (const CallStep& step : steps) {
    fake::advanceClock(step.delayMs);
    sendNotification(step);
  }
  fake::advanceClock(tailMs);
}

std::vector<SentMessage> sentMessages() {
  std::vector<SentMessage> sent;
  for (size_t i = 0; const fake::Call* c = fake::findCall(
                         fake::Op::SmsSendMessage, i);
       ++i)
    sent.push_back({c->time, c->text, unitsOf(c->data, c->dataSize)});
  return sent;
}
