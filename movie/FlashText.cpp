#include "movie/FlashText.h"

#include "movie/FlashFont.h"
#include "movie/FlashMovie.h"
#include "swf/TextTags.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace pictova {

TFlashText::TFlashText(TFlashMovie* owner, const TRect& bounds, TFlashFont& font, uint32_t color,
                       const std::string& text)
    : TFlashVisualObject(owner), FFont(&font) {
    SetFont(font);
    SetText(text);
    Color().SetRGBA(color);
    SetBounds(bounds);
    FTextHeight = font.Size();
    FUseOutlines = !font.DeviceFont;
}

TFlashText::~TFlashText() = default;

void TFlashText::Assign(const TBasedSWFObject& source) {
    const auto& src = dynamic_cast<const TFlashText&>(source);
    TFlashFont* const font = FFont;
    AssignFlashObject(*this, source);
    // A font is a character of its movie: a text of another movie keeps its
    // own, as the source's would not be written with it.
    if (Owner != src.Owner)
        FFont = font;
}

uint8_t TFlashText::MinVersion() const {
    // An edit text that sizes itself needs the SWF 6 flag.
    if (FDynamicText)
        return AutoSize ? 6 : 4;
    return 3;
}

void TFlashText::SetFont(TFlashFont& font) {
    FFont = &font;
    font.TextUsage |= FDynamicText ? tuEdit : tuStatic;
    font.AddChars(FText);
}

void TFlashText::SetText(const std::string& text) {
    if (text == FText)
        return;
    FFont->AddChars(text);
    FText = text;
}

void TFlashText::SetDynamicText(bool on) {
    FDynamicText = on;
    if (on) {
        ReadOnly = false;
        NoSelect = false;
    }
}

void TFlashText::SetHTML(bool on) {
    FHTML = on;
    if (on)
        FDynamicText = true;
}

void TFlashText::SetUseOutlines(bool on) {
    FUseOutlines = on;
    if (on)
        FFont->DeviceFont = false;
}

void TFlashText::NoteLayout() {
    FHasLayout = true;
    FFont->SetHasLayout(true);
}

void TFlashText::SetAlign(uint8_t align) {
    FAlign = align;
    NoteLayout();
}

void TFlashText::SetIndent(int32_t indent) {
    FIndent = ToTwips(indent);
    NoteLayout();
}

int32_t TFlashText::Indent() const {
    return FromTwips(FIndent);
}

void TFlashText::SetLeading(int32_t leading) {
    FLeading = ToTwips(leading);
    NoteLayout();
}

int32_t TFlashText::Leading() const {
    return FromTwips(FLeading);
}

void TFlashText::SetLeftMargin(int32_t margin) {
    FLeftMargin = ToTwips(margin);
    NoteLayout();
}

int32_t TFlashText::LeftMargin() const {
    return FromTwips(FLeftMargin);
}

void TFlashText::SetRightMargin(int32_t margin) {
    FRightMargin = ToTwips(margin);
    NoteLayout();
}

int32_t TFlashText::RightMargin() const {
    return FromTwips(FRightMargin);
}

void TFlashText::SetBounds(const TRect& bounds) {
    Bounds.SetTRect(TRect{ToTwips(bounds.Left), ToTwips(bounds.Top), ToTwips(bounds.Right),
                          ToTwips(bounds.Bottom)});
}

TRect TFlashText::GetBounds() const {
    const TRect r = Bounds.GetTRect();
    return TRect{FromTwips(r.Left), FromTwips(r.Top), FromTwips(r.Right), FromTwips(r.Bottom)};
}

void TFlashText::SetTextHeight(int32_t height) {
    FTextHeight = uint16_t(std::clamp(ToTwips(height), 0, 0xFFFF));
}

int32_t TFlashText::TextHeight() const {
    return FromTwips(FTextHeight);
}

void TFlashText::SetMaxLength(int32_t length) {
    FMaxLength = length;
    FHasMaxLength = true;
}

TSWFRGBA& TFlashText::Color() {
    FHasColor = true;
    return FColor;
}

TSWFMatrix& TFlashText::Matrix() {
    if (!FMatrix)
        FMatrix = std::make_unique<TSWFMatrix>();
    return *FMatrix;
}

