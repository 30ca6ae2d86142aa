#include "RemoteCommand.h"

#include "Connection.h"
#include "Transports.h"
#include "explorer/core/EntryTexts.h"
#include "platform/HeadlessDispatcher.h"
#include "platform/MessageTarget.h"
#include "stream/IOSTStream.h"
#include "stream/StreamAddress.h"
#include "stream/StreamRegistry.h"
#include "stream/rpc/FileCopy.h"
#include "stream/rpc/RemoteFileClient.h"
#include "stream/rpc/RemoteRequests.h"
#include "stream/rpc/RequestCode.h"

#include <CLI/CLI.hpp>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <thread>

namespace zeb::tools {

namespace {

using stream::StreamStatus;
using stream::rpc::RemoteFileClient;

struct Remote
{
    std::string address;
    std::string path;
};

std::optional<Remote> remoteOf(const std::string& text)
{
    auto split = stream::splitRemotePath(text);
    if (!split || split->first.empty() || split->second.empty())
        return std::nullopt;
    return Remote{split->first, split->second};
}

// Prints the percentages a copy posts, on one line of standard error.
class ProgressLine : public platform::MessageTarget
{
public:
    ProgressLine(std::FILE* err, std::string name)
        : m_err(err)
        , m_name(std::move(name))
    {
    }
    platform::LResult onMessage(platform::MessageId message, platform::WParam wParam, platform::LParam lParam) override
    {
        if (message == stream::StreamRegistry::messages().thread && wParam == 1) {
            std::fprintf(m_err, "\r%s %3d%%", m_name.c_str(), static_cast<int>(lParam));
            std::fflush(m_err);
            m_shown = true;
        }
        return 0;
    }
    void finish()
    {
        if (m_shown)
            std::fputc('\n', m_err);
    }

private:
    std::FILE* m_err;
    std::string m_name;
    bool m_shown = false;
};

// Copies on a worker thread while this thread's loop shows the progress.
StreamStatus copyWithProgress(const std::string& from, const std::string& to, std::FILE* err, bool quiet)
{
    platform::HeadlessDispatcher dispatcher;
    ProgressLine progress(err, to);
    std::atomic<bool> done{false};
    StreamStatus status = StreamStatus::Ok;
    std::thread worker([&] {
        status = stream::rpc::FileCopy::copy(from, to, quiet ? platform::kNoHandle : progress.handle());
        done = true;
    });
    while (!dispatcher.runUntil([&] { return done.load(); }, std::chrono::milliseconds(200))) { }
    worker.join();
    // Posts still queued show the last percentages.
    dispatcher.runUntil([] { return false; }, std::chrono::milliseconds(0));
    progress.finish();
    return status;
}

char typeLetter(std::uint32_t type)
{
    namespace file_type = stream::rpc::file_type;
    switch (type) {
    case file_type::Directory:
        return 'd';
    case file_type::Regular:
        return '-';
    case file_type::CharacterDevice:
        return 'c';
    case file_type::Pipe:
        return 'p';
    default:
        return '?';
    }
}

int report(StreamStatus status, const std::string& what, std::FILE* err)
{
    if (status == StreamStatus::Ok)
        return 0;
    std::fprintf(err, "remote: %s failed (status %u)\n", what.c_str(), static_cast<unsigned>(status));
    return 1;
}

int list(RemoteFileClient& client, const std::string& path, bool explorerColumns, std::FILE* out, std::FILE* err)
{
    std::vector<stream::rpc::DirectoryEntry> entries;
    const StreamStatus status = client.list(path, entries);
    if (status != StreamStatus::Ok)
        return report(status, "ls " + path, err);
    using explorer::EntryTexts;
    for (const auto& entry : entries) {
        if (explorerColumns) {
            // The explorer window's Attributes, Size, Type and Modified texts.
            std::fprintf(out, "%s %10s %-17s %-19s %s\n", EntryTexts::attributes(entry).c_str(),
                         EntryTexts::size(entry).c_str(), EntryTexts::type(entry).c_str(),
                         EntryTexts::modified(entry).c_str(), escaped(entry.name).c_str());
            continue;
        }
        std::fprintf(out, "%c %04o %10u %10u %s\n", typeLetter(entry.type), entry.mode & 07777u, entry.size, entry.time,
                     escaped(entry.name).c_str());
    }
    return 0;
}

} // namespace

RemoteCommand::Options& RemoteCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("remote", "File operations on the far side of a stream");
    subcommand->add_option("operation", options.operation, "ls, get, put, rm, mkdir or mv")
        ->required()
        ->check(CLI::IsMember({"ls", "get", "put", "rm", "mkdir", "mv"}));
    subcommand->add_option("paths", options.paths, "ADDRESS//PATH, and a second path for get, put and mv")->required();
    subcommand->add_flag("--quiet", options.quiet, "No progress for copies");
    subcommand->add_flag("-l,--long", options.longListing,
                         "ls: the explorer's Attributes, Size, Type and Modified columns");
    return options;
}

int RemoteCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    static const std::map<std::string, std::size_t> kArguments
        = {{"ls", 1}, {"rm", 1}, {"mkdir", 1}, {"get", 2}, {"put", 2}, {"mv", 2}};
    const std::string& operation = options.operation;
    if (options.paths.size() != kArguments.at(operation)) {
        std::fprintf(err, "remote %s: expects %zu path(s)\n", operation.c_str(), kArguments.at(operation));
        return 2;
    }
    // put names its remote path second; every other operation first.
    const std::string& remoteText = operation == "put" ? options.paths[1] : options.paths[0];
    const auto remote = remoteOf(remoteText);
    if (!remote) {
        std::fprintf(err, "remote %s: %s is no ADDRESS//PATH\n", operation.c_str(), remoteText.c_str());
        return 2;
    }

    registerTransports();
    // Replies are matched by the request service; this side serves nothing meanwhile.
    stream::rpc::installRemoteRequests(std::filesystem::path());
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    if (!openConnection(link, remote->address, "remote", err))
        return 2;
    // The stream's own address text is what remote paths must name.
    const std::string there = link.address() + "//" + remote->path;
    RemoteFileClient client(link);

    int result = 0;
    if (operation == "ls") {
        result = list(client, remote->path, options.longListing, out, err);
    } else if (operation == "rm") {
        result = report(client.remove(remote->path), "rm " + remote->path, err);
    } else if (operation == "mkdir") {
        result = report(client.makeDirectory(remote->path), "mkdir " + remote->path, err);
    } else if (operation == "mv") {
        const auto target = remoteOf(options.paths[1]);
        const std::string to = target ? target->path : options.paths[1];
        if (target && target->address != remote->address) {
            std::fprintf(err, "remote mv: both paths must be on %s\n", remote->address.c_str());
            result = 2;
        } else {
            result = report(client.rename(remote->path, to), "mv " + remote->path, err);
        }
    } else if (operation == "get") {
        result = report(copyWithProgress(there, options.paths[1], err, options.quiet), "get " + remote->path, err);
    } else {
        result = report(copyWithProgress(options.paths[0], there, err, options.quiet), "put " + remote->path, err);
    }
    link.close();
    return result;
}

} // namespace zeb::tools
