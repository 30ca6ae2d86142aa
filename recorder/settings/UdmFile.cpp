#include "recorder/settings/UdmFile.h"

#include "stream/StreamAddress.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace zeb::recorder {

namespace {

std::string failure(const std::string& path, const char* what)
{
    return path + ": " + what;
}

// A path over another stream ("address//path") is never read or written here as a local file.
bool isLocal(const std::string& path)
{
    return !path.empty() && !stream::splitRemotePath(path);
}

bool writeAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

std::string UdmFile::load(const std::string& path, RecorderSettings& settings)
{
    std::error_code error;
    // Only a regular file: a device or a pipe named as settings would never end.
    if (!isLocal(path) || !std::filesystem::is_regular_file(path, error)) {
        return failure(path, "not a settings file");
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        return failure(path, std::strerror(errno));
    }
    std::string text(kMaxFileSize + 1, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file.get()));
    if (std::ferror(file.get())) {
        return failure(path, "read failed");
    }
    if (text.size() > kMaxFileSize) {
        return failure(path, "too large for a settings file");
    }
    settings.clearLists();
    settings.handleText(text);
    return {};
}

std::string UdmFile::save(const std::string& path, const RecorderSettings& settings)
{
    if (!isLocal(path)) {
        return failure(path, "not a local path");
    }
    // Written beside the target and renamed over it, so a failed save leaves the old settings whole.
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return failure(path, std::strerror(errno));
    }
    const bool written = writeAll(fd, settings.lines());
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(temporary.c_str());
        return failure(path, reason.c_str());
    }
    return {};
}

} // namespace zeb::recorder
