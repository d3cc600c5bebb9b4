// Placeholder resolution until the cascade lands: the own descriptor completed with the
// fixed defaults.

#include "pagekit/core/item_style.h"

#include "corekit/memory.h"
#include "pagekit/core/default_style.h"
#include "pagekit/core/page_style.h"
#include "pagekit/core/style_text.h"

XItemStyle::XItemStyle()
{
    InitStyleDesc(&m_own);
}

XItemStyle::~XItemStyle()
{
    ClearStyle();
    FreeStyleChain(m_defaults);
}

void XItemStyle::InitStyle(uint32_t kind, XPageItem *item, XPageStyle *page)
{
    m_item = item;
    m_page = page;
    FreeStyleChain(m_defaults);
    m_defaults = CopyDefaultStyleChain(kind);
}

void XItemStyle::ClearStyle()
{
    MemFree(m_matches);
    m_matches = nullptr;
    m_matchCount = 0;
    FreeStyleChain(m_own.nextState);
    FreeStyleDescStrings(&m_own);
    InitStyleDesc(&m_own);
}

uint32_t XItemStyle::ParseStyle(const char *text)
{
    m_own.touchedGroups = 0;
    if (text != nullptr)
        ParseStyleDesc(&m_own, text);
    const uint32_t touched = m_own.touchedGroups;
    m_own.touchedGroups = 0;
    return touched;
}

void XItemStyle::ApplyStyle(XPageItem *, const char *text)
{
    if (text != nullptr)
        ParseStyle(text);
}

XStyleDesc *XItemStyle::GetStyle(uint32_t)
{
    return &m_own;
}

XStyleDesc *XItemStyle::GetStyle(uint32_t, int)
{
    return &m_own;
}

int XItemStyle::GetStyle(uint32_t flags, XPageItem *, XStyleDesc *out)
{
    CopyStyleDesc(out, &m_own);
    out->stateCode = flags;
    if (m_page != nullptr)
        m_page->GetPageStyle(out);
    return 0;
}

int XItemStyle::GetStyle(const char16_t *, XString *)
{
    return 0;
}

int XItemStyle::SetStyle(const char16_t *, const char16_t *)
{
    return 0;
}

void XItemStyle::GetStyleText(XString *) {}

int XItemStyle::IsSolidRender(uint32_t)
{
    return 0;
}

int XItemStyle::CheckStyle(uint32_t)
{
    return 0;
}

void XItemStyle::SetLeave(uint32_t, int, int, int, int) {}
void XItemStyle::SetSpace(uint32_t, int, int, int, int) {}
void XItemStyle::SetItemStyle(uint32_t, int, uint32_t) {}
void XItemStyle::SetEmptyRender(uint32_t) {}
void XItemStyle::SetSolidRender(uint32_t, uint32_t) {}
void XItemStyle::SetGradeRender(uint32_t, XGradientDesc *) {}
void XItemStyle::SetImageRender(uint32_t, uint32_t, const char16_t *) {}
void XItemStyle::SetFontColor(uint32_t, uint32_t) {}
void XItemStyle::SetFontDesc(uint32_t, int, uint32_t, const char16_t *) {}
void XItemStyle::SetRoundCorner(uint32_t, uint32_t, uint8_t) {}
void XItemStyle::SetEdgeStyle(uint32_t, uint32_t, uint8_t, uint8_t, uint32_t) {}

int XItemStyle::WriteStyle(XByteBuffer *)
{
    return 0;
}

void XItemStyle::Invalidate() {}
