#include "platform/panekit/session/session.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/devkit/folders.h"
#include "platform/devkit/native_path.h"
#include "platform/dockit/xdom_writer.h"
#include "platform/dockit/xml_archive.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/window/panekit_window.h"

namespace {

// ---------------------------------------------------------------------------
// [SECTION] Profile document
//
// <Profile><Entry Key="/Profile/MenuFile" Value="..."/>...</Profile>: the entries of one
// key, in document order, form its list (newest first).

struct ProfileValue
{
    std::u16string key;
    std::vector<std::u16string> entries;
};

struct ProfileDoc
{
    std::mutex lock;
    std::u16string path;
    // The file at path is not a profile document we can read: it is kept aside as
    // path + ".bad" before the first write rather than overwritten.
    bool foreign = false;
    std::vector<ProfileValue> values;
};

ProfileDoc &Profile()
{
    static ProfileDoc doc;
    return doc;
}

char16_t FoldAscii(char16_t ch)
{
    return (ch >= u'A' && ch <= u'Z') ? static_cast<char16_t>(ch + 32) : ch;
}

bool SameText(const std::u16string &a, const char16_t *b)
{
    size_t i = 0;
    for (; i < a.size() && b[i] != 0; ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return i == a.size() && b[i] == 0;
}

ProfileValue *FindValue(ProfileDoc &doc, const char16_t *key)
{
    for (ProfileValue &value : doc.values) {
        if (value.key == key)
            return &value;
    }
    return nullptr;
}

void ReadProfile(ProfileDoc &doc)
{
    doc.foreign = false;
    if (!XFileExists(doc.path.c_str()))
        return;
    XML_Archive archive;
    XML_Node *root = nullptr;
    if (archive.OpenFile(doc.path.c_str(), XML_Archive::kReadOnly))
        root = archive.GetRootItem();
    if (root == nullptr || std::string(root->GetNodeName()) != "Profile") {
        doc.foreign = true;
        return;
    }
    for (XML_Node *node = root->GetNextItem(nullptr); node != nullptr;
         node = root->GetNextItem(node)) {
        const char *key = node->GetAttribute("Key");
        const char *text = node->GetAttribute("Value");
        if (std::string(node->GetNodeName()) != "Entry" || key == nullptr || *key == 0 ||
            text == nullptr)
            continue;
        std::u16string wideKey = devkit::Utf8ToUtf16(key, std::char_traits<char>::length(key));
        std::u16string wideText = devkit::Utf8ToUtf16(text, std::char_traits<char>::length(text));
        ProfileValue *value = FindValue(doc, wideKey.c_str());
        if (value == nullptr) {
            doc.values.push_back({wideKey, {}});
            value = &doc.values.back();
        }
        value->entries.push_back(wideText);
    }
}

int WriteProfile(ProfileDoc &doc)
{
    if (doc.path.empty())
        return 1; // no document opened: values live for this run only
    XDomWriter writer;
    writer.StartMarker("Profile");
    for (const ProfileValue &value : doc.values) {
        for (const std::u16string &entry : value.entries) {
            writer.BeginMarker("Entry");
            writer.WriteString(u"Key", value.key.c_str());
            writer.WriteString(u"Value", entry.c_str());
            writer.EndOfMarker(1);
        }
    }
    writer.CloseMarker();
    XML_Archive archive;
    if (!archive.ParseBuffer(writer.GetString(), writer.GetLength(), 0))
        return 0;
    if (doc.foreign) {
        std::string native = devkit::ToNativePath(doc.path.c_str());
        if (std::rename(native.c_str(), (native + ".bad").c_str()) != 0 && errno != ENOENT)
            return 0;
        doc.foreign = false;
    }
    return archive.SaveFile(doc.path.c_str());
}

void PutRecent(ProfileValue &value, const char16_t *text, int recent)
{
    auto same = [text](const std::u16string &entry) { return SameText(entry, text); };
    value.entries.erase(std::remove_if(value.entries.begin(), value.entries.end(), same),
                        value.entries.end());
    value.entries.insert(value.entries.begin(), text);
    size_t keep = static_cast<size_t>(std::min(recent, kRecentListMax));
    if (value.entries.size() > keep)
        value.entries.resize(keep);
}

// ---------------------------------------------------------------------------
// [SECTION] Icons and cursors

uint16_t ReadLe16(const uint8_t *p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// The hot spot of a cursor file's first entry: the directory is 6 bytes (reserved 0,
// type 2, count) then 16-byte entries whose words at 4 and 6 are the hot spot. False
// when the bytes are not a cursor directory with at least one whole entry.
bool ReadCursorHotSpot(const uint8_t *bytes, uint32_t length, int32_t *x, int32_t *y)
{
    if (length < 6 + 16 || ReadLe16(bytes) != 0 || ReadLe16(bytes + 2) != 2 ||
        ReadLe16(bytes + 4) == 0)
        return false;
    *x = ReadLe16(bytes + 6 + 4);
    *y = ReadLe16(bytes + 6 + 6);
    return true;
}

// Icon files hold one picture per size; the largest shows best wherever it is scaled.
void LockLargestFrame(XImage *image)
{
    int best = 0;
    int64_t bestArea = -1;
    for (int i = 0; i < image->GetFrameCount(); ++i) {
        cairo_surface_t *frame = image->GetFrameSurface(i);
        int64_t area =
            int64_t(cairo_image_surface_get_width(frame)) * cairo_image_surface_get_height(frame);
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    image->LockFrame(best);
}

} // namespace

int Sys_SetWorkFolder(const char16_t *folder)
{
    if (folder == nullptr || *folder == 0 ||
        std::char_traits<char16_t>::length(folder) > kWorkFolderMax)
        return 0;
    return SetWorkFolder(folder);
}

uint32_t Sys_GetFullFile(const char16_t *name, char16_t *buf, uint32_t cap)
{
    if (buf != nullptr && cap > 0)
        buf[0] = 0;
    if (name == nullptr || buf == nullptr || cap == 0)
        return 0;
    return GetWorkFile(name, buf, cap);
}

int Sys_InitProfileDoc(const char16_t *path)
{
    if (path == nullptr || *path == 0)
        return 0;
    ProfileDoc &doc = Profile();
    std::lock_guard<std::mutex> hold(doc.lock);
    doc.path = path;
    doc.values.clear();
    ReadProfile(doc);
    return 1;
}

int Sys_SetRegValue(const char16_t *key, const char16_t *value, int recent)
{
    if (key == nullptr || *key == 0 || value == nullptr || recent < 0)
        return 0;
    ProfileDoc &doc = Profile();
    std::lock_guard<std::mutex> hold(doc.lock);
    ProfileValue *held = FindValue(doc, key);
    if (held == nullptr) {
        doc.values.push_back({key, {}});
        held = &doc.values.back();
    }
    if (recent == 0)
        held->entries.assign(1, value);
    else
        PutRecent(*held, value, recent);
    return WriteProfile(doc);
}

int Sys_DropRegValue(const char16_t *key, const char16_t *value)
{
    if (key == nullptr)
        return 0;
    ProfileDoc &doc = Profile();
    std::lock_guard<std::mutex> hold(doc.lock);
    ProfileValue *held = FindValue(doc, key);
    if (held == nullptr)
        return 0;
    if (value == nullptr) {
        doc.values.erase(doc.values.begin() + (held - doc.values.data()));
    } else {
        auto same = [value](const std::u16string &entry) { return SameText(entry, value); };
        auto end = std::remove_if(held->entries.begin(), held->entries.end(), same);
        if (end == held->entries.end())
            return 0;
        held->entries.erase(end, held->entries.end());
    }
    return WriteProfile(doc);
}

int Sys_GetRegValue(const char16_t *key, int index, char16_t *buf, uint32_t cap)
{
    if (buf != nullptr && cap > 0)
        buf[0] = 0;
    if (key == nullptr || index < 0)
        return -1;
    ProfileDoc &doc = Profile();
    std::lock_guard<std::mutex> hold(doc.lock);
    ProfileValue *held = FindValue(doc, key);
    if (held == nullptr || static_cast<size_t>(index) >= held->entries.size())
        return -1;
    const std::u16string &entry = held->entries[static_cast<size_t>(index)];
    if (buf != nullptr)
        devkit::CopyToBuffer(entry, buf, cap);
    return static_cast<int>(entry.size());
}

int Sys_GetRegCount(const char16_t *key)
{
    if (key == nullptr)
        return 0;
    ProfileDoc &doc = Profile();
    std::lock_guard<std::mutex> hold(doc.lock);
    ProfileValue *held = FindValue(doc, key);
    return held == nullptr ? 0 : static_cast<int>(held->entries.size());
}

int SetupFontFile(const char16_t *path)
{
    if (path == nullptr || *path == 0 || !XFileExists(path))
        return 0;
    std::string native = devkit::ToNativePath(path);
    FcConfig *config = FcConfigGetCurrent();
    if (config == nullptr)
        return 0;
    if (!FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8 *>(native.c_str())))
        return 0;
    // Pango caches the families it has seen; tell its font map the set changed.
    PangoFontMap *map = pango_cairo_font_map_get_default();
    if (PANGO_IS_FC_FONT_MAP(map))
        pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(map));
    return 1;
}

int SetupFontFile(XML_Archive *config)
{
    XML_Node *list = config == nullptr ? nullptr : config->SelectNode("/Configure/FontFile");
    if (list == nullptr)
        return 0;
    int count = 0;
    for (XML_Node *node = list->GetNextItem(nullptr); node != nullptr;
         node = list->GetNextItem(node)) {
        char16_t name[kWorkFolderMax + 1];
        char16_t full[2 * kWorkFolderMax + 2];
        if (!node->GetAttribute("File", name, kWorkFolderMax + 1) || name[0] == 0)
            continue;
        if (Sys_GetFullFile(name, full, 2 * kWorkFolderMax + 2) && SetupFontFile(full))
            ++count;
    }
    return count;
}

void SetAppMainFrame(Panekit *frame)
{
    Panekit::SetMainFrame(frame);
}

Panekit *GetAppMainFrame()
{
    return Panekit::GetMainFrame();
}

XSysResource *LoadResource(int kind, const void *bytes, uint32_t length)
{
    if ((kind != kResourceIcon && kind != kResourceCursor) || bytes == nullptr || length == 0)
        return nullptr;
    auto *image = new XImage;
    if (!image->LoadFromBuffer(bytes, length)) {
        delete image;
        return nullptr;
    }
    auto *resource = new XSysResource{kind, image, 0, 0};
    if (kind == kResourceCursor) {
        const auto *data = static_cast<const uint8_t *>(bytes);
        if (!ReadCursorHotSpot(data, length, &resource->hotX, &resource->hotY))
            resource->hotX = resource->hotY = 0;
        image->LockFrame(0); // the hot spot belongs to the first entry
    } else {
        LockLargestFrame(image);
    }
    // A hot spot outside the picture would point nowhere; keep it inside.
    resource->hotX = std::min(resource->hotX, std::max(image->GetWidth() - 1, 0));
    resource->hotY = std::min(resource->hotY, std::max(image->GetHeight() - 1, 0));
    return resource;
}

void ReleaseResource(XSysResource *resource)
{
    if (resource == nullptr)
        return;
    delete resource->image;
    delete resource;
}
