// The image character: which tag each kind of picture becomes, the payload
// bytes of every lossless layout, JPEG files and their progressive
// re-encoding, failures, and ffmpeg reading the pictures back out of movies.

#include "movie/FlashImage.h"
#include "movie/FlashMovie.h"
#include "movie/PictureReader.h"
#include "platform/JpegCodec.h"
#include "platform/PngDecoder.h"
#include "swf/BitmapTags.h"
#include "tests/support/Capture.h"
#include "tests/support/Ffmpeg.h"
#include "tests/support/PictureFiles.h"
#include "tests/support/SwfWalker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::Hex;
using test::ReadFileBytes;

const fs::path kData = PICTOVA_TEST_DATA;

std::vector<uint8_t> ToVector(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

std::string ToString(const std::vector<uint8_t>& v) {
    return std::string(v.begin(), v.end());
}

uint16_t U16(const std::string& s, size_t at) {
    return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8);
}

uint32_t U32(const std::string& s, size_t at) {
    return U16(s, at) | uint32_t(U16(s, at + 2)) << 16;
}

// The one tag an image writes, read back by the test walker.
test::WalkedTag WrittenTag(TFlashImage& image) {
    const auto tags = test::WalkTags(test::TagBytes(image), 0);
    EXPECT_EQ(tags.size(), 1u);
    return tags.at(0);
}

struct TLossless {
    uint16_t Code = 0;
    uint16_t Id = 0;
    uint8_t Format = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    int TableSize = -1; // BitmapColorTableSize; format 3 only
    std::string Raw;    // the inflated payload
};

TLossless ReadLossless(TFlashImage& image) {
    const test::WalkedTag tag = WrittenTag(image);
    EXPECT_TRUE(tag.LongHeader);
    TLossless t;
    t.Code = tag.Code;
    t.Id = U16(tag.Body, 0);
    t.Format = uint8_t(tag.Body[2]);
    t.Width = U16(tag.Body, 3);
    t.Height = U16(tag.Body, 5);
    size_t at = 7;
    if (t.Format == bitmapColorMapped8)
        t.TableSize = uint8_t(tag.Body[at++]);
    t.Raw = test::Inflate(tag.Body.substr(at));
    return t;
}

// The pixels of a lossless bitmap read as the movie format lays them out:
// R, G, B (and A when withAlpha) per pixel, rows top to bottom. Colour-mapped
// rows are padded to 4 bytes, 16-bit rows to an even pixel count (x-5-5-5,
// high byte first, channels widened as ffmpeg does, c << 3 | c >> 2).
std::string PixelsOf(const TLossless& t, bool withAlpha) {
    const bool alpha = t.Code == tagDefineBitsLossless2;
    std::string out;
    auto put = [&](uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
        out += char(r);
        out += char(g);
        out += char(b);
        if (withAlpha)
            out += char(a);
    };
    const auto byte = [&](size_t i) { return uint8_t(t.Raw.at(i)); };
    if (t.Format == bitmapColorMapped8) {
        const size_t entry = alpha ? 4 : 3;
        const size_t table = size_t(t.TableSize + 1) * entry;
        const size_t row = (size_t(t.Width) + 3) / 4 * 4;
        EXPECT_EQ(t.Raw.size(), table + row * t.Height);
        for (size_t y = 0; y < t.Height; ++y)
            for (size_t x = 0; x < t.Width; ++x) {
                const size_t c = byte(table + y * row + x) * entry;
                put(byte(c), byte(c + 1), byte(c + 2), alpha ? byte(c + 3) : 255);
            }
    } else if (t.Format == bitmapRGB15) {
        const size_t row = (size_t(t.Width) + 1) / 2 * 4;
        EXPECT_EQ(t.Raw.size(), row * t.Height);
        const auto widen = [](unsigned c) { return uint8_t(c << 3 | c >> 2); };
        for (size_t y = 0; y < t.Height; ++y)
            for (size_t x = 0; x < t.Width; ++x) {
                const unsigned v = byte(y * row + 2 * x) << 8 | byte(y * row + 2 * x + 1);
                put(widen(v >> 10 & 31), widen(v >> 5 & 31), widen(v & 31), 255);
            }
    } else {
        EXPECT_EQ(t.Format, bitmapRGB32);
        EXPECT_EQ(t.Raw.size(), size_t(t.Width) * t.Height * 4);
        for (size_t i = 0; i + 3 < t.Raw.size(); i += 4)
            put(byte(i + 1), byte(i + 2), byte(i + 3), alpha ? byte(i) : 255);
    }
    return out;
}

// Channels cut to their top `bits` bits.
std::string Significant(std::string pixels, unsigned bits) {
    for (char& c : pixels)
        c = char(uint8_t(c) >> (8 - bits));
    return pixels;
}

// Straight R, G, B, A pixels to the premultiplied form of DefineBitsLossless2,
// rounded to nearest.
std::string Premultiplied(const std::string& rgba) {
    std::string out = rgba;
    for (size_t i = 0; i + 3 < out.size(); i += 4) {
        const double a = uint8_t(out[i + 3]);
        for (size_t c = 0; c < 3; ++c)
            out[i + c] = char(std::lround(uint8_t(out[i + c]) * a / 255));
    }
    return out;
}

std::string WithoutAlpha(const std::string& rgba) {
    std::string out;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4)
        out += rgba.substr(i, 3);
    return out;
}

