#include "platform/panekit/icon/resc_helper.h"

#include <cmath>
#include <cstring>

#include "platform/devkit/folders.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/style_record.h"
#include "platform/panekit/text/font_handle.h"
#include "platform/panekit/text/font_record.h"

namespace {

XFetchFileProc g_fetchProc = nullptr;

bool IsNoneColor(uint32_t color)
{
    return (color & 0xFF000000u) != 0;
}

uint64_t PenKey(uint32_t style, uint32_t width, uint32_t color)
{
    return uint64_t(color) << 32 | uint64_t(width) << 8 | style;
}

// The text key of a font request: family, a zero unit, then size and flags.
std::u16string FontKey(const char16_t *family, int32_t size, uint32_t flags)
{
    std::u16string key = family != nullptr ? family : u"";
    key.push_back(u'\0');
    key.push_back(char16_t(uint32_t(size) & 0xFFFF));
    key.push_back(char16_t(uint32_t(size) >> 16));
    key.push_back(char16_t(flags & kFontFlagMask));
    return key;
}

size_t Length(const char16_t *s)
{
    size_t n = 0;
    while (s[n] != 0)
        ++n;
    return n;
}

bool IsAbsolute(const char16_t *name)
{
    return name[0] == u'/' || name[0] == u'\\' || (name[0] != 0 && name[1] == u':');
}

// True when a `/` or `\` separated segment of name is "..".
bool HasParentSegment(const char16_t *name)
{
    for (const char16_t *p = name; *p != 0;) {
        const char16_t *end = p;
        while (*end != 0 && *end != u'/' && *end != u'\\')
            ++end;
        if (end - p == 2 && p[0] == u'.' && p[1] == u'.')
            return true;
        p = *end != 0 ? end + 1 : end;
    }
    return false;
}

uint32_t CopyPath(const char16_t *src, char16_t *path, uint32_t cap)
{
    const size_t n = Length(src);
    if (n + 1 > cap) {
        path[0] = 0;
        return 0;
    }
    std::memcpy(path, src, (n + 1) * sizeof(char16_t));
    return uint32_t(n);
}

// Pixel size a request gives under a font power.
int32_t ScaledSize(int32_t size, double power)
{
    const double base = size > 0 ? size : kFontDefaultPixelSize;
    const double scaled = std::lround(base * power);
    if (scaled < kFontMinPixelSize)
        return kFontMinPixelSize;
    return scaled > kFontMaxPixelSize ? kFontMaxPixelSize : int32_t(scaled);
}

} // namespace

XFetchFileProc SetFetchFileProc(XFetchFileProc proc)
{
    const XFetchFileProc previous = g_fetchProc;
    g_fetchProc = proc;
    return previous;
}

XFetchFileProc GetFetchFileProc()
{
    return g_fetchProc;
}

// A picture or icon set by name: the object lives as long as the helper, so pointers
// to it never dangle; `stale` asks for a reload at the next search.
struct XRescHelper::Picture
{
    XImage image;
    bool stale = true;
    bool missing = false;
};

struct XRescHelper::Icons
{
    XIconDrawer icons;
    bool stale = true;
    bool missing = false;
};

XRescHelper::XRescHelper() = default;

XRescHelper::~XRescHelper()
{
    for (auto &entry : m_fonts)
        ReleaseFontHandle(entry.second);
    for (XFontHandle *font : m_staleFonts)
        ReleaseFontHandle(font);
}

// ---- pens ----------------------------------------------------------------------------------

const XPenHandle *XRescHelper::SearchPen(uint32_t style, uint32_t width, uint32_t color)
{
    if (style < kPenSolid || style > kPenStyleMax || IsNoneColor(color))
        return nullptr;
    width = width == 0 ? 1 : (width > 255 ? 255 : width);
    std::unique_ptr<XPenHandle> &slot = m_pens[PenKey(style, width, color)];
    if (slot == nullptr) {
        slot = std::make_unique<XPenHandle>(XPenHandle{style, width, color});
        m_live.insert(slot.get());
    }
    return slot.get();
}

