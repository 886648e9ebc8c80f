#pragma once
// Glyph outlines of system fonts as SWF glyph shapes: the vertical metrics of
// a TFlashFont and, per TFlashChar, the outline in its edges and the advance,
// all in the 1024-unit em square, so outline units pass into the glyph shape
// unscaled.

#include "platform/GlyphReader.h"

#include <cstdint>
#include <memory>

namespace pictova {

class TFlashChar;
class TFlashEdges;
class TFlashFont;

// A 16.16 fixed-point value (signed integer part, unsigned fraction) to the
// nearest integer, halves to the even neighbour: 12.5 gives 12, 13.5 gives
// 14, -0.5 gives 0.
int32_t FixedToInt(int32_t fixed);

// The installed face for the font's name, bold and italic. When another face
// stands in for it (the name is not installed, or bold or italic are made
// synthetically) the font's FaceUsed names it, and the first time in the
// process one line on std::clog says so.
std::unique_ptr<TGlyphFace> OpenFontFace(TFlashFont& font);

// Ascent, descent and internal leading, cut to 16 bits.
void ReadFontMetrics(TFlashFont& font);
void ReadFontMetrics(TFlashFont& font, const TGlyphFace& face);

// The char's outline into its edges and its advance; sets OutlineRead.
void ReadGlyph(const TGlyphFace& face, TFlashChar& ch);

// Draws the outline into the edges: per contour a move to its start, lines
// and curves at integer em units, a closing line back to the start, and at
// the end every y mirrored (outline y grows upwards, SWF y downwards).
// Quadratic splines keep their control points; cubic curves are split into
// quadratics that stay within a quarter of a unit of them. An outline with a
// curve record of any other type, or a cubic record whose points are not
// triples, draws nothing and gives false: the glyph stays empty (its advance
// still counts) instead of showing a misread shape.
bool ReadGlyphOutline(const TGlyphOutline& outline, TFlashEdges& edges);

} // namespace pictova
