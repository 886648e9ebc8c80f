// Draws the desktop program's pictures (data/artwork) with QPainter, so that
// they can be redrawn alike after a change of colour or caption. Built and
// run by draw.sh; the PNG files it writes are committed.
//
//   DrawArtwork <output folder> [<folder with tahoma.ttf>]

#include "app/desktop/Artwork.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>

#include <array>
#include <cstdio>

namespace {

// The window's colours; the accent is the blue of the header and the
// highlighted menu entry.
const QColor kWindow(0xF5, 0xF5, 0xF5);
const QColor kAccent(0x2A, 0x64, 0xB0);
const QColor kAccentDark(0x1B, 0x45, 0x82);
const QColor kAccentLight(0x4C, 0x8C, 0xD8);
const QColor kText(0x33, 0x33, 0x33);
const QColor kTextMuted(0x6E, 0x76, 0x80);
const QColor kBorder(0xC9, 0xD0, 0xD8);
const QColor kWarm(0xF2, 0x9A, 0x2E);

QString gFamily = QStringLiteral("DejaVu Sans");

QFont Font(int pixels, bool bold = false) {
    QFont font(gFamily);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QImage NewImage(int w, int h, bool opaque) {
    QImage image(w, h, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? kWindow : QColor(Qt::transparent));
    return image;
}

void Begin(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

bool Save(const QImage& image, const QDir& folder, const QString& name) {
    // Opaque pictures are stored without an alpha channel.
    const QImage out = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32)
                                               : image.convertToFormat(QImage::Format_RGB888);
    if (!out.save(folder.filePath(name), "PNG")) {
        std::fprintf(stderr, "DrawArtwork: cannot write %s\n", qPrintable(folder.filePath(name)));
        return false;
    }
    return true;
}

// A framed photo with a mountain and a sun: the motif of header and icon.
void DrawPhoto(QPainter& p, const QRectF& r, qreal angle, const QColor& sky, const QColor& hill) {
    p.save();
    p.translate(r.center());
    p.rotate(angle);
    const QRectF frame(-r.width() / 2, -r.height() / 2, r.width(), r.height());
    const qreal border = r.width() * 0.07;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(frame.translated(r.width() * 0.02, r.width() * 0.03), border * 0.6,
                      border * 0.6);
    p.setBrush(Qt::white);
    p.drawRoundedRect(frame, border * 0.6, border * 0.6);
    const QRectF inner = frame.adjusted(border, border, -border, -border);
    p.setClipRect(inner);
    p.fillRect(inner, sky);
    p.setBrush(QColor(0xFF, 0xD5, 0x4F));
    const qreal sun = inner.height() * 0.22;
    p.drawEllipse(QPointF(inner.right() - sun * 1.6, inner.top() + sun * 1.5), sun, sun);
    QPainterPath mountains;
    mountains.moveTo(inner.left(), inner.bottom());
    mountains.lineTo(inner.left() + inner.width() * 0.30, inner.top() + inner.height() * 0.42);
    mountains.lineTo(inner.left() + inner.width() * 0.50, inner.top() + inner.height() * 0.68);
    mountains.lineTo(inner.left() + inner.width() * 0.68, inner.top() + inner.height() * 0.52);
    mountains.lineTo(inner.right(), inner.bottom());
    mountains.closeSubpath();
    p.setBrush(hill);
    p.drawPath(mountains);
    p.restore();
}

// A play triangle in a circle.
void DrawPlayBadge(QPainter& p, const QPointF& centre, qreal radius, const QColor& fill) {
    p.save();
    p.setPen(QPen(Qt::white, radius * 0.16));
    p.setBrush(fill);
    p.drawEllipse(centre, radius, radius);
    QPainterPath triangle;
    const qreal t = radius * 0.48;
    triangle.moveTo(centre.x() - t * 0.6, centre.y() - t);
    triangle.lineTo(centre.x() + t * 1.05, centre.y());
    triangle.lineTo(centre.x() - t * 0.6, centre.y() + t);
    triangle.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(triangle);
    p.restore();
}

QImage Header() {
    QImage image = NewImage(640, 65, true);
    QPainter p(&image);
    Begin(p);
    QLinearGradient band(0, 0, 640, 0);
    band.setColorAt(0, kAccentDark);
    band.setColorAt(0.6, kAccent);
    band.setColorAt(1, kAccentLight);
    p.fillRect(image.rect(), band);
    // Faint circles on the right give the band some depth.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 18));
    p.drawEllipse(QPointF(590, 10), 70, 70);
    p.drawEllipse(QPointF(520, 75), 45, 45);
    DrawPhoto(p, QRectF(20, 12, 44, 36), -8, QColor(0x9E, 0xD0, 0xF5), QColor(0x4C, 0xA6, 0x5A));
    DrawPhoto(p, QRectF(38, 18, 44, 36), 6, QColor(0xFF, 0xC7, 0x8A), QColor(0x6A, 0x4C, 0x93));
    DrawPlayBadge(p, QPointF(78, 46), 10, kWarm);
    p.setPen(Qt::white);
    p.setFont(Font(30, true));
    p.drawText(QRect(104, 4, 300, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Pictova"));
    p.setPen(QColor(0xDC, 0xE8, 0xF7));
    p.setFont(Font(12));
    p.drawText(QRect(106, 40, 400, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Aus Ihren Bildern wird eine Flash-Diashow"));
    // A thin warm line closes the band towards the window.
    p.fillRect(QRect(0, 63, 640, 2), kWarm);
    return image;
}

// A click on a menu tab is taken in these rectangles.
using pictova::desktop::kMenuTabRects;

// Each entry: its caption in bold, then a quieter note (may be empty).
struct TTabText {
    QStringList Caption;
    QString Note;
};
const std::array<TTabText, 3> kTabTexts = {{
    {{QStringLiteral("Bilder")}, QStringLiteral("auswählen")},
    {{QStringLiteral("Einstellungen")}, QStringLiteral("Musik, Optionen")},
    {{QStringLiteral("Vorschau &"), QStringLiteral("Erstellen")}, QString()},
}};

QImage Menu(int active) {
    QImage image = NewImage(152, 400, true);
    QPainter p(&image);
    Begin(p);
    // The column is a shade darker than the panels, parted by a line.
    p.fillRect(image.rect(), QColor(0xEC, 0xEE, 0xF1));
    p.fillRect(QRect(151, 0, 1, 400), kBorder);
    p.setPen(kTextMuted);
    p.setFont(Font(10, true));
    p.drawText(QRect(12, 6, 130, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("IN DREI SCHRITTEN"));
    // The steps are joined by a dotted line through their numbers.
    p.setPen(QPen(kBorder, 2, Qt::DotLine));
    p.drawLine(QPointF(30, kMenuTabRects[0].center().y()),
               QPointF(30, kMenuTabRects[2].center().y()));
    for (int i = 0; i < 3; ++i) {
        const QRectF r = QRectF(kMenuTabRects[i]).adjusted(0.5, 0.5, -0.5, -0.5);
        const bool on = i == active;
        if (on) {
            QLinearGradient fill(r.topLeft(), r.bottomLeft());
            fill.setColorAt(0, kAccentLight);
            fill.setColorAt(1, kAccent);
            p.setPen(QPen(kAccentDark, 1));
            p.setBrush(fill);
        } else {
            p.setPen(QPen(kBorder, 1));
            p.setBrush(Qt::white);
        }
        p.drawRoundedRect(r, 6, 6);
        const QPointF centre(30, r.center().y());
        p.setPen(on ? QPen(Qt::white, 2) : QPen(kBorder, 1.5));
        p.setBrush(on ? kWarm : kWindow);
        p.drawEllipse(centre, 13, 13);
        p.setPen(on ? Qt::white : kTextMuted);
        p.setFont(Font(14, true));
        p.drawText(QRectF(centre.x() - 13, centre.y() - 13, 26, 26), Qt::AlignCenter,
                   QString::number(i + 1));
        // The lines are centred as a block: 16 pixels a caption line, 15 the note.
        const TTabText& texts = kTabTexts[i];
        const int lines = int(texts.Caption.size()) + (texts.Note.isEmpty() ? 0 : 1);
        qreal y = r.center().y() - (lines * 16 - (texts.Note.isEmpty() ? 0 : 1)) / 2.0;
        const qreal x = r.left() + 44;
        const qreal w = r.width() - 48;
        p.setPen(on ? Qt::white : kText);
        p.setFont(Font(12, true));
        for (const QString& line : texts.Caption) {
            p.drawText(QRectF(x, y, w, 16), Qt::AlignLeft | Qt::AlignVCenter, line);
            y += 16;
        }
        if (!texts.Note.isEmpty()) {
            p.setPen(on ? QColor(0xDC, 0xE8, 0xF7) : kTextMuted);
            p.setFont(Font(11));
            p.drawText(QRectF(x, y, w, 15), Qt::AlignLeft | Qt::AlignVCenter, texts.Note);
        }
        if (on) {
            // A notch points at the panel of the active tab.
            QPainterPath notch;
            notch.moveTo(r.right() + 0.5, r.center().y() - 7);
            notch.lineTo(r.right() + 7.5, r.center().y());
            notch.lineTo(r.right() + 0.5, r.center().y() + 7);
            notch.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(kAccent);
            p.drawPath(notch);
        }
    }
    // A quiet motif at the foot of the column, drawn whole and then faded
    // (fading each part would let the lower photo show through the upper).
    QImage motif = NewImage(152, 120, false);
    {
        QPainter m(&motif);
        Begin(m);
        DrawPhoto(m, QRectF(30, 20, 60, 48), -10, QColor(0x9E, 0xD0, 0xF5),
                  QColor(0x4C, 0xA6, 0x5A));
        DrawPhoto(m, QRectF(58, 30, 60, 48), 8, QColor(0xFF, 0xC7, 0x8A), QColor(0x6A, 0x4C, 0x93));
    }
    p.setOpacity(0.25);
    p.drawImage(0, 280, motif);
    p.setOpacity(1);
    return image;
}

QImage Hint() {
    QImage image = NewImage(220, 150, false);
    QPainter p(&image);
    Begin(p);
    const QRectF card(4.5, 4.5, 211, 141);
    p.setPen(QPen(kBorder, 1.5, Qt::DashLine));
    p.setBrush(QColor(0xFF, 0xFF, 0xFF, 235));
    p.drawRoundedRect(card, 10, 10);
    DrawPhoto(p, QRectF(76, 16, 60, 48), -6, QColor(0x9E, 0xD0, 0xF5), QColor(0x4C, 0xA6, 0x5A));
    // The plus badge: more pictures go into the list.
    const QPointF plus(136, 58);
    p.setPen(QPen(Qt::white, 2.5));
    p.setBrush(kWarm);
    p.drawEllipse(plus, 13, 13);
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(plus + QPointF(-6, 0), plus + QPointF(6, 0));
    p.drawLine(plus + QPointF(0, -6), plus + QPointF(0, 6));
    p.setPen(kAccentDark);
    p.setFont(Font(15, true));
    p.drawText(QRectF(8, 78, 204, 22), Qt::AlignCenter, QStringLiteral("Fügen Sie Bilder hinzu"));
    p.setPen(kTextMuted);
    p.setFont(Font(11));
    p.drawText(QRectF(12, 100, 196, 36), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Klicken Sie auf „Hinzufügen“,\num Ihre Diashow zu beginnen."));
    return image;
}

// Demo 1: a summer day over green hills.
QImage Demo1() {
    QImage image = NewImage(150, 105, true);
    QPainter p(&image);
    Begin(p);
    QLinearGradient sky(0, 0, 0, 70);
    sky.setColorAt(0, QColor(0x3D, 0x8F, 0xE0));
    sky.setColorAt(1, QColor(0xB8, 0xDF, 0xFA));
    p.fillRect(image.rect(), sky);
    QRadialGradient glow(QPointF(112, 26), 26);
    glow.setColorAt(0, QColor(255, 245, 180, 200));
    glow.setColorAt(1, QColor(255, 245, 180, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(112, 26), 26, 26);
    p.setBrush(QColor(0xFF, 0xD5, 0x4F));
    p.drawEllipse(QPointF(112, 26), 12, 12);
    p.setBrush(QColor(0xFA, 0xFC, 0xFF));
    for (const QRectF& puff :
         {QRectF(18, 18, 26, 14), QRectF(32, 12, 24, 18), QRectF(46, 19, 22, 12)})
        p.drawEllipse(puff);
    QPainterPath far;
    far.moveTo(0, 72);
    far.cubicTo(30, 52, 60, 58, 85, 66);
    far.cubicTo(110, 74, 130, 56, 150, 60);
    far.lineTo(150, 105);
    far.lineTo(0, 105);
    p.setBrush(QColor(0x6D, 0xB8, 0x5E));
    p.drawPath(far);
    QPainterPath near;
    near.moveTo(0, 88);
    near.cubicTo(40, 70, 90, 96, 150, 80);
    near.lineTo(150, 105);
    near.lineTo(0, 105);
    p.setBrush(QColor(0x3F, 0x8F, 0x3E));
    p.drawPath(near);
    // A small tree on the near hill.
    p.setBrush(QColor(0x6B, 0x4A, 0x2B));
    p.drawRect(QRectF(38, 72, 4, 12));
    p.setBrush(QColor(0x2E, 0x6E, 0x2F));
    p.drawEllipse(QPointF(40, 68), 10, 11);
    return image;
}

// Demo 2: evening over the sea, in warm colours, so that the effect between
// the two is easy to follow.
QImage Demo2() {
    QImage image = NewImage(150, 105, true);
    QPainter p(&image);
    Begin(p);
    QLinearGradient sky(0, 0, 0, 66);
    sky.setColorAt(0, QColor(0x4A, 0x2C, 0x7A));
    sky.setColorAt(0.55, QColor(0xD9, 0x5D, 0x6A));
    sky.setColorAt(1, QColor(0xFF, 0xB3, 0x5C));
    p.fillRect(QRect(0, 0, 150, 66), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xE0, 0x8A));
    p.drawEllipse(QPointF(52, 64), 17, 17);
    QLinearGradient sea(0, 66, 0, 105);
    sea.setColorAt(0, QColor(0x2F, 0x4E, 0x8C));
    sea.setColorAt(1, QColor(0x16, 0x24, 0x4A));
    p.fillRect(QRect(0, 66, 150, 39), sea);
    // The sun's reflection in short strokes.
    p.setBrush(QColor(0xFF, 0xC8, 0x70, 200));
    for (int i = 0; i < 5; ++i) {
        const qreal w = 26 - i * 4;
        p.drawRoundedRect(QRectF(52 - w / 2, 70 + i * 6, w, 2.5), 1.2, 1.2);
    }
    // An island with a palm on the right.
    QPainterPath island;
    island.moveTo(96, 67);
    island.cubicTo(106, 58, 134, 58, 146, 67);
    island.closeSubpath();
    p.setBrush(QColor(0x2A, 0x1A, 0x3A));
    p.drawPath(island);
    p.setPen(QPen(QColor(0x2A, 0x1A, 0x3A), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath trunk;
    trunk.moveTo(121, 62);
    trunk.cubicTo(120, 50, 124, 42, 128, 36);
    p.drawPath(trunk);
    p.setPen(QPen(QColor(0x2A, 0x1A, 0x3A), 2, Qt::SolidLine, Qt::RoundCap));
    for (const QPointF& tip :
         {QPointF(114, 38), QPointF(140, 40), QPointF(118, 30), QPointF(138, 31)}) {
        QPainterPath leaf;
        leaf.moveTo(128, 36);
        leaf.quadTo(QPointF((128 + tip.x()) / 2, 30), tip);
        p.drawPath(leaf);
    }
    return image;
}

QImage Icon() {
    QImage image = NewImage(256, 256, false);
    QPainter p(&image);
    Begin(p);
    const QRectF tile(12, 12, 232, 232);
    QLinearGradient fill(tile.topLeft(), tile.bottomRight());
    fill.setColorAt(0, kAccentLight);
    fill.setColorAt(1, kAccentDark);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(tile.translated(0, 4), 44, 44);
    p.setBrush(fill);
    p.drawRoundedRect(tile, 44, 44);
    DrawPhoto(p, QRectF(42, 58, 128, 104), -10, QColor(0x9E, 0xD0, 0xF5), QColor(0x4C, 0xA6, 0x5A));
    DrawPhoto(p, QRectF(82, 82, 128, 104), 7, QColor(0xFF, 0xC7, 0x8A), QColor(0x6A, 0x4C, 0x93));
    DrawPlayBadge(p, QPointF(188, 186), 34, kWarm);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: DrawArtwork <output folder> [<font folder>]\n");
        return 2;
    }
    if (argc > 2) {
        const QDir fonts(QString::fromLocal8Bit(argv[2]));
        // Only the regular face: the bold face of that package draws thin
        // strokes, while Qt's emboldened regular face looks right.
        const int id =
            QFontDatabase::addApplicationFont(fonts.filePath(QStringLiteral("tahoma.ttf")));
        if (id >= 0 && !QFontDatabase::applicationFontFamilies(id).isEmpty())
            gFamily = QFontDatabase::applicationFontFamilies(id).first();
    }
    std::fprintf(stderr, "DrawArtwork: drawing with %s\n", qPrintable(gFamily));
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "DrawArtwork: cannot create %s\n", argv[1]);
        return 1;
    }
    using namespace pictova::desktop;
    bool ok = Save(Header(), folder, kHeaderPicture);
    for (int i = 0; i < 3; ++i)
        ok = Save(Menu(i), folder, kMenuPictures[size_t(i)]) && ok;
    ok = Save(Hint(), folder, kHintPicture) && ok;
    ok = Save(Demo1(), folder, kDemoPicture1) && ok;
    ok = Save(Demo2(), folder, kDemoPicture2) && ok;
    ok = Save(Icon(), folder, kProgramIcon) && ok;
    return ok ? 0 : 1;
}
