// Flex and flow frames against a browser's flexible boxes: generated frames whose every
// size is a whole pixel in both are written as one HTML page of `display:flex;
// flex-wrap:wrap` boxes, one headless chromium run lays them out and writes each child's
// bounding rectangle into the page, and our rectangles must equal them exactly.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "pagekit/core/tests/frame_util.h"

namespace {

// A small deterministic generator (xorshift), the same on every machine.
class Dice
{
public:
    explicit Dice(uint64_t seed) : m_state(seed) {}
    uint32_t Roll(uint32_t n)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return static_cast<uint32_t>(m_state % n);
    }

private:
    uint64_t m_state;
};

struct Sample
{
    uint32_t extra;
    int32_t width;
    int32_t height;
    std::vector<Kid> kids;
    std::vector<BOUND_t> ours;
    std::vector<bool> lineEnd; // the child is the last of its line in our layout
};

// Widths are multiples of 60 and containers at most 360 wide, so a line holds at most six
// items and every free width divides evenly among its extend items or gaps; heights are
// even so that centring halves evenly.
Kid MakeKid(Dice &dice, bool flex)
{
    Kid kid{0, 0, 0};
    const bool extend = dice.Roll(3) == 0;
    if (extend) {
        kid.w = flex ? 60 * int32_t(1 + dice.Roll(3)) : 60 * int32_t(1 + dice.Roll(2));
        kid.flags |= LX(kLayoutExtend);
    } else {
        kid.w = 60 * int32_t(1 + dice.Roll(4));
        const uint32_t lx = dice.Roll(6);
        if (!flex && (lx == kLayoutEnd || lx == kLayoutCenter))
            kid.flags |= LX(lx);
    }
    kid.h = 2 * int32_t(5 + dice.Roll(26));
    const uint32_t ly = dice.Roll(5); // 0 and 1 top, 2 bottom, 3 centre, 4 extend
    if (ly >= kLayoutEnd)
        kid.flags |= LY(ly);
    return kid;
}

std::vector<BOUND_t> LayOut(uint32_t extra, int32_t width, int32_t height,
                            const std::vector<Kid> &kids)
{
    FrameTree tree(extra, width, height, kids);
    tree.frame->UpdateLayout(0);
    std::vector<BOUND_t> out;
    for (const XPageItem *item : tree.kids)
        out.push_back(item->place);
    return out;
}

// A line starts where an item does not lie to the right of the one before it.
std::vector<size_t> LineStarts(const std::vector<BOUND_t> &places)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < places.size(); ++i) {
        if (i == 0 || places[i].x < places[i - 1].x + places[i - 1].width)
            starts.push_back(i);
    }
    return starts;
}

// Whether the browser computes the same whole pixels for these lines: flow shares of
// extend items must divide exactly, a spread line of one fixed item has no browser twin,
// and a flow frame whose last line only stretches has none either.
bool Representable(const Sample &s, const std::vector<size_t> &starts)
{
    const bool flex = (s.extra & kFrameFlex) != 0;
    for (size_t n = 0; n < starts.size(); ++n) {
        const size_t first = starts[n];
        const size_t end = n + 1 < starts.size() ? starts[n + 1] : s.kids.size();
        int64_t fixed = 0, mins = 0;
        bool allStretch = true;
        for (size_t i = first; i < end; ++i) {
            const bool extend = GetStyleField(s.kids[i].flags, kItemLayoutX) == kLayoutExtend;
            (extend ? mins : fixed) += s.kids[i].w;
            allStretch =
                allStretch && GetStyleField(s.kids[i].flags, kItemLayoutY) == kLayoutExtend;
        }
        if (!flex && mins > 0) {
            for (size_t i = first; i < end; ++i) {
                const bool extend = GetStyleField(s.kids[i].flags, kItemLayoutX) == kLayoutExtend;
                if (extend && (int64_t(s.kids[i].w) * (s.width - fixed)) % mins != 0)
                    return false;
            }
        }
        if (flex && GetStyleField(s.extra, kFrameAlignX) == kDistributeSpread && mins == 0 &&
            end - first == 1)
            return false;
        if (!flex && n + 1 == starts.size() && allStretch)
            return false;
    }
    return true;
}

