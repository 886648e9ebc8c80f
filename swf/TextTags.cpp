#include "swf/TextTags.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <cassert>

namespace pictova {

namespace {

// One glyph count is a byte.
constexpr size_t MaxGlyphsPerRecord = 255;

// An unpaired surrogate becomes U+FFFD, so the result is always valid UTF-8.
std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

} // namespace

void TSWFTextRecord::SetFontID(uint16_t id) {
    FFontID = id;
    FHasFont = true;
}

void TSWFTextRecord::SetTextHeight(uint16_t twips) {
    FTextHeight = twips;
    FHasFont = true;
}

TSWFRGBA& TSWFTextRecord::TextColor() {
    if (!FTextColor)
        FTextColor.emplace();
    return *FTextColor;
}

void TSWFTextRecord::SetXOffset(int32_t twips) {
    FXOffset = twips;
    FHasXOffset = true;
}

void TSWFTextRecord::SetYOffset(int32_t twips) {
    FYOffset = twips;
    FHasYOffset = true;
}

void TSWFTextRecord::WriteToStream(TBitsEngine& be, uint8_t glyphBits, uint8_t advanceBits) {
    size_t next = 0;
    bool first = true;
    do {
        const size_t count = std::min(MaxGlyphsPerRecord, GlyphEntries.size() - next);
        be.WriteBit(true);  // TextRecordType
        be.WriteBits(0, 3); // StyleFlagsReserved
        be.WriteBit(first && FHasFont);
        be.WriteBit(first && FTextColor.has_value());
        be.WriteBit(first && FHasYOffset);
        be.WriteBit(first && FHasXOffset);
        if (first) {
            if (FHasFont)
                be.WriteWord(FFontID);
            if (FTextColor) {
                if (HasAlpha)
                    be.WriteRGBA(FTextColor->GetSWFRGBA());
                else
                    be.WriteRGB(FTextColor->RGB());
            }
            if (FHasXOffset)
                be.WriteWord(uint16_t(int16_t(FXOffset)));
            if (FHasYOffset)
                be.WriteWord(uint16_t(int16_t(FYOffset)));
            if (FHasFont)
                be.WriteWord(FTextHeight);
        }
        be.WriteByte(uint8_t(count));
        for (size_t i = next; i < next + count; ++i) {
            const TSWFGlyphEntry& entry = GlyphEntries[i];
            assert(GetBitsCount(entry.GlyphIndex) <= glyphBits &&
                   "glyph index wider than GlyphBits");
            assert(GetSignedBitsCount(entry.GlyphAdvance) <= advanceBits &&
                   "glyph advance wider than AdvanceBits");
            be.WriteBits(entry.GlyphIndex, glyphBits);
            be.WriteBits(uint32_t(entry.GlyphAdvance), advanceBits);
        }
        be.FlushLastByte(true);
        next += count;
        first = false;
    } while (next < GlyphEntries.size());
}

void TSWFDefineText::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(CharacterID);
    be.WriteRect(TextBounds);
    be.WriteMatrix(TextMatrix);
    be.WriteByte(GlyphBits);
    be.WriteByte(AdvanceBits);
    for (TSWFTextRecord& record : TextRecords) {
        record.HasAlpha = HasAlpha;
        record.WriteToStream(be, GlyphBits, AdvanceBits);
    }
    be.WriteByte(0); // EndOfRecordsFlag
}

void TSWFDefineEditText::SetFont(uint16_t fontId, uint16_t heightTwips) {
    FFontID = fontId;
    FFontHeight = heightTwips;
    FHasFont = true;
}

TSWFRGBA& TSWFDefineEditText::TextColor() {
    if (!FTextColor)
        FTextColor.emplace();
    return *FTextColor;
}

void TSWFDefineEditText::SetMaxLength(uint16_t length) {
    FMaxLength = length;
    FHasMaxLength = true;
}

void TSWFDefineEditText::SetAlign(uint8_t align) {
    FAlign = align;
    FHasLayout = true;
}

void TSWFDefineEditText::SetLeftMargin(uint16_t twips) {
    FLeftMargin = twips;
    FHasLayout = true;
}

void TSWFDefineEditText::SetRightMargin(uint16_t twips) {
    FRightMargin = twips;
    FHasLayout = true;
}

void TSWFDefineEditText::SetIndent(uint16_t twips) {
    FIndent = twips;
    FHasLayout = true;
}

void TSWFDefineEditText::SetLeading(int16_t twips) {
    FLeading = twips;
    FHasLayout = true;
}

void TSWFDefineEditText::SetInitialText(std::string text) {
    FInitialText = std::move(text);
    FHasText = true;
}

void TSWFDefineEditText::SetWideInitialText(std::u16string text) {
    FWideInitialText = std::move(text);
    FHasText = true;
}

void TSWFDefineEditText::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(CharacterID);
    be.WriteRect(Bounds);
    be.WriteBit(FHasText);
    be.WriteBit(WordWrap);
    be.WriteBit(Multiline);
    be.WriteBit(Password);
    be.WriteBit(ReadOnly);
    be.WriteBit(FTextColor.has_value());
    be.WriteBit(FHasMaxLength);
    be.WriteBit(FHasFont);
    be.WriteBit(false); // HasFontClass
    be.WriteBit(AutoSize);
    be.WriteBit(FHasLayout);
    be.WriteBit(NoSelect);
    be.WriteBit(Border);
    be.WriteBit(false); // WasStatic
    be.WriteBit(HTML);
    be.WriteBit(UseOutlines);
    if (FHasFont) {
        be.WriteWord(FFontID);
        be.WriteWord(FFontHeight);
    }
    if (FTextColor)
        be.WriteRGBA(FTextColor->GetSWFRGBA());
    if (FHasMaxLength)
        be.WriteWord(FMaxLength);
    if (FHasLayout) {
        be.WriteByte(FAlign);
        be.WriteWord(FLeftMargin);
        be.WriteWord(FRightMargin);
        be.WriteWord(FIndent);
        be.WriteWord(uint16_t(FLeading));
    }
    const bool utf8 = SWFVersion >= 6;
    be.WriteString(VariableName, true, utf8);
    if (!FHasText)
        return;
    if (!FWideInitialText.empty()) {
        const std::string text = Utf16ToUtf8(FWideInitialText);
        be.WriteChars(text.data(), text.size(), true);
    } else {
        // HTML text is converted too: from SWF 6 on players read every string
        // as UTF-8, markup included, and 8-bit umlauts would not survive.
        be.WriteString(FInitialText, true, utf8);
    }
}

} // namespace pictova
