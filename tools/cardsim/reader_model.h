#pragma once
// The simulated reader: a card in the field (identity card and a Type A
// card), a SAM, and the fault modes. It answers whole command frames with
// whole response frames; it keeps its own framing code so that it checks the
// control rather than repeating it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

enum class Fault { None, BadCheck, NoCard, Stall, WrongBaud };

class ReaderModel
{
public:
    // `card` is an index below CardCount(): which identity card is in the field.
    ReaderModel(Fault fault, int card) : m_fault(fault), m_card(card) { m_blocks.fill({}); }
    static int CardCount();

    // Takes one whole frame from the front of `input` (dropping bytes that
    // cannot start a frame); false while no whole frame is there.
    static bool TakeFrame(Bytes &input, Bytes *frame);

    // The answer to one command frame; empty for frames it ignores.
    Bytes Answer(const Bytes &frame);

    // A 30 01 answer cut short by the stall fault.
    static constexpr size_t kStallBytes = 107;

    // Hex text of a frame, for the log.
    static std::string Hex(const Bytes &frame);

private:
    Bytes AnswerSdt(uint8_t command, uint8_t parameter);
    Bytes AnswerIc(const Bytes &data);

    Fault m_fault;
    int m_card;
    std::array<std::array<uint8_t, 16>, 64> m_blocks;
};
