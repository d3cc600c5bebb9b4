#include "corekit/containers/xfinder.h"

struct XFinder::Cell
{
    const void *node;
    void *finder;
    Cell *next;
};

XFinder::~XFinder()
{
    ClearFinder();
    while (m_spare != nullptr) {
        Cell *next = m_spare->next;
        delete m_spare;
        m_spare = next;
    }
}

void XFinder::PushFinder(void *f)
{
    Cell *cell = m_spare;
    if (cell != nullptr)
        m_spare = cell->next;
    else
        cell = new Cell;
    *cell = Cell{m_node, m_finder, m_stack};
    m_stack = cell;
    m_finder = f;
    m_node = nullptr;
}

void *XFinder::PopupFinder()
{
    Cell *cell = m_stack;
    if (cell == nullptr) {
        m_node = nullptr;
        m_finder = nullptr;
        return nullptr;
    }
    m_stack = cell->next;
    m_node = cell->node;
    m_finder = cell->finder;
    cell->next = m_spare;
    m_spare = cell;
    return m_finder;
}

void XFinder::ClearFinder()
{
    while (m_stack != nullptr) {
        Cell *cell = m_stack;
        m_stack = cell->next;
        cell->next = m_spare;
        m_spare = cell;
    }
    m_node = nullptr;
    m_finder = nullptr;
}