// A smooth 64 x 48 picture: JPEG keeps it within a few levels (a sharp test
// pattern of this size loses 10 to 20 levels on average to chroma
// subsampling alone).
TRgbImage SmoothPicture() {
    TRgbImage image;
    image.Width = 64;
    image.Height = 48;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            image.Pixels.insert(image.Pixels.end(), {uint8_t(x * 4), uint8_t(y * 5),
                                                     uint8_t(128 + 60 * std::sin((x + y) / 10.0))});
    return image;
}

// Mean and largest difference of two pictures' channel values.
struct TDifference {
    double Mean = 0;
    int Max = 0;
};

TDifference Difference(const std::string& a, const std::string& b) {
    EXPECT_EQ(a.size(), b.size());
    TDifference d;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const int delta = std::abs(int(uint8_t(a[i])) - int(uint8_t(b[i])));
        d.Mean += delta;
        d.Max = std::max(d.Max, delta);
    }
    if (!a.empty())
        d.Mean /= double(a.size());
    return d;
}

TFlashMovie NewMovie() {
    return TFlashMovie(0, 0, 64, 48, 20, true);
}

// --- JPEG -----------------------------------------------------------------

TEST(FlashImageJpeg, BaselineFileIsTheTagsOneJpegStream) {
    for (const char* name : {"testsrc-64x48.jpg", "images/red-37x21-baseline.jpg"}) {
        SCOPED_TRACE(name);
        const std::string file = ReadFileBytes(kData / name);
        TFlashMovie movie = NewMovie();
        TFlashImage& image = movie.AddImage(kData / name);
        EXPECT_TRUE(image.IsJPEG());
        EXPECT_EQ(image.DataState(), TFlashImage::dsJPEGFile);
        const TJpegSize size = ScanJpegSize(ToVector(file)); // as the first C0 header says
        EXPECT_EQ(image.Width(), size.Width);
        EXPECT_EQ(image.Height(), size.Height);
        EXPECT_NE(image.Width(), 0);
        EXPECT_EQ(image.MinVersion(), 2);

        const test::WalkedTag tag = WrittenTag(image);
        EXPECT_EQ(tag.Code, tagDefineBitsJPEG2);
        EXPECT_EQ(tag.Body.substr(0, 2), Bytes({1, 0})); // CharacterId
        // The file's own FF D8 / FF D9 are replaced by the tag's: one stream.
        EXPECT_TRUE(tag.Body.substr(2) == file);
    }
}

TEST(FlashImageJpeg, FileIsReadWhenTheTagIsWritten) {
    test::TempDir dir;
    const std::string first = ReadFileBytes(kData / "images/red-37x21-baseline.jpg");
    const std::string second = ReadFileBytes(kData / "testsrc-64x48.jpg");
    test::WriteFile(dir / "picture.jpg", first);
    TFlashMovie movie = NewMovie();
    TFlashImage& image = movie.AddImage(dir / "picture.jpg");
    test::WriteFile(dir / "picture.jpg", second);
    EXPECT_TRUE(WrittenTag(image).Body.substr(2) == second);
}

TEST(FlashImageJpeg, AlphaBytesMakeAJpeg3) {
    const std::string file = ReadFileBytes(kData / "testsrc-64x48.jpg");
    TFlashMovie movie = NewMovie();
    TFlashImage& image = movie.AddImage(kData / "testsrc-64x48.jpg");
    std::vector<uint8_t>& alpha = image.AlphaStream();
    for (int i = 0; i < 64 * 48; ++i)
        alpha.push_back(uint8_t(i));
    EXPECT_EQ(image.MinVersion(), 3);
    const test::WalkedTag tag = WrittenTag(image);
    EXPECT_EQ(tag.Code, tagDefineBitsJPEG3);
    EXPECT_EQ(U32(tag.Body, 2), file.size()); // AlphaDataOffset
    EXPECT_TRUE(tag.Body.substr(6, file.size()) == file);
    EXPECT_TRUE(test::Inflate(tag.Body.substr(6 + file.size())) == ToString(alpha));
}

TEST(FlashImageJpeg, LargeMetadataBeforeTheFrameIsSeekedOver) {
    test::TempDir dir;
    const std::string plain = ReadFileBytes(kData / "testsrc-64x48.jpg");
    for (const size_t padding : {size_t(100), size_t(65533), size_t(200 * 1024)}) {
        SCOPED_TRACE(padding);
        const std::string file = test::JpegWithMetadata(plain, padding);
        ASSERT_EQ(file.size(), plain.size() + padding + 4 * ((padding + 65532) / 65533));
        test::WriteFile(dir / "metadata.jpg", file);
        // Loading reads the tables and frame header, not the metadata...
        const std::optional<std::vector<uint8_t>> headers = ReadJpegHeaders(dir / "metadata.jpg");
        ASSERT_TRUE(headers.has_value());
        EXPECT_LT(headers->size(), plain.size());
        EXPECT_FALSE(JpegIsProgressive(*headers));
        TFlashMovie movie = NewMovie();
        TFlashImage& image = movie.AddImage(dir / "metadata.jpg");
        EXPECT_EQ(image.Width(), 64);
        EXPECT_EQ(image.Height(), 48);
        image.SetConvertProgressive(true);
        EXPECT_EQ(image.DataState(), TFlashImage::dsJPEGFile);
        // ... and the movie still gets the file as it is, metadata and all.
        EXPECT_TRUE(WrittenTag(image).Body.substr(2) == file);
    }
}

class FlashImageProgressive : public ::testing::Test {
protected:
    void SetUp() override {
        Source = SmoothPicture();
        Progressive = EncodeJpeg(Source, 85, true);
        ASSERT_TRUE(JpegIsProgressive(Progressive));
        File = Dir / "progressive.jpg";
        test::WriteFile(File, ToString(Progressive));
    }

