#include "swf/BitmapTags.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <memory>

namespace pictova {
namespace {

using test::Bytes;
using test::Hex;
using test::TagBytes;

const uint8_t kPayload[] = {0xAB, 0xCD, 0xEF};

TEST(JPEGTags, FrameThePayloadWithImageMarkers) {
    TSWFDefineBits bits;
    bits.CharacterId = 0x0102;
    bits.SetDataView(kPayload, sizeof kPayload);
    EXPECT_EQ(Hex(TagBytes(bits)), Hex(Bytes({
                                       0x89, 0x01,       // code 6, length 9
                                       0x02, 0x01,       // CharacterId 0x0102
                                       0xFF, 0xD8,       // start of image
                                       0xAB, 0xCD, 0xEF, // payload
                                       0xFF, 0xD9,       // end of image
                                   })));

    TSWFDefineBitsJPEG2 jpeg2;
    jpeg2.CharacterId = 7;
    jpeg2.SetData(std::vector<uint8_t>{0x11});
    EXPECT_EQ(Hex(TagBytes(jpeg2)), Hex(Bytes({
                                        0x47, 0x05, // code 21, length 7
                                        0x07, 0x00, // CharacterId
                                        0xFF, 0xD8, // start of image
                                        0x11,       // payload
                                        0xFF, 0xD9, // end of image
                                    })));

    TSWFJPEGTables tables;
    EXPECT_EQ(Hex(TagBytes(tables)), Hex(Bytes({
                                         0x04, 0x02, // code 8, length 4
                                         0xFF, 0xD8, // start of image, no character ID
                                         0xFF, 0xD9, // end of image, nothing between
                                     })));
}

TEST(JPEGTags, WholeFileFromACallbackGetsDoubledMarkers) {
    // The tag adds its own markers whatever it is handed: callers must strip
    // the file's, or the tag starts FF D8 FF D8, which Ruffle refuses.
    const std::string file = Bytes({0xFF, 0xD8, 0x01, 0x02, 0xFF, 0xD9});
    TSWFDefineBitsJPEG2 tag;
    tag.CharacterId = 3;
    const TSWFDataObject* seenSender = nullptr;
    tag.OnDataWrite = [&](TSWFDataObject& sender, TBitsEngine& be) {
        seenSender = &sender;
        be.WriteBytes(file.data(), file.size());
    };
    tag.SetDataView(kPayload, sizeof kPayload); // the callback wins over Data
    TagBytes(tag);
    EXPECT_EQ(seenSender, &tag);
    EXPECT_EQ(Hex(TagBytes(tag)), Hex(Bytes({
                                      0x4C, 0x05,                         // code 21, length 12
                                      0x03, 0x00,                         // CharacterId
                                      0xFF, 0xD8,                         // start of image
                                      0xFF, 0xD8, 0x01, 0x02, 0xFF, 0xD9, // F
                                      0xFF, 0xD9,                         // end of image
                                  })));
}

TEST(JPEGTags, JPEG3AlphaOffsetCountsTheMarkedJPEGPart) {
    const std::string alpha = Bytes({0x78, 0x9C, 0x03, 0x00});
    TSWFDefineBitsJPEG3 tag;
    tag.CharacterId = 9;
    tag.SetDataView(kPayload, sizeof kPayload);
    tag.SetAlphaData(std::vector<uint8_t>(alpha.begin(), alpha.end()));
    const std::string expected = Bytes({
        0xD1, 0x08,             // code 35, length 17
        0x09, 0x00,             // CharacterId
        0x07, 0x00, 0x00, 0x00, // AlphaDataOffset: 3 payload bytes + 4 marker bytes
        0xFF, 0xD8,             // start of image
        0xAB, 0xCD, 0xEF,       // payload
        0xFF, 0xD9,             // end of image
        0x78, 0x9C, 0x03, 0x00, // alpha payload, as handed over
    });
    EXPECT_EQ(Hex(TagBytes(tag)), Hex(expected));

    // Both payloads through callbacks give the same bytes.
    TSWFDefineBitsJPEG3 streamed;
    streamed.CharacterId = 9;
    streamed.OnDataWrite = [](TSWFDataObject&, TBitsEngine& be) {
        be.WriteBytes(kPayload, sizeof kPayload);
    };
    streamed.OnAlphaDataWrite = [&](TSWFDataObject& sender, TBitsEngine& be) {
        EXPECT_EQ(&sender, &streamed);
        be.WriteBytes(alpha.data(), alpha.size());
    };
    EXPECT_EQ(Hex(TagBytes(streamed)), Hex(expected));

    TSWFDefineBitsJPEG3 empty;
    EXPECT_EQ(Hex(TagBytes(empty)), Hex(Bytes({
                                        0xCA, 0x08,             // code 35, length 10
                                        0x00, 0x00,             // CharacterId
                                        0x04, 0x00, 0x00, 0x00, // AlphaDataOffset
                                        0xFF, 0xD8, 0xFF, 0xD9, // markers, no alpha
                                    })));
}

TEST(LosslessTags, ColourTableSizeOnlyForFormat3AndAlwaysLongHeader) {
    TSWFDefineBitsLossless mapped;
    mapped.CharacterId = 1;
    mapped.BitmapFormat = bitmapColorMapped8;
    mapped.BitmapWidth = 0x0104;
    mapped.BitmapHeight = 2;
    mapped.BitmapColorTableSize = 15;
    mapped.SetDataView(kPayload, sizeof kPayload);
    EXPECT_EQ(Hex(TagBytes(mapped)), Hex(Bytes({
                                         0x3F, 0x05,             // code 20, long form
                                         0x0B, 0x00, 0x00, 0x00, // length 11
                                         0x01, 0x00,             // CharacterId
                                         0x03,                   // BitmapFormat
                                         0x04, 0x01,             // BitmapWidth 260
                                         0x02, 0x00,             // BitmapHeight
                                         0x0F,                   // BitmapColorTableSize
                                         0xAB, 0xCD, 0xEF,       // payload
                                     })));

    for (const uint8_t format : {bitmapRGB15, bitmapRGB32}) {
        TSWFDefineBitsLossless2 direct;
        direct.CharacterId = 2;
        direct.BitmapFormat = format;
        direct.BitmapWidth = 3;
        direct.BitmapHeight = 1;
        direct.BitmapColorTableSize = 15; // not written outside format 3
        direct.SetDataView(kPayload, sizeof kPayload);
        EXPECT_EQ(Hex(TagBytes(direct)), Hex(Bytes({
                                             0x3F, 0x09,             // code 36, long form
                                             0x0A, 0x00, 0x00, 0x00, // length 10
                                             0x02, 0x00,             // CharacterId
                                             format,                 // BitmapFormat
                                             0x03, 0x00,             // BitmapWidth
                                             0x01, 0x00,             // BitmapHeight
                                             0xAB, 0xCD, 0xEF,       // payload
                                         })))
            << int(format);
    }
}

TEST(LosslessTags, RowSizesAndCompression) {
    struct Row {
        uint8_t Format;
        uint16_t Width;
        size_t Bytes;
    };
    const Row rows[] = {
        {3, 1, 4}, {3, 4, 4},  {3, 5, 8},          {3, 0, 0},  {4, 1, 4},  {4, 2, 4},
        {4, 3, 8}, {5, 3, 12}, {5, 65535, 262140}, {0, 10, 0}, {6, 10, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(LosslessRowSize(r.Format, r.Width), r.Bytes) << int(r.Format) << "/" << r.Width;

    const std::string pixels(1000, '\x2A');
    const std::vector<uint8_t> packed = CompressBitmapData(pixels.data(), pixels.size());
    ASSERT_GE(packed.size(), 2u);
    EXPECT_EQ(packed[0], 0x78);
    EXPECT_EQ(packed[1], 0x9C); // default compression level
    EXPECT_EQ(test::Inflate(std::string(packed.begin(), packed.end())), pixels);
    // Images keep their payload until the movie is freed: it must not keep the
    // room of the raw data that zlib's worst case reserves.
    const std::vector<uint8_t> flat(1 << 20, 0);
    EXPECT_LT(CompressBitmapData(flat.data(), flat.size()).capacity(), size_t(64) << 10);
    const std::vector<uint8_t> none = CompressBitmapData(nullptr, 0);
    EXPECT_EQ(test::Inflate(std::string(none.begin(), none.end())), "");
}

TEST(DataObject, PayloadOwnershipAndCallbackAlignment) {
    TSWFDefineBitsLossless tag;
    EXPECT_EQ(tag.DataSize(), 0u);
    EXPECT_FALSE(tag.OwnsData());
    tag.SetDataView(kPayload, sizeof kPayload);
    EXPECT_EQ(tag.Data(), kPayload); // borrowed, not copied
    EXPECT_FALSE(tag.OwnsData());
    tag.SetData(kPayload, sizeof kPayload);
    EXPECT_NE(tag.Data(), kPayload);
    EXPECT_TRUE(tag.OwnsData());
    EXPECT_EQ(tag.DataSize(), 3u);
    tag.ClearData();
    EXPECT_EQ(tag.DataSize(), 0u);
    EXPECT_FALSE(tag.OwnsData());

    // A callback is called at write time, and bits it leaves pending are
    // padded out so that the end marker stays byte-aligned.
    TSWFDefineBits bits;
    int stage = 1;
    bits.OnDataWrite = [&](TSWFDataObject&, TBitsEngine& be) { be.WriteBits(stage, 2); };
    stage = 3;
    EXPECT_EQ(Hex(TagBytes(bits)), Hex(Bytes({
                                       0x87, 0x01, // code 6, length 7
                                       0x00, 0x00, // CharacterId
                                       0xFF, 0xD8, // start of image
                                       0xC0,       // the callback's bits 11, padded
                                       0xFF, 0xD9, // end of image
                                   })));
}

TEST(BitmapTags, AssignCopiesPayloadsAndFields) {
    std::vector<uint8_t> source = {1, 2, 3, 4};
    TSWFDefineBitsLossless2 lossless;
    lossless.CharacterId = 5;
    lossless.BitmapFormat = bitmapColorMapped8;
    lossless.BitmapWidth = 8;
    lossless.BitmapHeight = 6;
    lossless.BitmapColorTableSize = 3;
    lossless.SetDataView(source.data(), source.size());
    TSWFDefineBitsLossless2 copy;
    copy.OnDataWrite = [](TSWFDataObject&, TBitsEngine&) { FAIL() << "stale callback kept"; };
    copy.Assign(lossless);
    EXPECT_FALSE(copy.OnDataWrite);
    EXPECT_TRUE(copy.OwnsData()); // a duplicate, independent of the source block
    source[0] = 99;
    EXPECT_EQ(copy.Data()[0], 1);
    EXPECT_EQ(copy.CharacterId, 5);
    EXPECT_EQ(copy.BitmapFormat, 3);
    EXPECT_EQ(copy.BitmapWidth, 8);
    EXPECT_EQ(copy.BitmapHeight, 6);
    EXPECT_EQ(copy.BitmapColorTableSize, 3);

    // A streaming source gives a streaming copy that holds no bytes.
    TSWFDefineBitsJPEG3 jpeg;
    jpeg.CharacterId = 4;
    jpeg.OnDataWrite = [](TSWFDataObject&, TBitsEngine& be) { be.WriteByte(0x55); };
    jpeg.SetAlphaDataView(kPayload, sizeof kPayload);
    TSWFDefineBitsJPEG3 jpegCopy;
    jpegCopy.SetData(std::vector<uint8_t>{9, 9});
    jpegCopy.Assign(jpeg);
    EXPECT_TRUE(jpegCopy.OnDataWrite);
    EXPECT_EQ(jpegCopy.DataSize(), 0u);
    EXPECT_TRUE(jpegCopy.OwnsAlphaData());
    EXPECT_NE(jpegCopy.AlphaData(), kPayload);
    EXPECT_EQ(TagBytes(jpegCopy), TagBytes(jpeg));

    jpegCopy.Assign(jpegCopy); // self-assignment keeps everything
    EXPECT_EQ(TagBytes(jpegCopy), TagBytes(jpeg));
}

TEST(BitmapTags, TagCodesAndMinVersions) {
    struct Row {
        std::unique_ptr<TSWFObject> Tag;
        uint16_t Code;
        uint8_t Version;
    };
    Row rows[] = {
        {std::make_unique<TSWFDefineBits>(), 6, 1},
        {std::make_unique<TSWFJPEGTables>(), 8, 1},
        {std::make_unique<TSWFDefineBitsJPEG2>(), 21, 2},
        {std::make_unique<TSWFDefineBitsJPEG3>(), 35, 3},
        {std::make_unique<TSWFDefineBitsLossless>(), 20, 2},
        {std::make_unique<TSWFDefineBitsLossless2>(), 36, 3},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.Tag->TagID, r.Code);
        EXPECT_EQ(r.Tag->MinVersion(), r.Version) << r.Code;
        EXPECT_EQ(r.Tag->LibraryLevel(), 0);
    }
}

} // namespace
} // namespace pictova
