#pragma once

#include "stream/FileDevice.h"
#include "stream/StreamHandle.h"
#include "stream/rpc/RemoteFileClient.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace zeb::stream::rpc {

// An open file on the far side of a stream, as FileDevice reaches remote paths. The stream
// may go meanwhile (a peer stream its server reaps): every operation finds it again, and
// fails once it is gone.
class RemoteFileHandle final : public FileDevice::RemoteFile
{
public:
    // Null when the far side refuses or does not answer.
    static std::unique_ptr<RemoteFileHandle> open(IOSTStream& via, std::string_view path, int flags);
    ~RemoteFileHandle() override;

    std::int64_t read(std::uint8_t* buffer, std::size_t maximum) override;
    std::int64_t write(const std::uint8_t* bytes, std::size_t count) override;
    std::int64_t seek(std::int64_t offset, int origin) override;
    std::int64_t length() override;
    bool close() override;

private:
    RemoteFileHandle(IOSTStream& via, std::uint32_t handle);
    // Runs `operation` with a client on the pinned stream; `failed` when it is gone.
    template <typename Result, typename Operation>
    Result withClient(Result failed, Operation&& operation);

    StreamHandle m_via;
    std::uint32_t m_handle;
    bool m_open = true;
};

} // namespace zeb::stream::rpc