void TFlashText::WriteToStream(TBitsEngine& be) {
    if (FDynamicText)
        WriteDynamic(be);
    else
        WriteStatic(be);
}

// An empty text still writes its definition, without text records, so a
// placement of it refers to a defined character.
void TFlashText::WriteStatic(TBitsEngine& be) {
    TFlashFont& font = *FFont;
    std::unique_ptr<TSWFDefineText> tag;
    if (FColor.GetA() == 255)
        tag = std::make_unique<TSWFDefineText>();
    else
        tag = std::make_unique<TSWFDefineText2>();
    tag->CharacterID = CharacterId();
    tag->TextBounds.Assign(Bounds);
    if (FMatrix)
        tag->TextMatrix.Assign(*FMatrix);

    if (!FText.empty()) {
        font.ReadGlyphs(); // the advances
        std::unordered_map<const TFlashChar*, uint16_t> index;
        const auto order = font.GlyphOrder();
        for (size_t i = 0; i < order.size(); ++i)
            index[order[i]] = uint16_t(i);

        TSWFTextRecord record;
        record.SetFontID(font.CharacterId());
        record.SetTextHeight(FTextHeight);
        if (FHasColor)
            record.TextColor().SetRGBA(FColor.RGBA());
        // The pen stands on the baseline: the ascent below the top, in twips
        // rounded half to even.
        record.SetYOffset(RoundHalfEven(font.Ascent / 1024.0 * FTextHeight) + Bounds.GetYMin());
        if (Bounds.GetXMin() != 0)
            record.SetXOffset(Bounds.GetXMin());
        uint8_t glyphBits = 0, advanceBits = 0;
        for (char c : FText) {
            const TFlashChar* ch = font.CharByCode(uint8_t(c));
            const auto found = ch ? index.find(ch) : index.end();
            if (found == index.end())
                throw std::runtime_error("text " + std::to_string(CharacterId()) + ": character " +
                                         std::to_string(uint8_t(c)) + " has no glyph in font " +
                                         std::to_string(font.CharacterId()));
            TSWFGlyphEntry entry;
            entry.GlyphIndex = found->second;
            entry.GlyphAdvance = RoundHalfEven(ch->Advance / 1024.0 * FTextHeight) + CharSpacing;
            glyphBits = std::max(glyphBits, GetBitsCount(entry.GlyphIndex));
            advanceBits = std::max(advanceBits, GetSignedBitsCount(entry.GlyphAdvance));
            record.GlyphEntries.push_back(entry);
        }
        tag->GlyphBits = glyphBits;
        tag->AdvanceBits = advanceBits;
        tag->TextRecords.push_back(std::move(record));
    }
    tag->WriteToStream(be);
}

void TFlashText::WriteDynamic(TBitsEngine& be) {
    const TFlashFont& font = *FFont;
    TSWFDefineEditText tag;
    tag.SWFVersion = Owner ? Owner->Version() : 6;
    tag.CharacterID = CharacterId();
    tag.Bounds.Assign(Bounds);
    tag.AutoSize = AutoSize;
    tag.Border = Border;
    tag.HTML = FHTML;
    tag.Multiline = Multiline;
    tag.NoSelect = NoSelect;
    tag.Password = Password;
    tag.ReadOnly = ReadOnly;
    tag.WordWrap = WordWrap;
    tag.UseOutlines = FUseOutlines || !font.DeviceFont;
    tag.SetFont(font.CharacterId(), FTextHeight);
    if (FHasColor)
        tag.TextColor().SetRGBA(FColor.RGBA());
    if (FHasMaxLength)
        tag.SetMaxLength(uint16_t(FMaxLength));
    if (FHasLayout) {
        // Low 16 bits of the twips values.
        tag.SetAlign(FAlign);
        tag.SetLeftMargin(uint16_t(FLeftMargin));
        tag.SetRightMargin(uint16_t(FRightMargin));
        tag.SetIndent(uint16_t(FIndent));
        tag.SetLeading(int16_t(FLeading));
    }
    tag.VariableName = VariableName;
    if (font.UsesWideCodes() && !WideText.empty())
        tag.SetWideInitialText(WideText);
    else if (!FText.empty())
        tag.SetInitialText(FText);
    tag.WriteToStream(be);
}

} // namespace pictova
