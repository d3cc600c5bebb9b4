// Every painting test measures and renders text with the project's pinned font
// configuration, so that sizes and golden images do not depend on the machine.
#include <cstdlib>

namespace {

struct PinnedFontConfig
{
    PinnedFontConfig()
    {
        setenv("FONTCONFIG_FILE", ZEP_SOURCE_DIR "/platform/panekit/fonts/fonts.conf", 1);
    }
};

const PinnedFontConfig pinned;

} // namespace
