#include "movie/FlashPlaceObject.h"

#include "media/MPEGFrame.h"
#include "movie/FlashActionScript.h"
#include "movie/FlashMovie.h"
#include "movie/FlashShape.h"
#include "swf/SoundTags.h"
#include "swf/VideoTags.h"

#include <algorithm>
#include <cassert>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace pictova {

TFlashPlaceObject::TFlashPlaceObject(TFlashMovie* owner, TFlashVisualObject* visual, uint16_t depth)
    : TFlashObject(owner), FVisualObject(visual), PlaceTag(std::make_unique<TSWFPlaceObject2>()) {
    PlaceTag->Depth = depth;
    if (visual)
        PlaceTag->SetCharacterId(visual->CharacterId());
    if (visual && visual->IsSprite())
        MakeClipScript();
}

void TFlashPlaceObject::ChangeOwner() {
    if (FClipScript)
        FClipScript->SetOwner(Owner);
}

void TFlashPlaceObject::MakeClipScript() {
    if (FClipScript)
        return;
    FClipActionList = std::make_unique<TSWFActionList>();
    FClipScript = std::make_unique<TFlashActionScript>(Owner, FClipActionList.get());
}

TFlashPlaceObject::~TFlashPlaceObject() = default;

TFlashPlaceObject::TFlashPlaceObject(const TFlashPlaceObject& source)
    : TFlashObject(source), FVisualObject(source.FVisualObject),
      PlaceTag(std::make_unique<TSWFPlaceObject2>(*source.PlaceTag)) {
    CopyClipScript(source);
}

TFlashPlaceObject& TFlashPlaceObject::operator=(const TFlashPlaceObject& source) {
    if (&source == this)
        return *this;
    TFlashObject::operator=(source);
    *PlaceTag = *source.PlaceTag;
    FVisualObject = source.FVisualObject;
    CopyClipScript(source);
    return *this;
}

void TFlashPlaceObject::CopyClipScript(const TFlashPlaceObject& source) {
    // The tag's records were replaced: a script of ours would point into
    // the old ones.
    FClipScript.reset();
    FClipActionList.reset();
    if (!source.FClipScript)
        return;
    MakeClipScript();
    *FClipActionList = *source.FClipActionList;
    FClipScript->SetActions(*FClipActionList);
    // The records were copied in order: the script follows the copy of the
    // record it wrote into.
    const TSWFActionList* target = &source.FClipScript->Actions();
    if (source.PlaceTag->PlaceFlagHasClipActions()) {
        const auto& from = source.PlaceTag->ClipActions().Records;
        auto& to = PlaceTag->ClipActions().Records;
        for (size_t i = 0; i < from.size() && i < to.size(); ++i)
            if (from[i].get() == target)
                FClipScript->SetActions(*to[i]);
    }
}

void TFlashPlaceObject::Assign(const TBasedSWFObject& source) {
    AssignFlashObject(*this, source);
}

uint8_t TFlashPlaceObject::MinVersion() const {
    if (!PlaceTag->PlaceFlagHasClipActions())
        return 3;
    // The tag asks for 6 when a record uses an event that SWF 5's 16-bit
    // flags cannot hold; the movie's version must say so too.
    return std::max<uint8_t>(5, PlaceTag->MinVersion());
}

void TFlashPlaceObject::WriteToStream(TBitsEngine& be) {
    PlaceTag->WriteToStream(be);
}

TSWFColorTransform& TFlashPlaceObject::ColorTransform() {
    const bool fresh = !PlaceTag->PlaceFlagHasColorTransform();
    TSWFColorTransform& t = PlaceTag->ColorTransform();
    if (fresh) {
        SWFColorTransform withAlpha = t.ColorTransform();
        withAlpha.HasAlpha = true;
        t.SetColorTransform(withAlpha);
    }
    return t;
}

uint8_t TFlashPlaceObject::VisualUnitFactor() const {
    assert(FVisualObject && "SetX and SetY need the placed object's units");
    return FVisualObject ? FVisualObject->UnitFactor() : 1;
}

void TFlashPlaceObject::SetTranslate(int32_t x, int32_t y) {
    if (x == 0 && y == 0 && !PlaceTag->PlaceFlagHasMatrix() && !Move())
        return;
    const int32_t u = Owner ? Owner->UnitFactor() : 1;
    PlaceTag->Matrix().SetTranslate(x * u, y * u);
}