    // A baseline JPEG of the source picture, within a few levels.
    void ExpectBaselineOfSource(TFlashImage& image) {
        EXPECT_EQ(image.DataState(), TFlashImage::dsReencoded);
        EXPECT_EQ(image.Width(), 64);
        EXPECT_EQ(image.Height(), 48);
        const std::vector<uint8_t>& data = image.DataStream();
        EXPECT_FALSE(JpegIsProgressive(data));
        const TDifference d =
            Difference(ToString(DecodeJpeg(data).Pixels), ToString(Source.Pixels));
        EXPECT_LT(d.Mean, 2.0);
        EXPECT_LE(d.Max, 16);
        EXPECT_TRUE(WrittenTag(image).Body.substr(2) == ToString(data));
    }

    test::TempDir Dir;
    fs::path File;
    TRgbImage Source;
    std::vector<uint8_t> Progressive;
};

TEST_F(FlashImageProgressive, KeptUnchangedWithoutConversion) {
    TFlashMovie movie = NewMovie();
    TFlashImage& image = movie.AddImage(File);
    // The header scan finds no baseline frame header, so no size.
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Height(), 0);
    EXPECT_EQ(image.DataState(), TFlashImage::dsJPEGFile);
    EXPECT_TRUE(WrittenTag(image).Body.substr(2) == ToString(Progressive));
}

TEST_F(FlashImageProgressive, SwitchingConversionOnReencodesOnce) {
    TFlashMovie movie = NewMovie();
    TFlashImage& image = movie.AddImage(File);
    image.SetConvertProgressive(true);
    ExpectBaselineOfSource(image);
    const std::vector<uint8_t> converted = image.DataStream();
    // Without the file a second conversion would fail: it must not run.
    fs::remove(File);
    image.SetConvertProgressive(true);
    image.SetConvertProgressive(false);
    image.SetConvertProgressive(true);
    EXPECT_TRUE(image.ConvertProgressive());
    EXPECT_EQ(image.DataState(), TFlashImage::dsReencoded);
    EXPECT_TRUE(image.DataStream() == converted);
}

TEST_F(FlashImageProgressive, ConversionSetBeforeLoadingRunsWhileLoading) {
    TFlashMovie movie = NewMovie();
    TFlashImage image(&movie);
    image.SetConvertProgressive(true);
    image.LoadFromFile(File);
    ExpectBaselineOfSource(image);
}

TEST_F(FlashImageProgressive, FoundBehindLargeMetadata) {
    const fs::path file = Dir / "metadata.jpg";
    test::WriteFile(file, test::JpegWithMetadata(ToString(Progressive), 200 * 1024));
    TFlashMovie movie = NewMovie();
    TFlashImage& kept = movie.AddImage(file);
    EXPECT_EQ(kept.Width(), 0); // progressive: no baseline frame header
    EXPECT_EQ(kept.DataState(), TFlashImage::dsJPEGFile);
    TFlashImage& switched = movie.AddImage(file);
    switched.SetConvertProgressive(true);
    ExpectBaselineOfSource(switched);
    TFlashImage whileLoading(&movie);
    whileLoading.SetConvertProgressive(true);
    whileLoading.LoadFromFile(file);
    ExpectBaselineOfSource(whileLoading);
}

TEST_F(FlashImageProgressive, BaselineFilesAreNotReencoded) {
    TFlashMovie movie = NewMovie();
    TFlashImage& image = movie.AddImage(kData / "testsrc-64x48.jpg");
    image.SetConvertProgressive(true);
    EXPECT_EQ(image.DataState(), TFlashImage::dsJPEGFile);
    EXPECT_TRUE(WrittenTag(image).Body.substr(2) == ReadFileBytes(kData / "testsrc-64x48.jpg"));
}

// --- File types and failures ---------------------------------------------

TEST(FlashImageFiles, ExtensionChoosesTheLoaderInAnyCase) {
    struct Row {
        const char* Name;
        const char* Source; // copied to Name
        bool JPEG;
        const char* Error; // expected message, or null
    };
    // clang-format off
    const Row rows[] = {
        {"a.jpg", "testsrc-64x48.jpg", true, nullptr},
        {"b.JPG", "testsrc-64x48.jpg", true, nullptr},
        {"c.Jpeg", "testsrc-64x48.jpg", true, nullptr},
        {"d.bMp", "bmp/bgr24-13x7.bmp", false, nullptr},
        {"e.gif", "images/red-37x21.gif", false, "Image format \"GIF\" not supported!"},
        {"f.png", "images/red-37x21.png", false, "Image format \"PNG\" not supported!"},
        {"g.Tif", "images/red-37x21-le.tif", false, "Image format \"TIF\" not supported!"},
        {"noextension", "testsrc-64x48.jpg", false, "Image format \"\" not supported!"},
    };
    // clang-format on
    test::TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        test::WriteFile(dir / row.Name, ReadFileBytes(kData / row.Source));
        TFlashImage image;
        if (row.Error) {
            try {
                image.LoadFromFile(dir / row.Name);
                ADD_FAILURE() << "no error";
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), row.Error);
            }
            EXPECT_EQ(image.DataState(), TFlashImage::dsNone);
            continue;
        }
        image.LoadFromFile(dir / row.Name);
        EXPECT_EQ(image.IsJPEG(), row.JPEG);
        EXPECT_EQ(image.DataState(), row.JPEG ? TFlashImage::dsJPEGFile : TFlashImage::dsLossless);
    }
}

