#include "swf/SWFStream.h"

#include "platform/SafeFile.h"
#include "swf/BitsEngine.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string_view>
#include <vector>

#include <zlib.h>

namespace pictova {

TBasedSWFStream::TBasedSWFStream(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax,
                                 float frameRate, bool systemCoord) {
    SetSystemCoord(systemCoord);
    Header.FrameRect =
        TRect{xMin * FUnitFactor, yMin * FUnitFactor, xMax * FUnitFactor, yMax * FUnitFactor};
    Header.Version = 5;
    SetFrameRate(frameRate);
}

void TBasedSWFStream::SetSystemCoord(bool on) {
    FSystemCoord = on;
    FUnitFactor = on ? 20 : 1;
}

void TBasedSWFStream::SetVersion(uint8_t v) {
    Header.Version = FCompressed && v < 6 ? 6 : v;
}

void TBasedSWFStream::SetCompressed(bool on) {
    FCompressed = on;
    if (on && Header.Version < 6)
        Header.Version = 6;
}

int32_t TBasedSWFStream::Width() const {
    return (Header.FrameRect.Right - Header.FrameRect.Left) / FUnitFactor;
}

int32_t TBasedSWFStream::Height() const {
    return (Header.FrameRect.Bottom - Header.FrameRect.Top) / FUnitFactor;
}

uint32_t TBasedSWFStream::HeaderSize() const {
    const TSWFRect r = MakeSWFRect(Header.FrameRect, false);
    const uint32_t nbits =
        GetSignedBitsCount(MaxAbs(r.GetXMin(), r.GetXMax(), r.GetYMin(), r.GetYMax()));
    return (5 + 4 * nbits + 7) / 8 + 12;
}

uint32_t TBasedSWFStream::BodySize() const {
    // The body is only ever appended to, so the put position is its size.
    const auto end = const_cast<std::stringstream&>(FBody).tellp();
    return end < 0 ? 0 : uint32_t(end);
}

void TBasedSWFStream::ClearBody() {
    FBody.str(std::string());
    FBody.clear();
}

void TBasedSWFStream::WriteHeader(std::ostream& stream, int part) {
    if (part == 0 || part == 1) {
        char first[8] = {Header.Signature[0], Header.Signature[1], Header.Signature[2],
                         char(Header.Version)};
        for (int i = 0; i < 4; ++i)
            first[4 + i] = char(uint8_t(Header.FileLength >> (8 * i)));
        stream.write(first, 8);
    }
    if (part == 0 || part == 2) {
        TBitsEngine be(stream);
        be.WriteRect(Header.FrameRect);
        be.WriteWord(Header.FPS);
        be.WriteWord(Header.FrameCount);
    }
}

void TBasedSWFStream::SaveToStream(std::ostream& stream) {
    // A view, not str(): the body of a show of large pictures is big, and a
    // copy of it would double the peak memory of saving.
    const std::string_view body = FBody.view();
    Header.FileLength = uint32_t(body.size()) + HeaderSize();
    if (!FCompressed) {
        std::copy_n("FWS", 3, Header.Signature);
        WriteHeader(stream, 0);
        stream.write(body.data(), std::streamsize(body.size()));
        return;
    }
    std::copy_n("CWS", 3, Header.Signature);
    if (Header.Version < 6)
        Header.Version = 6;
    WriteHeader(stream, 1);
    CompressBody(stream);
}

void TBasedSWFStream::CompressBody(std::ostream& stream) {
    std::ostringstream headerTail;
    WriteHeader(headerTail, 2);
    const std::string tail = std::move(headerTail).str();
    const std::string_view body = FBody.view();

    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib could not start compressing the movie");
    constexpr size_t kBlock = 64 * 1024;
    std::vector<unsigned char> out(kBlock);
    // Progress is measured against the body less the 22 bytes players treat as
    // header; guard tiny bodies, which never fill a whole block anyway.
    const double base = std::max<double>(1.0, double(body.size()) - 22.0);

    auto pump = [&](std::string_view input, int flush) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
        z.avail_in = uInt(input.size());
        int rc;
        do {
            z.next_out = out.data();
            z.avail_out = uInt(kBlock);
            rc = deflate(&z, flush);
            if (rc == Z_STREAM_ERROR)
                throw std::runtime_error("zlib failed while compressing the movie");
            const size_t produced = kBlock - z.avail_out;
            stream.write(reinterpret_cast<const char*>(out.data()), std::streamsize(produced));
            if (produced == kBlock && OnProgress)
                OnProgress(*this, int(std::nearbyint(100.0 * double(z.total_in) / base)), 2);
        } while (z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
    };
    try {
        pump(tail, Z_NO_FLUSH);
        pump(body, Z_FINISH);
    } catch (...) {
        deflateEnd(&z);
        throw;
    }
    deflateEnd(&z);
}

void TBasedSWFStream::SaveToFile(const std::filesystem::path& fileName) {
    SaveFileReplacing(fileName, [this](std::ostream& out) { SaveToStream(out); });
}

} // namespace pictova