void TFlashPlaceObject::SetX(int32_t x) {
    TSWFMatrix& m = PlaceTag->Matrix();
    m.SetTranslate(x * VisualUnitFactor(), m.TranslateY);
}

void TFlashPlaceObject::SetY(int32_t y) {
    TSWFMatrix& m = PlaceTag->Matrix();
    m.SetTranslate(m.TranslateX, y * VisualUnitFactor());
}

void TFlashPlaceObject::SetScale(float scaleX, float scaleY) {
    PlaceTag->Matrix().SetScale(scaleX, scaleY);
}

void TFlashPlaceObject::SetRotate(float degrees) {
    PlaceTag->Matrix().SetRotate(degrees);
}

TSWFClipActionRecord* TFlashPlaceObject::ClipEventRecord(uint8_t event, bool create) {
    assert(event <= ceDragOut && "clip events are numbered 0 to 18");
    if (!FClipScript || event > ceDragOut)
        return nullptr;
    const uint32_t set = ClipEventSet(TSWFClipEvent(event));
    if (PlaceTag->PlaceFlagHasClipActions())
        for (const auto& record : PlaceTag->ClipActions().Records)
            if (record->EventFlags & set)
                return record.get();
    if (!create)
        return nullptr;
    return &PlaceTag->ClipActions().Add(set);
}

TFlashActionScript* TFlashPlaceObject::ClipEventScript(uint8_t event) {
    TSWFClipActionRecord* record = ClipEventRecord(event, true);
    if (!record)
        return nullptr;
    FClipScript->SetActions(*record);
    return FClipScript.get();
}

// --- Video placement

namespace {

// The VideoFrame tag of a video placement's frame.
void WriteVideoFrameTag(TBitsEngine& be, uint16_t streamId, uint16_t frameNum,
                        std::span<const uint8_t> data) {
    TSWFVideoFrame tag;
    tag.StreamID = streamId;
    tag.FrameNum = frameNum;
    tag.SetDataView(data.data(), data.size());
    tag.WriteToStream(be);
}

// Frames a tag with the 32-bit length field whatever its size: sound blocks
// that go with video are always written so.
void WriteWithLongHeader(TSWFObject& tag, TBitsEngine& be) {
    std::ostringstream body;
    TBitsEngine bodyEngine(body);
    tag.WriteTagBody(bodyEngine);
    const std::string bytes = std::move(body).str();
    tag.BodySize = uint32_t(bytes.size());
    be.WriteWord(uint16_t(tag.TagID * 64 + 63));
    be.WriteDWord(tag.BodySize);
    if (!bytes.empty())
        be.WriteBytes(bytes.data(), bytes.size());
}

constexpr uint32_t RateOfCode[4] = {5512, 11025, 22050, 44100}; // Hz

} // namespace

TFlashPlaceVideo::TFlashPlaceVideo(TFlashMovie* owner, TFlashVideoSource& source, uint16_t streamId,
                                   uint16_t depth)
    : TFlashPlaceObject(owner, nullptr, depth), VideoFrameWriter(&WriteVideoFrameTag),
      FSource(&source) {
    Tag().SetCharacterId(streamId);
}

TFlashPlaceVideo::TFlashPlaceVideo(const TFlashPlaceVideo& source)
    : TFlashPlaceVideo(source.Owner, *source.FSource, source.CharacterId(), source.Depth()) {
    *this = source;
}

TFlashPlaceVideo& TFlashPlaceVideo::operator=(const TFlashPlaceVideo& source) {
    TFlashPlaceObject::operator=(source);
    AutoRepeat = source.AutoRepeat;
    WithSound = source.WithSound;
    StartFrame = source.StartFrame;
    OnPlaceFrame = source.OnPlaceFrame;
    OnCustomFrame = source.OnCustomFrame;
    VideoFrameWriter = source.VideoFrameWriter;
    FSource = source.FSource;
    return *this;
}

void TFlashPlaceVideo::Assign(const TBasedSWFObject& source) {
    AssignFlashObject(*this, source);
}