const XPenHandle *XRescHelper::SearchSidePen(uint8_t side, uint32_t color)
{
    if (side == kStyleUnsetByte)
        return nullptr;
    const uint32_t kind = side & 0xF;
    uint32_t width = side >> 4;
    if (width == 15)
        width = 1;
    if (width == 0)
        return nullptr;
    switch (kind) {
    case kBorderSolid:
        return SearchPen(kPenSolid, width, color);
    case kBorderDotted:
        return SearchPen(kPenDotted, width, color);
    case kBorderDashed:
        return SearchPen(kPenDashed, width, color);
    case kBorderInset:
    case kBorderOutset:
        return SearchPen(kPenSolid, (width + 1) / 2, color);
    default:
        return nullptr;
    }
}

// ---- fonts ---------------------------------------------------------------------------------

const XFontHandle *XRescHelper::SearchFont(const char16_t *family, int32_t size, uint32_t flags)
{
    if (family != nullptr && family[0] == 0)
        family = nullptr;
    XFontHandle *&slot = m_fonts[FontKey(family, size, flags)];
    if (slot == nullptr) {
        slot = CreateFontHandle(family, -1, ScaledSize(size, m_fontPower), flags & kFontFlagMask);
        m_live.insert(slot);
    }
    return slot;
}

const XFontHandle *XRescHelper::SearchFont(const XFontRecord_t *record)
{
    if (record == nullptr)
        return SearchFont(nullptr, 0, 0);
    char16_t face[kFontRecordFaceUnits + 1];
    const int n = GetFontRecordFaceLength(record);
    std::memcpy(face, record->face, size_t(n) * sizeof(char16_t));
    face[n] = 0;
    const int32_t size = record->size < 0 ? -record->size : record->size;
    return SearchFont(face, size, record->flags);
}

void XRescHelper::SetFontPower(double power)
{
    if (!(power > 0) || !std::isfinite(power))
        power = 1.0;
    if (power == m_fontPower)
        return;
    m_fontPower = power;
    RetireFonts();
}

void XRescHelper::RetireFonts()
{
    for (auto &entry : m_fonts) {
        m_live.erase(entry.second);
        m_staleFonts.push_back(entry.second);
    }
    m_fonts.clear();
}

// ---- files ---------------------------------------------------------------------------------

int XRescHelper::SetImageFolder(const char16_t *folder)
{
    if (folder == nullptr || folder[0] == 0) {
        m_imageFolder.clear();
        return 1;
    }
    if (Length(folder) >= kRescPathMax / 2)
        return 0;
    m_imageFolder = folder;
    return 1;
}

uint32_t XRescHelper::ConfirmFile(const char16_t *name, char16_t *path, uint32_t cap)
{
    if (path == nullptr || cap == 0)
        return 0;
    path[0] = 0;
    if (name == nullptr || name[0] == 0 || HasParentSegment(name))
        return 0;
    if (IsAbsolute(name))
        return XFileExists(name) ? CopyPath(name, path, cap) : 0;
    char16_t inFolder[kRescPathMax] = {0}, inWork[kRescPathMax] = {0};
    if (!m_imageFolder.empty())
        MakeFullPath(m_imageFolder.c_str(), name, inFolder, kRescPathMax);
    GetWorkFile(name, inWork, kRescPathMax);
    if (inFolder[0] != 0 && XFileExists(inFolder))
        return CopyPath(inFolder, path, cap);
    if (inWork[0] != 0 && XFileExists(inWork))
        return CopyPath(inWork, path, cap);
    const char16_t *target = inFolder[0] != 0 ? inFolder : inWork;
    if (g_fetchProc == nullptr || target[0] == 0)
        return 0;
    if (!g_fetchProc(name, target) || !XFileExists(target))
        return 0;
    return CopyPath(target, path, cap);
}

