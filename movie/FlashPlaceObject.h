#pragma once
// TFlashPlaceObject: one display-list change of a frame. It puts a visual
// object at a depth, or modifies what stands there, and writes one
// PlaceObject2 tag when the movie is written. Placements of sprites also
// carry clip-event scripts.
// TFlashPlaceVideo: the placement of a video stream, which writes a video
// frame, optional streamed sound and a moving placement for every movie frame.

#include "movie/FlashObject.h"
#include "swf/DisplayListTags.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace pictova {

class TFlashActionScript;
class TFlashVisualObject;

class TFlashPlaceObject : public TFlashObject {
public:
    // A visual object sets the character; none makes a pure modification.
    // A sprite's placement gets a clip script.
    TFlashPlaceObject(TFlashMovie* owner, TFlashVisualObject* visual, uint16_t depth);
    // Copy the tag, the visual reference and the clip script (pointed at the
    // copy of the record the source's script writes into).
    TFlashPlaceObject(const TFlashPlaceObject& source);
    TFlashPlaceObject& operator=(const TFlashPlaceObject& source);
    ~TFlashPlaceObject() override;

    void Assign(const TBasedSWFObject& source) override;
    // 3; 5 with clip actions, 6 when they use an event only SWF 6 has.
    uint8_t MinVersion() const override;
    void WriteToStream(TBitsEngine& be) override;
    // The clip script follows the placement's owner.
    void ChangeOwner() override;

    uint16_t Depth() const { return PlaceTag->Depth; }
    uint16_t CharacterId() const { return PlaceTag->CharacterId(); }
    TFlashVisualObject* VisualObject() const { return FVisualObject; }

    // Modify the object already at the depth instead of placing a new one.
    void SetMove(bool on) { PlaceTag->PlaceFlagMove = on; }
    bool Move() const { return PlaceTag->PlaceFlagMove; }
    void SetName(const std::string& name) { PlaceTag->SetName(name); }
    void SetRatio(uint16_t ratio) { PlaceTag->SetRatio(ratio); }
    // With alpha terms; asking for it writes a colour transform.
    TSWFColorTransform& ColorTransform();

    // User units of the movie; (0, 0) on a fresh, non-moving placement adds
    // no matrix.
    void SetTranslate(int32_t x, int32_t y);
    // User units of the placed object.
    void SetX(int32_t x);
    void SetY(int32_t y);
    // Replaces the scale terms; rotation and skew stay.
    void SetScale(float scaleX, float scaleY);
    // Degrees, composed with the current scale and skew; positive angles
    // turn counter-clockwise on screen.
    void SetRotate(float degrees);

    // Sprite placements only, nullptr otherwise. The first clip-action
    // record whose events include `event` (a TSWFClipEvent, 0 to 18); when
    // there is none and `create` is set, a new record for that event alone.
    TSWFClipActionRecord* ClipEventRecord(uint8_t event, bool create);
    // Sprite placements only, nullptr otherwise: the clip script, pointed at
    // the record of the event (created if needed). Its actions run on that
    // event of the placed sprite.
    TFlashActionScript* ClipEventScript(uint8_t event);
    TFlashActionScript* OnEnterFrame() { return ClipEventScript(ceEnterFrame); }
    // The clip script writes into ClipActionList until an event is chosen;
    // that list is not part of the movie, so choose the event first.
    TFlashActionScript* ClipScript() const { return FClipScript.get(); }
    TSWFActionList* ClipActionList() const { return FClipActionList.get(); }

    // The SWF version the clip-event flags are written for.
    void SetSWFVersion(uint8_t version) { PlaceTag->SWFVersion = version; }
    TSWFPlaceObject2& Tag() { return *PlaceTag; }
    const TSWFPlaceObject2& Tag() const { return *PlaceTag; }

private:
    uint8_t VisualUnitFactor() const;
    void MakeClipScript();
    void CopyClipScript(const TFlashPlaceObject& source);

    std::unique_ptr<TSWFActionList> FClipActionList;
    std::unique_ptr<TFlashActionScript> FClipScript; // over FClipActionList or a record
    TFlashVisualObject* FVisualObject;               // not owned
    std::unique_ptr<TSWFPlaceObject2> PlaceTag;
};

