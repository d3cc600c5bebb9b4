#pragma once
// Code strings: the plain texts that list the choices of combo boxes, radio and check
// groups, grid cells and pop-up menus, and the conversions between their codes, names,
// indexes, bit masks and rendered radio and check texts.
//
// A list holds one entry per line: lines end at a line feed, a carriage return right
// before it is dropped, and a last line without line feed is an entry too (a line feed
// at the very end opens no further entry). An entry is a name, or a code, ';' and a
// name: the first ';' of the line separates them. In the extended reading an entry that
// begins with ';' has the explicit empty code kComboEmptyCode.
//
// Buffers. A code buffer holds kComboCodeSize units: codes are cut at
// kComboCodeSize - 1 units, names at size - 1, and no cut splits a surrogate pair. Every
// function that writes a name or a text terminates it (nothing is written when the
// buffer is null or size is 0). Functions that look an entry up return its index, or -1
// when there is none, and then write an empty text.
//
// Check masks: bit i stands for entry i; entries from kComboMaskEntries on are never set
// or read.

#include <cstdint>

#include "pagekit/pagekit_export.h"

// Units of a code buffer, terminator included.
constexpr unsigned kComboCodeSize = 64;
// The code of an entry that begins with ';' in the extended reading.
constexpr char16_t kComboEmptyCode = 0x0001;
// The value GetComboBox stores for the explicit empty code.
constexpr uint32_t kComboEmptyValue = 0x8F3FF3F1;
// Entries a check mask covers.
constexpr unsigned kComboMaskEntries = 64;

// The markers of the rendered forms: the chosen or set entry, then the others.
inline constexpr char16_t kRadioOnMark[] = u" \u25CF ";   // " ● "
inline constexpr char16_t kRadioOffMark[] = u" \u25CB ";  // " ○ "
inline constexpr char16_t kCheckOnMark[] = u" \u25A0 ";   // " ■ "
inline constexpr char16_t kCheckOffMark[] = u" \u25A1 ";  // " □ "
inline constexpr char16_t kCheckTickMark[] = u" \u221A "; // " √ "
constexpr unsigned kComboMarkLength = 3;

// Forms of SetCheckBox.
enum : uint32_t {
    kCheckFormNames = 0,  // names of the set entries joined by ';'
    kCheckFormSquare = 1, // " ■ " / " □ " before every line
    kCheckFormTick = 2,   // " √ " / " □ " before every line
};

// Reads the entry at list into code (kComboCodeSize units; may be null) and name (size
// units; may be null). Returns where the next entry begins (possibly the terminator), or
// null, with empty texts, when list is null or at its end.
PAGEKIT_EXPORT const char16_t *GetNextCombo(const char16_t *list, char16_t *code, char16_t *name,
                                            unsigned size);
// The same in the extended reading: an entry that begins with ';' gets kComboEmptyCode.
PAGEKIT_EXPORT const char16_t *GetNextComboEx(const char16_t *list, char16_t *code, char16_t *name,
                                              unsigned size);

// The entry named name (extended reading). *value takes its code as an integer, its index
// when it has no code, kComboEmptyValue for the explicit empty code, 0 when not found.
PAGEKIT_EXPORT int GetComboBox(uint32_t *value, const char16_t *list, const char16_t *name);
// The entry whose code reads as value (extended reading; an entry without code matches
// its own index, the explicit empty code never matches); its name into name.
PAGEKIT_EXPORT int SetComboBox(uint32_t value, const char16_t *list, char16_t *name, unsigned size);
// The entry named name; its code into code (kComboCodeSize units).
PAGEKIT_EXPORT int GetComboCode(char16_t *code, const char16_t *list, const char16_t *name);
// The entry whose code (as read, cut) equals code; its name into name. An entry without
// ';' has no code and matches none; "" matches an entry that begins with ';'.
PAGEKIT_EXPORT int SetComboCode(const char16_t *code, const char16_t *list, char16_t *name,
                                unsigned size);
// The entry named name; its name copied into out.
PAGEKIT_EXPORT int SetComboName(const char16_t *name, const char16_t *list, char16_t *out,
                                unsigned size);
// The first entry whose name matches pattern (LikeCompare, ASCII case ignored); its name
// into out.
PAGEKIT_EXPORT int MatchComboName(const char16_t *pattern, const char16_t *list, char16_t *out,
                                  unsigned size);

// Number of entries (0 for null or an empty list).
PAGEKIT_EXPORT int GetRadioNumber(const char16_t *list);
// Removes the codes and their ';' in place, keeping names and line ends; returns the
// number of entries, which the result reads as too (a last entry left with an empty name
// and no line end gets a line feed in place of its ';'). Only the given buffer changes:
// pass a copy of a list that is kept.
PAGEKIT_EXPORT int GetRadioMapper(char16_t *list);
// Rendered non-zero: the index of the entry text marks " ● " (text as SetRadioBox
// renders it; -1 when none is or the text does not follow the list). Else the index of
// the entry named text.
PAGEKIT_EXPORT int GetRadioBox(uint32_t rendered, const char16_t *list, const char16_t *text);
// Rendered non-zero: every line with its marker, " ● " for entry index; whole entries
// only, stopping before one would not fit. Else the name of entry index (-1 when there
// is none). Returns the length written.
PAGEKIT_EXPORT int SetRadioBox(int index, uint32_t rendered, const char16_t *list, char16_t *out,
                               unsigned size);
// Rendered non-zero: reads " ■ " or " √ " (set) and " □ " (unset) entry by entry; returns
// 0 at an entry without marker (the bits read so far kept). Else sets the bit of every
// entry whose name is among the ';'-separated names of text. *bits is cleared first.
// Returns 1 (0 as said, or for null arguments).
PAGEKIT_EXPORT int GetCheckBox(uint64_t *bits, uint32_t rendered, const char16_t *list,
                               const char16_t *text);
// kCheckForm* (any other non-zero form renders as kCheckFormSquare); whole entries only,
// stopping before one would not fit. Returns the length written.
PAGEKIT_EXPORT int SetCheckBox(uint64_t bits, uint32_t form, const char16_t *list, char16_t *out,
                               unsigned size);
