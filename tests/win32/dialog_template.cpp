#include "tests/win32/dialog_template.h"

#include <cwctype>

namespace dialog_template {
namespace {

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kDsShellFont = 0x48;  // DS_SETFONT | DS_FIXEDSYS

class Reader {
 public:
  Reader(const void* bytes, size_t size)
      : bytes_(static_cast<const uint8_t*>(bytes)), size_(size) {}

  bool ok() const { return ok_; }
  size_t at() const { return at_; }

  uint8_t u8() {
    if (!need(1)) return 0;
    return bytes_[at_++];
  }
  uint16_t u16() {
    if (!need(2)) return 0;
    const uint16_t v =
        static_cast<uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
    at_ += 2;
    return v;
  }
  uint32_t u32() {
    const uint32_t low = u16();
    return low | (static_cast<uint32_t>(u16()) << 16);
  }
  int16_t s16() { return static_cast<int16_t>(u16()); }

  // Items start on a DWORD boundary from the start of the template.
  void alignTo4() {
    const size_t aligned = (at_ + 3) & ~static_cast<size_t>(3);
    if (aligned > size_)
      ok_ = false;
    else
      at_ = aligned;
  }

  std::wstring text() {
    std::wstring out;
    for (;;) {
      const uint16_t unit = u16();
      if (!ok_ || unit == 0) return out;
      out.push_back(static_cast<wchar_t>(unit));
    }
  }

  NameOrOrdinal nameOrOrdinal() {
    NameOrOrdinal out;
    const uint16_t first = u16();
    if (!ok_ || first == 0x0000) return out;
    if (first == 0xFFFF) {
      out.isOrdinal = true;
      out.ordinal = u16();
      return out;
    }
    out.text.push_back(static_cast<wchar_t>(first));
    out.text += text();
    return out;
  }

  std::vector<uint8_t> bytes(size_t n) {
    if (!need(n)) return {};
    std::vector<uint8_t> out(bytes_ + at_, bytes_ + at_ + n);
    at_ += n;
    return out;
  }

 private:
  bool need(size_t n) {
    if (!ok_ || size_ - at_ < n) ok_ = false;
    return ok_;
  }

  const uint8_t* bytes_;
  size_t size_;
  size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace

bool parse(const void* bytes, size_t size, Dialog* dialog, std::string* error) {
  *dialog = Dialog();
  Reader in(bytes, size);
  uint16_t count = 0;
  // DLGTEMPLATEEX starts with dlgVer 1 and signature 0xFFFF.
  dialog->extended = size >= 4 && static_cast<const uint8_t*>(bytes)[0] == 1 &&
                     static_cast<const uint8_t*>(bytes)[1] == 0 &&
                     static_cast<const uint8_t*>(bytes)[2] == 0xFF &&
                     static_cast<const uint8_t*>(bytes)[3] == 0xFF;
  if (dialog->extended) {
    in.u32();
    dialog->helpId = in.u32();
    dialog->exStyle = in.u32();
    dialog->style = in.u32();
  } else {
    dialog->style = in.u32();
    dialog->exStyle = in.u32();
  }
  count = in.u16();
  dialog->x = in.s16();
  dialog->y = in.s16();
  dialog->cx = in.s16();
  dialog->cy = in.s16();
  dialog->menu = in.nameOrOrdinal();
  dialog->windowClass = in.nameOrOrdinal();
  dialog->title = in.nameOrOrdinal();
  dialog->hasFont = (dialog->style & kDsSetFont) != 0 ||
                    (dialog->style & kDsShellFont) == kDsShellFont;
  if (dialog->hasFont) {
    dialog->pointSize = in.u16();
    if (dialog->extended) {
      dialog->weight = in.u16();
      dialog->italic = in.u8();
      dialog->charset = in.u8();
    }
    dialog->typeface = in.text();
  }
  if (!in.ok()) {
    *error = "the template header ends early";
    return false;
  }

  for (uint16_t i = 0; i < count; ++i) {
    Item item;
    in.alignTo4();
    if (dialog->extended) {
      item.helpId = in.u32();
      item.exStyle = in.u32();
      item.style = in.u32();
    } else {
      item.style = in.u32();
      item.exStyle = in.u32();
    }
    item.x = in.s16();
    item.y = in.s16();
    item.cx = in.s16();
    item.cy = in.s16();
    item.id = dialog->extended ? in.u32() : in.u16();
    item.windowClass = in.nameOrOrdinal();
    item.title = in.nameOrOrdinal();
    // A byte count, then that many bytes of creation data.
    item.creationData = in.bytes(in.u16());
    if (!in.ok()) {
      *error = "item " + std::to_string(i) + " ends early";
      return false;
    }
    dialog->items.push_back(item);
  }
  return true;
}

uint16_t classAtom(const NameOrOrdinal& windowClass) {
  if (windowClass.isOrdinal) return windowClass.ordinal;
  static const wchar_t* const kNames[] = {
      L"BUTTON", L"EDIT", L"STATIC", L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};
  std::wstring upper;
  for (wchar_t c : windowClass.text)
    upper.push_back(static_cast<wchar_t>(std::towupper(c)));
  for (uint16_t i = 0; i < 6; ++i)
    if (upper == kNames[i]) return static_cast<uint16_t>(0x80 + i);
  return 0;
}

}  // namespace dialog_template
