// cardsim: serves a simulated card reader for the control's tests.
//
//   cardsim --pty LINK  [--baud N]   serial reader on a pseudo-terminal; LINK
//                                    becomes a symbolic link to its slave side
//   cardsim --fifo DIR               the driver's pipes DIR/PIPE00 (commands)
//                                    and DIR/PIPE01 (answers)
//   cardsim --hid ROOT               a HID reader: ROOT/sys/hidraw0/device/uevent
//                                    and ROOT/dev/hidraw0 (a pseudo-terminal)
// Common options: --card 1|2 (which identity card is in the field),
// --fault none|badcheck|nocard|stall|baud, --log FILE (one
// line per frame received, "hangup" when the control lets the pty go),
// --ready FILE (written once serving).
//
// A link or FIFO of the same kind left at the target by an earlier run is
// replaced; anything else there is left alone and reported. On SIGTERM,
// SIGINT or SIGHUP the simulator removes the links, FIFOs, files and folders
// it made and exits with 0.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "reader_model.h"

namespace {

struct Options
{
    std::string mode, target, log, ready;
    int baud = 38400;
    int card = 1; // 1-based, as --card takes it
    Fault fault = Fault::None;
};

FILE *g_log = nullptr;
volatile sig_atomic_t g_stop = 0;

void OnStopSignal(int)
{
    g_stop = 1;
}

// Without SA_RESTART, so that a wait in poll or read ends at once.
void CatchStopSignals()
{
    struct sigaction action
    {
    };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

// ---- What this run made ------------------------------------------------------

struct Made
{
    enum class Kind { Link, Node, Folder } kind;
    std::string path;
    std::string link_target; // Link: what it pointed to when made
    ino_t inode = 0;         // Node: the FIFO or file made
};

std::vector<Made> g_made;

bool Complain(const std::string &what, const std::string &path)
{
    std::fprintf(stderr, "cardsim: %s %s: %s\n", what.c_str(), path.c_str(), std::strerror(errno));
    return false;
}

// Makes room for a link or FIFO at `path`: one of the same kind left by an
// earlier run is removed, anything else is kept and reported.
bool ClearStale(const std::string &path, mode_t type)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT || Complain("cannot look at", path);
    if ((st.st_mode & S_IFMT) != type) {
        std::fprintf(stderr, "cardsim: %s exists and is not a %s; not replacing it\n", path.c_str(),
                     type == S_IFLNK ? "symbolic link" : "FIFO");
        return false;
    }
    return ::unlink(path.c_str()) == 0 || Complain("cannot remove the stale", path);
}

bool MakeLink(const std::string &target, const std::string &path)
{
    if (!ClearStale(path, S_IFLNK))
        return false;
    if (::symlink(target.c_str(), path.c_str()) != 0)
        return Complain("cannot create the link", path);
    g_made.push_back({Made::Kind::Link, path, target, 0});
    return true;
}

void RememberNode(const std::string &path)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) == 0)
        g_made.push_back({Made::Kind::Node, path, {}, st.st_ino});
}

bool MakeFifo(const std::string &path)
{
    if (!ClearStale(path, S_IFIFO))
        return false;
    if (::mkfifo(path.c_str(), 0600) != 0)
        return Complain("cannot create the FIFO", path);
    RememberNode(path);
    return true;
}

