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
#include "platform/devkit/tests/scoped_env.h"
#include "platform/devkit/tests/test_folder.h"
#include "platform/devkit/xmutex.h"

namespace fs = std::filesystem;

namespace {

fs::path TempPath(const std::string &name)
{
    return zeptest::TestFile(name);
}

std::u16string Wide(const fs::path &path)
{
    std::string text = path.string();
    return devkit::Utf8ToUtf16(text.data(), text.size());
}

// Polls until done() holds or a minute has passed (a loaded machine under the sanitizers
// starts programs slowly); false when time ran out.
template <typename Done> bool WaitUntil(Done done)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string ReadText(const fs::path &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits for a file to hold a whole line; returns what it holds ("" when none came).
std::string WaitForText(const fs::path &path)
{
    std::string text;
    WaitUntil([&] {
        text = ReadText(path);
        return !text.empty() && text.back() == '\n';
    });
    return text;
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
    // The child writes its arguments only once the test lets it go, after SystemExecute has
    // returned; a SystemExecute that waited for its child would see it give up instead.
    fs::path go = TempPath("go");
    fs::path out = TempPath("exec.txt");
    std::u16string script = u"-c \"i=0; while [ ! -e " + Wide(go) +
                            u" ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i+1)); done; "
                            u"if [ -e " +
                            Wide(go) + u" ]; then echo $0 $1; else echo waited; fi > " + Wide(out) +
                            u"\" first \"second arg\"";
    int pid = SystemExecute(u"/bin/sh", script.c_str());
    ASSERT_GT(pid, 0);
    std::ofstream(go) << "go";
    EXPECT_EQ("first second arg\n", WaitForText(out));

    // The background reaper removes the finished child from the process table; an
    // unreaped child would stay there as a zombie.
    EXPECT_TRUE(WaitUntil([pid] { return !fs::exists("/proc/" + std::to_string(pid)); }));
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
    std::ofstream(player) << "#!/bin/sh\necho \"$1\" > " << marker.string() << "\n";
    fs::permissions(player, fs::perms::owner_all);
    std::ofstream(sound) << "RIFF";

    ScopedEnv playerSetting("ZEP_AUDIO_PLAYER", player.c_str());
    EXPECT_TRUE(PlayAudioFile(Wide(sound).c_str()));
    EXPECT_EQ(sound.string() + "\n", WaitForText(marker));
    EXPECT_FALSE(PlayAudioFile(Wide(TempPath("missing.wav")).c_str()));
    ::setenv("ZEP_AUDIO_PLAYER", "/no/such/player", 1);
    EXPECT_FALSE(PlayAudioFile(Wide(sound).c_str()));
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
