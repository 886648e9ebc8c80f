#include "swf/SWFRecords.h"

#include <gtest/gtest.h>

namespace pictova {
namespace {

TEST(TSWFRect, KeepsCornersSorted) {
    TSWFRect r;
    r.SetXMax(-5); // below XMin 0: becomes the minimum
    EXPECT_EQ(r.GetXMin(), -5);
    EXPECT_EQ(r.GetXMax(), 0);
    r.SetYMin(30);
    EXPECT_EQ(r.GetYMin(), 0);
    EXPECT_EQ(r.GetYMax(), 30);
    r.SetTRect(TRect{100, 50, 10, 5}); // left, top, right, bottom
    const TRect t = r.GetTRect();
    EXPECT_EQ(t.Left, 10);
    EXPECT_EQ(t.Top, 5);
    EXPECT_EQ(t.Right, 100);
    EXPECT_EQ(t.Bottom, 50);
    TSWFRect copy;
    copy.Assign(r);
    EXPECT_EQ(copy.GetXMax(), 100);
}

TEST(TSWFRGBA, AlphaFlagFollowsTheSetters) {
    TSWFRGBA opaque;
    EXPECT_FALSE(opaque.HasAlpha());
    EXPECT_EQ(opaque.GetA(), 255);

    TSWFRGBA c(true);
    EXPECT_TRUE(c.HasAlpha());
    EXPECT_EQ(c.GetA(), 0); // until a colour is set
    c.SetA(10);
    c.SetA(255);
    EXPECT_TRUE(c.HasAlpha()); // SetA never clears the flag

    TSWFRGBA d;
    d.SetRGBA(MakeRGBA(1, 2, 3, 128));
    TSWFRGBA d0;
    d0.Assign(d);
    EXPECT_TRUE(d.HasAlpha());
    EXPECT_EQ(d.RGBA(), MakeRGBA(1, 2, 3, 128));
    d.SetHasAlpha(false);
    EXPECT_EQ(d.GetA(), 255);
    d.SetRGB(MakeRGB(9, 8, 7));
    EXPECT_EQ(d.RGBA(), MakeRGBA(9, 8, 7, 255));

    // Assign copies the colour value; the flag follows SetA, so an opaque
    // source leaves it off, a translucent one switches it on.
    TSWFRGBA e;
    e.Assign(c);
    EXPECT_FALSE(e.HasAlpha());
    EXPECT_EQ(e.GetA(), 255);
    e.Assign(d0);
    EXPECT_TRUE(e.HasAlpha());
    EXPECT_EQ(e.GetA(), 128);
    TSWFRGB plain;
    plain.SetRGB(MakeRGB(4, 5, 6));
    TSWFRGBA f(true);
    f.SetA(3);
    f.Assign(plain);
    EXPECT_EQ(f.RGBA(), MakeRGBA(4, 5, 6, 255));
}

TEST(TSWFMatrix, RotateNinetyFromIdentity) {
    TSWFMatrix m;
    m.SetRotate(90);
    EXPECT_TRUE(m.HasScale);
    EXPECT_TRUE(m.HasRotate);
    EXPECT_EQ(m.ScaleX, 0);
    EXPECT_EQ(m.ScaleY, 0);
    EXPECT_EQ(m.RotateSkew0, -65536);
    EXPECT_EQ(m.RotateSkew1, 65536);
}

TEST(TSWFMatrix, RotateComposesWithScale) {
    TSWFMatrix m;
    m.SetScale(2.0f, 0.5f);
    m.SetRotate(90);
    EXPECT_EQ(m.ScaleX, 0);
    EXPECT_EQ(m.ScaleY, 0);
    EXPECT_EQ(m.RotateSkew1, 32768);   // d * sin
    EXPECT_EQ(m.RotateSkew0, -131072); // -a * sin
    TSWFMatrix half;
    half.SetRotate(30);
    half.SetRotate(30);
    TSWFMatrix once;
    once.SetRotate(60);
    EXPECT_NEAR(half.ScaleX, once.ScaleX, 4);
    EXPECT_NEAR(half.RotateSkew0, once.RotateSkew0, 4);
}

TEST(TSWFMatrix, SkewArgumentOrderAndTranslate) {
    TSWFMatrix m;
    m.SetSkew(0.25f, -0.5f);
    m.SetTranslate(7, -9);
    const SWFMatrix v = m;
    EXPECT_TRUE(v.HasRotate);
    EXPECT_FALSE(v.HasScale);
    EXPECT_EQ(v.RotateSkew1, 16384);
    EXPECT_EQ(v.RotateSkew0, -32768);
    EXPECT_EQ(v.TranslateX, 7);
    EXPECT_EQ(v.TranslateY, -9);
    TSWFMatrix copy;
    copy.Assign(m);
    EXPECT_EQ(copy.RotateSkew0, -32768);
}

TEST(TSWFColorTransform, FlagsFollowTheSetters) {
    struct Row {
        const char* Name;
        void (TSWFColorTransform::*Set)(int32_t);
        bool Add, Mult, Alpha;
    };
    const Row rows[] = {
        {"AddR", &TSWFColorTransform::SetAddR, true, false, false},
        {"AddA", &TSWFColorTransform::SetAddA, true, false, true},
        {"MultB", &TSWFColorTransform::SetMultB, false, true, false},
        {"MultA", &TSWFColorTransform::SetMultA, false, true, true},
    };
    for (const Row& r : rows) {
        TSWFColorTransform t;
        (t.*r.Set)(-3);
        const SWFColorTransform v = t.ColorTransform();
        EXPECT_EQ(v.HasAdd, r.Add) << r.Name;
        EXPECT_EQ(v.HasMult, r.Mult) << r.Name;
        EXPECT_EQ(v.HasAlpha, r.Alpha) << r.Name;
    }
}

TEST(TSWFColorTransform, RecordCarriesOnlyMeaningfulTerms) {
    TSWFColorTransform t;
    t.SetMultR(0x12345); // only the low 16 bits reach the record
    t.SetAddG(7);
    SWFColorTransform v = t.ColorTransform();
    EXPECT_EQ(v.MultR, 0x2345);
    EXPECT_EQ(v.AddG, 7);
    EXPECT_EQ(v.AddA, 0); // alpha off
    v.HasMult = false;
    TSWFColorTransform u;
    u.SetMultG(5);
    u.SetColorTransform(v);
    EXPECT_FALSE(u.GetHasMult());
    EXPECT_TRUE(u.GetHasAdd());
    TSWFColorTransform w;
    w.Assign(t);
    EXPECT_EQ(w.ColorTransform().MultR, 0x2345);
}

} // namespace
} // namespace pictova
