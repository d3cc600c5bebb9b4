// The reader simulator as a tool: what it finds at its targets, and what it
// leaves behind.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "cardkit/card_control.h"
#include "sim_util.h"

using cardtest::Simulator;

namespace {

bool Exists(const std::string &path)
{
    struct stat st
    {
    };
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

// Folders that were there stay; what the simulator made goes.
TEST(CardSimulator, ReplacesStaleLinksAndFifosAndRemovesItsOwn)
{
    using Paths = std::vector<std::string>; // relative to the test folder
    struct Case
    {
        std::string mode, target;
        std::vector<std::string> options;
        int port;
        Paths folders, stale_links, stale_fifos, gone, kept;
    };
    const Case cases[] = {
        {"pty", "ttyS0", {"--baud", "115200"}, 1, {}, {"ttyS0"}, {}, {"ttyS0"}, {}},
        {"fifo",
         "usb0",
         {},
         1001,
         {"usb0"},
         {},
         {"usb0/PIPE00", "usb0/PIPE01"},
         {"usb0/PIPE00", "usb0/PIPE01"},
         {"usb0"}},
        {"hid",
         "hid",
         {},
         8159,
         {"hid", "hid/dev"},
         {"hid/dev/hidraw0"},
         {},
         {"hid/dev/hidraw0", "hid/sys"},
         {"hid/dev"}},
    };
    for (const auto &c : cases) {
        cardtest::TempFolder dir;
        cardkit::SetCardConfig(cardtest::TestConfig(dir.path()));
        const std::string base = dir.path() + "/";
        for (const auto &folder : c.folders)
            ASSERT_EQ(::mkdir((base + folder).c_str(), 0700), 0) << folder;
        for (const auto &link : c.stale_links)
            ASSERT_EQ(::symlink("/dev/pts/no-such-terminal", (base + link).c_str()), 0) << link;
        for (const auto &fifo : c.stale_fifos)
            ASSERT_EQ(::mkfifo((base + fifo).c_str(), 0600), 0) << fifo;

        std::vector<std::string> args = {"--" + c.mode, base + c.target};
        args.insert(args.end(), c.options.begin(), c.options.end());
        Simulator sim(dir.path(), args);
        ASSERT_TRUE(sim.running()) << c.mode;
        {
            CCardControlCtrl control;
            EXPECT_EQ(control.InitComm(c.port), 1) << c.mode;
            control.CloseComm();
        }
        EXPECT_EQ(sim.Stop(), 0) << c.mode;
        for (const auto &path : c.gone)
            EXPECT_FALSE(Exists(base + path)) << c.mode << " " << path;
        for (const auto &path : c.kept)
            EXPECT_TRUE(Exists(base + path)) << c.mode << " " << path;
    }
}

// Something that is not a stale link or FIFO is left as it is.
TEST(CardSimulator, SaysWhyItCannotTakeATarget)
{
    cardtest::TempFolder dir;
    const std::string tty = dir.path() + "/ttyS0";
    const std::string pipe = dir.path() + "/usb0/PIPE00";
    ::mkdir((dir.path() + "/usb0").c_str(), 0700);
    std::ofstream(tty) << "mine";
    std::ofstream(pipe) << "mine";
    struct Case
    {
        std::string args, output;
    };
    const Case cases[] = {
        {"--pty '" + tty + "'", tty + " exists and is not a symbolic link; not replacing it"},
        {"--fifo '" + dir.path() + "/usb0'", pipe + " exists and is not a FIFO; not replacing it"},
    };
    const std::string cardsim = ZEP_BINARY_DIR "/tools/cardsim/cardsim ";
    for (const auto &c : cases)
        EXPECT_EQ(cardtest::Run(cardsim + c.args + " 2>&1; echo rc=$?"),
                  "cardsim: " + c.output + "\nrc=1\n");
    EXPECT_EQ(cardtest::Run("cat '" + tty + "' '" + pipe + "'"), "minemine");
    EXPECT_FALSE(Exists(dir.path() + "/usb0/PIPE01"));
}