bool XRescHelper::LoadPicture(Picture *entry, const char16_t *name)
{
    char16_t path[kRescPathMax];
    entry->stale = false;
    entry->missing = !(ConfirmFile(name, path, kRescPathMax) && entry->image.LoadFromFile(path));
    if (entry->missing)
        entry->image.ClearImage();
    else
        m_live.insert(&entry->image);
    return !entry->missing;
}

bool XRescHelper::LoadIcons(Icons *entry, const char16_t *name)
{
    char16_t path[kRescPathMax];
    entry->stale = false;
    entry->missing = !(ConfirmFile(name, path, kRescPathMax) && entry->icons.LoadIconWare(path, 0));
    if (!entry->missing)
        m_live.insert(&entry->icons);
    return !entry->missing;
}

XRescHelper::Picture *XRescHelper::FindPicture(const char16_t *name)
{
    if (name == nullptr || name[0] == 0)
        return nullptr;
    std::unique_ptr<Picture> &slot = m_pictures[name];
    if (slot == nullptr)
        slot = std::make_unique<Picture>();
    if (slot->stale)
        LoadPicture(slot.get(), name);
    return slot.get();
}

XRescHelper::Icons *XRescHelper::FindIcons(const char16_t *name)
{
    if (name == nullptr || name[0] == 0)
        return nullptr;
    std::unique_ptr<Icons> &slot = m_icons[name];
    if (slot == nullptr)
        slot = std::make_unique<Icons>();
    if (slot->stale)
        LoadIcons(slot.get(), name);
    return slot.get();
}

XImage *XRescHelper::SearchImage(const char16_t *name)
{
    Picture *entry = FindPicture(name);
    return entry != nullptr && !entry->missing ? &entry->image : nullptr;
}

XIconDrawer *XRescHelper::SearchIcon(const char16_t *name)
{
    Icons *entry = FindIcons(name);
    return entry != nullptr && !entry->missing ? &entry->icons : nullptr;
}

// ---- lifetime ------------------------------------------------------------------------------

void XRescHelper::ClearHelper()
{
    for (auto &entry : m_pens)
        m_stalePens.push_back(std::move(entry.second));
    m_pens.clear();
    RetireFonts();
    for (auto &entry : m_pictures)
        entry.second->stale = true;
    for (auto &entry : m_icons)
        entry.second->stale = true;
    m_live.clear();
}

int XRescHelper::IsLiveHandle(const void *handle) const
{
    return handle != nullptr && m_live.count(handle) != 0 ? 1 : 0;
}

const XPenHandle *XRescHelper::CheckSidePen(const void *cached, uint8_t side, uint32_t color)
{
    const XPenHandle *pen = SearchSidePen(side, color);
    if (IsLiveHandle(cached) && pen != nullptr && cached == pen)
        return static_cast<const XPenHandle *>(cached);
    return pen;
}

const XFontHandle *XRescHelper::CheckFont(const void *cached, const char16_t *family, int32_t size,
                                          uint32_t flags)
{
    if (family != nullptr && family[0] == 0)
        family = nullptr;
    const auto found = m_fonts.find(FontKey(family, size, flags));
    if (found != m_fonts.end() && found->second == cached)
        return found->second;
    return SearchFont(family, size, flags);
}

XImage *XRescHelper::CheckImage(const void *cached, const char16_t *name)
{
    XImage *image = SearchImage(name);
    return image != nullptr && image == cached ? static_cast<XImage *>(const_cast<void *>(cached))
                                               : image;
}

void XRescHelper::ResolveStyle(XStyleDesc *desc)
{
    if (desc == nullptr)
        return;
    for (int side = 0; side < 4; ++side)
        desc->borderPen[side] = const_cast<XPenHandle *>(
            CheckSidePen(desc->borderPen[side], desc->border[side], desc->borderColor[side]));
    desc->fontHandle = const_cast<XFontHandle *>(
        CheckFont(desc->fontHandle, desc->fontFamily, desc->fontSize, desc->fontFlags));
    const uint32_t kind = GetStyleField(desc->backWord, kBackKind);
    if (kind == kBackPicture || kind == kBackRender)
        desc->backPicture = CheckImage(desc->backPicture, desc->backName);
}