TEST(FlashImageFiles, ReadersTakeEveryPictureTypeOfAShowInAnyCase) {
    struct Row {
        const char* Name;
        const char* Source; // copied to Name
        TFlashImage::TDataState State;
        const char* Error; // expected message, or null
    };
    // clang-format off
    const Row rows[] = {
        {"a.JPG", "testsrc-64x48.jpg", TFlashImage::dsJPEGFile, nullptr},
        {"b.jpeg", "testsrc-64x48.jpg", TFlashImage::dsJPEGFile, nullptr},
        {"c.Bmp", "bmp/bgr24-13x7.bmp", TFlashImage::dsLossless, nullptr},
        {"d.png", "images/red-37x21.png", TFlashImage::dsLossless, nullptr},
        {"e.PNG", "images/red-37x21.png", TFlashImage::dsLossless, nullptr},
        {"f.gif", "images/red-37x21.gif", TFlashImage::dsNone, "Image format \"GIF\" not supported!"},
        {"noextension", "testsrc-64x48.jpg", TFlashImage::dsNone, "Image format \"\" not supported!"},
    };
    // clang-format on
    test::TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const fs::path file = dir / row.Name;
        test::WriteFile(file, ReadFileBytes(kData / row.Source));
        TFlashImage image;
        try {
            image.LoadFromFile(file, PictureReaderFor(file));
            EXPECT_EQ(row.Error, nullptr);
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), row.Error);
        }
        EXPECT_EQ(image.DataState(), row.State);
    }

    // A PNG file through its reader writes the tag its decoded pixels make.
    const fs::path png = dir / "d.png";
    TFlashImage read, decoded;
    read.LoadFromFile(png, PictureReaderFor(png));
    decoded.LoadFromDecodedPicture(DecodePng(ToVector(ReadFileBytes(png))));
    EXPECT_EQ(Hex(test::TagBytes(read)), Hex(test::TagBytes(decoded)));

    // The decoder's errors get the file's name put before them, once.
    test::WriteFile(dir / "broken.png", "this is no picture at all");
    test::WriteFile(dir / "cut.png", ReadFileBytes(kData / "png/truncated.png"));
    for (const fs::path& bad : {dir / "broken.png", dir / "cut.png", dir / "missing.png"}) {
        TFlashImage image;
        try {
            image.LoadFromFile(bad, PictureReaderFor(bad));
            ADD_FAILURE() << bad << " loaded";
        } catch (const std::runtime_error& e) {
            const std::string what = e.what();
            const size_t at = what.find(bad.string());
            EXPECT_NE(at, std::string::npos) << what;
            EXPECT_EQ(what.find(bad.string(), at + 1), std::string::npos) << what;
        }
    }
}

TEST(FlashImageFiles, BrokenFilesFailAndLeaveTheMovieAsItWas) {
    const std::string jpeg = ReadFileBytes(kData / "testsrc-64x48.jpg");
    const std::string bmp = ReadFileBytes(kData / "bmp/pal8-13x7.bmp");
    ASSERT_EQ(Hex(jpeg.substr(289, 2)), "FF C0"); // the frame header, after the tables
    struct Row {
        const char* Name;
        std::string Bytes; // none: the file does not exist
        bool ConvertProgressive = false;
    };
    // clang-format off
    const Row rows[] = {
        {"missing.jpg", {}},
        {"missing.bmp", {}},
        {"empty.jpg", std::string()},
        {"text.jpg", "this is not a picture"},
        {"start-marker-then-text.jpg", "\xFF\xD8this is not a picture"},
        {"cut-in-the-tables.jpg", jpeg.substr(0, 200)},
        {"cut-after-the-frame-header.jpg", jpeg.substr(0, 300)},
        {"cut-in-the-tables-converted.jpg", jpeg.substr(0, 200), true},
        {"text.bmp", "this is not a picture"},
        {"cut-in-the-header.bmp", bmp.substr(0, 30)},
        {"cut-in-the-pixels.bmp", bmp.substr(0, bmp.size() - 40)},
    };
    // clang-format on
    test::TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const fs::path file = dir / row.Name;
        if (std::string(row.Name).rfind("missing", 0) != 0)
            test::WriteFile(file, row.Bytes);
        TFlashMovie movie = NewMovie();
        movie.AddImage(kData / "testsrc-64x48.jpg");
        TFlashImage probe(&movie);
        probe.SetConvertProgressive(row.ConvertProgressive);
        try {
            probe.LoadFromFile(file);
            ADD_FAILURE() << "no error from LoadFromFile";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(row.Name), std::string::npos) << e.what();
        }
        EXPECT_THROW(movie.AddImage(file), std::runtime_error);
        EXPECT_EQ(movie.Objects().size(), 1u);
        EXPECT_EQ(movie.Images().Count(), 1u);
        EXPECT_EQ(movie.NextCharacterId(), 2);
    }
}

