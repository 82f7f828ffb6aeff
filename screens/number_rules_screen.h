// The number rules screens: one reply's number rule, and the numbers and
// categories it refers to, ticked in two lists. One behaviour serves both
// replies; the variant record holds every point in which they differ.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/settings.h"
#include "engine/tables.h"
#include "platform/dialogs.h"
#include "platform/window.h"
#include "resources/resource_ids.h"

// Sent by the screen to itself when a list reports a changed row; lParam
// is the list's notification record.
constexpr uint32_t WM_NUMBERTICKED = plat::WM_USER + 6;
constexpr uint32_t WM_CATEGORYTICKED = plat::WM_USER + 7;

constexpr size_t kDisplayNameUnits = 128 + 1 + 128 + 1;

struct ModeButton {
  int32_t id;
  int32_t mode;
};

struct NumberRulesScreen {
  ReplyKind kind;
  uint16_t templateId;
  int32_t ReplySettings::*mode;
  int32_t NumberEntry::*numberFlag;
  int32_t CategoryEntry::*categoryFlag;
  // In the order a mode change asks them.
  ModeButton buttons[4];
  size_t buttonCount;
  // Radio 1007's caption while the lists take part in the rule.
  const char16_t* onlySelectedInUse;
  plat::DLGPROC proc;
};

const NumberRulesScreen& numberRulesScreen(ReplyKind kind);

// Opens the screen of `kind` over `owner`; returns when "Save and back"
// has ended it.
intptr_t runNumberRulesScreen(ReplyKind kind, plat::HWND owner);

// Whether the ticked numbers and categories take part in the kind's rule
// under its current mode.
bool listsInUse(ReplyKind kind);

// The name column of a number row: last name, a space, first name.
void displayName(const NumberEntry& entry, char16_t (&out)[kDisplayNameUnits]);

// The flags of every number from the ticked categories of `kind`: a number
// is ticked when a ticked category's name occurs in its categories text.
void deriveNumberTicks(ReplyKind kind);

intptr_t mainRulesScreenProc(plat::HWND screen, uint32_t message,
                             plat::WPARAM wParam, plat::LPARAM lParam);
intptr_t secondRulesScreenProc(plat::HWND screen, uint32_t message,
                               plat::WPARAM wParam, plat::LPARAM lParam);