void TFlashPlaceVideo::WriteSoundHead(TBitsEngine& be) {
    const uint8_t format = FSource->AudioFormat();
    const std::array<uint8_t, 4> header = FSource->AudioHeader();
    if (!IsFrameHeader(header))
        throw std::runtime_error("video sound: the audio header " + std::to_string(header[0]) +
                                 " " + std::to_string(header[1]) + " " + std::to_string(header[2]) +
                                 " " + std::to_string(header[3]) +
                                 " is not an MPEG audio frame header");
    SamplesPerAudioFrame = MPEGSamplesPerFrame(DecodeFrameHeader(header));
    const float fps = Owner ? Owner->FrameRate() : 0.0f;
    if (fps <= 0.0f)
        throw std::runtime_error("video sound: the movie has no frame rate");
    SampleRate = RateOfCode[(format >> 2) & 3];
    // Rounded to the nearest sample, halves to even.
    const int32_t perFrame = RoundHalfEven(double(SampleRate) / double(fps));
    if (perFrame <= 0 || perFrame > 0xFFFF)
        throw std::runtime_error("video sound: " + std::to_string(perFrame) +
                                 " samples per movie frame do not fit a sound stream head");
    SamplesPerFrame = uint32_t(perFrame);
    SeekSamples = SamplesPerFrame % SamplesPerAudioFrame;
    NextAudioFrame = 0;
    Compression = uint8_t(format >> 4);

    TSWFSoundStreamHead head;
    head.PlaybackSoundRate = head.StreamSoundRate = uint8_t((format >> 2) & 3);
    head.PlaybackSoundSize = head.StreamSoundSize = uint8_t((format >> 1) & 1);
    head.PlaybackSoundType = head.StreamSoundType = uint8_t(format & 1);
    head.StreamSoundCompression = Compression;
    head.StreamSoundSampleCount = uint16_t(SamplesPerFrame);
    head.LatencySeek = int16_t(SeekSamples);
    head.WriteToStream(be);
}

void TFlashPlaceVideo::WriteSoundBlock(TBitsEngine& be, bool first) {
    const size_t available = FSource->AudioFrameCount();
    if (NextAudioFrame >= available)
        return;
    size_t k = (SeekSamples + SamplesPerFrame) / SamplesPerAudioFrame + (first ? 1 : 0);
    k = std::min(k, available - NextAudioFrame);
    if (k > 0) {
        const uint64_t samples = uint64_t(k) * SamplesPerAudioFrame;
        if (samples > 0xFFFF)
            throw std::runtime_error("video sound: a block of " + std::to_string(samples) +
                                     " samples does not fit its 16-bit count");
        std::vector<uint8_t> data;
        for (size_t i = 0; i < k; ++i) {
            const std::span<const uint8_t> frame = FSource->AudioFrame(NextAudioFrame++);
            data.insert(data.end(), frame.begin(), frame.end());
        }
        TSWFSoundStreamBlock block;
        block.IsMP3 = Compression == soundMP3;
        block.SampleCount = uint16_t(samples);
        block.SeekSamples = int16_t(SeekSamples);
        block.SetData(std::move(data));
        WriteWithLongHeader(block, be);
    }
    SeekSamples = (SeekSamples + SamplesPerFrame) % SamplesPerAudioFrame;
}

void TFlashPlaceVideo::WriteFrame(TBitsEngine& be, uint32_t frame) {
    const uint32_t count = FSource->FrameCount();
    if (frame < StartFrame || count == 0)
        return;
    const uint32_t offset = frame - StartFrame;
    if (!AutoRepeat && offset >= count)
        return;
    const uint32_t videoFrame = offset % count;
    if (videoFrame > 0xFFFF)
        throw std::runtime_error("video frame " + std::to_string(videoFrame) +
                                 " does not fit the 16-bit frame number");
    const TFlashVideoFrameInfo info{offset, videoFrame, CharacterId(), Depth()};
    if (OnCustomFrame) {
        OnCustomFrame(be, info);
        return;
    }

    TFlashPlaceObject place(Owner, nullptr, Depth());
    place.TFlashPlaceObject::Assign(*this);
    const bool first = offset == 0;
    if (first) {
        place.SetRatio(0);
        if (WithSound)
            WriteSoundHead(be);
    } else {
        place.SetMove(true);
        place.SetRatio(uint16_t(videoFrame));
    }
    if (WithSound && SamplesPerAudioFrame > 0)
        WriteSoundBlock(be, first);
    VideoFrameWriter(be, CharacterId(), uint16_t(videoFrame), FSource->FrameData(videoFrame));
    if (OnPlaceFrame)
        OnPlaceFrame(be, info, place);
    place.WriteToStream(be);
}

} // namespace pictova
