#include "desktop/RuffleController.h"

#include "movie/FlashActionScript.h"
#include "movie/FlashMovie.h"
#include "swf/Actions.h"
#include "swf/BranchActions.h"
#include "swf/SWFReader.h"

#include <zlib.h>

#include <algorithm>
#include <sstream>

namespace pictova::desktop {

namespace {

constexpr uint16_t tagEnd = 0;
constexpr uint16_t tagShowFrame = 1;
constexpr uint16_t tagSetBackgroundColor = 9;

// GetProperty indexes.
constexpr int32_t propCurrentFrame = 4;
constexpr int32_t propTotalFrames = 5;
constexpr int32_t propUrl = 15;

constexpr const char* Level1 = "_level1";
constexpr const char* StartedVariable = "pictovaStarted";

// The header and the first frame's opening tags lie well within this much of
// the inflated movie; the rest of a compressed movie is the player's.
constexpr size_t HeaderBytes = 64 * 1024;

std::string InflateStart(std::string_view data, size_t enough) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        throw TMovieFactsError("zlib could not be initialised");
    std::string out;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    char chunk[16384];
    int rc = Z_OK;
    while (rc == Z_OK && out.size() < enough) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(chunk, sizeof chunk - z.avail_out);
    }
    inflateEnd(&z);
    // A damaged or cut stream still yields its first bytes, which is all the
    // header needs; what follows is the player's to judge.
    return out;
}

// The bit-packed frame rectangle; the fields after it start on a byte.
TRect ReadFrameRect(TSWFReader& r) {
    uint8_t current = 0;
    int left = 0; // bits of `current` not yet read
    const auto bits = [&](int count) {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            if (left == 0) {
                current = r.ReadByte();
                left = 8;
            }
            --left;
            value = (value << 1) | ((current >> left) & 1u);
        }
        return value;
    };
    const auto signedBits = [&](int count) {
        if (count == 0)
            return 0;
        const uint32_t sign = 1u << (count - 1);
        return int32_t((bits(count) ^ sign) - sign);
    };
    const int width = int(bits(5));
    TRect rect;
    rect.Left = signedBits(width);
    rect.Right = signedBits(width);
    rect.Top = signedBits(width);
    rect.Bottom = signedBits(width);
    return rect;
}

void ReportFrame(TFlashActionScript& s) {
    // fscommand("pictovaFrame", _level1._currentframe + " " + _level1._totalframes
    //           + " " + _level1._url)
    s.Push(std::string("FSCommand:") + ControllerCommand);
    s.Push({std::string(Level1), propCurrentFrame});
    s.Actions().Add<TSWFActionGetProperty>();
    s.Push(std::string(" "));
    s.Add2();
    s.Push({std::string(Level1), propTotalFrames});
    s.Actions().Add<TSWFActionGetProperty>();
    s.Add2();
    s.Push(std::string(" "));
    s.Add2();
    s.Push({std::string(Level1), propUrl});
    s.Actions().Add<TSWFActionGetProperty>();
    s.Add2();
    s.Actions().Add<TSWFActionGetURL2>();
}

void HoldLastFrame(TFlashActionScript& s) {
    // if (!(cur < total) && 0 < total) tellTarget("_level1") stop();
    // Before level 1 has loaded both read as undefined, which skips too.
    s.Push({std::string(Level1), propCurrentFrame});
    s.Actions().Add<TSWFActionGetProperty>();
    s.Push({std::string(Level1), propTotalFrames});
    s.Actions().Add<TSWFActionGetProperty>();
    s.Less2();
    auto& notLast = s.If();
    s.Push({int32_t(0), std::string(Level1), propTotalFrames});
    s.Actions().Add<TSWFActionGetProperty>();
    s.Less2();
    s.Not();
    auto& notLoaded = s.If();
    s.Actions().Add<TSWFActionSetTarget>().TargetName = Level1;
    s.Stop();
    s.Actions().Add<TSWFActionSetTarget>().TargetName = "";
    s.SetMarker(&notLast.BranchMarker(), false);
    s.SetMarker(&notLoaded.BranchMarker(), false);
}

void WatchFrame(TFlashActionScript& s, bool loop) {
    // Level 1 has already advanced when level 0's frame script runs in a
    // tick, so a stop here holds the frame it shows now.
    if (!loop)
        HoldLastFrame(s);
    ReportFrame(s);
}

void LoadOnce(TFlashActionScript& s) {
    // The controller's timeline loops through its frames: load only once.
    s.Push(std::string(StartedVariable));
    s.GetVariable();
    auto& started = s.If();
    s.Push({std::string(StartedVariable), true});
    s.SetVariable();
    // loadMovieNum(pictovaMovie, 1)
    s.Push(std::string(ControllerMovieVariable));
    s.GetVariable();
    s.Push(std::string(Level1));
    s.Actions().Add<TSWFActionGetURL2>();
    s.SetMarker(&started.BranchMarker(), false);
}

} // namespace

TMovieFacts ReadMovieFacts(std::string_view bytes) {
    if (bytes.size() < 8)
        throw TMovieFactsError("The file is too short for a Flash movie (" +
                               std::to_string(bytes.size()) + " bytes).");
    const std::string_view signature = bytes.substr(0, 3);
    TMovieFacts facts;
    if (signature == "CWS")
        facts.Compressed = true;
    else if (signature != "FWS")
        throw TMovieFactsError(
            "The file is not a Flash movie (it does not begin with FWS or CWS).");

    const std::string inflated =
        facts.Compressed ? InflateStart(bytes.substr(8), HeaderBytes) : std::string();
    TSWFReader r(facts.Compressed ? std::string_view(inflated) : bytes.substr(8), 8);
    facts.FrameRect = ReadFrameRect(r);
    facts.FPS = r.ReadWord();
    facts.FrameCount = r.ReadWord();

    // Tags of the first frame, as far as they are there.
    while (r.Remaining() >= 2) {
        const uint16_t codeAndLength = r.ReadWord();
        const uint16_t code = codeAndLength >> 6;
        uint32_t length = codeAndLength & 0x3F;
        if (length == 0x3F) {
            if (r.Remaining() < 4)
                break;
            length = r.ReadDWord();
        }
        if (code == tagEnd || code == tagShowFrame)
            break;
        if (code == tagSetBackgroundColor && length >= 3 && r.Remaining() >= 3) {
            facts.Background.R = r.ReadByte();
            facts.Background.G = r.ReadByte();
            facts.Background.B = r.ReadByte();
            facts.HasBackground = true;
            break;
        }
        r.Skip(std::min<size_t>(length, r.Remaining()));
    }
    return facts;
}

std::string MakeControllerMovie(const TMovieFacts& movie, bool loop) {
    const TRect& r = movie.FrameRect;
    // 8.8 fixed point / 256 is exact in a float, so the rate is copied as is.
    TFlashMovie controller(r.Left, r.Top, r.Right, r.Bottom, float(movie.FPS) / 256.0f, false);
    controller.SetVersion(6);
    controller.BackgroundColor().SetRGB(movie.HasBackground ? movie.Background
                                                            : SWFRGB{255, 255, 255});
    // Two frames, so that level 0 keeps running a frame script every tick.
    LoadOnce(controller.FrameActions());
    WatchFrame(controller.FrameActions(), loop);
    controller.ShowFrame();
    WatchFrame(controller.FrameActions(), loop);
    controller.ShowFrame();
    controller.MakeStream();
    std::ostringstream out;
    controller.SaveToStream(out);
    return out.str();
}

} // namespace pictova::desktop
