#pragma once

#include "app/framework/CIHCOStreamDocument.h"
#include "recorder/settings/RecorderSettings.h"

#include <memory>

namespace zeb::recorder {

class CIHDMView;
class Recorder;

// The recorder document: the recorder's settings (from the default settings file, or the defaults) bound to
// the document's stream, and the Recorder that records with them. The settings are kept among the workspace
// lines in the same line forms as the settings file.
class CIHDMDocument : public framework::CIHCOStreamDocument
{
    Q_OBJECT

public:
    static constexpr const char* kKey = "IHDM";

    CIHDMDocument();
    ~CIHDMDocument() override;

    const RecorderSettings& settings() const { return m_settings; }
    // Takes edited settings and saves them as the default settings file; the recorder takes them now when it is
    // idle, else at its next start. The error of the save, empty when it was written.
    std::string applySettings(RecorderSettings settings);
    // The recorder on the current settings; made again when they changed and it is idle.
    Recorder& recorder();

    CIHDMView* view() const;

    bool handleLine(std::string_view line) override;
    void writeLines(stream::IOSTStream& stream) override;

protected:
    bool onNewDocument() override;

private:
    RecorderSettings m_settings;
    std::unique_ptr<Recorder> m_recorder;
    bool m_settingsChanged = true;
    bool m_listsFromLines = false;
};

// Gives the shell the recorder's document and frame factories for the key "IHDM".
void registerRecorderDocumentType();

} // namespace zeb::recorder
