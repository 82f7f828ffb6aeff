// Keeps the ticks of each reply's numbers and categories in a one-line file
// of the ANSI code page: ticked category names, then ticked numbers, each
// followed by ";", then CR LF.
#pragma once

#include "engine/tables.h"
#include "platform/types.h"

constexpr int kSelectionLineUnits = 1000;  // 999 characters and terminator

// The file of one reply.
const char16_t* selectionFilePath(ReplyKind kind);

// Replaces the kind's file with its current ticks. The new content goes to a
// file beside it first and replaces the old one only once complete, so a
// failure at any step leaves the old file as it was. Reports nothing.
void writeSelectionFile(ReplyKind kind);

// Sets the flags named by both files; never clears one.
void applySelectionFiles();

// Reads the first non-empty line of an open file, one byte at a time, into
// `line` (converted from the ANSI code page, at most 999 characters). False,
// with `line` untouched, when no complete line (ended by CR and one more
// byte) can be read.
bool readSelectionLine(plat::HANDLE file, char16_t (&line)[kSelectionLineUnits]);