// What a video placement plays: the frames of one video stream and its audio
// track (for instance read from an FLV file).
class TFlashVideoSource {
public:
    virtual ~TFlashVideoSource() = default;
    virtual uint32_t FrameCount() const = 0;
    // CodecID of the video stream.
    virtual uint8_t Codec() const = 0;
    // The VideoFrame payload of a frame below FrameCount; the bytes stay
    // valid until the next call.
    virtual std::span<const uint8_t> FrameData(uint32_t frame) = 0;

    // Audio format byte: compression in bits 4-7, rate code in bits 2-3
    // (5512, 11025, 22050, 44100 Hz), 16-bit samples in bit 1, stereo in bit 0.
    virtual uint8_t AudioFormat() const = 0;
    // The header of the track's first MPEG audio frame.
    virtual std::array<uint8_t, 4> AudioHeader() const = 0;
    virtual size_t AudioFrameCount() const = 0;
    // One compressed audio frame, header included; valid until the next call.
    virtual std::span<const uint8_t> AudioFrame(size_t index) = 0;
};

struct TFlashVideoFrameInfo {
    uint32_t Frame = 0;      // movie frames since the video's start frame
    uint32_t VideoFrame = 0; // the video frame shown
    uint16_t CharacterId = 0;
    uint16_t Depth = 0;
};

// Writes one complete VideoFrame tag: StreamID, FrameNum, the frame's data.
using TFlashVideoFrameWriter = std::function<void(
    TBitsEngine& be, uint16_t streamId, uint16_t frameNum, std::span<const uint8_t> data)>;

class TFlashPlaceVideo : public TFlashPlaceObject {
public:
    // The source outlives the placement; streamId is the video stream's
    // character ID.
    TFlashPlaceVideo(TFlashMovie* owner, TFlashVideoSource& source, uint16_t streamId,
                     uint16_t depth);
    // The placement, the settings, the callbacks and the source; the sound
    // bookkeeping is not copied (a copy starts with none, assigning keeps
    // the target's), as the first frame sets it up anew.
    TFlashPlaceVideo(const TFlashPlaceVideo& source);
    TFlashPlaceVideo& operator=(const TFlashPlaceVideo& source);

    void Assign(const TBasedSWFObject& source) override;
    uint8_t MinVersion() const override { return 3; }

    // The output for movie frame `frame` (from 0): sound head and block,
    // VideoFrame and placement. Nothing before StartFrame, nor after the
    // last video frame without AutoRepeat. Throws std::runtime_error when
    // the sound cannot be streamed (no MPEG audio header, no frame rate) or
    // a frame number passes 16 bits.
    void WriteFrame(TBitsEngine& be, uint32_t frame);

    bool AutoRepeat = true; // restart after the last video frame
    bool WithSound = false; // stream the audio track
    uint16_t StartFrame = 0;
    // After the frame's video data, before its placement is written.
    std::function<void(TBitsEngine& be, const TFlashVideoFrameInfo& info, TFlashPlaceObject& place)>
        OnPlaceFrame;
    // When assigned, replaces the whole output of a frame.
    std::function<void(TBitsEngine& be, const TFlashVideoFrameInfo& info)> OnCustomFrame;
    // Writes the VideoFrame tag of a frame; by default a TSWFVideoFrame.
    TFlashVideoFrameWriter VideoFrameWriter;

    TFlashVideoSource& Source() const { return *FSource; }

private:
    void WriteSoundHead(TBitsEngine& be);
    void WriteSoundBlock(TBitsEngine& be, bool first);

    TFlashVideoSource* FSource; // not owned
    // Sound-stream bookkeeping, reset on the video's first frame.
    uint32_t SampleRate = 0;           // Hz
    size_t NextAudioFrame = 0;         // next compressed frame to write
    uint32_t SeekSamples = 0;          // of the next block
    uint32_t SamplesPerFrame = 0;      // per movie frame
    uint32_t SamplesPerAudioFrame = 0; // per compressed audio frame
    uint8_t Compression = 0;
};

} // namespace pictova
