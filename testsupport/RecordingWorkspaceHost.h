// A workspace host without an application, for the workspace tests and fuzz target: documents that
// keep the common fields and a STREAM line, and a log of what the loader asked for.
#pragma once

#include "app/workspace/DocumentCommon.h"
#include "app/workspace/WorkspaceDocument.h"
#include "app/workspace/WorkspaceHost.h"
#include "stream/IOSTStream.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zeb::testsupport {

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

// A document as the framework's documents behave: the common lines first, then its STREAM
// line (except for the types without a stream), and no FRAME or BAR lines before it has a
// window.
class FakeDocument : public workspace::WorkspaceDocument
{
public:
    explicit FakeDocument(std::string documentKey)
        : key(std::move(documentKey))
    {
    }

    bool handleLine(std::string_view line) override
    {
        lines.emplace_back(line);
        if (common.handleLine(line))
            return true;
        if (!hasStream())
            return false;
        const std::optional<std::uint32_t> id = workspace::readStreamLine(line, key);
        if (id)
            streamId = *id;
        return id.has_value();
    }

    void writeLines(stream::IOSTStream& stream) override
    {
        if (finished)
            common.writeLines(stream, kScreenWidth, kScreenHeight);
        if (hasStream())
            stream.write(workspace::streamLine(key, streamId));
    }

    bool finishLoading() override
    {
        ++finishCount;
        finished = true;
        return true;
    }

    // The automatic test has no stream.
    bool hasStream() const { return key != "IHTL"; }

    std::string key;
    workspace::DocumentCommon common;
    std::uint32_t streamId = 65;
    bool finished = false;
    int finishCount = 0;
    std::vector<std::string> lines;
};

class RecordingHost : public workspace::WorkspaceHost
{
public:
    void closeWorkspace() override
    {
        calls.emplace_back("close");
        documentList.clear();
        address.clear();
    }

    void connectTo(std::string_view text) override
    {
        calls.push_back("connect " + std::string(text));
        address = text;
    }

    workspace::WorkspaceDocument* createDocument(std::string_view key) override
    {
        calls.push_back("create " + std::string(key));
        if (key != "IHTE" && key != "IHDB" && key != "IHTL" && key != "IHGE")
            return nullptr;
        documentList.push_back(std::make_unique<FakeDocument>(std::string(key)));
        return documentList.back().get();
    }

    void showError(std::string_view message) override { errors.emplace_back(message); }
    std::string openConnectionAddress() const override { return address; }

    std::vector<Block> documents() const override
    {
        std::vector<Block> blocks;
        for (const auto& document : documentList)
            blocks.push_back({document->key, document.get()});
        return blocks;
    }

    void workspaceLoaded(std::string_view path) override { loadedPath = path; }
    void workspaceSaved(std::string_view path) override { savedPath = path; }

    FakeDocument& add(const std::string& key)
    {
        documentList.push_back(std::make_unique<FakeDocument>(key));
        return *documentList.back();
    }

    std::vector<std::unique_ptr<FakeDocument>> documentList;
    std::string address;
    std::vector<std::string> calls;
    std::vector<std::string> errors;
    std::string loadedPath;
    std::string savedPath;
};

} // namespace zeb::testsupport
