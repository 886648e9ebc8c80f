#pragma once
// Embedded video: DefineVideoStream (the video character) and VideoFrame
// (one frame's compressed data, shown by placing the stream with a ratio).

#include "swf/DataObject.h"

#include <cstdint>

namespace pictova {

// Values of CodecID.
enum TSWFVideoCodec : uint8_t {
    videoH263 = 2,        // Sorenson H.263
    videoScreenVideo = 3, // needs SWF 7
};

// Always written with the long tag header, which players expect.
class TSWFDefineVideoStream : public TSWFObject {
public:
    TSWFDefineVideoStream() { TagID = tagDefineVideoStream; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // 6; 7 for screen video.
    uint8_t MinVersion() const override { return CodecID == videoScreenVideo ? 7 : 6; }
    void WriteTagBody(TBitsEngine& be) override;

    uint16_t CharacterId = 0;
    uint16_t NumFrames = 0;
    uint16_t Width = 0;     // pixels
    uint16_t Height = 0;    // pixels
    uint8_t Deblocking = 0; // 2 bits: 0 as the stream says, 1 off, 2 on
    bool Smoothing = false;
    uint8_t CodecID = videoH263; // TSWFVideoCodec
};

// Body: StreamID, FrameNum, the payload: the frame's data in the stream's
// codec, as it stands in the video packet of an FLV file.
class TSWFVideoFrame : public TSWFDataObject {
public:
    TSWFVideoFrame() { TagID = tagVideoFrame; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 6; }
    void WriteTagBody(TBitsEngine& be) override;

    uint16_t StreamID = 0; // the DefineVideoStream's character ID
    uint16_t FrameNum = 0; // 0-based
};

} // namespace pictova
