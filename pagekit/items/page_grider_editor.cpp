// The grid's in-cell editing entry points. The editors themselves (one cached item per
// column, laid over the edited cell) come with the editing code; until then no cell
// starts an editor and closing has nothing to commit.

#include "pagekit/items/page_grider.h"

int XPageGrider::OnStartEditor(unsigned row, unsigned viewCol)
{
    CloseEditor(2);
    XMatterNode *node = row < m_rows.size() ? m_rows[row] : nullptr;
    XHeaderNode *column = ViewColumn(static_cast<int>(viewCol));
    if (node == nullptr || column == nullptr || !IsDataMatter(node))
        return 0;
    return OnStartEditor(node, column);
}

int XPageGrider::OnStartEditor(XMatterNode *row, XHeaderNode *column)
{
    (void)row;
    (void)column;
    return 0;
}

int XPageGrider::OnStartMonter(unsigned row, unsigned viewCol)
{
    (void)row;
    (void)viewCol;
    return 0;
}

void XPageGrider::CloseEditor(int mode)
{
    (void)mode;
    m_editor = nullptr;
    m_editRow = nullptr;
    m_editCol = -1;
}

int XPageGrider::OnItemNotify(XMessage_t *message)
{
    (void)message;
    return 0;
}
