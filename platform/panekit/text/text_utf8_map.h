#pragma once
// The one place where the painter's UTF-16 positions and Pango's UTF-8 byte indexes meet.
// Internal to the text engine.
//
// A text is converted unit by unit: a surrogate pair becomes one four-byte character, a
// lone surrogate and a zero unit become U+FFFD (Pango takes only valid UTF-8 without
// zeros). Every other unit keeps its own character, so each UTF-16 position has exactly
// one byte index and each character start one position.

#include <cstdint>
#include <vector>

class XTextUtf8Map
{
public:
    // Converts text[0, len). len < 0 is taken as 0; text null as empty.
    void Assign(const char16_t *text, int len);

    const char *Bytes() const { return m_bytes.data(); }
    char *MutableBytes() { return m_bytes.data(); }
    int ByteLength() const { return static_cast<int>(m_bytes.size()) - 1; }
    int UnitLength() const { return static_cast<int>(m_byteOf.size()) - 1; }

    // Byte index of UTF-16 position pos, clamped to 0 ... UnitLength(); a position between
    // the halves of a surrogate pair gives the pair's start.
    int ByteOfUnit(int pos) const;
    // UTF-16 position of byte index, clamped to 0 ... ByteLength(); an index inside a
    // character gives the character's first unit.
    int UnitOfByte(int index) const;

    // Replaces, in the converted bytes, line breaks by blanks of the same byte length, so
    // that Pango keeps the text on one row and every position keeps its byte index.
    void BlankLineBreaks();
    // Replaces each tab by a blank.
    void BlankTabs();

private:
    std::vector<char> m_bytes{'\0'};  // UTF-8, zero-terminated
    std::vector<int32_t> m_byteOf{0}; // byte index of each position 0 ... length
};
