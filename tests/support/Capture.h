#pragma once
// Runs a writer against a fresh TBitsEngine and returns the bytes it emitted.

#include "swf/BitsEngine.h"
#include "swf/SWFObject.h"

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

} // namespace pictova::test