// Loading reads only the headers of a picture file; a broken one must fail as
// the codec finds it on the whole file (the message is the codec's own), and
// one the codec takes in spite of stray bytes must still load.
TEST(FlashImageFiles, BrokenHeadersFailAsOnTheWholeFile) {
    const std::string plain = ReadFileBytes(kData / "testsrc-64x48.jpg");
    const std::string exif = test::JpegWithMetadata(plain, 200 * 1024);
    const size_t frame = exif.find(plain.substr(20)); // where the metadata ends
    ASSERT_NE(frame, std::string::npos);
    const size_t scan = exif.find("\xFF\xDA", frame);
    ASSERT_NE(scan, std::string::npos);
    const size_t scanEnd =
        scan + 2 + (size_t(uint8_t(exif[scan + 2])) << 8 | uint8_t(exif[scan + 3]));
    const size_t dqt = plain.find("\xFF\xDB");
    ASSERT_NE(dqt, std::string::npos);
    std::string dqtPastTheEnd = plain;
    dqtPastTheEnd.replace(dqt + 2, 2, "\xFF\xFF");
    struct Row {
        const char* Name;
        std::string Bytes;
        bool Loads = false; // the codec takes the whole file
        uint16_t Width = 0; // then the size found
    };
    // clang-format off
    const Row rows[] = {
        {"no-start-marker.jpg", exif.substr(2)},
        {"cut-in-the-metadata.jpg", exif.substr(0, 100000)},
        {"cut-after-the-metadata.jpg", exif.substr(0, frame)},
        {"cut-in-the-scan-header.jpg", exif.substr(0, scan + 6)},
        {"end-marker-after-the-metadata.jpg", exif.substr(0, frame) + "\xFF\xD9" + exif.substr(frame)},
        {"table-runs-past-the-end.jpg", dqtPastTheEnd},
        // The codec passes over stray bytes; the size scan does not, so the
        // show refuses this picture for its lack of a size, naming it.
        {"stray-bytes-after-the-metadata.jpg", exif.substr(0, frame) + "xyz" + exif.substr(frame), true, 0},
        {"cut-after-the-scan-header.jpg", exif.substr(0, scanEnd), true, 64},
    };
    // clang-format on
    test::TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const fs::path file = dir / row.Name;
        test::WriteFile(file, row.Bytes);
        std::string codec; // the codec's verdict on the whole file
        try {
            JpegIsProgressive(ToVector(row.Bytes));
        } catch (const std::runtime_error& e) {
            codec = "\"" + file.string() + "\": " + e.what();
        }
        ASSERT_EQ(codec.empty(), row.Loads) << codec;
        // Loading looks for the start marker itself.
        const std::string verdict = row.Name == std::string("no-start-marker.jpg")
                                        ? "\"" + file.string() + "\" is not a JPEG file"
                                        : codec;
        for (const bool convert : {false, true}) {
            TFlashImage image;
            image.SetConvertProgressive(convert);
            try {
                image.LoadFromFile(file);
                EXPECT_TRUE(row.Loads) << "no error";
                EXPECT_EQ(image.Width(), row.Width);
                EXPECT_EQ(image.DataState(), TFlashImage::dsJPEGFile);
            } catch (const std::runtime_error& e) {
                EXPECT_EQ(e.what(), verdict);
            }
        }
        // A file that breaks between loading and the conversion.
        if (!row.Loads) {
            test::WriteFile(file, ToString(EncodeJpeg(SmoothPicture(), 85, true)));
            TFlashImage image;
            image.LoadFromFile(file);
            test::WriteFile(file, row.Bytes);
            try {
                image.SetConvertProgressive(true);
                ADD_FAILURE() << "no error";
            } catch (const std::runtime_error& e) {
                EXPECT_EQ(e.what(), codec);
            }
        }
    }
}

// --- Lossless payloads ----------------------------------------------------

