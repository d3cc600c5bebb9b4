// cardsim: serves a simulated card reader for the control's tests.
//
//   cardsim --pty LINK  [--baud N]   serial reader on a pseudo-terminal; LINK
//                                    becomes a symbolic link to its slave side
//   cardsim --fifo DIR               the driver's pipes DIR/PIPE00 (commands)
//                                    and DIR/PIPE01 (answers)
//   cardsim --hid ROOT               a HID reader: ROOT/sys/hidraw0/device/uevent
//                                    and ROOT/dev/hidraw0 (a pseudo-terminal)
// Common options: --fault none|badcheck|nocard|stall|baud, --log FILE (one
// line per frame received, "hangup" when the control lets the pty go),
// --ready FILE (written once serving).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "reader_model.h"

namespace {

struct Options
{
    std::string mode, target, log, ready;
    int baud = 38400;
    Fault fault = Fault::None;
};

FILE *g_log = nullptr;

void Log(const std::string &line)
{
    if (g_log != nullptr) {
        std::fprintf(g_log, "%s\n", line.c_str());
        std::fflush(g_log);
    }
}

speed_t SpeedOf(int baud)
{
    switch (baud) {
    case 115200:
        return B115200;
    case 57600:
        return B57600;
    case 38400:
        return B38400;
    case 19200:
        return B19200;
    case 9600:
        return B9600;
    case 4800:
        return B4800;
    default:
        return B0;
    }
}

int BaudOf(speed_t speed)
{
    for (int baud : {115200, 57600, 38400, 19200, 9600, 4800})
        if (SpeedOf(baud) == speed)
            return baud;
    return 0;
}

void WriteAll(int fd, const Bytes &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += size_t(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else {
            pollfd p = {fd, POLLOUT, 0};
            ::poll(&p, 1, 10);
        }
    }
}

void MakeRaw(int master)
{
    termios tio{};
    if (tcgetattr(master, &tio) == 0) {
        const speed_t speed = cfgetospeed(&tio);
        cfmakeraw(&tio);
        cfsetspeed(&tio, speed);
        tcsetattr(master, TCSANOW, &tio);
    }
}

int OpenPty(std::string *slave)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return -1;
    *slave = ::ptsname(master);
    MakeRaw(master);
    return master;
}

// Reads what the master side has; false when the slave side is closed.
bool ReadMaster(int master, Bytes &input, bool *hung_up)
{
    pollfd p = {master, POLLIN, 0};
    ::poll(&p, 1, 20);
    uint8_t chunk[4096];
    const ssize_t n = ::read(master, chunk, sizeof chunk);
    if (n > 0) {
        input.insert(input.end(), chunk, chunk + n);
        *hung_up = false;
        return true;
    }
    if (n < 0 && errno == EIO) {
        if (!*hung_up)
            Log("hangup");
        *hung_up = true;
        input.clear();
        MakeRaw(master);
        ::usleep(5000);
    }
    return false;
}

int ServeSerial(const Options &options, ReaderModel &model)
{
    std::string slave;
    const int master = OpenPty(&slave);
    if (master < 0 || ::symlink(slave.c_str(), options.target.c_str()) != 0)
        return 1;
    const speed_t wanted = SpeedOf(options.fault == Fault::WrongBaud ? 4800 : options.baud);
    ::close(::open(options.ready.c_str(), O_WRONLY | O_CREAT, 0600));
    Bytes input, frame;
    bool hung_up = false;
    bool garbled = false;
    speed_t garbled_speed = B0;
    for (;;) {
        // The line speed is judged when the bytes arrive: bytes sent at another
        // rate than the reader's are garbage, however late they are looked at.
        if (ReadMaster(master, input, &hung_up)) {
            termios tio{};
            tcgetattr(master, &tio);
            if (cfgetospeed(&tio) != wanted) {
                garbled = true;
                garbled_speed = cfgetospeed(&tio);
            }
        }
        while (ReaderModel::TakeFrame(input, &frame)) {
            termios tio{};
            tcgetattr(master, &tio);
            const speed_t speed = garbled ? garbled_speed : cfgetospeed(&tio);
            Log("rx " + std::to_string(BaudOf(speed)) + " " + ReaderModel::Hex(frame));
            if (speed != wanted)
                continue; // no answer
            WriteAll(master, model.Answer(frame));
        }
        if (input.empty())
            garbled = false;
    }
}

