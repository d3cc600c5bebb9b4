#pragma once
// Cell set-up of the grid item (internal to the grid's sources): a cell's value from a
// typed value or from text, and its display text by the column's kind and type.
//
// Every integer cell holds its value narrowed to the column's size and sign-extended, so
// a cell shows what a matter record of it carries. Mask columns of integers or doubles
// hold seconds of the day. A plain text cell's display text is its value text.

#include <cstdint>

#include "pagekit/items/grid_records.h"

// Display text limits: combo names, radio and check names, check names of integer columns.
constexpr unsigned kComboNameMax = 480;
constexpr unsigned kRadioNameMax = 3200;
constexpr unsigned kCheckNameMax = 4800;
// Units SetComboText matches against.
constexpr unsigned kComboMatchMax = 320;
constexpr int64_t kSecondsPerDay = 86400;

// Column kinds as the cell code reads them.
bool IsMaskColumn(const XGB_HEADER &h);
bool IsNumberColumn(const XGB_HEADER &h);
bool IsRadioColumn(const XGB_HEADER &h); // kind 20, mode non-zero
bool IsCheckColumn(const XGB_HEADER &h); // kind 20, mode 0
bool IsTextCodeCombo(const XGB_HEADER &h);
// Graphic kinds 512-1280 other than links: no display text.
bool IsSilentKind(const XGB_HEADER &h);

// v narrowed to size bytes (2, 4 or 8) and sign-extended.
int64_t NarrowInteger(int64_t v, unsigned size);

// Empties the value and the display text (the empty forms of number and mask columns
// shown).
void CellSetNull(const XGB_HEADER &h, XSuberNode *cell);
void CellSetInteger(const XGB_HEADER &h, XSuberNode *cell, int64_t v);
void CellSetDouble(const XGB_HEADER &h, XSuberNode *cell, double v);
void CellSetTime(const XGB_HEADER &h, XSuberNode *cell, const DATETIME_t &t);
// A text value: the first length units of text, copied.
void CellSetTextValue(const XGB_HEADER &h, XSuberNode *cell, const char16_t *text, unsigned length);
// Parses text by the column's type and kind; an empty (or unmatched) text makes it null.
void CellSetFromText(const XGB_HEADER &h, XSuberNode *cell, const char16_t *text);
// The display text from the value again (after a change of kind or mapper).
void CellRebuildText(const XGB_HEADER &h, XSuberNode *cell);
// Frees the display text and the value text.
void CellFree(const XGB_HEADER &h, XSuberNode *cell);
// The value as a double (0 for null cells and texts and date-times).
double CellNumber(const XGB_HEADER &h, const XSuberNode *cell);
// Seconds of the day as a time on 1900-01-01; negatives wrap.
DATETIME_t TimeOfDay(int64_t seconds);

// Copies at most size - 1 units of text into out and terminates (nothing when size is
// 0), never ending between the halves of a surrogate pair. Returns the units copied.
unsigned CopyCut(char16_t *out, const char16_t *text, unsigned size);
// The length of text cut to at most max units without splitting a surrogate pair.
unsigned CutLength(const char16_t *text, unsigned max);
