// Reads a dialog template resource (DLGTEMPLATE or DLGTEMPLATEEX with its
// items) into plain fields, so that a test can compare every byte that the
// resource compiler wrote against what the screen needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dialog_template {

// A menu, class or title field: absent (0x0000), an ordinal (0xFFFF, n) or
// a string.
struct NameOrOrdinal {
  bool isOrdinal = false;
  uint16_t ordinal = 0;
  std::wstring text;
};

struct Item {
  uint32_t helpId = 0;  // extended templates only
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint32_t id = 0;
  NameOrOrdinal windowClass;
  NameOrOrdinal title;
  std::vector<uint8_t> creationData;
};

struct Dialog {
  bool extended = false;
  uint32_t helpId = 0;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrdinal menu;
  NameOrOrdinal windowClass;
  NameOrOrdinal title;
  bool hasFont = false;  // DS_SETFONT or DS_SHELLFONT
  uint16_t pointSize = 0;
  uint16_t weight = 0;  // extended templates only
  uint8_t italic = 0;
  uint8_t charset = 0;
  std::wstring typeface;
  std::vector<Item> items;
};

// False, with the reason, when the bytes end early or do not make a
// template.
bool parse(const void* bytes, size_t size, Dialog* dialog, std::string* error);

// The predefined class atom of an item: the ordinal, or the atom of a known
// class name written as a string ("BUTTON" is 0x80); 0 for other classes.
uint16_t classAtom(const NameOrOrdinal& windowClass);

}  // namespace dialog_template
