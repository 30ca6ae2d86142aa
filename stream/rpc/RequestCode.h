#pragma once

#include <cstddef>
#include <cstdint>

namespace zeb::stream::rpc {

// The first word of a request payload: which operation the far side performs.
namespace request_code {
constexpr std::uint32_t Open = 1;
constexpr std::uint32_t Read = 2;
constexpr std::uint32_t Write = 3;
constexpr std::uint32_t Close = 4;
constexpr std::uint32_t Remove = 5;
constexpr std::uint32_t Rename = 6;
constexpr std::uint32_t Seek = 8;
constexpr std::uint32_t FileType = 9;
constexpr std::uint32_t MakeDirectory = 10;
constexpr std::uint32_t OpenListing = 13;
constexpr std::uint32_t NextEntry = 14;
constexpr std::uint32_t CloseListing = 15;
constexpr std::uint32_t UniqueName = 16;
constexpr std::uint32_t Length = 23;
} // namespace request_code

// Frame kinds.
namespace request_kind {
constexpr std::uint32_t Reply = 0;
constexpr std::uint32_t Record = 1;
constexpr std::uint32_t Request = 2;
} // namespace request_kind

// Answers of the file type request and types of directory entries.
namespace file_type {
constexpr std::uint32_t Directory = 1;
constexpr std::uint32_t Regular = 2;
constexpr std::uint32_t CharacterDevice = 3;
constexpr std::uint32_t Pipe = 5;
constexpr std::uint32_t Other = 6;
constexpr std::uint32_t NotFound = 7;
} // namespace file_type

// Open flags as they travel: the values of the workbench's original file library, so that
// both ends read them the same whatever their own open(2) numbering.
namespace wire_open {
constexpr std::uint32_t ReadOnly = 0x0000;
constexpr std::uint32_t WriteOnly = 0x0001;
constexpr std::uint32_t ReadWrite = 0x0002;
constexpr std::uint32_t AccessMask = 0x0003;
constexpr std::uint32_t Append = 0x0008;
constexpr std::uint32_t Create = 0x0100;
constexpr std::uint32_t Truncate = 0x0200;
constexpr std::uint32_t Exclusive = 0x0400;

std::uint32_t fromLocal(int flags);
int toLocal(std::uint32_t flags);
} // namespace wire_open

// Largest data block one read request answers, and the block size of copies.
constexpr std::size_t kReadBlock = 512;
// Writes go in pieces of this size: frames stay well below what a peer frames without escapes.
constexpr std::size_t kWriteBlock = 4096;
// Bounds on what a peer can make either side walk: entries of one listing, and the depth and
// the number of entries of a tree that is copied or removed.
constexpr std::size_t kMaxListing = 4096;
constexpr int kMaxTreeDepth = 32;
constexpr std::size_t kMaxTreeEntries = 20000;
// A directory entry on the wire: an 80-byte zero-terminated name and four words.
constexpr std::size_t kEntrySize = 96;
constexpr std::size_t kEntryNameSize = 80;

} // namespace zeb::stream::rpc
