#include "bench/BenchInputs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace zeb::bench {

namespace {

constexpr std::size_t kStreamSize = 1 << 20;

std::filesystem::path dataFolder()
{
    if (const char* source = std::getenv("ZEB500_SOURCE_DIR"))
        return std::filesystem::path(source) / "data/captures";
    return ZEB500_CAPTURES;
}

Bytes readAll(const std::filesystem::path& folder, const char* extension)
{
    Bytes all;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != extension) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        all.insert(all.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (all.empty()) {
        std::fprintf(stderr, "no %s captures in %s\n", extension, folder.c_str());
        std::exit(1);
    }
    return all;
}

Bytes repeated(const Bytes& part)
{
    Bytes out;
    while (out.size() < kStreamSize) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

void appendBinaryFrame(Bytes& out, std::mt19937& random)
{
    Bytes frame{0xFE, static_cast<std::uint8_t>("AERUQMWx"[random() % 8])};
    const std::size_t body = 20 + random() % 200;
    frame.push_back(static_cast<std::uint8_t>((body + 3) >> 8));
    frame.push_back(static_cast<std::uint8_t>((body + 3) & 0xFF));
    for (std::size_t i = 0; i < body; ++i) {
        frame.push_back(static_cast<std::uint8_t>(random()));
    }
    out.push_back(frame[0]);
    for (std::size_t i = 1; i < frame.size(); ++i) {
        if (frame[i] >= 0xFD) {
            out.push_back(0xFD);
            out.push_back(static_cast<std::uint8_t>(frame[i] - 0xFD));
        } else {
            out.push_back(frame[i]);
        }
    }
    out.push_back(0xFF);
}

void appendStxFrames(Bytes& out, std::mt19937& random)
{
    const std::string svar = "\x02\r\n!R,12,345.678,-0.25,1,2,3,4,5,6,7,8,9\x03";
    out.insert(out.end(), svar.begin(), svar.end());
    // UHF code frame: BCD length 0x40 = 40 bytes from STX through ETX.
    out.push_back(0x02);
    out.push_back('C');
    out.push_back(0x11);
    out.push_back(0x40);
    for (int i = 0; i < 35; ++i) {
        out.push_back(static_cast<std::uint8_t>(random() % 0x7E + 1));
    }
    out.push_back(0x03);
}

} // namespace

Bytes nmeaStream()
{
    return repeated(readAll(dataFolder() / "nmea", ".nmea"));
}

Bytes rtcmStream()
{
    return repeated(readAll(dataFolder() / "rtcm2", ".rtcm2"));
}

Bytes mixedStream()
{
    const Bytes nmea = readAll(dataFolder() / "nmea", ".nmea");
    const Bytes rtcm = readAll(dataFolder() / "rtcm2", ".rtcm2");
    std::mt19937 random(2024);
    Bytes out;
    std::size_t nmeaPos = 0;
    std::size_t rtcmPos = 0;
    while (out.size() < kStreamSize) {
        for (int line = 0; line < 8; ++line) {
            const auto* begin = nmea.data() + nmeaPos;
            const auto* lf = static_cast<const std::uint8_t*>(std::memchr(begin, '\n', nmea.size() - nmeaPos));
            const std::size_t length = lf != nullptr ? static_cast<std::size_t>(lf - begin) + 1 : nmea.size() - nmeaPos;
            out.insert(out.end(), begin, begin + length);
            nmeaPos = (nmeaPos + length) % nmea.size();
        }
        appendBinaryFrame(out, random);
        appendStxFrames(out, random);
        const std::size_t rtcmRun = std::min<std::size_t>(300, rtcm.size() - rtcmPos);
        out.insert(out.end(), rtcm.begin() + static_cast<std::ptrdiff_t>(rtcmPos),
                   rtcm.begin() + static_cast<std::ptrdiff_t>(rtcmPos + rtcmRun));
        rtcmPos = (rtcmPos + rtcmRun) % rtcm.size();
        for (int i = 0; i < 16; ++i) {
            out.push_back(static_cast<std::uint8_t>(random()));
        }
        out.push_back('\n');
    }
    return out;
}

} // namespace zeb::bench
