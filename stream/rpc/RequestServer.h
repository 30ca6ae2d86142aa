#pragma once

#include "stream/rpc/RemoteFileRequest.h"
#include "stream/rpc/RootFolder.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::stream::rpc {

// Serves the file requests one stream receives, confined to a root folder. The handles it
// hands out are numbers of its own table, never the operating system's descriptors, so a peer
// reaches only the files it opened itself; they live until the peer closes them or the
// stream closes (destroying the server closes them all).
class RequestServer
{
public:
    // Files peers may hold open at once, over every connection of the process; further opens
    // fail.
    static constexpr std::size_t kMaxOpenFiles = 256;

    explicit RequestServer(std::shared_ptr<const RootFolder> root);
    ~RequestServer();
    RequestServer(const RequestServer&) = delete;
    RequestServer& operator=(const RequestServer&) = delete;

    // Whether `code` is one this server answers.
    static bool serves(std::uint32_t code);

    // Serves the request (read from just after its code) and writes the reply fields into
    // `reply`, which the caller has begun writing. A request whose fields are missing or
    // malformed is answered with the operation's failure value.
    void serve(std::uint32_t code, RemoteFileRequest& request, RemoteFileRequest& reply);

    std::size_t openFiles() const { return m_files.size(); }
    static std::size_t openFilesInProcess();

private:
    void open(RemoteFileRequest& request, RemoteFileRequest& reply);
    void read(RemoteFileRequest& request, RemoteFileRequest& reply);
    void write(RemoteFileRequest& request, RemoteFileRequest& reply);
    void close(RemoteFileRequest& request, RemoteFileRequest& reply);
    void remove(RemoteFileRequest& request, RemoteFileRequest& reply);
    void rename(RemoteFileRequest& request, RemoteFileRequest& reply);
    void seek(RemoteFileRequest& request, RemoteFileRequest& reply);
    void fileType(RemoteFileRequest& request, RemoteFileRequest& reply);
    void makeDirectory(RemoteFileRequest& request, RemoteFileRequest& reply);
    void openListing(RemoteFileRequest& request, RemoteFileRequest& reply);
    void nextEntry(RemoteFileRequest& request, RemoteFileRequest& reply);
    void closeListing(RemoteFileRequest& request, RemoteFileRequest& reply);
    void uniqueName(RemoteFileRequest& request, RemoteFileRequest& reply);
    void length(RemoteFileRequest& request, RemoteFileRequest& reply);

    // The descriptor behind a handle of the request, or -1.
    int descriptorOf(RemoteFileRequest& request, std::uint32_t& handle);

    // The folder last listed and its names, read at a listing's first entry.
    struct Listing
    {
        std::filesystem::path folder;
        std::optional<std::vector<std::string>> names;
    };

    std::shared_ptr<const RootFolder> m_root;
    std::map<std::uint32_t, int> m_files;
    Listing m_listing;
    std::uint32_t m_nextHandle;
};

} // namespace zeb::stream::rpc
