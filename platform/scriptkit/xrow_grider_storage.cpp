// Archive form of a table: section `code` holding
//   property 1  u32 column count, u32 row count
//   property 2  per column: u32 id, u16 type, u16 size, u32 flags, counted name
//   property 3  per row: u32 marker, then per column u8 null mark (1 null) and, when
//               not null, the value: 8 bytes (integer, double, time); u32 units n and
//               n units (text); u32 n and n bytes (bytes, stream content, or a table
//               cell's own storage as a document of section 1).
#include <cstring>
#include <string>
#include <vector>

#include "corekit/archive/xbyte_archive.h"
#include "corekit/archive/xmemo_archive.h"
#include "corekit/memory/memory.h"
#include "platform/dockit/xmf_archive.h"
#include "platform/scriptkit/value_hold.h"
#include "platform/scriptkit/xrow_grider.h"

using namespace scriptkit;

namespace {

constexpr uint16_t kPropCounts = 1;
constexpr uint16_t kPropColumn = 2;
constexpr uint16_t kPropRow = 3;
constexpr uint16_t kNestedSection = 1;

bool IsText(uint16_t type)
{
    return type == kValueText || type == kValueText2;
}

// Bytes a stored cell value takes after its null mark.
uint32_t ValueBytes(uint16_t type, const XRowGrider::Cell &cell)
{
    switch (type) {
    case kValueInteger:
    case kValueFloater:
    case kValueTime:
        return 8;
    case kValueBytes:
        return 4 + cell.length;
    case kValueStream:
        return 4 + cell.value.stream->GetMaxSize();
    default:
        return IsText(type) ? 4 + 2 * cell.length : 0; // tables: counted by the caller
    }
}

bool IsStored(uint16_t type, const XRowGrider::Cell &cell)
{
    return !cell.isNull &&
           (type == kValueTable || type == kValueInteger || type == kValueFloater ||
            type == kValueTime || type == kValueBytes || type == kValueStream || IsText(type));
}

int WriteValue(XMF_Archive *archive, uint16_t type, const XRowGrider::Cell &cell,
               const std::string &nested)
{
    uint32_t n = cell.length;
    switch (type) {
    case kValueTable:
        n = static_cast<uint32_t>(nested.size());
        return archive->IntToDoc(&n, 4) && archive->Write(nested.data(), n);
    case kValueInteger:
    case kValueFloater:
    case kValueTime:
        return archive->Write(&cell.value, 8);
    case kValueBytes:
        return archive->IntToDoc(&n, 4) && archive->Write(cell.value.bytes + 4, n);
    case kValueStream:
        n = cell.value.stream->GetMaxSize();
        return archive->IntToDoc(&n, 4) && cell.value.stream->Seek(0) &&
               archive->WriteDoc(cell.value.stream, n);
    default:
        return archive->IntToDoc(&n, 4) && archive->SaveStrDoc(cell.value.text, n);
    }
}

// Reads one stored value of `type` into an owned value word.
bool ReadValue(XMF_Archive *archive, uint16_t type, XRowGrider::Cell *cell)
{
    if (type == kValueInteger || type == kValueFloater || type == kValueTime)
        return archive->Read(&cell->value, 8) != 0;
    uint32_t n = 0;
    if (!archive->IntFromDoc(&n, 4))
        return false;
    uint64_t need = IsText(type) ? 2ull * n : n;
    if (need > archive->GetRemaining())
        return false;
    cell->length = n;
    if (IsText(type)) {
        cell->value.text = archive->ReadStrDoc(n);
        return cell->value.text != nullptr;
    }
    if (type == kValueBytes) {
        auto *block = static_cast<uint8_t *>(MemAlloc(n + 4));
        std::memcpy(block, &n, 4);
        cell->value.bytes = block;
        return n == 0 || archive->Read(block + 4, n);
    }
    XMemoArchive *stream = XMemoArchive::Malloc();
    cell->value.stream = stream;
    return n == 0 || archive->ReadDoc(stream, n);
}

// The bytes of an archive.
std::string Contents(XMemoArchive &archive)
{
    std::string bytes(archive.GetMaxSize(), '\0');
    archive.InitReader();
    if (!bytes.empty())
        archive.Read(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return bytes;
}

} // namespace

int XRowGrider::SaveStorage(uint16_t code, XMF_Archive *archive) const
{
    return SaveAt(code, archive, 0);
}

int XRowGrider::SaveAt(uint16_t code, XMF_Archive *archive, uint32_t depth) const
{
    if (!archive->StartMarker(code))
        return 0;
    uint32_t counts[2] = {m_colCount, m_rowCount};
    if (!archive->StartProper(kPropCounts, 8) || !archive->IntToDoc(counts, 4, 2))
        return 0;
    for (uint32_t c = 0; c < m_colCount; ++c) {
        const XGridColumn_t &col = m_columns[c];
        uint32_t size = 12 + 4 + 2 * (TextLength(col.name) + 1);
        if (!archive->StartProper(kPropColumn, size) || !archive->IntToDoc(&col.id, 4) ||
            !archive->IntToDoc(&col.type, 2) || !archive->IntToDoc(&col.size, 2) ||
            !archive->IntToDoc(&col.flags, 4) || !archive->StrToDoc(col.name))
            return 0;
    }
    for (uint32_t r = 0; r < m_rowCount; ++r) {
        const Row &row = m_rows[r];
        uint64_t size = 4 + m_colCount;
        std::vector<std::string> nested(m_colCount);
        std::vector<bool> stored(m_colCount);
        for (uint32_t c = 0; c < m_colCount; ++c) {
            uint16_t type = m_columns[c].type;
            stored[c] = IsStored(type, row.cells[c]) && (type != kValueTable || depth < kMaxDepth);
            if (stored[c] && type == kValueTable) {
                XMemoArchive doc;
                XMF_Archive writer(&doc);
                if (!row.cells[c].value.table->SaveAt(kNestedSection, &writer, depth + 1))
                    return 0;
                nested[c] = Contents(doc);
                size += 4 + nested[c].size();
            } else if (stored[c]) {
                size += ValueBytes(type, row.cells[c]);
            }
        }
        if (size > 0xFFFFFFFFu || !archive->StartProper(kPropRow, static_cast<uint32_t>(size)) ||
            !archive->IntToDoc(&row.marker, 4))
            return 0;
        for (uint32_t c = 0; c < m_colCount; ++c) {
            uint8_t mark = stored[c] ? 0 : 1;
            if (!archive->Write(&mark, 1) ||
                (stored[c] && !WriteValue(archive, m_columns[c].type, row.cells[c], nested[c])))
                return 0;
        }
    }
    return archive->CloseMarker(code);
}

int XRowGrider::ReadColumns(XMF_Archive *archive)
{
    XGridColumn_t &col = m_columns[m_colCount];
    std::memset(&col, 0, sizeof(col));
    if (!archive->IntFromDoc(&col.id, 4) || !archive->IntFromDoc(&col.type, 2) ||
        !archive->IntFromDoc(&col.size, 2) || !archive->IntFromDoc(&col.flags, 4) ||
        !archive->StrFromDoc(col.name, 32))
        return 0;
    ++m_colCount;
    return 1;
}

// A table cell's own storage: u32 n, then n bytes holding a document of section 1.
static bool ReadNested(XMF_Archive *archive, XRowGrider::Cell *cell, uint32_t depth,
                       int (*load)(XRowGrider *, XMF_Archive *, uint32_t))
{
    uint32_t n = 0;
    if (depth >= XRowGrider::kMaxDepth || !archive->IntFromDoc(&n, 4) ||
        n > archive->GetRemaining())
        return false;
    std::string bytes(n, '\0');
    if (n && !archive->Read(bytes.data(), n))
        return false;
    XByteArchive in;
    in.SetBuffer(bytes.data(), n);
    XMF_Archive reader(&in);
    XRowGrider *table = XRowGrider::Malloc();
    cell->value.table = table;
    return load(table, &reader, depth + 1) != 0;
}

int XRowGrider::ReadRow(XMF_Archive *archive, uint32_t depth)
{
    uint32_t marker = 0;
    if (!archive->IntFromDoc(&marker, 4))
        return 0;
    uint32_t r = AppendRow();
    m_rows[r].marker = marker;
    for (uint32_t c = 0; c < m_colCount; ++c) {
        uint8_t mark = 1;
        if (!archive->Read(&mark, 1))
            return 0;
        if (mark)
            continue;
        uint16_t type = m_columns[c].type;
        Cell *cell = &m_rows[r].cells[c];
        Cell probe{1, 0, {}};
        if (!IsStored(type, Cell{0, 0, {}}))
            return 0;
        auto load = [](XRowGrider *t, XMF_Archive *a, uint32_t d) {
            return t->LoadAt(a, kNestedSection, d);
        };
        bool ok = type == kValueTable ? ReadNested(archive, &probe, depth, load)
                                      : ReadValue(archive, type, &probe);
        probe.isNull = 0;
        *cell = probe;
        if (!ok)
            return 0; // the cell holds what was allocated; the caller drops the table
    }
    return 1;
}

int XRowGrider::FromStorage(XMF_Archive *archive, uint16_t code)
{
    return LoadAt(archive, code, 0);
}

int XRowGrider::LoadAt(XMF_Archive *archive, uint16_t code, uint32_t depth)
{
    uint16_t got = 0;
    if (archive->ReadHeader(&got) != XMF_Archive::kSectionStart || got != code)
        return 0;
    XRowGrider *table = Malloc();
    uint32_t counts[2] = {0, 0};
    bool haveCounts = false;
    int ok = 0;
    for (;;) {
        int kind = archive->ReadHeader(&got);
        if (kind == XMF_Archive::kSectionEnd) {
            ok = haveCounts && table->m_colCount == counts[0] && table->m_rowCount == counts[1];
            break;
        }
        if (kind == XMF_Archive::kSectionStart) {
            if (!archive->SkipMarker())
                break;
            continue;
        }
        if (kind != XMF_Archive::kProperty)
            break;
        if (got == kPropCounts) {
            if (haveCounts || !archive->IntFromDoc(counts, 4, 2) || counts[0] > kMaxColumns)
                break;
            haveCounts = true;
            if (counts[0])
                table->m_columns =
                    static_cast<XGridColumn_t *>(MemAlloc(counts[0] * sizeof(XGridColumn_t)));
        } else if (got == kPropColumn) {
            if (!haveCounts || table->m_rowCount || table->m_colCount >= counts[0] ||
                !table->ReadColumns(archive))
                break;
        } else if (got == kPropRow) {
            if (!haveCounts || table->m_colCount != counts[0] || table->m_rowCount >= counts[1] ||
                !table->ReadRow(archive, depth))
                break;
        }
    }
    if (ok)
        Swap(table);
    table->Release();
    return ok;
}
