// The settings file on disk: never lost, never overwritten while damaged, never rewritten for
// nothing; and the XDG directories it lives in.
#include "app/SettingsFile.h"
#include "app/XdgPaths.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct stat StatOf(const fs::path& path)
{
    struct stat info{};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

std::set<std::string> FilesIn(const fs::path& dir)
{
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

int CountLines(const std::string& text)
{
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

toml::table TableWith(const char* key, int64_t value)
{
    toml::table table;
    table.insert_or_assign(key, value);
    return table;
}

// Files this process writes stop at `bytes`, and a write past that fails with EFBIG instead of
// raising SIGXFSZ, until the guard goes.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace

TEST(SettingsFile, WritesOnlyWhatChangedAndKeepsAHandLaidOutFile)
{
    TempWorkDir dir;
    const fs::path path = dir.Path() / "config" / "settings.toml"; // the folder is made on the first save
    std::ostringstream warnings;
    {
        SettingsFile file(path, warnings);
        EXPECT_TRUE(file.Load().empty());
        ASSERT_TRUE(file.Save(TableWith("width", 1920)));
        const struct stat first = StatOf(path);
        // The same table again: no new file (a rewrite goes through a rename, so a new inode).
        ASSERT_TRUE(file.Save(TableWith("width", 1920)));
        EXPECT_EQ(StatOf(path).st_ino, first.st_ino);
        ASSERT_TRUE(file.Save(TableWith("width", 2560)));
        EXPECT_NE(StatOf(path).st_ino, first.st_ino);
        EXPECT_EQ(FilesIn(path.parent_path()), std::set<std::string>{"settings.toml"}); // no temporary left
    }
    // A file the player wrote by hand, comments and all, stays as it is until a value changes.
    const std::string handWritten = "# my settings\nwidth   =   2560 # the big screen\n";
    dir.Write("config/settings.toml", handWritten);
    {
        SettingsFile file(path, warnings);
        const toml::table table = file.Load();
        EXPECT_EQ(table["width"].value<int64_t>(), 2560);
        ASSERT_TRUE(file.Save(table));
        EXPECT_EQ(ReadBytes(path), handWritten);
        ASSERT_TRUE(file.Save(TableWith("width", 1280)));
        EXPECT_EQ(SettingsFile(path, warnings).Load()["width"].value<int64_t>(), 1280);
    }
    EXPECT_EQ(warnings.str(), "");
    // No path is no file: nothing is read or written, and nothing fails.
    SettingsFile none({}, warnings);
    EXPECT_TRUE(none.Load().empty());
    EXPECT_TRUE(none.Save(TableWith("width", 1920)));
    EXPECT_EQ(warnings.str(), "");
}

TEST(SettingsFile, ADamagedFileIsSetAsideAndNeverWrittenOver)
{
    TempWorkDir dir;
    const fs::path path = dir.Path() / "settings.toml";
    const std::string damaged = "[display]\nwidth = 1920\nheight = = 1080\n";
    dir.Write("settings.toml.broken", "an older damaged file\n");
    dir.Write("settings.toml", damaged);
    std::ostringstream warnings;
    SettingsFile file(path, warnings);
    EXPECT_TRUE(file.Load().empty());
    EXPECT_NE(warnings.str().find(path.string()), std::string::npos) << warnings.str();
    EXPECT_NE(warnings.str().find("line 3"), std::string::npos) << warnings.str();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(ReadBytes(dir.Path() / "settings.toml.broken"), damaged); // replacing the older one

    // Saving makes a new file beside the damaged one, which stays as the player left it.
    ASSERT_TRUE(file.Save(TableWith("width", 1920)));
    EXPECT_EQ(SettingsFile(path, warnings).Load()["width"].value<int64_t>(), 1920);
    EXPECT_EQ(ReadBytes(dir.Path() / "settings.toml.broken"), damaged);

    // Bytes that are not text at all are damage too, and so is a letter where a value should be
    // (which toml++ 3.3 on its own would not survive: see app/Toml.h).
    for (const char* bytes : {"round = \"\xff\xfe\"\n", "round = \xc2\xa7\n", "\xcc\xaa"}) {
        dir.Write("records.toml", bytes);
        EXPECT_TRUE(SettingsFile(dir.Path() / "records.toml", warnings).Load().empty()) << bytes;
        EXPECT_EQ(ReadBytes(dir.Path() / "records.toml.broken"), bytes);
    }
}

TEST(SettingsFile, AFolderThatCannotBeMadeWarnsOnceAndThrowsNothing)
{
    TempWorkDir dir;
    // A regular file where a folder should be stops even root.
    dir.Write("config", "not a folder");
    std::ostringstream warnings;
    SettingsFile file(dir.Path() / "config" / "zorbulon" / "settings.toml", warnings);
    EXPECT_TRUE(file.Load().empty());
    EXPECT_FALSE(file.Save(TableWith("width", 1920)));
    EXPECT_FALSE(file.Save(TableWith("width", 2560)));
    EXPECT_EQ(CountLines(warnings.str()), 1) << warnings.str();
    EXPECT_NE(warnings.str().find("settings.toml"), std::string::npos) << warnings.str();
}

TEST(SettingsFile, AWriteThatFailsLeavesTheOldFileWholeAndNoTemporary)
{
    TempWorkDir dir;
    const fs::path path = dir.Path() / "settings.toml";
    const std::string old = "width = 1920\n";
    dir.Write("settings.toml", old);
    std::ostringstream warnings;
    SettingsFile file(path, warnings);
    ASSERT_FALSE(file.Load().empty());

    toml::table larger;
    larger.insert_or_assign("name", std::string(4096, 'z'));
    bool saved;
    {
        // The disk fills up part way through the new text.
        FileSizeLimit limit(64);
        saved = file.Save(larger);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"settings.toml"});
    EXPECT_EQ(CountLines(warnings.str()), 1) << warnings.str();
    // Once there is room again the same save goes through.
    EXPECT_TRUE(file.Save(larger));
    EXPECT_EQ(SettingsFile(path, warnings).Load()["name"].value<std::string>(), std::string(4096, 'z'));
}

TEST(SettingsXdg, DirectoriesFollowTheBaseDirectoryRules)
{
    EXPECT_EQ(XdgDirectory("/xdg/config", "/home/p", ".config"), fs::path("/xdg/config"));
    // Unset, empty or relative: the home default.
    EXPECT_EQ(XdgDirectory(nullptr, "/home/p", ".config"), fs::path("/home/p/.config"));
    EXPECT_EQ(XdgDirectory("", "/home/p", ".local/share"), fs::path("/home/p/.local/share"));
    EXPECT_EQ(XdgDirectory("relative/config", "/home/p", ".config"), fs::path("/home/p/.config"));
    // No home either: nowhere.
    EXPECT_EQ(XdgDirectory(nullptr, nullptr, ".config"), fs::path());
    EXPECT_EQ(XdgDirectory("relative", "", ".config"), fs::path());

    // The game's own folders, from the environment (restored afterwards).
    struct SavedVariable {
        const char* name;
        std::optional<std::string> value;
        explicit SavedVariable(const char* n) : name(n)
        {
            if (const char* v = std::getenv(n))
                value = v;
        }
        ~SavedVariable() { value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name); }
    } home("HOME"), config("XDG_CONFIG_HOME"), data("XDG_DATA_HOME");
    ::setenv("HOME", "/home/p", 1);
    ::setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(ConfigDirectory(), fs::path("/xdg/config/zorbulon"));
    EXPECT_EQ(DataDirectory(), fs::path("/home/p/.local/share/zorbulon"));
}
