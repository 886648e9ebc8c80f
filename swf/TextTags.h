#pragma once
// Text tags: static texts (DefineText, DefineText2) made of text records and
// glyph entries, and the edit text (DefineEditText).

#include "swf/SWFObject.h"
#include "swf/SWFRecords.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pictova {

struct TSWFGlyphEntry {
    int32_t GlyphAdvance = 0; // twips, signed
    uint16_t GlyphIndex = 0;  // position of the glyph in the font
};

// One run of glyphs in one style. Style fields are written only while their
// flag is set, and only their setters set the flags.
class TSWFTextRecord {
public:
    void Assign(const TSWFTextRecord& source) { *this = source; }
    // Writes the record, split into records of at most 255 glyphs (the count
    // is one byte); the runs after the first carry no style and continue at
    // the pen position. Each index must fit glyphBits, each advance the signed
    // advanceBits.
    void WriteToStream(TBitsEngine& be, uint8_t glyphBits, uint8_t advanceBits);

    // Sets HasFont; the font and the height always go together.
    void SetFontID(uint16_t id);
    void SetTextHeight(uint16_t twips);
    // Created on first access, which sets HasColor.
    TSWFRGBA& TextColor();
    void SetXOffset(int32_t twips);
    void SetYOffset(int32_t twips);

    uint16_t FontID() const { return FFontID; }
    uint16_t TextHeight() const { return FTextHeight; }
    int32_t XOffset() const { return FXOffset; }
    int32_t YOffset() const { return FYOffset; }
    bool StyleFlagsHasColor() const { return FTextColor.has_value(); }
    bool StyleFlagsHasFont() const { return FHasFont; }
    bool StyleFlagsHasXOffset() const { return FHasXOffset; }
    bool StyleFlagsHasYOffset() const { return FHasYOffset; }

    std::vector<TSWFGlyphEntry> GlyphEntries;
    // Colour as RGBA (DefineText2) or RGB (DefineText); set by the tag.
    bool HasAlpha = false;

private:
    uint16_t FFontID = 0;
    bool FHasFont = false;
    bool FHasXOffset = false;
    bool FHasYOffset = false;
    std::optional<TSWFRGBA> FTextColor;
    uint16_t FTextHeight = 0; // twips
    int32_t FXOffset = 0;     // twips, written as SI16
    int32_t FYOffset = 0;     // twips, written as SI16
};

class TSWFDefineText : public TSWFObject {
public:
    TSWFDefineText() { TagID = tagDefineText; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void WriteTagBody(TBitsEngine& be) override;

    // Field widths of the glyph entries, chosen by the caller: the unsigned
    // width of the largest index and the signed width of the widest advance.
    uint8_t AdvanceBits = 0;
    uint16_t CharacterID = 0;
    uint8_t GlyphBits = 0;
    TSWFRect TextBounds; // twips
    TSWFMatrix TextMatrix;
    std::vector<TSWFTextRecord> TextRecords;

protected:
    TSWFClassField<bool> HasAlpha = false;
};

// As DefineText, with RGBA text colours.
class TSWFDefineText2 : public TSWFDefineText {
public:
    TSWFDefineText2() {
        TagID = tagDefineText2;
        HasAlpha = true;
    }
    uint8_t MinVersion() const override { return 3; }
};

// A text field; its content can come from a variable. Optional parts are
// written only while their Has flag is set, and only their setters set them.
class TSWFDefineEditText : public TSWFObject {
public:
    TSWFDefineEditText() { TagID = tagDefineEditText; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return AutoSize ? 6 : 4; }
    void WriteTagBody(TBitsEngine& be) override;

    // HasFont: a font and its height always go together.
    void SetFont(uint16_t fontId, uint16_t heightTwips);
    // HasTextColor; created on first access.
    TSWFRGBA& TextColor();
    void SetMaxLength(uint16_t length);
    // Each sets HasLayout.
    void SetAlign(uint8_t align); // 0 left, 1 right, 2 center, 3 justify
    void SetLeftMargin(uint16_t twips);
    void SetRightMargin(uint16_t twips);
    void SetIndent(uint16_t twips);
    void SetLeading(int16_t twips);
    // HasText. Windows-1252; a non-empty wide text wins.
    void SetInitialText(std::string text);
    void SetWideInitialText(std::u16string text);

    uint8_t Align() const { return FAlign; }
    uint16_t FontHeight() const { return FFontHeight; }
    uint16_t FontID() const { return FFontID; }
    uint16_t Indent() const { return FIndent; }
    const std::string& InitialText() const { return FInitialText; }
    int16_t Leading() const { return FLeading; }
    uint16_t LeftMargin() const { return FLeftMargin; }
    uint16_t MaxLength() const { return FMaxLength; }
    uint16_t RightMargin() const { return FRightMargin; }
    const std::u16string& WideInitialText() const { return FWideInitialText; }
    bool HasFont() const { return FHasFont; }
    bool HasLayout() const { return FHasLayout; }
    bool HasMaxLength() const { return FHasMaxLength; }
    bool HasText() const { return FHasText; }
    bool HasTextColor() const { return FTextColor.has_value(); }

    bool AutoSize = false;
    bool Border = false;
    TSWFRect Bounds; // twips
    uint16_t CharacterID = 0;
    bool HTML = false;
    bool Multiline = false;
    bool NoSelect = false;
    bool Password = false;
    bool ReadOnly = false;
    // Version of the movie being written: from 6 on strings are UTF-8.
    uint8_t SWFVersion = 6;
    bool UseOutlines = false;
    std::string VariableName; // Windows-1252
    bool WordWrap = false;

private:
    uint8_t FAlign = 0;
    uint16_t FFontHeight = 0;
    uint16_t FFontID = 0;
    bool FHasFont = false;
    bool FHasLayout = false;
    bool FHasMaxLength = false;
    bool FHasText = false;
    uint16_t FIndent = 0;
    std::string FInitialText;
    int16_t FLeading = 0;
    uint16_t FLeftMargin = 0;
    uint16_t FMaxLength = 0;
    uint16_t FRightMargin = 0;
    std::optional<TSWFRGBA> FTextColor;
    std::u16string FWideInitialText;
};

} // namespace pictova
