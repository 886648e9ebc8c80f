#include "swf/FontTags.h"

#include "platform/CodePage.h"

#include <sstream>
#include <stdexcept>
#include <string>

namespace pictova {

namespace {

// FontNameLen and the name without terminator.
void WriteFontName(TBitsEngine& be, uint16_t fontId, const std::string& name, bool utf8) {
    const std::string bytes = utf8 ? AnsiToUtf8(name) : name;
    if (bytes.size() > 255)
        throw std::length_error("font " + std::to_string(fontId) + ": name of " +
                                std::to_string(bytes.size()) + " bytes exceeds 255");
    be.WriteByte(uint8_t(bytes.size()));
    be.WriteBytes(bytes.data(), bytes.size());
}

void WriteCode(TBitsEngine& be, uint16_t fontId, uint16_t code, bool wide) {
    if (wide) {
        be.WriteWord(code);
        return;
    }
    if (code > 0xFF)
        throw std::runtime_error("font " + std::to_string(fontId) + ": code " +
                                 std::to_string(code) + " needs wide codes");
    be.WriteByte(uint8_t(code));
}

// The first record of a DefineFont2 glyph must fill the outline with style
// 1: a record that selects no fill, or fill style 1 = 0, is made to select
// fill style 1 = 1 alone.
void FixFirstGlyphRecord(TSWFShapeRecordList& records) {
    if (records.empty() || records.front()->ShapeRecType() != rtStyleChange)
        return;
    auto& first = static_cast<TSWFStyleChangeRecord&>(*records.front());
    const bool selectsNoFill = !first.StateFillStyle0 && !first.StateFillStyle1;
    const bool selectsEmptyFill = first.StateFillStyle1 && first.FillStyle1() == 0;
    if (!selectsNoFill && !selectsEmptyFill)
        return;
    first.SetFillStyle1(1);
    first.StateFillStyle0 = false;
    first.StateLineStyle = true;
}

} // namespace

std::string TSWFDefineFont::GlyphBytes(TSWFShapeRecordList& records) {
    std::ostringstream out;
    TBitsEngine be(out);
    be.WriteByte(0x10); // NumFillBits 1, NumLineBits 0
    WriteShapeRecords(be, records, TSWFShapeWriting{1, 0, false, false});
    return std::move(out).str();
}

void TSWFDefineFont::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(FontID);
    if (GlyphShapes.empty()) {
        be.WriteWord(0);
        return;
    }
    std::vector<std::string> glyphs;
    glyphs.reserve(GlyphShapes.size());
    for (auto& shape : GlyphShapes)
        glyphs.push_back(GlyphBytes(shape));
    // Offsets count from the start of the table.
    size_t offset = glyphs.size() * 2;
    for (const std::string& glyph : glyphs) {
        if (offset > 0xFFFF)
            throw std::length_error("DefineFont " + std::to_string(FontID) + ": glyph offset " +
                                    std::to_string(offset) + " exceeds 16 bits");
        be.WriteWord(uint16_t(offset));
        offset += glyph.size();
    }
    for (const std::string& glyph : glyphs)
        be.WriteBytes(glyph.data(), glyph.size());
}

