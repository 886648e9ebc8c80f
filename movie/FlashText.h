#pragma once
// TFlashText: a text character in one font. Written as a static text
// (DefineText, or DefineText2 for a translucent colour) of glyphs laid out
// here, or as an edit text (DefineEditText) that the player lays out and
// whose content a variable can change. Lengths are stored in twips and taken
// and given in the movie's user units.

#include "movie/FlashShape.h"
#include "swf/SWFRecords.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pictova {

class TFlashFont;

enum TTextAlign : uint8_t { taLeft = 0, taRight = 1, taCenter = 2, taJustify = 3 };

class TFlashText : public TFlashVisualObject {
public:
    // Colour R | G << 8 | B << 16 | A << 24; bounds in user units; text in
    // Windows-1252, whose characters the font collects.
    TFlashText(TFlashMovie* owner, const TRect& bounds, TFlashFont& font, uint32_t color,
               const std::string& text);
    TFlashText(const TFlashText&) = default;
    // Every field, the font too: which font a text may share is Assign's rule.
    TFlashText& operator=(const TFlashText&) = default;
    ~TFlashText() override;

    // Every field; the font only when both texts belong to the same movie.
    void Assign(const TBasedSWFObject& source) override;
    uint8_t MinVersion() const override;
    void WriteToStream(TBitsEngine& be) override;

    TFlashFont& Font() const { return *FFont; }
    // Records the use (edit or static) on the font and adds the text's
    // characters to it, so every character is found when the text is written.
    void SetFont(TFlashFont& font);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& text);

    // On also clears ReadOnly and NoSelect.
    void SetDynamicText(bool on);
    bool DynamicText() const { return FDynamicText; }
    // On also makes the text dynamic.
    void SetHTML(bool on);
    bool HTML() const { return FHTML; }
    // On also makes the font embed its outlines.
    void SetUseOutlines(bool on);
    bool UseOutlines() const { return FUseOutlines; }

    // Layout: each setter also sets HasLayout, on the font too.
    void SetAlign(uint8_t align);
    uint8_t Align() const { return FAlign; }
    void SetIndent(int32_t indent);
    int32_t Indent() const;
    void SetLeading(int32_t leading);
    int32_t Leading() const;
    void SetLeftMargin(int32_t margin);
    int32_t LeftMargin() const;
    void SetRightMargin(int32_t margin);
    int32_t RightMargin() const;
    bool HasLayout() const { return FHasLayout; }

    // User units.
    void SetBounds(const TRect& bounds);
    TRect GetBounds() const;
    void SetTextHeight(int32_t height);
    int32_t TextHeight() const;
    void SetMaxLength(int32_t length);
    int32_t MaxLength() const { return FMaxLength; }
    bool HasMaxLength() const { return FHasMaxLength; }

    // Asking for the colour sets HasColor.
    TSWFRGBA& Color();
    bool HasColor() const { return FHasColor; }
    // Created on first access (identity).
    TSWFMatrix& Matrix();

    TSWFRect Bounds; // twips
    bool AutoSize = false;
    bool Border = false;
    int32_t CharSpacing = 0; // twips added to every glyph advance of a static text
    bool Multiline = false;
    bool NoSelect = false;
    bool Password = false;
    bool ReadOnly = false;
    std::string VariableName; // Windows-1252
    // Initial text of an edit text in a font of wide codes; nothing here
    // fills it.
    std::u16string WideText;
    bool WordWrap = false;

private:
    void WriteStatic(TBitsEngine& be);
    void WriteDynamic(TBitsEngine& be);
    void NoteLayout();
    int32_t ToTwips(int32_t v) const { return v * UnitFactor(); }
    int32_t FromTwips(int32_t v) const { return v / UnitFactor(); }

    TFlashFont* FFont; // not owned; never null
    std::string FText;
    uint8_t FAlign = taLeft;
    TSWFRGBA FColor{true};
    bool FDynamicText = false;
    bool FHasColor = false;
    bool FHasLayout = false;
    bool FHasMaxLength = false;
    bool FHTML = false;
    int32_t FIndent = 0; // twips, as the next three
    int32_t FLeading = 0;
    int32_t FLeftMargin = 0;
    int32_t FRightMargin = 0;
    TSWFOwned<TSWFMatrix> FMatrix;
    int32_t FMaxLength = 0;
    uint16_t FTextHeight = 0; // twips
    bool FUseOutlines = false;
};

} // namespace pictova