TEST(FlashImageLossless, PayloadOfEachDepth) {
    struct Row {
        const char* Name;
        uint16_t Bits;
        int32_t Width, Height;
        std::vector<std::pair<int, TBMPPaletteEntry>> Palette; // index, {blue, green, red}
        std::vector<std::string> Rows; // in memory order: the bottom row first
        uint8_t Format;
        int TableSize; // BitmapColorTableSize, -1: none
        std::string Raw;
    };
    // clang-format off
    const Row rows[] = {
        {"8 bits, 3 pixels wide: rows of 4 index bytes", 8, 3, 2,
         {{10, {0x13, 0x12, 0x11}}, {20, {0x23, 0x22, 0x21}}, {30, {0x33, 0x32, 0x31}}},
         {Bytes({30, 10, 20}), Bytes({10, 20, 10})},
         bitmapColorMapped8, 2,
         Bytes({0x11, 0x12, 0x13,    // colour 0: palette entry 10, R G B
                0x21, 0x22, 0x23,    // colour 1: entry 20
                0x31, 0x32, 0x33,    // colour 2: entry 30
                0x00, 0x01, 0x00, 0, // top row, one byte of padding
                0x02, 0x00, 0x01, 0})},  // bottom row
        {"8 bits, 7 palette entries used", 8, 7, 1,
         {{3, {0xFC, 0x80, 0x03}}, {7, {0xF8, 0x80, 0x07}}, {9, {0xF6, 0x80, 0x09}},
          {50, {0xCD, 0x80, 0x32}}, {100, {0x9B, 0x80, 0x64}}, {200, {0x37, 0x80, 0xC8}},
          {255, {0x00, 0x80, 0xFF}}},
         {Bytes({200, 3, 50, 7, 9, 100, 255})},
         bitmapColorMapped8, 6,
         Bytes({0x03, 0x80, 0xFC,  // the 21-byte table: the used entries in index order
                0x07, 0x80, 0xF8,
                0x09, 0x80, 0xF6,
                0x32, 0x80, 0xCD,
                0x64, 0x80, 0x9B,
                0xC8, 0x80, 0x37,
                0xFF, 0x80, 0x00,
                5, 0, 3, 1, 2, 4, 6, 0})}, // the row in new indices, one byte of padding
        {"4 bits: high nibble first", 4, 3, 1,
         {{5, {0x53, 0x52, 0x51}}, {10, {0xA3, 0xA2, 0xA1}}},
         {Bytes({0x5A, 0x50})},
         bitmapColorMapped8, 1,
         Bytes({0x51, 0x52, 0x53,    // colour 0: entry 5
                0xA1, 0xA2, 0xA3,    // colour 1: entry 10
                0x00, 0x01, 0x00, 0})},  // pixels 5, 10, 5
        {"1 bit: bit 7 first", 1, 10, 1,
         {{0, {0x03, 0x02, 0x01}}, {1, {0xF3, 0xF2, 0xF1}}},
         {Bytes({0xB0, 0x40})},
         bitmapColorMapped8, 1,
         Bytes({0x01, 0x02, 0x03,
                0xF1, 0xF2, 0xF3,
                1, 0, 1, 1, 0, 0, 0, 0, 0, 1, 0, 0})}, // 10 pixels, 2 bytes of padding
        {"16 bits, 5 pixels wide: rows of 6 pixels", 16, 5, 2, {},
         {Bytes({0x01, 0x00, 0x20, 0x00, 0x00, 0x04, 0x00, 0x00, 0x21, 0x43}),   // little-endian
          Bytes({0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F, 0x34, 0x12})},
         bitmapRGB15, -1,
         Bytes({0x7C, 0x00, 0x03, 0xE0, 0x00, 0x1F, 0x7F, 0xFF, 0x12, 0x34, // top row, high byte first
                0x00, 0x00,                                                 // padding pixel
                0x00, 0x01, 0x00, 0x20, 0x04, 0x00, 0x00, 0x00, 0x43, 0x21, // bottom row
                0x00, 0x00})},
        {"24 bits, 3 pixels wide: no padding", 24, 3, 2, {},
         {Bytes({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09}), // blue, green, red
          Bytes({0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19})},
         bitmapRGB32, -1,
         Bytes({0xFF, 0x13, 0x12, 0x11, // 255, R, G, B
                0xFF, 0x16, 0x15, 0x14,
                0xFF, 0x19, 0x18, 0x17,
                0xFF, 0x03, 0x02, 0x01,
                0xFF, 0x06, 0x05, 0x04,
                0xFF, 0x09, 0x08, 0x07})},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TFlashMovie movie = NewMovie();
        TFlashImage& image = movie.AddImage();
        TBMPReader& bmp = image.BMP();
        bmp.SetFormat(row.Width, row.Height, row.Bits);
        for (const auto& [index, entry] : row.Palette)
            bmp.Palette()[size_t(index)] = entry;
        for (size_t i = 0; i < row.Rows.size(); ++i)
            std::copy(row.Rows[i].begin(), row.Rows[i].end(), bmp.Scanline(uint32_t(i)));
        image.LoadFromBMP();
        EXPECT_EQ(image.DataState(), TFlashImage::dsLossless);
        EXPECT_EQ(image.MinVersion(), 2);
        const TLossless t = ReadLossless(image);
        EXPECT_EQ(t.Code, tagDefineBitsLossless);
        EXPECT_EQ(t.Id, 1);
        EXPECT_EQ(t.Format, row.Format);
        EXPECT_EQ(t.Width, row.Width);
        EXPECT_EQ(t.Height, row.Height);
        EXPECT_EQ(t.TableSize, row.TableSize);
        EXPECT_EQ(Hex(t.Raw), Hex(row.Raw));
    }
}

TEST(FlashImageLossless, ThirtyTwoBitsOnlyUsePartialAlpha) {
    struct Row {
        const char* Name;
        std::string Pixels; // blue, green, red, alpha
        uint16_t Code;
        std::string Raw;
    };
    // clang-format off
    const Row rows[] = {
        // Most writers leave the fourth byte 0: opaque, not invisible.
        {"alpha all 0", Bytes({0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0}), tagDefineBitsLossless,
         Bytes({0xFF, 0x30, 0x20, 0x10,      // 255, R, G, B
                0xFF, 0x60, 0x50, 0x40})},
        {"alpha all 255", Bytes({0x10, 0x20, 0x30, 255, 0x40, 0x50, 0x60, 255}),
         tagDefineBitsLossless,
         Bytes({0xFF, 0x30, 0x20, 0x10,
                0xFF, 0x60, 0x50, 0x40})},
        {"alpha 0 and 255", Bytes({0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 255}),
         tagDefineBitsLossless2,
         Bytes({0x00, 0x00, 0x00, 0x00,      // transparent: all zero whatever the colour
                0xFF, 0x60, 0x50, 0x40})},
        {"alpha 128", Bytes({0xC8, 0x64, 0xFF, 0x80, 0x40, 0x50, 0x60, 255}), tagDefineBitsLossless2,
         Bytes({0x80,                        // alpha 128
                0x80,                        // red 255 * 128 / 255
                0x32,                        // green 100 * 128 / 255 = 50.2
                0x64,                        // blue 200 * 128 / 255 = 100.4
                0xFF, 0x60, 0x50, 0x40})},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TFlashImage image;
        image.BMP().SetFormat(2, 1, 32);
        std::copy(row.Pixels.begin(), row.Pixels.end(), image.BMP().Scanline(0));
        image.LoadFromBMP();
        const bool alpha = row.Code == tagDefineBitsLossless2;
        EXPECT_EQ(image.HasAlpha(), alpha);
        EXPECT_EQ(image.MinVersion(), alpha ? 3 : 2);
        const TLossless t = ReadLossless(image);
        EXPECT_EQ(t.Code, row.Code);
        EXPECT_EQ(t.Format, bitmapRGB32);
        EXPECT_EQ(Hex(t.Raw), Hex(row.Raw));
    }
}

