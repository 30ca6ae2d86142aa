#include "recorder/document/CIHDMDocument.h"

#include "app/framework/CIHCOChildFrame.h"
#include "app/framework/DocumentTypeCatalog.h"
#include "platform/Environment.h"
#include "recorder/document/CIHDMChildFrame.h"
#include "recorder/document/CIHDMView.h"
#include "recorder/engine/Recorder.h"
#include "recorder/settings/UdmFile.h"
#include "stream/IOSTStream.h"

#include <filesystem>

namespace zeb::recorder {

namespace {

constexpr std::string_view kLinePrefix = "$PKVR,RPC,IHDM,";

} // namespace

CIHDMDocument::CIHDMDocument()
    : m_settings(RecorderSettings::defaults(platform::Environment::home()))
{
    // A settings file that cannot be read leaves the defaults whole rather than half replaced.
    RecorderSettings loaded = m_settings;
    if (UdmFile::load(UdmFile::defaultPath(platform::Environment::home()), loaded).empty())
        m_settings = std::move(loaded);
}

CIHDMDocument::~CIHDMDocument() = default;

CIHDMView* CIHDMDocument::view() const
{
    return frame() ? qobject_cast<CIHDMView*>(frame()->view()) : nullptr;
}

bool CIHDMDocument::onNewDocument()
{
    if (!CIHCOStreamDocument::onNewDocument())
        return false;
    m_settings.bindDocumentPort(streamId());
    m_settingsChanged = true;
    return true;
}

Recorder& CIHDMDocument::recorder()
{
    if (!m_recorder || (m_settingsChanged && m_recorder->state() == Recorder::State::Idle)) {
        m_recorder = std::make_unique<Recorder>(m_settings, stream());
        m_settingsChanged = false;
    }
    return *m_recorder;
}

std::string CIHDMDocument::applySettings(RecorderSettings settings)
{
    m_settings = std::move(settings);
    m_settings.bindDocumentPort(streamId());
    m_settingsChanged = true;
    const std::filesystem::path path = UdmFile::defaultPath(platform::Environment::home());
    // The first save of a fresh data folder finds no record folder yet.
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    return UdmFile::save(path.string(), m_settings);
}

bool CIHDMDocument::handleLine(std::string_view line)
{
    if (CIHCOStreamDocument::handleLine(line))
        return true;
    if (!line.starts_with(kLinePrefix))
        return false;
    // The workspace's lists replace those of the default settings file, as loading a settings file does.
    if (!m_listsFromLines) {
        m_settings.clearLists();
        m_listsFromLines = true;
    }
    return m_settings.handleLine(line);
}

void CIHDMDocument::writeLines(stream::IOSTStream& stream)
{
    CIHCOStreamDocument::writeLines(stream);
    stream.write(m_settings.lines());
}

void registerRecorderDocumentType()
{
    framework::DocumentTypeCatalog::setFactoriesOf<CIHDMDocument, CIHDMChildFrame>(CIHDMDocument::kKey);
}

} // namespace zeb::recorder
