#include "swf/SWFObject.h"

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace pictova {

void TSWFObject::WriteTagBody(TBitsEngine&) {}

bool TagNeedsLongHeader(uint16_t code, uint32_t bodySize) {
    // Players expect lossless bitmaps and video streams in the long form
    // whatever their size.
    return bodySize >= 63 || code == tagDefineBitsLossless || code == tagDefineBitsLossless2 ||
           code == tagDefineVideoStream;
}

namespace {

void WriteHeaderWords(TBitsEngine& be, uint16_t code, uint32_t bodySize) {
    const bool longForm = TagNeedsLongHeader(code, bodySize);
    be.WriteWord(uint16_t(code * 64 + (longForm ? 63 : bodySize)));
    if (longForm)
        be.WriteDWord(bodySize);
}

} // namespace

void TSWFObject::WriteToStream(TBitsEngine& be) {
    std::ostringstream body;
    TBitsEngine bodyEngine(body);
    WriteTagBody(bodyEngine);
    const std::string bytes = std::move(body).str();
    BodySize = uint32_t(bytes.size());
    WriteHeaderWords(be, TagID, BodySize);
    if (BodySize > 0)
        be.WriteBytes(bytes.data(), bytes.size());
}

void WriteTagHeader(std::ostream& stream, uint8_t code, std::istream& body, uint32_t length) {
    if (length == 0) {
        const auto start = body.tellg();
        body.seekg(0, std::ios::end);
        length = uint32_t(body.tellg() - start);
        body.seekg(start);
    }
    TBitsEngine be(stream);
    WriteHeaderWords(be, code, length);
    std::vector<char> buffer(length);
    body.read(buffer.data(), std::streamsize(length));
    if (uint32_t(body.gcount()) != length)
        throw std::runtime_error("tag body shorter than its length " + std::to_string(length));
    stream.write(buffer.data(), std::streamsize(length));
}

} // namespace pictova
