// Starting programs, playing sounds, loading modules and the process lock.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/devkit/audio.h"
#include "platform/devkit/dll_module.h"
#include "platform/devkit/native_path.h"
#include "platform/devkit/process.h"
#include "platform/devkit/xmutex.h"

namespace fs = std::filesystem;

namespace {

fs::path TempPath(const std::string &name)
{
    return fs::temp_directory_path() / ("devkit_" + std::to_string(::getpid()) + "_" + name);
}

std::u16string Wide(const fs::path &path)
{
    std::string text = path.string();
    return devkit::Utf8ToUtf16(text.data(), text.size());
}

// Waits up to five seconds for a file to hold text; returns what it holds.
std::string WaitForText(const fs::path &path)
{
    for (int i = 0; i < 500; ++i) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        if (!text.str().empty() && text.str().back() == '\n')
            return text.str();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

TEST(ProcessTest, SplitsArguments)
{
    using List = std::vector<std::string>;
    EXPECT_EQ(List({"1234"}), devkit::SplitArguments(u"1234"));
    EXPECT_EQ(List({"a", "b c", "d"}), devkit::SplitArguments(u"  a \"b c\"\td "));
    EXPECT_EQ(List({"say \"hi\""}), devkit::SplitArguments(u"\"say \\\"hi\\\"\""));
    EXPECT_EQ(List({"", "x"}), devkit::SplitArguments(u"\"\" x"));
    EXPECT_EQ(List({"\xE5\xAE\x8B"}), devkit::SplitArguments(u"宋"));
    EXPECT_TRUE(devkit::SplitArguments(nullptr).empty());
}

TEST(ProcessTest, StartsWithoutWaitingAndReapsTheChild)
{
    fs::path out = TempPath("exec.txt");
    fs::remove(out);
    std::u16string script = u"-c \"echo $0 $1 > " + Wide(out) + u"\" first \"second arg\"";
    auto begin = std::chrono::steady_clock::now();
    int pid = SystemExecute(u"/bin/sh", script.c_str());
    ASSERT_GT(pid, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
    EXPECT_EQ("first second arg\n", WaitForText(out));

    // The background reaper removes the finished child from the process table.
    bool gone = false;
    for (int i = 0; i < 500 && !gone; ++i) {
        gone = !fs::exists("/proc/" + std::to_string(pid));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(gone);
    fs::remove(out);
}

TEST(ProcessTest, RefusesWhatCannotStart)
{
    EXPECT_EQ(0, SystemExecute(u"/no/such/program", nullptr));
    EXPECT_EQ(0, SystemExecute(nullptr, nullptr));
    EXPECT_EQ(0, SystemExecute(u"", u"x"));
}

TEST(AudioTest, HandsTheFileToThePlayer)
{
    fs::path player = TempPath("player.sh");
    fs::path marker = TempPath("played.txt");
    fs::path sound = TempPath("Chatter.wav");
    fs::remove(marker);
    std::ofstream(player) << "#!/bin/sh\necho \"$1\" > " << marker.string() << "\n";
    fs::permissions(player, fs::perms::owner_all);
    std::ofstream(sound) << "RIFF";

    ::setenv("ZEP_AUDIO_PLAYER", player.c_str(), 1);
    EXPECT_TRUE(PlayAudioFile(Wide(sound).c_str()));
    EXPECT_EQ(sound.string() + "\n", WaitForText(marker));
    EXPECT_FALSE(PlayAudioFile(Wide(TempPath("missing.wav")).c_str()));
    ::setenv("ZEP_AUDIO_PLAYER", "/no/such/player", 1);
    EXPECT_FALSE(PlayAudioFile(Wide(sound).c_str()));
    ::unsetenv("ZEP_AUDIO_PLAYER");
    fs::remove(player);
    fs::remove(marker);
    fs::remove(sound);
}

TEST(ModuleTest, LoadsLooksUpAndFrees)
{
    void *module = LoadDllModule(u"libm.so.6");
    ASSERT_NE(nullptr, module);
    auto cosine = reinterpret_cast<double (*)(double)>(GetDllFunction(module, "cos"));
    ASSERT_NE(nullptr, cosine);
    EXPECT_EQ(1.0, cosine(0.0));
    EXPECT_EQ(nullptr, GetDllFunction(module, "JNI_CreateJavaVM"));
    FreeDllModule(module);
    EXPECT_EQ(nullptr, LoadDllModule(u"/no/such/module.so"));
    EXPECT_EQ(nullptr, LoadDllModule(nullptr));
    EXPECT_EQ(nullptr, GetDllFunction(nullptr, "cos"));
    FreeDllModule(nullptr);
}

TEST(MutexTest, SerialisesThreads)
{
    XMutex lock;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            lock.Lock();
            long seen = counter;
            counter = seen + 1;
            lock.Unlock();
        }
    };
    std::thread a(work), b(work), c(work);
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(60000, counter);

    lock.Lock();
    int other = -1;
    std::thread([&] { other = lock.TryLock(); }).join();
    EXPECT_EQ(0, other);
    lock.Unlock();
    EXPECT_EQ(1, lock.TryLock());
    lock.Unlock();
}

} // namespace