TEST(FlashImageLossless, PicturesTheLayoutsCannotHoldAreRefused) {
    TDecodedPicture sixteen;
    sixteen.Width = sixteen.Height = 2;
    sixteen.BitsPerPixel = 16;
    sixteen.Pixels.resize(8);
    TDecodedPicture short24;
    short24.Width = short24.Height = 4;
    short24.BitsPerPixel = 24;
    short24.Pixels.resize(4 * 4 * 3 - 1);
    struct Row {
        const char* Name;
        std::function<void(TFlashImage&)> Load;
    };
    // clang-format off
    const Row rows[] = {
        {"decoded 16-bit picture", [&](TFlashImage& i) { i.LoadFromDecodedPicture(sixteen); }},
        {"decoded picture with too few pixel bytes",
         [&](TFlashImage& i) { i.LoadFromDecodedPicture(short24); }},
        {"16 bits in 5-6-5",
         [](TFlashImage& i) {
             i.BMP().SetFormat(2, 2, 16, 5, 6, 5);
             i.LoadFromBMP();
         }},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TFlashImage image;
        EXPECT_ANY_THROW(row.Load(image));
        EXPECT_EQ(image.DataState(), TFlashImage::dsNone);
        EXPECT_EQ(image.Width(), 0);
    }
}

// Every fixture, through the file or the PNG decoder, keeps the pixels that
// ffmpeg decoded from the source file.
TEST(FlashImageLossless, FixturesKeepTheirPixels) {
    struct Row {
        const char* File;
        uint16_t Code;
        uint8_t Format;
        unsigned Significant = 8; // bits per channel both sides keep
    };
    // clang-format off
    const Row rows[] = {
        {"bmp/monob-13x7.bmp", tagDefineBitsLossless, bitmapColorMapped8},
        {"bmp/pal4-13x7.bmp", tagDefineBitsLossless, bitmapColorMapped8},
        {"bmp/core-pal4-13x7.bmp", tagDefineBitsLossless, bitmapColorMapped8},
        {"bmp/pal8-13x7.bmp", tagDefineBitsLossless, bitmapColorMapped8},
        {"bmp/rle8-29x9.bmp", tagDefineBitsLossless, bitmapColorMapped8},
        {"bmp/rle4-29x9.bmp", tagDefineBitsLossless, bitmapColorMapped8},
        {"bmp/pal8-16x6.bmp", tagDefineBitsLossless, bitmapColorMapped8},
        {"bmp/rgb555-13x7.bmp", tagDefineBitsLossless, bitmapRGB15, 5},
        {"bmp/rgb565-bitfields-13x7.bmp", tagDefineBitsLossless, bitmapRGB15, 5},
        {"bmp/rgb444-bitfields-13x7.bmp", tagDefineBitsLossless, bitmapRGB15, 4},
        {"bmp/bgr24-13x7.bmp", tagDefineBitsLossless, bitmapRGB32},
        {"bmp/topdown-bgr24-13x7.bmp", tagDefineBitsLossless, bitmapRGB32},
        {"bmp/bgra-13x7.bmp", tagDefineBitsLossless, bitmapRGB32},
        {"bmp/bgrx-zero-alpha-13x7.bmp", tagDefineBitsLossless, bitmapRGB32},
        {"bmp/v5-rgba-bitfields-13x7.bmp", tagDefineBitsLossless2, bitmapRGB32},
        {"png/grey-37x21.png", tagDefineBitsLossless, bitmapColorMapped8},
        {"png/palette-37x21.png", tagDefineBitsLossless, bitmapColorMapped8},
        {"png/rgb-37x21.png", tagDefineBitsLossless, bitmapRGB32},
        {"png/translucent-36x20.png", tagDefineBitsLossless, bitmapRGB32}, // alpha dropped
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.File);
        const fs::path file = kData / row.File;
        TFlashMovie movie = NewMovie();
        TFlashImage* image = nullptr;
        std::string expected; // R, G, B (A) rows top to bottom
        const bool png = file.extension() == ".png";
        const bool alpha = row.Code == tagDefineBitsLossless2;
        if (png) {
            image = &movie.AddImage();
            image->LoadFromDecodedPicture(DecodePng(ToVector(ReadFileBytes(file))));
            expected = WithoutAlpha(ReadFileBytes(fs::path(file).replace_extension(".rgba")));
        } else {
            image = &movie.AddImage(file);
            expected = alpha
                           ? Premultiplied(ReadFileBytes(fs::path(file).replace_extension(".rgba")))
                           : ReadFileBytes(fs::path(file).replace_extension(".rgb"));
        }
        const TLossless t = ReadLossless(*image);
        EXPECT_EQ(t.Code, row.Code);
        EXPECT_EQ(t.Format, row.Format);
        EXPECT_EQ(t.Width, image->Width());
        EXPECT_EQ(t.Height, image->Height());
        EXPECT_TRUE(Significant(PixelsOf(t, alpha), row.Significant) ==
                    Significant(expected, row.Significant));
    }
}

// --- ffmpeg reads the pictures back ---------------------------------------