bool MakeSample(Dice &dice, Sample *out)
{
    Sample s;
    const bool flex = dice.Roll(2) == 0;
    s.width = 60 * int32_t(4 + dice.Roll(3));
    s.extra = (flex ? kFrameFlex : kFrameFlow) | AlignX(dice.Roll(4));
    const size_t count = 1 + dice.Roll(8);
    for (size_t i = 0; i < count; ++i)
        s.kids.push_back(MakeKid(dice, flex));
    // Lines do not depend on the height: lay out once to learn them, then give the lines
    // a free height that shares evenly.
    const std::vector<BOUND_t> probe = LayOut(s.extra, s.width, 100000, s.kids);
    const std::vector<size_t> starts = LineStarts(probe);
    int32_t total = 0;
    for (const BOUND_t &b : probe)
        total = std::max(total, b.y + b.height);
    const int32_t lines = static_cast<int32_t>(starts.size());
    s.height = total + 2 * lines * int32_t(dice.Roll(20));
    if (flex)
        s.extra |= AlignY(dice.Roll(4));
    if (!Representable(s, starts))
        return false;
    s.ours = LayOut(s.extra, s.width, s.height, s.kids);
    if (LineStarts(s.ours) != starts)
        return false;
    s.lineEnd.assign(s.kids.size(), false);
    for (size_t n = 0; n < starts.size(); ++n)
        s.lineEnd[(n + 1 < starts.size() ? starts[n + 1] : s.kids.size()) - 1] = true;
    *out = std::move(s);
    return true;
}

const char *AlignSelf(uint32_t ly)
{
    switch (ly) {
    case kLayoutEnd:
        return "flex-end";
    case kLayoutCenter:
        return "center";
    case kLayoutExtend:
        return "stretch";
    default:
        return "flex-start";
    }
}

std::string ItemCss(const Sample &s, size_t i)
{
    const Kid &kid = s.kids[i];
    const bool flex = (s.extra & kFrameFlex) != 0;
    const uint32_t lx = GetStyleField(kid.flags, kItemLayoutX);
    const uint32_t ly = GetStyleField(kid.flags, kItemLayoutY);
    std::ostringstream css;
    if (lx == kLayoutExtend && flex)
        css << "flex:1 0 " << kid.w << "px;";
    else if (lx == kLayoutExtend)
        css << "flex:" << kid.w << " 0 0px;min-width:" << kid.w << "px;";
    else
        css << "flex:0 0 " << kid.w << "px;";
    css << (ly == kLayoutExtend ? "min-height:" : "height:") << kid.h << "px;";
    css << "align-self:" << AlignSelf(ly) << ";";
    const bool lastRule = !flex && GetStyleField(s.extra, kFrameAlignX) == 0 && s.lineEnd[i];
    if (lastRule && lx == kLayoutEnd)
        css << "margin-left:auto;";
    if (lastRule && lx == kLayoutCenter)
        css << "margin-left:auto;margin-right:auto;";
    return css.str();
}

std::string FrameCss(const Sample &s)
{
    static const char *const kJustifyFlex[] = {"flex-start", "flex-end", "center", "space-between"};
    static const char *const kJustifyFlow[] = {"flex-start", "flex-end", "center", "center"};
    static const char *const kAlignContent[] = {"flex-start", "flex-end", "center", "stretch"};
    const bool flex = (s.extra & kFrameFlex) != 0;
    const uint32_t ax = GetStyleField(s.extra, kFrameAlignX);
    const uint32_t ay = flex ? GetStyleField(s.extra, kFrameAlignY) : 0;
    std::ostringstream css;
    css << "width:" << s.width << "px;height:" << s.height
        << "px;justify-content:" << (flex ? kJustifyFlex : kJustifyFlow)[ax]
        << ";align-content:" << kAlignContent[ay] << ";";
    return css.str();
}

