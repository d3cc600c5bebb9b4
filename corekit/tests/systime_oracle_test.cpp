// Local and universal time conversions and weekdays against Python's datetime
// and zoneinfo, for every day from 1900 to 2100 in four zones.

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corekit/systime/systime.h"
#include "test_util.h"

namespace {

struct OracleRow
{
    char direction; // 'L' local -> UTC, 'U' UTC -> local
    int in[5];      // year, month, day, hour, minute
    int inWeekday;
    long long epoch;
    int out[7]; // year, month, day, hour, minute, second, weekday
};

std::map<std::string, std::vector<OracleRow>> RunOracle()
{
    std::map<std::string, std::vector<OracleRow>> rows;
    const std::string command = "/usr/bin/python3 " ZEP_TEST_DIR "/time_oracle.py";
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return rows;
    char line[256];
    while (std::fgets(line, sizeof line, pipe)) {
        OracleRow r{};
        char zone[64];
        if (std::sscanf(line, "%c %63s %d %d %d %d %d %d %lld %d %d %d %d %d %d %d", &r.direction,
                        zone, &r.in[0], &r.in[1], &r.in[2], &r.in[3], &r.in[4], &r.inWeekday,
                        &r.epoch, &r.out[0], &r.out[1], &r.out[2], &r.out[3], &r.out[4], &r.out[5],
                        &r.out[6]) == 16)
            rows[zone].push_back(r);
    }
    EXPECT_EQ(0, pclose(pipe)) << "the Python oracle failed (python3 with zoneinfo and tzdata)";
    return rows;
}

SYSTIME_t Record(const int f[5])
{
    auto u = [](int v) { return static_cast<uint16_t>(v); };
    return {u(f[0]), u(f[1]), u(f[2]), u(f[3]), u(f[4]), 0, kUnknownWeekday, 0};
}

std::string Fields(const SYSTIME_t &t)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d-%d-%d %d:%d:%d w%d", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond, t.wDayOfWeek);
    return buf;
}

std::string Fields(const int f[7])
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d-%d-%d %d:%d:%d w%d", f[0], f[1], f[2], f[3], f[4], f[5],
                  f[6]);
    return buf;
}

// Checks one row; an empty result when our conversions agree with the oracle.
std::string Check(const OracleRow &r)
{
    const SYSTIME_t in = Record(r.in);
    SYSTIME_t out;
    std::string fault;
    if (r.direction == 'L') {
        if (CVT_Time(&in) != r.epoch * 1000)
            fault += " CVT_Time " + std::to_string(CVT_Time(&in));
        UTC_Time(0, &out, &in);
    } else {
        UTC_Time(1, &out, &in);
        SYSTIME_t fromCount;
        CVT_Time(&fromCount, r.epoch * 10000000);
        if (Fields(fromCount) != Fields(r.out))
            fault += " CVT_Time(count) " + Fields(fromCount);
    }
    SYSTIME_t dated = in;
    if (GetWeekNumber(&dated) != static_cast<unsigned>(r.inWeekday))
        fault += " GetWeekNumber " + std::to_string(dated.wDayOfWeek);
    if (Fields(out) != Fields(r.out))
        fault += " UTC_Time " + Fields(out) + " expected " + Fields(r.out);
    return fault;
}

TEST(TimeOracle, ConversionsAndWeekdaysAgreeWithZoneinfo1900To2100)
{
    const auto rows = RunOracle();
    ASSERT_EQ(4u, rows.size());
    for (const auto &[zone, list] : rows) {
        const ZoneSetting setting(zone.c_str());
        EXPECT_GT(list.size(), 2u * 2 * 73000) << zone;
        int faults = 0;
        for (const OracleRow &r : list) {
            const std::string fault = Check(r);
            if (!fault.empty() && ++faults <= 5)
                ADD_FAILURE() << zone << ' ' << r.direction << ' ' << Fields(Record(r.in)) << ':'
                              << fault;
        }
        EXPECT_EQ(0, faults) << zone;
    }
}

} // namespace
