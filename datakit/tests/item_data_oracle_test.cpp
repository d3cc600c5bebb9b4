// Descriptors against outside readers and writers: the XML form read back by python3's
// XML parser, and the archive form compared with an image that python3's struct module
// builds from the documented layout.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "corekit/archive/iarchive.h"
#include "corekit/archive/xbyte_archive.h"
#include "corekit/archive/xmemo_archive.h"
#include "corekit/encoding/encoding.h"
#include "corekit/memory/memory.h"
#include "datakit/item_data_store.h"
#include "item_data_util.h"
#include "oracle_util.h"
#include "platform/dockit/xdom_writer.h"
#include "platform/dockit/xmf_archive.h"
#include "scoped_util.h"

namespace {

const std::string kPython = "/usr/bin/python3";
const std::string kScript = std::string(ZEP_TEST_DIR) + "/item_data_image.py";

std::string Utf8(const char16_t *s)
{
    if (!s)
        return "-";
    std::string out(WStrToUStr(s, -1, nullptr, 0), '\0');
    uint32_t n = WStrToUStr(s, -1, out.data(), static_cast<uint32_t>(out.size()));
    out.resize(n && out[n - 1] == 0 ? n - 1 : n);
    return out;
}

std::string Python(const std::string &verb, const std::string &file)
{
    int status = -1;
    std::string out = RunCommand(kPython + " " + kScript + " " + verb + " " + file, &status);
    EXPECT_EQ(0, status) << "the python3 oracle did not run";
    return out;
}

std::string Line(const XItemDataDesc *d, bool root)
{
    std::string line = root ? "data" : "item";
    line += "|" + std::to_string(d->id) + "|" + std::to_string(d->type) + "|" +
            std::to_string(d->size) + "|" + Utf8(d->name) + "|" +
            (d->dataClass ? std::to_string(d->dataClass) : "-") + "|" +
            (root ? "-" : Utf8(d->keyer)) + "|" + Utf8(d->defValue) + "\n";
    return line;
}

TEST(ItemDataOracleTest, XmlReadsBackInPython)
{
    ASSERT_EQ(0, access(kPython.c_str(), X_OK)) << kPython << " is needed";
    DescPtr d = MakeEveryType();
    d->defValue = StrAlloc(u"tab\there & \"quotes\" <>\r\nline");
    XDomWriter w(1);
    ASSERT_NE(0, SaveItemDesc(d.get(), &w));
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    std::string path = folder.Path() + "/desc.xml";
    std::ofstream(path, std::ios::binary).write(w.GetString(), w.GetLength());
    std::string expected;
    for (const XItemDataDesc *c = d.get(); c; c = c->next)
        expected += Line(c, c == d.get());
    EXPECT_EQ(expected, Python("xml", path));
}

// JSON of one descriptor for the image builder.
std::string Json(const XItemDataDesc *d, const std::string &value)
{
    auto text = [](const char16_t *s) {
        if (!s)
            return std::string("null");
        std::string out = "\"";
        for (const char16_t *p = s; *p; ++p) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", *p);
            out += buf;
        }
        return out + "\"";
    };
    return "{\"id\":" + std::to_string(d->id) + ",\"class\":" + std::to_string(d->dataClass) +
           ",\"type\":" + std::to_string(d->type) + ",\"size\":" + std::to_string(d->size) +
           ",\"modified\":" + std::to_string(d->modified) +
           ",\"isNull\":" + std::to_string(d->isNull) + ",\"flags\":" + std::to_string(d->flags) +
           ",\"extra\":" + std::to_string(d->extra) + ",\"name\":" + text(d->name) +
           ",\"keyer\":" + text(d->keyer) + ",\"default\":" + text(d->defValue) +
           ",\"value\":" + value + "}";
}

std::string Hex(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

TEST(ItemDataOracleTest, ArchiveBytesEqualAStructImage)
{
    ASSERT_EQ(0, access(kPython.c_str(), X_OK)) << kPython << " is needed";
    DescPtr every = MakeEveryType();
    // The columns of every type except the table, as one chain of their own.
    XItemDataDesc *chain = every->next;
    std::string json = "[";
    const char *values[] = {"-1234567890123",
                            "\"a<b>&\\\"c\\\"\\t\\r\\n\\u4e2d\\u6587\"",
                            "-0.1",
                            "[2024,2,29,23,59,58,99]",
                            "\"0001ff78797a\"",
                            "\"\"",
                            "\"73747265616d206279746573\"",
                            "null"};
    int k = 0;
    for (const XItemDataDesc *c = chain; c; c = c->next, ++k)
        json += std::string(k ? "," : "") + Json(c, values[k]);
    json += "]";
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    std::string path = folder.Path() + "/descs.json";
    std::ofstream(path, std::ios::binary) << json;

    XMemoArchive out;
    XMF_Archive w(&out);
    ASSERT_NE(0, SaveItemDesc(0x55, chain, &w));
    std::string bytes(out.GetMaxSize(), '\0');
    out.InitReader();
    out.Read(bytes.data(), static_cast<uint32_t>(bytes.size()));
    std::string image = Python("image", path);
    EXPECT_EQ(image, Hex(bytes) + "\n");
}

} // namespace
