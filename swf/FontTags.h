#pragma once
// Font tags: DefineFont with its DefineFontInfo and DefineFontInfo2, and
// DefineFont2. Glyphs are shapes in the 1024-unit em square, drawn with fill
// style 1.

#include "swf/SWFObject.h"
#include "swf/SWFRecords.h"
#include "swf/ShapeRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pictova {

struct TSWFKerningRecord {
    int32_t FontKerningAdjustment = 0; // written as SI16, em units
    uint16_t FontKerningCode1 = 0;
    uint16_t FontKerningCode2 = 0;
};

// Glyph outlines only; the codes come in a DefineFontInfo tag.
class TSWFDefineFont : public TSWFObject {
public:
    TSWFDefineFont() { TagID = tagDefineFont; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // Throws std::length_error when the glyph data passes the reach of the
    // 16-bit offset table.
    void WriteTagBody(TBitsEngine& be) override;

    uint16_t FontID = 0;
    // One record list per glyph.
    std::vector<TSWFShapeRecordList> GlyphShapes;

protected:
    // One SHAPE per glyph: fill and line index widths 1 and 0, closed with an
    // end record, byte-aligned.
    static std::string GlyphBytes(TSWFShapeRecordList& records);
};

// Glyphs, their codes and optionally the layout metrics in one tag. Glyph i
// is the character CodeTable[i]; a text refers to glyphs by position.
class TSWFDefineFont2 : public TSWFDefineFont {
public:
    TSWFDefineFont2() { TagID = tagDefineFont2; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 3; }
    // Throws std::runtime_error when the glyphs, codes and layout tables
    // disagree in number, a code needs wide codes that are off, or the name is
    // longer than 255 bytes.
    void WriteTagBody(TBitsEngine& be) override;

    std::vector<uint16_t> CodeTable;
    std::vector<int16_t> AdvanceTable; // em units, one per glyph
    uint16_t Ascent = 0;               // em units
    std::vector<TSWFRect> BoundsTable; // em units, one per glyph
    uint16_t Descent = 0;              // em units
    bool FontFlagsANSI = false;
    bool FontFlagsBold = false;
    bool FontFlagsHasLayout = false;
    bool FontFlagsItalic = false;
    bool FontFlagsShiftJIS = false;
    bool FontFlagsSmallText = false;
    bool FontFlagsWideCodes = false;
    // 4-byte offsets. Also used, whatever this flag says, when the glyphs
    // pass the reach of 2-byte offsets.
    bool FontFlagsWideOffsets = false;
    std::vector<TSWFKerningRecord> KerningTable;
    int16_t Leading = 0;  // em units
    std::string FontName; // Windows-1252
    uint8_t LanguageCode = 0;
    // Version of the movie being written: from 6 on the name is UTF-8.
    uint8_t SWFVersion = 6;
};

// Names the font of a DefineFont tag and maps its glyphs to codes.
class TSWFDefineFontInfo : public TSWFObject {
public:
    TSWFDefineFontInfo() { TagID = tagDefineFontInfo; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // Throws std::runtime_error for a code that needs wide codes while they
    // are off, or a name longer than 255 bytes.
    void WriteTagBody(TBitsEngine& be) override;

    std::vector<uint16_t> CodeTable;
    bool FontFlagsANSI = false;
    bool FontFlagsBold = false;
    bool FontFlagsItalic = false;
    bool FontFlagsShiftJIS = false;
    bool FontFlagsSmallText = false;
    bool FontFlagsWideCodes = false;
    uint16_t FontID = 0;
    std::string FontName; // Windows-1252
    // Version of the movie being written: from 6 on the name is UTF-8.
    uint8_t SWFVersion = 6;

protected:
    void WriteInfo(TBitsEngine& be, bool utf8Name, bool wideCodes, const uint8_t* languageCode);
};

// Always UTF-8 names and 16-bit codes, plus a language code.
class TSWFDefineFontInfo2 : public TSWFDefineFontInfo {
public:
    TSWFDefineFontInfo2() { TagID = tagDefineFontInfo2; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 6; }
    void WriteTagBody(TBitsEngine& be) override;

    uint8_t LanguageCode = 0;
};

} // namespace pictova