int ServeHid(const Options &options, ReaderModel &model)
{
    std::string slave;
    const int master = OpenPty(&slave);
    const std::string sys = options.target + "/sys/hidraw0/device";
    const std::string dev = options.target + "/dev";
    ::mkdir(options.target.c_str(), 0700);
    ::mkdir((options.target + "/sys").c_str(), 0700);
    ::mkdir((options.target + "/sys/hidraw0").c_str(), 0700);
    ::mkdir(sys.c_str(), 0700);
    ::mkdir(dev.c_str(), 0700);
    FILE *uevent = std::fopen((sys + "/uevent").c_str(), "w");
    if (master < 0 || uevent == nullptr || ::symlink(slave.c_str(), (dev + "/hidraw0").c_str()))
        return 1;
    std::fprintf(uevent, "DRIVER=hid-generic\nHID_ID=0003:00000425:00008159\n"
                         "HID_NAME=Card Reader\n");
    std::fclose(uevent);
    ::close(::open(options.ready.c_str(), O_WRONLY | O_CREAT, 0600));
    Bytes input;
    bool hung_up = false;
    for (;;) {
        ReadMaster(master, input, &hung_up);
        while (input.size() >= 65) { // report id, then a 64-byte report
            Bytes report(input.begin() + 1, input.begin() + 65);
            input.erase(input.begin(), input.begin() + 65);
            Bytes frame;
            if (!ReaderModel::TakeFrame(report, &frame))
                continue;
            Log("rx hid " + ReaderModel::Hex(frame));
            Bytes answer = model.Answer(frame);
            if (answer.empty())
                continue;
            const size_t reports = (answer.size() + 63) / 64;
            answer.resize(reports * 64, 0);
            WriteAll(master, answer);
        }
    }
}

int ServeFifo(const Options &options, ReaderModel &model)
{
    const std::string in_path = options.target + "/PIPE00";
    const std::string out_path = options.target + "/PIPE01";
    ::mkdir(options.target.c_str(), 0700);
    if (::mkfifo(in_path.c_str(), 0600) != 0 || ::mkfifo(out_path.c_str(), 0600) != 0)
        return 1;
    int in = ::open(in_path.c_str(), O_RDONLY | O_NONBLOCK);
    const int out = ::open(out_path.c_str(), O_RDWR | O_NONBLOCK);
    ::close(::open(options.ready.c_str(), O_WRONLY | O_CREAT, 0600));
    Bytes input, frame;
    for (;;) {
        pollfd p = {in, POLLIN, 0};
        ::poll(&p, 1, 20);
        uint8_t chunk[4096];
        const ssize_t n = ::read(in, chunk, sizeof chunk);
        if (n == 0 && (p.revents & POLLHUP)) { // the control closed its end
            ::close(in);
            in = ::open(in_path.c_str(), O_RDONLY | O_NONBLOCK);
            input.clear();
            ::usleep(2000);
            continue;
        }
        if (n > 0)
            input.insert(input.end(), chunk, chunk + n);
        while (ReaderModel::TakeFrame(input, &frame)) {
            Log("rx fifo " + ReaderModel::Hex(frame));
            const Bytes answer = model.Answer(frame);
            if (!answer.empty())
                WriteAll(out, answer);
        }
    }
}

bool ParseOptions(int argc, char **argv, Options *options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--pty" || key == "--fifo" || key == "--hid") {
            options->mode = key.substr(2);
            options->target = value;
        } else if (key == "--baud") {
            options->baud = std::atoi(value.c_str());
        } else if (key == "--log") {
            options->log = value;
        } else if (key == "--ready") {
            options->ready = value;
        } else if (key == "--fault") {
            constexpr std::pair<const char *, Fault> kFaults[] = {{"none", Fault::None},
                                                                  {"badcheck", Fault::BadCheck},
                                                                  {"nocard", Fault::NoCard},
                                                                  {"stall", Fault::Stall},
                                                                  {"baud", Fault::WrongBaud}};
            bool known = false;
            for (const auto &[name, fault] : kFaults)
                if (value == name) {
                    options->fault = fault;
                    known = true;
                }
            if (!known)
                return false;
        } else {
            return false;
        }
    }
    return !options->mode.empty() && SpeedOf(options->baud) != B0;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: cardsim --pty LINK|--fifo DIR|--hid ROOT [--baud N] "
                             "[--fault none|badcheck|nocard|stall|baud] [--log FILE] "
                             "[--ready FILE]\n");
        return 2;
    }
    if (!options.log.empty())
        g_log = std::fopen(options.log.c_str(), "a");
    ReaderModel model(options.mode == "pty" && options.fault == Fault::WrongBaud ? Fault::None
                                                                                 : options.fault);
    if (options.mode == "pty")
        return ServeSerial(options, model);
    if (options.mode == "hid")
        return ServeHid(options, model);
    return ServeFifo(options, model);
}