class FfmpegReadsImages : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HaveFfmpeg())
            GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    }

    // A one-frame movie of the picture shown through a rectangle filled with
    // it, as a slide show writes it.
    fs::path Save(const std::string& name, const std::function<TFlashImage&(TFlashMovie&)>& add) {
        TFlashMovie movie(0, 0, 64, 48, 20, true);
        movie.SetVersion(6);
        TFlashImage& image = add(movie);
        movie.AddShapeImage(image);
        movie.ShowFrame();
        movie.MakeStream();
        const fs::path file = Dir / (name + ".swf");
        movie.SaveToFile(file);
        return file;
    }

    std::string Probe(const fs::path& movie,
                      const std::string& entries = "codec_name,width,height,pix_fmt") {
        return test::RunCommand("ffprobe -v error -show_entries stream=" + entries +
                                " -of csv=p=0 " + test::Quote(movie));
    }

    test::TempDir Dir;
};

TEST_F(FfmpegReadsImages, JpegPictures) {
    const fs::path baseline = kData / "testsrc-64x48.jpg";
    const fs::path kept =
        Save("baseline", [&](TFlashMovie& m) -> TFlashImage& { return m.AddImage(baseline); });
    EXPECT_EQ(Probe(kept, "codec_name,width,height"), "mjpeg,64,48\n");
    const std::string reference = test::DecodedPixels(baseline, "rgb24");
    ASSERT_EQ(reference.size(), 64u * 48 * 3);
    EXPECT_TRUE(test::DecodedPixels(kept, "rgb24") == reference);

    const fs::path progressive = Dir / "progressive.jpg";
    test::WriteFile(progressive, ToString(EncodeJpeg(SmoothPicture(), 85, true)));
    const fs::path converted = Save("converted", [&](TFlashMovie& m) -> TFlashImage& {
        TFlashImage& image = m.AddImage(progressive);
        image.SetConvertProgressive(true);
        return image;
    });
    EXPECT_EQ(Probe(converted, "codec_name,width,height"), "mjpeg,64,48\n");
    // Re-encoded at quality 90: close to the picture, not equal.
    const TDifference d = Difference(test::DecodedPixels(converted, "rgb24"),
                                     test::DecodedPixels(progressive, "rgb24"));
    EXPECT_LT(d.Mean, 2.0);
    EXPECT_LE(d.Max, 16);
}

TEST_F(FfmpegReadsImages, LosslessPictures) {
    struct Row {
        const char* Name;
        const char* File; // under the test data
        const char* Probed;
        bool Alpha; // compare R, G, B, A (premultiplied), else R, G, B
    };
    // clang-format off
    const Row rows[] = {
        // ffmpeg ignores the row padding of colour-mapped bitmaps: a width
        // that is a multiple of 4 needs none.
        {"8-bit BMP", "bmp/pal8-16x6.bmp", "rawvideo,16,6,pal8", false},
        {"24-bit BMP", "bmp/bgr24-13x7.bmp", "rawvideo,13,7,0rgb", false},
        {"32-bit BMP, alpha all 0", "bmp/bgrx-zero-alpha-13x7.bmp", "rawvideo,13,7,0rgb", false},
        {"32-bit BMP, partial alpha", "bmp/v5-rgba-bitfields-13x7.bmp", "rawvideo,13,7,argb", true},
        {"8-bit PNG", "png/palette-36x20.png", "rawvideo,36,20,pal8", false},
        {"24-bit PNG", "png/rgb-37x21.png", "rawvideo,37,21,0rgb", false},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const fs::path source = kData / row.File;
        const bool png = source.extension() == ".png";
        const fs::path movie = Save(source.stem().string(), [&](TFlashMovie& m) -> TFlashImage& {
            if (!png)
                return m.AddImage(source);
            TFlashImage& image = m.AddImage();
            image.LoadFromDecodedPicture(DecodePng(ToVector(ReadFileBytes(source))));
            return image;
        });
        EXPECT_EQ(Probe(movie), std::string(row.Probed) + "\n");
        std::string expected;
        if (png)
            expected = WithoutAlpha(ReadFileBytes(fs::path(source).replace_extension(".rgba")));
        else if (row.Alpha)
            expected = Premultiplied(ReadFileBytes(fs::path(source).replace_extension(".rgba")));
        else
            expected = ReadFileBytes(fs::path(source).replace_extension(".rgb"));
        EXPECT_EQ(Hex(test::DecodedPixels(movie, row.Alpha ? "rgba" : "rgb24")), Hex(expected));
    }
}

// ffmpeg labels 16-bit lossless bitmaps little-endian RGB555 and takes their
// rows unpadded; the movie format stores each pixel high byte first (players
// read it so). So ffmpeg takes the bitmap out of the movie and inflates it,
// and its raw bytes are then read as big-endian 5-5-5.
TEST_F(FfmpegReadsImages, SixteenBitPicture) {
    const fs::path source = kData / "bmp/rgb555-16x6.bmp";
    const fs::path movie =
        Save("rgb555", [&](TFlashMovie& m) -> TFlashImage& { return m.AddImage(source); });
    EXPECT_EQ(Probe(movie), "rawvideo,16,6,rgb555le\n");
    const fs::path raw = Dir / "rgb555.raw";
    test::WriteFile(raw, test::DecodedPixels(movie, "rgb555le"));
    const std::string pixels =
        test::RunCommand("ffmpeg -v error -f rawvideo -pix_fmt rgb555be -s 16x6 -i " +
                         test::Quote(raw) + " -f rawvideo -pix_fmt rgb24 -");
    EXPECT_EQ(Hex(pixels), Hex(ReadFileBytes(kData / "bmp/rgb555-16x6.rgb")));
}

} // namespace
} // namespace pictova
