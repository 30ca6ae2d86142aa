#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace zeb::stream {
class IOSTStream;
}

namespace zeb::tools {

// Whether the text is a connection address (TCP client or server, serial port): anything else
// would open as a local file, which a command that talks to a peer must never write into. When
// it is not, says so on `err`, prefixed with the command's name.
bool checkConnectionAddress(std::string_view text, const char* command, std::FILE* err);

// Opens `link` on a connection address; on failure (a file path included) says why on `err`,
// prefixed with the command's name, and returns false.
bool openConnection(stream::IOSTStream& link, const std::string& address, const char* command, std::FILE* err);

// A peer-supplied text made safe to print: control bytes, DEL, bytes above 0x7F and the
// backslash become "\xHH".
std::string escaped(std::string_view text);

} // namespace zeb::tools
