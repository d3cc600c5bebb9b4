// Every painting test measures and renders text with the project's pinned font
// configuration, so that sizes and golden images do not depend on the machine. Before the
// first test, fc-match (under the same configuration) must pick the faces the expected
// sizes and pictures were made with; otherwise the program fails, saying which face stood
// in. The failure is not fatal: a fatal one would report the tests as skipped.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct PinnedFontConfig
{
    PinnedFontConfig()
    {
        setenv("FONTCONFIG_FILE", ZEP_SOURCE_DIR "/platform/panekit/fonts/fonts.conf", 1);
    }
};

const PinnedFontConfig pinned;

// The family and file fc-match picks for a pattern, "family|file", or "" when it cannot run.
std::string Match(const std::string &pattern)
{
    std::string out;
    FILE *pipe = popen(("fc-match -f '%{family[0]}|%{file}' '" + pattern + "' 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return out;
    std::array<char, 512> buf;
    size_t got = 0;
    while ((got = fread(buf.data(), 1, buf.size(), pipe)) > 0)
        out.append(buf.data(), got);
    int status = pclose(pipe);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : std::string();
}

class PinnedFacesCheck : public ::testing::Environment
{
public:
    void SetUp() override
    {
        // Columns: pattern the painter asks for, face and file the tests were made with.
        struct Face
        {
            const char *pattern;
            const char *expected;
        };
        static constexpr Face kFaces[] = {
            {"宋体", "AR PL UMing CN|/usr/share/fonts/truetype/arphic/uming.ttc"},
            {"SimSun", "AR PL UMing CN|/usr/share/fonts/truetype/arphic/uming.ttc"},
            {"宋体:weight=bold", "AR PL UMing CN|/usr/share/fonts/truetype/arphic/uming.ttc"},
            {"monospace", "AR PL UMing CN|/usr/share/fonts/truetype/arphic/uming.ttc"},
            {"WenQuanYi Zen Hei", "WenQuanYi Zen Hei|/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"},
        };
        for (const Face &face : kFaces) {
            const std::string got = Match(face.pattern);
            EXPECT_EQ(face.expected, got)
                << "fc-match with " << std::getenv("FONTCONFIG_FILE") << " picks \"" << got
                << "\" for \"" << face.pattern << "\": the text sizes and pictures of these "
                << "tests need fonts-arphic-uming and fonts-wqy-zenhei (./zep setup)";
        }
    }
};

const ::testing::Environment *const check =
    ::testing::AddGlobalTestEnvironment(new PinnedFacesCheck);

} // namespace
