// The recorder's settings file (.udm): RecorderSettings lines, CR LF line ends.
//
//   std::string error = UdmFile::load(path, settings); // empty on success; ports, tracks and filters
//                                                      // are replaced, other values kept unless set
//   error = UdmFile::save(path, settings);             // replaces the file whole, or leaves it alone
#pragma once

#include "recorder/settings/RecorderSettings.h"

#include <cstddef>
#include <string>

namespace zeb::recorder {

class UdmFile
{
public:
    // Far above what 64 ports, 64 tracks and 256 filters take; anything larger is not a settings file.
    static constexpr std::size_t kMaxFileSize = 1 << 20;

    // The settings a new recorder starts from: home/record/default.udm.
    static std::string defaultPath(const std::string& home) { return home + "/record/default.udm"; }

    static std::string load(const std::string& path, RecorderSettings& settings);
    static std::string save(const std::string& path, const RecorderSettings& settings);
};

} // namespace zeb::recorder
