#pragma once

#include "app/framework/CIHCODocument.h"

#include <cstdint>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::framework {

// A document attached to a stream by identifier (65, the application connection, by default).
// The document neither opens nor closes the stream.
class CIHCOStreamDocument : public CIHCODocument
{
    Q_OBJECT

public:
    static constexpr std::uint32_t kApplicationConnection = 65;

    std::uint32_t streamId() const { return m_streamId; }
    void setStreamId(std::uint32_t id) { m_streamId = id; }
    // The stream registered under the identifier when the document was made; none for 256 and
    // over or an empty slot.
    stream::IOSTStream* stream() const { return m_stream; }

    // Adds "$PKVR,RPC,<key>,STREAM,%u" to the common lines.
    bool handleLine(std::string_view line) override;
    void writeLines(stream::IOSTStream& stream) override;

protected:
    bool onNewDocument() override;

private:
    std::uint32_t m_streamId = kApplicationConnection;
    stream::IOSTStream* m_stream = nullptr;
};

} // namespace zeb::framework
