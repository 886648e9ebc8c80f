#pragma once
// Runs a writer against a fresh TBitsEngine and returns the bytes it emitted;
// the bytes of a tag, a tag body and a saved movie the same way.

#include "swf/BitsEngine.h"
#include "swf/SWFObject.h"
#include "swf/SWFStream.h"

#include <sstream>
#include <string>

namespace pictova::test {

template <class Writer> std::string Capture(Writer&& write) {
    std::ostringstream out;
    TBitsEngine be(out);
    write(be);
    return std::move(out).str();
}

// The framed bytes of one tag object.
inline std::string TagBytes(TBasedSWFObject& tag) {
    return Capture([&](TBitsEngine& be) { tag.WriteToStream(be); });
}

// The body of one tag object, without its header.
inline std::string BodyBytes(TSWFObject& tag) {
    return Capture([&](TBitsEngine& be) { tag.WriteTagBody(be); });
}

// A whole movie as its stream saves it.
inline std::string Saved(TBasedSWFStream& stream) {
    std::ostringstream out;
    stream.SaveToStream(out);
    return std::move(out).str();
}

} // namespace pictova::test