void TSWFDefineFont2::WriteTagBody(TBitsEngine& be) {
    const std::string context = "DefineFont2 " + std::to_string(FontID) + ": ";
    const size_t count = CodeTable.size();
    if (GlyphShapes.size() != count)
        throw std::runtime_error(context + std::to_string(GlyphShapes.size()) +
                                 " glyph shapes for " + std::to_string(count) + " codes");
    if (count > 0xFFFF)
        throw std::length_error(context + std::to_string(count) + " glyphs exceed 65535");
    const bool hasLayout = FontFlagsHasLayout && count > 0;
    if (hasLayout && (AdvanceTable.size() != count || BoundsTable.size() != count))
        throw std::runtime_error(context + std::to_string(AdvanceTable.size()) + " advances and " +
                                 std::to_string(BoundsTable.size()) + " bounds for " +
                                 std::to_string(count) + " glyphs");

    std::vector<std::string> glyphs;
    glyphs.reserve(count);
    size_t glyphBytes = 0;
    for (auto& shape : GlyphShapes) {
        FixFirstGlyphRecord(shape);
        glyphs.push_back(GlyphBytes(shape));
        glyphBytes += glyphs.back().size();
    }
    // NumGlyphs + 1 entries, the last being the code table's offset.
    const size_t entries = count + 1;
    const bool wideOffsets = FontFlagsWideOffsets || entries * 2 + glyphBytes > 0xFFFF;
    const size_t entrySize = wideOffsets ? 4 : 2;

    be.WriteWord(FontID);
    be.WriteBit(hasLayout);
    be.WriteBit(FontFlagsShiftJIS);
    be.WriteBit(FontFlagsSmallText);
    be.WriteBit(FontFlagsANSI || count == 0);
    be.WriteBit(wideOffsets);
    be.WriteBit(FontFlagsWideCodes);
    be.WriteBit(FontFlagsItalic);
    be.WriteBit(FontFlagsBold);
    be.WriteByte(LanguageCode);
    WriteFontName(be, FontID, FontName, SWFVersion >= 6);
    be.WriteWord(uint16_t(count));

    size_t offset = entries * entrySize;
    for (size_t i = 0; i < entries; ++i) {
        if (wideOffsets)
            be.WriteDWord(uint32_t(offset));
        else
            be.WriteWord(uint16_t(offset));
        if (i < count)
            offset += glyphs[i].size();
    }
    for (const std::string& glyph : glyphs)
        be.WriteBytes(glyph.data(), glyph.size());
    for (uint16_t code : CodeTable)
        WriteCode(be, FontID, code, FontFlagsWideCodes);

    if (!hasLayout)
        return;
    be.WriteWord(Ascent);
    be.WriteWord(Descent);
    be.WriteWord(uint16_t(Leading));
    for (int16_t advance : AdvanceTable)
        be.WriteWord(uint16_t(advance));
    for (const TSWFRect& bounds : BoundsTable)
        be.WriteRect(bounds);
    if (KerningTable.size() > 0xFFFF)
        throw std::length_error(context + std::to_string(KerningTable.size()) +
                                " kerning records exceed 65535");
    be.WriteWord(uint16_t(KerningTable.size()));
    for (const TSWFKerningRecord& kerning : KerningTable) {
        WriteCode(be, FontID, kerning.FontKerningCode1, FontFlagsWideCodes);
        WriteCode(be, FontID, kerning.FontKerningCode2, FontFlagsWideCodes);
        be.WriteWord(uint16_t(int16_t(kerning.FontKerningAdjustment)));
    }
}

void TSWFDefineFontInfo::WriteInfo(TBitsEngine& be, bool utf8Name, bool wideCodes,
                                   const uint8_t* languageCode) {
    be.WriteWord(FontID);
    WriteFontName(be, FontID, FontName, utf8Name);
    be.WriteBits(0, 2); // reserved
    be.WriteBit(FontFlagsSmallText);
    be.WriteBit(FontFlagsShiftJIS);
    be.WriteBit(FontFlagsANSI);
    be.WriteBit(FontFlagsItalic);
    be.WriteBit(FontFlagsBold);
    be.WriteBit(wideCodes);
    if (languageCode)
        be.WriteByte(*languageCode);
    for (uint16_t code : CodeTable)
        WriteCode(be, FontID, code, wideCodes);
}

void TSWFDefineFontInfo::WriteTagBody(TBitsEngine& be) {
    WriteInfo(be, SWFVersion >= 6, FontFlagsWideCodes, nullptr);
}

void TSWFDefineFontInfo2::WriteTagBody(TBitsEngine& be) {
    WriteInfo(be, true, true, &LanguageCode);
}

} // namespace pictova
