#include "swf/VideoTags.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

namespace pictova {
namespace {

using test::Bytes;
using test::Hex;
using test::TagBytes;

TEST(DefineVideoStream, LongHeaderForItsShortBody) {
    TSWFDefineVideoStream tag;
    tag.CharacterId = 1;
    tag.NumFrames = 10;
    tag.Width = 160;
    tag.Height = 120;
    tag.Deblocking = 1;
    tag.Smoothing = true;
    tag.CodecID = videoScreenVideo;
    const std::string expected = Bytes({
        0x3F, 0x0F,             // code 60, long form
        0x0A, 0x00, 0x00, 0x00, // length 10
        0x01, 0x00,             // CharacterId 1
        0x0A, 0x00,             // NumFrames 10
        0xA0, 0x00,             // Width 160
        0x78, 0x00,             // Height 120
        0x03,                   // reserved 0, Deblocking 1, Smoothing 1
        0x03,                   // CodecID 3
    });
    EXPECT_EQ(Hex(TagBytes(tag)), Hex(expected));
    EXPECT_EQ(tag.MinVersion(), 7);

    TSWFDefineVideoStream copy;
    copy.Assign(tag);
    EXPECT_EQ(Hex(TagBytes(copy)), Hex(expected));

    tag.CodecID = videoH263;
    tag.Deblocking = 2;
    tag.Smoothing = false;
    EXPECT_EQ(tag.MinVersion(), 6);
    EXPECT_EQ(Hex(TagBytes(tag).substr(14)), Hex(Bytes({0x04,     // Deblocking 2, Smoothing 0
                                                        0x02}))); // CodecID 2
}

TEST(VideoFrame, PayloadFromBytesOrCallback) {
    TSWFVideoFrame frame;
    frame.StreamID = 1;
    frame.FrameNum = 2;
    frame.SetData({0xAA, 0xBB});
    const std::string expected = Bytes({
        0x46, 0x0F, // code 61, length 6
        0x01, 0x00, // StreamID 1
        0x02, 0x00, // FrameNum 2
        0xAA, 0xBB, // video data
    });
    EXPECT_EQ(Hex(TagBytes(frame)), Hex(expected));
    EXPECT_EQ(frame.MinVersion(), 6);

    TSWFVideoFrame copy;
    copy.Assign(frame);
    frame.ClearData();
    EXPECT_EQ(Hex(TagBytes(copy)), Hex(expected));

    TSWFVideoFrame streamed;
    streamed.StreamID = 1;
    streamed.FrameNum = 2;
    streamed.OnDataWrite = [](TSWFDataObject&, TBitsEngine& be) {
        be.WriteByte(0xAA);
        be.WriteByte(0xBB);
    };
    EXPECT_EQ(Hex(TagBytes(streamed)), Hex(expected));

    TSWFVideoFrame empty;
    EXPECT_EQ(Hex(TagBytes(empty)), "44 0F 00 00 00 00"); // length 4: no payload
}

} // namespace
} // namespace pictova
