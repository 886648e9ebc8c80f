#include "movie/FlashFont.h"

#include "movie/FlashMovie.h"
#include "movie/GlyphOutlines.h"
#include "platform/CodePage.h"

#include <algorithm>

namespace pictova {

TFlashChar::TFlashChar(uint16_t code, bool wide)
    : FCode(code), FWideCode(wide),
      FUnicodeCode(code > 255 || wide ? code : AnsiCharToUnicode(uint8_t(code))),
      FEdges(std::make_unique<TFlashEdges>(ShapeRecords, nullptr)) {}

TFlashChar::TFlashChar(const TFlashChar& source) : TFlashChar(source.FCode, source.FWideCode) {
    Assign(source);
    Used = source.Used;
}

void TFlashChar::Assign(const TFlashChar& source) {
    FCode = source.FCode;
    FWideCode = source.FWideCode;
    FUnicodeCode = source.FUnicodeCode;
    OutlineRead = source.OutlineRead;
    if (!OutlineRead)
        return;
    Advance = source.Advance;
    Kerning = source.Kerning;
    ShapeRecords = source.ShapeRecords;
}

TFlashFont::TFlashFont(TFlashMovie* owner, int32_t size, bool italic, bool bold, std::string name,
                       bool deviceFont)
    : TFlashIDObject(owner), Bold(bold), DeviceFont(deviceFont), Italic(italic),
      Name(std::move(name)) {
    const int32_t factor = owner ? owner->UnitFactor() : 1;
    FSize = uint16_t(std::clamp(size * factor, 0, 0xFFFF));
}

void TFlashFont::Assign(const TBasedSWFObject& source) {
    AssignFlashObject(*this, source);
}

bool TFlashFont::AddChar(uint16_t code) {
    if (code > 255)
        FHasWideChars = true;
    if (FHasWideChars && Owner && Owner->Version() < 6)
        Owner->SetVersion(6);
    if (FChars.empty()) {
        FChars.push_back(std::make_unique<TFlashChar>(code, FHasWideChars));
        return true;
    }
    const uint16_t key = FHasWideChars ? code : AnsiCharToUnicode(uint8_t(code));
    auto at = FChars.end();
    for (auto it = FChars.begin(); it != FChars.end(); ++it) {
        const uint16_t other = code < 128 ? (*it)->Code() : (*it)->UnicodeCode();
        if (other == key)
            return false;
        if (other > key) {
            at = it;
            break;
        }
    }
    FChars.insert(at, std::make_unique<TFlashChar>(code, FHasWideChars));
    return true;
}

void TFlashFont::AddChars(std::string_view text) {
    for (char c : text)
        AddChar(uint8_t(c));
}

TFlashChar* TFlashFont::CharByCode(uint16_t code) const {
    for (const auto& ch : FChars)
        if (ch->Code() == code)
            return ch.get();
    return nullptr;
}

bool TFlashFont::UsesWideCodes() const {
    if (FHasWideChars)
        return true;
    if (DeviceFont || FChars.empty())
        return false;
    return std::any_of(FChars.begin(), FChars.end(), [](const auto& ch) { return ch->WideCode(); });
}

std::vector<const TFlashChar*> TFlashFont::GlyphOrder() const {
    std::vector<const TFlashChar*> order;
    for (const auto& ch : FChars)
        if (ch->Used)
            order.push_back(ch.get());
    // An 8-bit code table holds Windows-1252 bytes, whose order differs from
    // the characters' order (0x80-0x9F stand for letters above U+00FF);
    // glyphs follow the table.
    const bool wide = WritesWideCodes();
    std::stable_sort(order.begin(), order.end(), [wide](const TFlashChar* a, const TFlashChar* b) {
        return wide ? a->UnicodeCode() < b->UnicodeCode() : a->Code() < b->Code();
    });
    return order;
}

int TFlashFont::GlyphIndex(const TFlashChar& ch) const {
    const auto order = GlyphOrder();
    const auto it = std::find(order.begin(), order.end(), &ch);
    return it == order.end() ? -1 : int(it - order.begin());
}

void TFlashFont::ReadGlyphs() {
    if (FChars.empty())
        return;
    const std::unique_ptr<TGlyphFace> face = OpenFontFace(*this);
    ReadFontMetrics(*this, *face);
    for (const auto& ch : FChars)
        if (ch->Used && !ch->OutlineRead)
            ReadGlyph(*face, *ch);
}

void TFlashFont::SetCharset(uint8_t charset) {
    if (charset == FCharset)
        return;
    FCharset = charset;
    switch (charset) {
    case csANSI:
    case csSymbol:
        FLanguageCode = 0;
        FEncoding = feANSI;
        break;
    case csDefault:
        FLanguageCode = 0;
        FEncoding = feUnicode;
        break;
    case csShiftJIS:
        FLanguageCode = 2;
        FEncoding = feShiftJIS;
        break;
    case csHangeul:
        FLanguageCode = 3;
        break;
    case csGB2312:
        FLanguageCode = 4;
        break;
    case csChineseBig5:
        FLanguageCode = 5;
        break;
    default:
        FLanguageCode = 64;
        FEncoding = feUnicode;
        break;
    }
}

void TFlashFont::SetHasLayout(bool on) {
    if (on && !FHasLayout)
        ReadFontMetrics(*this);
    FHasLayout = on;
}

void TFlashFont::WriteToStream(TBitsEngine& be) {
    TSWFDefineFont2 tag;
    tag.SWFVersion = Owner ? Owner->Version() : 6;
    tag.FontID = CharacterId();
    const bool layout = FHasLayout || (TextUsage & tuEdit);
    const bool wide = WritesWideCodes();
    tag.FontFlagsHasLayout = layout;
    tag.FontFlagsShiftJIS = FEncoding == feShiftJIS;
    tag.FontFlagsANSI = FEncoding == feANSI;
    tag.FontFlagsSmallText = SmallText;
    tag.FontFlagsWideOffsets = false;
    tag.FontFlagsWideCodes = wide;
    tag.FontFlagsItalic = Italic;
    tag.FontFlagsBold = Bold;
    tag.LanguageCode = FLanguageCode;
    tag.FontName = Name;

    if ((layout || !FChars.empty()) && Ascent == 0 && Descent == 0 && Leading == 0)
        ReadFontMetrics(*this);
    if (layout) {
        tag.Ascent = Ascent;
        tag.Descent = Descent;
        tag.Leading = int16_t(Leading);
    }
    if ((!DeviceFont || (TextUsage & tuStatic)) && !FChars.empty()) {
        ReadGlyphs();
        for (const TFlashChar* ch : GlyphOrder()) {
            tag.GlyphShapes.push_back(ch->ShapeRecords);
            tag.CodeTable.push_back(wide ? ch->UnicodeCode() : ch->Code());
            if (!layout)
                continue;
            tag.BoundsTable.emplace_back();
            tag.AdvanceTable.push_back(int16_t(std::clamp(ch->Advance, -32768, 32767)));
            if (WriteKerning)
                tag.KerningTable.push_back(ch->Kerning);
        }
    }
    tag.WriteToStream(be);
}

} // namespace pictova
