#include "app/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Serialize(const toml::table& table)
{
    // Strings in double quotes, the form people know; the library would use single ones.
    std::ostringstream out;
    out << toml::toml_formatter(table, toml::toml_formatter::default_flags & ~toml::format_flags::allow_literal_strings);
    std::string text = out.str();
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    return text;
}

std::string ErrnoText(int error) { return std::error_code(error, std::generic_category()).message(); }

// Parses `text`; false with `error` filled when it is not TOML.
bool Parse(const std::string& text, const fs::path& path, toml::table& table, std::string& error)
{
    auto describe = [&](const toml::parse_error& e) {
        std::ostringstream out;
        out << "line " << e.source().begin.line << ", column " << e.source().begin.column << ": "
            << e.description();
        error = out.str();
    };
#if TOML_EXCEPTIONS
    try {
        table = toml::parse(text, path.string());
        return true;
    } catch (const toml::parse_error& e) {
        describe(e);
        return false;
    }
#else
    toml::parse_result result = toml::parse(text, path.string());
    if (!result) {
        describe(result.error());
        return false;
    }
    table = std::move(result).table();
    return true;
#endif
}

// Writes all of `text` to `fd`; false with errno set on failure.
bool WriteAll(int fd, const std::string& text)
{
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

SettingsFile::SettingsFile(fs::path path, std::ostream& warnings) : path_(std::move(path)), warnings_(warnings) {}

toml::table SettingsFile::Load()
{
    if (path_.empty())
        return {};
    try {
        std::error_code ec;
        fs::file_status status = fs::status(path_, ec);
        if (status.type() == fs::file_type::not_found) {
            lastText_.clear();
            lastTextKnown_ = true;
            return {};
        }
        if (!fs::is_regular_file(status)) {
            SetAside(ec ? ec.message() : "not a regular file");
            return {};
        }
        std::ifstream in(path_, std::ios::binary);
        std::string text(std::istreambuf_iterator<char>(in), {});
        if (!in.is_open() || in.bad()) {
            SetAside("cannot be read");
            return {};
        }
        toml::table table;
        std::string error;
        if (!Parse(text, path_, table, error)) {
            SetAside(error);
            return {};
        }
        // Compared as the text it would be written as, so a file the player laid out by hand is
        // left as it is until a value in it changes.
        lastText_ = Serialize(table);
        lastTextKnown_ = true;
        return table;
    } catch (const std::exception& e) {
        SetAside(e.what());
        return {};
    }
}

void SettingsFile::SetAside(const std::string& reason)
{
    fs::path broken = path_;
    broken += ".broken";
    std::error_code ec;
    fs::rename(path_, broken, ec);
    if (ec) {
        keepOff_ = true;
        warnings_ << "Zorbulon: " << path_.string() << ": " << reason << "; defaults used, and the file is left as it is ("
                  << broken.filename().string() << " could not be made: " << ec.message() << ")\n";
        return;
    }
    lastText_.clear();
    lastTextKnown_ = true;
    warnings_ << "Zorbulon: " << path_.string() << ": " << reason << "; defaults used, the file is kept as "
              << broken.string() << "\n";
}

bool SettingsFile::Save(const toml::table& table)
{
    if (path_.empty())
        return true;
    if (keepOff_) {
        WarnWrite("the damaged file there is kept");
        return false;
    }
    try {
        std::string text = Serialize(table);
        if (lastTextKnown_ && text == lastText_)
            return true;
        if (!Write(text))
            return false;
        lastText_ = std::move(text);
        lastTextKnown_ = true;
        return true;
    } catch (const std::exception& e) {
        WarnWrite(e.what());
        return false;
    }
}

bool SettingsFile::Write(const std::string& text)
{
    const fs::path folder = path_.has_parent_path() ? path_.parent_path() : fs::path(".");
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        WarnWrite(folder.string() + ": " + ec.message());
        return false;
    }

    // In the same folder, so the rename that replaces the old file cannot cross file systems.
    std::string temporary = (folder / ("." + path_.filename().string() + ".XXXXXX")).string();
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        WarnWrite(ErrnoText(errno));
        return false;
    }
    ::fchmod(fd, 0644);
    bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::rename(temporary.c_str(), path_.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        WarnWrite(ErrnoText(error));
        return false;
    }
    // The rename itself lasts once the folder's entry is on disk.
    int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

void SettingsFile::WarnWrite(const std::string& reason)
{
    if (warnedWrite_)
        return;
    warnedWrite_ = true;
    warnings_ << "Zorbulon: " << path_.string() << " cannot be written (" << reason
              << "); changes are kept until the game closes\n";
}
