#pragma once
// Fonts of the movie: TFlashChar (one character a text uses, with its glyph)
// and TFlashFont (a system font at a size; it collects the characters of its
// texts and writes one DefineFont2 tag, with their glyphs embedded or, for a
// device font, only its name). Glyph metrics are in the 1024-unit em square.

#include "movie/FlashObject.h"
#include "movie/FlashShape.h"
#include "swf/FontTags.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pictova {

enum TFontEncoding : uint8_t { feANSI = 0, feShiftJIS = 1, feUnicode = 2 };

// Bits of TFlashFont::TextUsage.
enum TFontTextUsage : uint8_t { tuStatic = 1, tuEdit = 2 };

// Windows character sets the font model knows by value.
enum TFontCharset : uint8_t {
    csANSI = 0,
    csDefault = 1,
    csSymbol = 2,
    csShiftJIS = 128,
    csHangeul = 129,
    csGB2312 = 134,
    csChineseBig5 = 136,
};

// A system font as a window describes it.
struct TFontDescription {
    std::string Name; // face name, Windows-1252
    // Pixels; negative values give the character height (em) rather than the
    // cell height, as window fonts usually do. Either way its absolute value
    // becomes the font size.
    int32_t Height = 0;
    bool Bold = false;
    bool Italic = false;
    uint8_t Charset = csDefault; // what a window font has unless set otherwise
};

class TFlashChar {
public:
    // An 8-bit code stands for its Windows-1252 character unless wide.
    TFlashChar(uint16_t code, bool wide);
    // Assign's copy, and Used: what a font's copy holds of each char.
    TFlashChar(const TFlashChar& source);
    TFlashChar& operator=(const TFlashChar&) = delete;

    // Code, WideCode, OutlineRead and, once read, Advance, the kerning
    // values and a copy of the outline.
    void Assign(const TFlashChar& source);

    uint16_t Code() const { return FCode; }
    bool WideCode() const { return FWideCode; }
    uint16_t UnicodeCode() const { return FUnicodeCode; }
    // Pen over ShapeRecords with unit factor 1: one unit is one em unit.
    TFlashEdges& Edges() { return *FEdges; }

    int32_t Advance = 0; // em units
    bool Used = true;    // embedded when the font is written
    TSWFKerningRecord Kerning;
    TSWFShapeRecordList ShapeRecords; // the glyph, y downwards
    bool OutlineRead = false;

private:
    uint16_t FCode;
    bool FWideCode;
    uint16_t FUnicodeCode;
    std::unique_ptr<TFlashEdges> FEdges; // points into ShapeRecords
};

using TFlashCharList = std::vector<TSWFOwned<TFlashChar>>;

class TFlashFont : public TFlashIDObject {
public:
    // Size in user units of the movie (pixels or twips).
    TFlashFont(TFlashMovie* owner, int32_t size, bool italic, bool bold, std::string name,
               bool deviceFont);

    void Assign(const TBasedSWFObject& source) override;
    uint8_t MinVersion() const override { return 3; }
    // One DefineFont2 tag.
    void WriteToStream(TBitsEngine& be) override;

    // False when the code is there already. Chars stay in ascending order of
    // their characters.
    bool AddChar(uint16_t code);
    // Every byte of the Windows-1252 text.
    void AddChars(std::string_view text);
    TFlashChar* CharByCode(uint16_t code) const;
    const TFlashCharList& Chars() const { return FChars; }

    bool UsesWideCodes() const;
    // The code table holds 16-bit Unicode codes rather than 8-bit ones.
    bool WritesWideCodes() const { return FEncoding == feUnicode || UsesWideCodes(); }
    // The used chars in the order their glyphs are written: ascending by the
    // code the code table holds for them, so glyphs, code table and the glyph
    // indices of texts agree.
    std::vector<const TFlashChar*> GlyphOrder() const;
    // Position of the char in GlyphOrder, or -1.
    int GlyphIndex(const TFlashChar& ch) const;

    // Reads the metrics, then the outline of every used char not yet read,
    // from one opened face.
    void ReadGlyphs();

    void SetCharset(uint8_t charset);
    uint8_t Charset() const { return FCharset; }
    uint8_t LanguageCode() const { return FLanguageCode; }
    TFontEncoding Encoding() const { return FEncoding; }
    // Switching it on reads the metrics.
    void SetHasLayout(bool on);
    bool HasLayout() const { return FHasLayout; }
    bool HasWideChars() const { return FHasWideChars; }
    uint16_t Size() const { return FSize; } // twips

    uint16_t Ascent = 0; // em units; all three 0 until read
    uint16_t Descent = 0;
    uint16_t Leading = 0; // internal leading
    bool Bold = false;
    // Drawn by the viewer's system; glyphs are then embedded only for
    // static texts.
    bool DeviceFont = false;
    bool Italic = false;
    std::string Name; // face name, Windows-1252
    bool SmallText = false;
    uint8_t TextUsage = 0; // TFontTextUsage bits
    bool WriteKerning = false;
    // The face the metrics and glyphs were read from when it is not the one
    // named (not installed, or a style made synthetically); empty otherwise.
    std::string FaceUsed;

private:
    TFlashCharList FChars;
    uint8_t FCharset = 0;
    TFontEncoding FEncoding = feANSI;
    bool FHasLayout = false;
    bool FHasWideChars = false;
    uint8_t FLanguageCode = 0;
    uint16_t FSize = 0;
};

} // namespace pictova