std::string MakePage(const std::vector<Sample> &samples)
{
    std::ostringstream html;
    html << "<!DOCTYPE html><html><head><style>"
            "body{margin:0}"
            ".f{display:flex;flex-wrap:wrap;align-items:flex-start;position:relative;"
            "margin:0 0 4px 0;padding:0;border:0;box-sizing:border-box}"
            ".f>div{box-sizing:border-box;margin:0;padding:0;border:0}"
            "</style></head><body>\n";
    for (size_t n = 0; n < samples.size(); ++n) {
        html << "<div class=f style=\"" << FrameCss(samples[n]) << "\">";
        for (size_t i = 0; i < samples[n].kids.size(); ++i)
            html << "<div style=\"" << ItemCss(samples[n], i) << "\"></div>";
        html << "</div>\n";
    }
    html << "<pre id=out></pre><script>"
            "var t='';document.querySelectorAll('.f').forEach(function(f,n){"
            "var r=f.getBoundingClientRect();t+='F '+n;"
            "for(var c of f.children){var b=c.getBoundingClientRect();"
            "t+=' '+(b.left-r.left)+','+(b.top-r.top)+','+b.width+','+b.height;}t+='\\n';});"
            "document.getElementById('out').textContent=t;"
            "</script></body></html>\n";
    return html.str();
}

std::string RunChromium(const std::string &dir, const std::string &page)
{
    const std::string command = "chromium --headless --no-sandbox --disable-gpu "
                                "--force-device-scale-factor=1 --window-size=1200,900 "
                                "--user-data-dir=" +
                                dir + "/profile --dump-dom file://" + page + " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return {};
    std::string out;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        out.append(buffer, got);
    return out;
}

// Parses "F n x,y,w,h ..." lines; values that are not whole pixels keep their fraction
// so that they fail the comparison.
std::vector<std::vector<std::string>> ParseRects(const std::string &dom)
{
    std::vector<std::vector<std::string>> frames;
    const size_t from = dom.find("<pre id=\"out\">");
    if (from == std::string::npos)
        return frames;
    std::istringstream lines(dom.substr(from + 14));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("F ", 0) != 0)
            break;
        std::istringstream words(line.substr(2));
        size_t index;
        words >> index;
        std::vector<std::string> rects;
        std::string rect;
        while (words >> rect)
            rects.push_back("(" + rect + ")");
        frames.push_back(rects);
    }
    return frames;
}

TEST(FrameOracle, FlexAndFlowMatchTheBrowser)
{
    std::vector<Sample> samples;
    Dice dice(0x5EED0019u);
    while (samples.size() < 560) {
        Sample s;
        if (MakeSample(dice, &s))
            samples.push_back(std::move(s));
    }
    char pattern[] = "/tmp/frame_oracle_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    const std::string dir = pattern;
    const std::string page = dir + "/frames.html";
    std::ofstream(page) << MakePage(samples);
    const std::string dom = RunChromium(dir, page);
    std::filesystem::remove_all(dir);
    const auto frames = ParseRects(dom);
    ASSERT_EQ(samples.size(), frames.size()) << "chromium gave no layout (is it installed?)";

    int flex = 0, mismatches = 0;
    for (size_t n = 0; n < samples.size(); ++n) {
        const Sample &s = samples[n];
        flex += (s.extra & kFrameFlex) != 0;
        std::string browser;
        for (const std::string &rect : frames[n])
            browser += rect;
        std::string ours = ShowPlaces(s.ours);
        // The browser writes commas between the numbers exactly as ShowPlaces does.
        if (browser != ours && ++mismatches <= 10)
            ADD_FAILURE() << "frame " << n << " extra 0x" << std::hex << s.extra << std::dec << " "
                          << s.width << "x" << s.height << "\n browser " << browser << "\n ours    "
                          << ours;
    }
    EXPECT_EQ(0, mismatches);
    EXPECT_GT(flex, 150);
    EXPECT_GT(int(samples.size()) - flex, 150);
}

} // namespace
