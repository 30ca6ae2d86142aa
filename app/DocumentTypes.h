#pragma once

#include <array>
#include <string_view>

namespace zeb::app {

// One row of the table of document types, in template creation order.
struct DocumentTypeRow
{
    int type; // also the image index of the type's toolbar button
    std::string_view key;
    std::string_view label;
    const char* icon;
    int commandId;
    bool needsConnection;
    bool single;
};

// The two command objects (Connect, Disconnect) come first so that they lead the toolbar.
// New-document commands are numbered from 33400 in this order.
inline constexpr std::array<DocumentTypeRow, 12> kDocumentTypes{{
    {0, "UTTE/CONNECT", "Connection", "IDI_UTTE_CONNECT", 33303, false, false},
    {1, "UTTE/DISCONNECT", "Disconnection", "IDI_UTTE_DISCONNECT", 33304, false, false},
    {2, "IHTE", "Terminal", "IDI_IHTE", 33400, true, false},
    {3, "IHEX", "Disk on chip explorer", "IDI_IHEX", 33401, true, false},
    {6, "IHDM", "Recorder", "IDI_IHDM", 33402, true, false},
    {7, "IHAQ", "Varnel remote view", "IDI_IHAQ", 33403, true, false},
    {8, "IHIM", "Zerath remote view", "IDI_IHIM", 33404, true, true},
    {9, "IHTL", "Automatic test", "IDI_IHTL", 33405, false, false},
    {10, "IHGE", "Geometry", "IDI_IHGE", 33406, true, true},
    {11, "IHHD", "Heading", "IDI_IHHD", 33407, true, true},
    {12, "IHDB", "Remote trace viewer", "IDI_IHDB", 33408, true, false},
    {13, "IHWB", "Internet explorer", "IDI_IHWB", 33409, false, false},
}};

} // namespace zeb::app
