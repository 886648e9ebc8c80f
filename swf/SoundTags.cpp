#include "swf/SoundTags.h"

#include <cassert>
#include <stdexcept>
#include <string>

namespace pictova {

namespace {

// The format/rate/size/type byte shared by DefineSound and the stream heads.
void WriteSoundFormatByte(TBitsEngine& be, uint8_t format, uint8_t rate, uint8_t size,
                          uint8_t type) {
    assert(format < 16 && rate < 4 && size < 2 && type < 2 && "sound field out of range");
    be.WriteBits(format, 4);
    be.WriteBits(rate, 2);
    be.WriteBits(size, 1);
    be.WriteBits(type, 1);
}

} // namespace

uint8_t TSWFDefineSound::MinVersion() const {
    switch (SoundFormat) {
    case soundMP3:
    case soundUncompressedLE:
        return 4;
    case soundNellymoser:
        return 6;
    default:
        return 1;
    }
}

void TSWFDefineSound::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(SoundId);
    WriteSoundFormatByte(be, SoundFormat, SoundRate, SoundSize, SoundType);
    be.WriteDWord(SoundSampleCount);
    if (SoundFormat == soundMP3)
        be.WriteWord(uint16_t(SeekSamples));
    WriteData(be);
}

void TSWFStartSound::SetInPoint(uint32_t samples44) {
    FInPoint = samples44;
    FHasInPoint = samples44 != 0;
}

void TSWFStartSound::SetOutPoint(uint32_t samples44) {
    FOutPoint = samples44;
    FHasOutPoint = samples44 != 0;
}

void TSWFStartSound::SetLoopCount(uint16_t count) {
    FLoopCount = count;
    FHasLoops = count != 0;
}

void TSWFStartSound::AddEnvelope(const TSWFSoundEnvelope& point) {
    Envelopes.push_back(point);
    HasEnvelope = true;
}

void TSWFStartSound::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(SoundId);
    WriteSoundInfo(be);
}

void TSWFStartSound::WriteSoundInfo(TBitsEngine& be) {
    HasEnvelope = HasEnvelope && !Envelopes.empty();
    if (HasEnvelope && Envelopes.size() > 255)
        throw std::runtime_error("a sound envelope holds at most 255 points, not " +
                                 std::to_string(Envelopes.size()));
    be.WriteBits(0, 2); // reserved
    be.WriteBit(SyncStop);
    be.WriteBit(SyncNoMultiple);
    be.WriteBit(HasEnvelope);
    be.WriteBit(FHasLoops);
    be.WriteBit(FHasOutPoint);
    be.WriteBit(FHasInPoint);
    if (FHasInPoint)
        be.WriteDWord(FInPoint);
    if (FHasOutPoint)
        be.WriteDWord(FOutPoint);
    if (FHasLoops)
        be.WriteWord(FLoopCount);
    if (HasEnvelope) {
        be.WriteByte(uint8_t(Envelopes.size()));
        for (const TSWFSoundEnvelope& point : Envelopes) {
            be.WriteDWord(point.Pos44);
            be.WriteWord(point.LeftLevel);
            be.WriteWord(point.RightLevel);
        }
    }
}

uint8_t TSWFSoundStreamHead::MinVersion() const {
    return StreamSoundCompression == soundMP3 ? 4 : 1;
}

void TSWFSoundStreamHead::WriteTagBody(TBitsEngine& be) {
    assert(PlaybackSoundRate < 4 && PlaybackSoundSize < 2 && PlaybackSoundType < 2 &&
           "playback field out of range");
    be.WriteBits(0, 4); // reserved
    be.WriteBits(PlaybackSoundRate, 2);
    be.WriteBits(PlaybackSoundSize, 1);
    be.WriteBits(PlaybackSoundType, 1);
    WriteSoundFormatByte(be, StreamSoundCompression, StreamSoundRate, StreamSoundSize,
                         StreamSoundType);
    be.WriteWord(StreamSoundSampleCount);
    if (StreamSoundCompression == soundMP3)
        be.WriteWord(uint16_t(LatencySeek));
}

uint8_t TSWFSoundStreamHead2::MinVersion() const {
    switch (StreamSoundCompression) {
    case soundMP3:
        return 4;
    case soundNellymoser:
        return 6;
    default:
        return 3;
    }
}

void TSWFSoundStreamBlock::WriteTagBody(TBitsEngine& be) {
    if (IsMP3) {
        be.WriteWord(SampleCount);
        be.WriteWord(uint16_t(SeekSamples));
    }
    WriteData(be);
}

} // namespace pictova
