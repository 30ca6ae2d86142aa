#pragma once

namespace zeb::stream::serial {

// Makes streams of type 1 (serial lines) open a SerialDevice and escape the binary frames they
// write. Tools and the application call it once at start-up; calling it again changes nothing.
void registerSerialTransport();

} // namespace zeb::stream::serial