// A folder that exists already is used as it is (and kept on exit).
bool MakeFolder(const std::string &path)
{
    if (::mkdir(path.c_str(), 0700) == 0) {
        g_made.push_back({Made::Kind::Folder, path, {}, 0});
        return true;
    }
    struct stat st
    {
    };
    if (errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    return Complain("cannot create the folder", path);
}

// Removes what was made, newest first, and only while it is still the
// thing made: a link replaced by a later run is that run's.
void RemoveMade()
{
    for (auto it = g_made.rbegin(); it != g_made.rend(); ++it) {
        struct stat st
        {
        };
        switch (it->kind) {
        case Made::Kind::Link: {
            char target[4096];
            const ssize_t n = ::readlink(it->path.c_str(), target, sizeof target);
            if (n >= 0 && std::string(target, size_t(n)) == it->link_target)
                ::unlink(it->path.c_str());
            break;
        }
        case Made::Kind::Node:
            if (::lstat(it->path.c_str(), &st) == 0 && st.st_ino == it->inode)
                ::unlink(it->path.c_str());
            break;
        case Made::Kind::Folder:
            ::rmdir(it->path.c_str()); // kept when someone else put files in it
            break;
        }
    }
    g_made.clear();
}

// ---- Serving -----------------------------------------------------------------

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
    // Waits are polls, so that a stop signal is seen within one of them.
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
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
    if (master < 0) {
        Complain("cannot open a pseudo-terminal for", options.target);
        return 1;
    }
    if (!MakeLink(slave, options.target))
        return 1;
    const speed_t wanted = SpeedOf(options.fault == Fault::WrongBaud ? 4800 : options.baud);
    ::close(::open(options.ready.c_str(), O_WRONLY | O_CREAT, 0600));
    Bytes input, frame;
    bool hung_up = false;
    bool garbled = false;
    speed_t garbled_speed = B0;
    while (!g_stop) {
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
    return 0;
}

int ServeHid(const Options &options, ReaderModel &model)
{
    std::string slave;
    const int master = OpenPty(&slave);
    if (master < 0) {
        Complain("cannot open a pseudo-terminal for", options.target);
        return 1;
    }
    const std::string sys = options.target + "/sys/hidraw0/device";
    const std::string dev = options.target + "/dev";
    for (const std::string &folder :
         {options.target, options.target + "/sys", options.target + "/sys/hidraw0", sys, dev})
        if (!MakeFolder(folder))
            return 1;
    const std::string uevent_path = sys + "/uevent";
    FILE *uevent = std::fopen(uevent_path.c_str(), "w");
    if (uevent == nullptr) {
        Complain("cannot write", uevent_path);
        return 1;
    }
    RememberNode(uevent_path);
    std::fprintf(uevent, "DRIVER=hid-generic\nHID_ID=0003:00000425:00008159\n"
                         "HID_NAME=Card Reader\n");
    std::fclose(uevent);
    if (!MakeLink(slave, dev + "/hidraw0"))
        return 1;
    ::close(::open(options.ready.c_str(), O_WRONLY | O_CREAT, 0600));
    Bytes input;
    bool hung_up = false;
    while (!g_stop) {
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
    return 0;
}

// The command pipe is held open for writing as well as reading: it then always
// has a reader, so the control can open it at any moment, and never reports
// the end of a writer, so there is nothing to reopen between two controls.
int ServeFifo(const Options &options, ReaderModel &model)
{
    const std::string in_path = options.target + "/PIPE00";
    const std::string out_path = options.target + "/PIPE01";
    if (!MakeFolder(options.target) || !MakeFifo(in_path) || !MakeFifo(out_path))
        return 1;
    const int in = ::open(in_path.c_str(), O_RDWR | O_NONBLOCK);
    const int out = ::open(out_path.c_str(), O_RDWR | O_NONBLOCK);
    if (in < 0 || out < 0) {
        Complain("cannot open the pipes in", options.target);
        return 1;
    }
    ::close(::open(options.ready.c_str(), O_WRONLY | O_CREAT, 0600));
    Bytes input, frame;
    while (!g_stop) {
        pollfd p = {in, POLLIN, 0};
        ::poll(&p, 1, 20);
        uint8_t chunk[4096];
        const ssize_t n = ::read(in, chunk, sizeof chunk);
        if (n > 0)
            input.insert(input.end(), chunk, chunk + n);
        while (ReaderModel::TakeFrame(input, &frame)) {
            Log("rx fifo " + ReaderModel::Hex(frame));
            const Bytes answer = model.Answer(frame);
            if (!answer.empty())
                WriteAll(out, answer);
        }
    }
    return 0;
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
        } else if (key == "--card") {
            options->card = std::atoi(value.c_str());
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
    return !options->mode.empty() && SpeedOf(options->baud) != B0 && options->card >= 1 &&
           options->card <= ReaderModel::CardCount();
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: cardsim --pty LINK|--fifo DIR|--hid ROOT [--baud N] [--card 1|2] "
                     "[--fault none|badcheck|nocard|stall|baud] [--log FILE] "
                     "[--ready FILE]\n");
        return 2;
    }
    if (!options.log.empty())
        g_log = std::fopen(options.log.c_str(), "a");
    CatchStopSignals();
    ReaderModel model(options.mode == "pty" && options.fault == Fault::WrongBaud ? Fault::None
                                                                                 : options.fault,
                      options.card - 1);
    const int status = options.mode == "pty"   ? ServeSerial(options, model)
                       : options.mode == "hid" ? ServeHid(options, model)
                                               : ServeFifo(options, model);
    RemoveMade();
    return status;
}
