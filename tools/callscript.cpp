#include "tools/callscript.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "tools/utf8.h"

namespace {

constexpr uint32_t kCallerIdCode = 0x00080001u;
constexpr uint32_t kNumberOffset = 24;
constexpr uint32_t kMaxPayload = 65536;

// The caller's number is the rest of the line: numbers may hold blanks.
std::string restOfLine(std::istringstream& words) {
  std::string rest;
  std::getline(words >> std::ws, rest);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
    rest.pop_back();
  return rest;
}

bool parseNumber(const std::string& word, uint32_t* value) {
  if (word.empty() || word[0] == '-') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(word.c_str(), &end, 0);
  if (errno != 0 || *end != 0 || v > 0xFFFFFFFFull) return false;
  *value = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

std::vector<uint8_t> makeCallerRecord(const std::string& number,
                                      uint32_t size) {
  std::vector<uint8_t> record(size, 0);
  for (uint32_t i = 0; i < 4 && i < size; ++i)
    record[i] = static_cast<uint8_t>(size >> (8 * i));
  uint32_t at = kNumberOffset;
  for (char16_t unit : utf16FromUtf8(number)) {
    if (at + 1 >= size) break;
    record[at] = static_cast<uint8_t>(unit & 0xFF);
    record[at + 1] = static_cast<uint8_t>(unit >> 8);
    at += 2;
  }
  return record;
}

bool parseCallScript(const std::string& text, std::vector<CallStep>* steps,
                     std::string* error) {
  std::istringstream lines(text);
  std::string line;
  for (int lineNo = 1; std::getline(lines, line); ++lineNo) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string delay, kind;
    if (!(words >> delay) || delay[0] == '#') continue;
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    CallStep step{0, 0, {}, lineNo};
    if (!parseNumber(delay, &step.delayMs)) {
      *error = where + "the delay \"" + delay + "\" is not a number of ms";
      return false;
    }
    words >> kind;
    std::string number;
    if (kind == "callerid") {
      number = restOfLine(words);
      if (number.empty()) {
        *error = where + "callerid needs a number";
        return false;
      }
      step.code = kCallerIdCode;
      step.payload = makeCallerRecord(number);
    } else if (kind == "ring") {
      step.code = kRingCode;
      step.payload.assign(32, 0);
    } else if (kind == "connect") {
      step.code = kConnectCode;
      step.payload.assign(16, 0);
    } else if (kind == "end") {
      step.code = kCallEndCode;
    } else if (kind == "notify") {
      std::string code, size;
      uint32_t bytes = 0;
      if (!(words >> code >> size) || !parseNumber(code, &step.code) ||
          !parseNumber(size, &bytes) || bytes > kMaxPayload) {
        *error = where + "notify needs a code and a payload size of at most " +
                 std::to_string(kMaxPayload) + " bytes";
        return false;
      }
      step.payload = makeCallerRecord(restOfLine(words), bytes);
    } else {
      *error = where + "unknown step \"" + kind + "\"";
      return false;
    }
    std::string extra;
    if (words >> extra) {
      *error = where + "unexpected \"" + extra + "\"";
      return false;
    }
    steps->push_back(std::move(step));
  }
  return true;
}
