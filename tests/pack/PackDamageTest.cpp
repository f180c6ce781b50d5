// Damage to any asset of the real pack ends the game with a message that names the asset, whichever
// assets a run loads. Every asset is damaged three ways (one flipped byte, the pack cut inside it,
// a zeroed range) in a copy of the pack, and the game's start runs in a child process over a
// renderer without a GPU: textures, which only the Vulkan backend decodes, are covered too.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct IndexRecord {
    std::string name;
    long long start = 0;
    long long end = 0;
};

// The records of an index as the pack tool writes it: NAME, start and end lines.
std::vector<IndexRecord> ReadIndex(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<IndexRecord> records;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("NAME: ", 0) == 0) {
            records.push_back({line.substr(6)});
        } else if (!records.empty() && line.rfind("start: ", 0) == 0) {
            records.back().start = std::stoll(line.substr(7));
        } else if (!records.empty() && line.rfind("end: ", 0) == 0) {
            records.back().end = std::stoll(line.substr(5));
        }
    }
    return records;
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

struct ProbeRun {
    bool hung = false;
    int status = 0; // waitpid's status
    std::string errors;

    std::string Describe() const
    {
        if (hung)
            return "hung";
        if (WIFSIGNALED(status))
            return "killed by signal " + std::to_string(WTERMSIG(status));
        return "exit code " + std::to_string(WEXITSTATUS(status));
    }
};

// A start that takes this long is a hang: a normal one takes well under a second.
constexpr int ProbeTimeoutMs = 60000;

// Runs the game's start in `dir`, sound on OpenAL's null driver; standard error is captured.
ProbeRun RunProbe(const std::filesystem::path& dir, const std::filesystem::path& errorsPath)
{
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        if (std::strncmp(*e, "ALSOFT_", 7) != 0)
            env.emplace_back(*e);
    env.push_back("ALSOFT_DRIVERS=null");
    std::vector<std::string> args = {ZORBULON_GAME_START_PROBE, dir.string()};
    std::vector<char*> argv, envp;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    ProbeRun run;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        run.errors = std::string("cannot start the probe: ") + std::strerror(spawned);
        run.status = 127 << 8;
        return run;
    }
    // The child's pidfd becomes readable when it ends, so the wait has a deadline without a sleep
    // loop. (Without pidfds the wait below blocks; CTest's timeout still ends a hang.)
    // Called directly: this glibc declares pidfd_open without C linkage for C++.
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd ended{pidfd, POLLIN, 0};
        if (poll(&ended, 1, ProbeTimeoutMs) == 0) {
            run.hung = true;
            kill(pid, SIGKILL);
        }
        close(pidfd);
    }
    waitpid(pid, &run.status, 0);
    run.errors = ReadFile(errorsPath);
    return run;
}

bool EndedWith(const ProbeRun& run, const std::string& message)
{
    return !run.hung && WIFEXITED(run.status) && WEXITSTATUS(run.status) == 1 &&
           run.errors.find("Zorbulon: " + message + "\n") != std::string::npos;
}

class PackDamageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::filesystem::path runDir = ZORBULON_RUN_DIR;
        records = ReadIndex(runDir / "AssetsOffsets.bin");
        ASSERT_FALSE(records.empty()) << "no records in " << runDir / "AssetsOffsets.bin";
        original = ReadFile(runDir / "Assets.bin");
        std::filesystem::create_directory(dir.Path() / "game");
        std::filesystem::copy_file(runDir / "AssetsOffsets.bin", Game() / "AssetsOffsets.bin");
        std::filesystem::copy_file(runDir / "Assets.bin", Game() / "Assets.bin");
    }

    std::filesystem::path Game() const { return dir.Path() / "game"; }
    ProbeRun Probe() const { return RunProbe(Game(), dir.Path() / "stderr.txt"); }

    TempWorkDir dir;
    std::vector<IndexRecord> records;
    std::string original;
};

} // namespace

// Without damage the start runs to its first frame, so in the damaged runs the asset is what fails.
TEST_F(PackDamageTest, WholePackStartsTheGame)
{
    const ProbeRun run = Probe();
    EXPECT_FALSE(run.hung);
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.Describe() << "\n" << run.errors;
}

TEST_F(PackDamageTest, EveryAssetDamagedThreeWaysIsNamed)
{
    const auto began = std::chrono::steady_clock::now();
    const int pack = open((Game() / "Assets.bin").c_str(), O_RDWR);
    ASSERT_GE(pack, 0);
    const auto put = [&](long long offset, const char* bytes, long long size) {
        return pwrite(pack, bytes, size_t(size), offset) == size;
    };
    int cases = 0, passed = 0, damaged = 0;
    const auto expect = [&](const std::string& what, const std::string& message) {
        ++cases;
        const ProbeRun run = Probe();
        if (EndedWith(run, message))
            ++passed;
        else
            ADD_FAILURE() << what << ": expected exit code 1 and 'Zorbulon: " << message << "', got " << run.Describe()
                          << " and: " << run.errors;
    };

    for (const IndexRecord& r : records) {
        const long long size = r.end - r.start;
        ASSERT_GT(size, 0) << r.name << " is empty: there is nothing inside it to damage";
        ASSERT_LE(r.end, static_cast<long long>(original.size())) << r.name;
        ++damaged;
        const std::string checksum = "Assets.bin is damaged: " + r.name + " fails its checksum";

        // One byte in the middle, every bit flipped.
        const long long middle = r.start + size / 2;
        const char flipped = char(original[size_t(middle)] ^ 0xff);
        ASSERT_TRUE(put(middle, &flipped, 1));
        expect(r.name + " with a flipped byte", checksum);
        ASSERT_TRUE(put(middle, &original[size_t(middle)], 1));

        // The pack cut inside the asset: the first record past the cut is the one named.
        ASSERT_EQ(ftruncate(pack, middle), 0);
        const auto firstCut =
            std::find_if(records.begin(), records.end(), [&](const IndexRecord& other) { return other.end > middle; });
        expect(r.name + " cut at " + std::to_string(middle),
               "Assets.bin is damaged: " + firstCut->name + " is cut short");
        ASSERT_TRUE(put(middle, &original[size_t(middle)], static_cast<long long>(original.size()) - middle));

        // Up to 64 bytes zeroed, where at least one of them was not zero already.
        const long long length = std::min(size, 64LL);
        long long from = r.start + (size - length) / 2;
        const auto zero = [&](long long at) { return original[size_t(at)] == '\0'; };
        const auto window = original.begin() + from;
        if (std::all_of(window, window + length, [](char c) { return c == '\0'; })) {
            long long nonzero = r.start;
            while (nonzero < r.end && zero(nonzero))
                ++nonzero;
            ASSERT_LT(nonzero, r.end) << r.name << " is all zeros: zeroing it cannot damage it";
            from = std::min(nonzero, r.end - length);
        }
        const std::string zeros(size_t(length), '\0');
        ASSERT_TRUE(put(from, zeros.data(), length));
        expect(r.name + " with " + std::to_string(length) + " bytes zeroed at " + std::to_string(from), checksum);
        ASSERT_TRUE(put(from, &original[size_t(from)], length));
    }
    close(pack);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("    pack damage matrix: %d assets x 3 = %d cases, %d passed, in %.1f s\n", damaged, cases, passed,
                seconds);
    EXPECT_EQ(passed, cases);
    EXPECT_EQ(cases, 3 * static_cast<int>(records.size()));
}
