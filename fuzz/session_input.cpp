// Outside bytes the session and dialog functions read: icon and cursor resources, a
// chooser's font answer, and the profile document. The first byte picks the reader.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/devkit/native_path.h"
#include "platform/devkit/tests/temp_folder.h"
#include "platform/panekit/dialog/dialogs.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/session/session.h"

namespace {

void ReadResource(int kind, const uint8_t *data, size_t size)
{
    XSysResource *resource = LoadResource(kind, data, static_cast<uint32_t>(size));
    if (resource == nullptr)
        return;
    // The hot spot must lie on the picture.
    if (resource->hotX < 0 || resource->hotY < 0 ||
        (resource->hotX > 0 && resource->hotX >= resource->image->GetWidth()) ||
        (resource->hotY > 0 && resource->hotY >= resource->image->GetHeight()))
        __builtin_trap();
    ReleaseResource(resource);
}

void ReadFontAnswer(const uint8_t *data, size_t size)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    XFontRecord_t font;
    InitFontRecord(&font);
    if (ParseFontAnswer(text.c_str(), &font) && GetFontRecordFaceLength(&font) == 0)
        __builtin_trap(); // an accepted answer always names a face
}

void ReadProfile(const uint8_t *data, size_t size)
{
    // A folder of this process's own, removed when the process ends.
    static const TempFolder folder("session_input");
    static const std::string path = folder.File("profile.dbx");
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    std::u16string wide = devkit::Utf8ToUtf16(path.data(), path.size());
    Sys_InitProfileDoc(wide.c_str());
    char16_t buf[64];
    for (int i = 0; i < Sys_GetRegCount(u"/k"); ++i)
        Sys_GetRegValue(u"/k", i, buf, 64);
    std::remove(path.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    switch (data[0] % 4) {
    case 0:
        ReadResource(kResourceIcon, data + 1, size - 1);
        break;
    case 1:
        ReadResource(kResourceCursor, data + 1, size - 1);
        break;
    case 2:
        ReadFontAnswer(data + 1, size - 1);
        break;
    default:
        ReadProfile(data + 1, size - 1);
        break;
    }
    return 0;
}
