#include "gui/tool_icons.h"

#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QTransform>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace tav {

namespace {

constexpr int kSize = 64;   // every image is drawn on a square of this many pixels
constexpr qreal kLine = 4;  // width of the ink outline on that square
const QColor kInk(0x37, 0x47, 0x4f);
const QColor kPaper(0xff, 0xff, 0xff);

// The buttons come in groups, each with its own accent colour: the file, editing the text, searching,
// moving about the table and the views of a relevé, changing rows and codes, the pictures and plots, and
// the tools (macros, functions, font, help).
enum class Group { File, Edit, Search, Browse, Table, Chart, Tools };

QColor accentOf(Group g) {
    switch (g) {
        case Group::File:
            return QColor(0x1e, 0x88, 0xe5);
        case Group::Edit:
            return QColor(0x00, 0x89, 0x7b);
        case Group::Search:
            return QColor(0xfb, 0x8c, 0x00);
        case Group::Browse:
            return QColor(0x43, 0xa0, 0x47);
        case Group::Table:
            return QColor(0x8e, 0x24, 0xaa);
        case Group::Chart:
            return QColor(0xe5, 0x39, 0x35);
        case Group::Tools:
            return QColor(0x39, 0x49, 0xab);
    }
    return kInk;
}

QPen roundPen(const QColor& c, qreal w) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A painter on the 64-pixel square with the shapes the images are made of.
struct Canvas {
    QPainter& p;
    QColor accent;
    bool on;

    // The accent lightened towards white, for glass and backgrounds.
    QColor tint() const {
        return QColor((accent.red() + 2 * 255) / 3, (accent.green() + 2 * 255) / 3,
                      (accent.blue() + 2 * 255) / 3);
    }
    // Shapes drawn next are filled with fill (none when invalid) and outlined in ink of width w (none
    // when 0).
    void style(const QColor& fill, qreal w = kLine) {
        p.setPen(w > 0 ? roundPen(kInk, w) : QPen(Qt::NoPen));
        p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    }
    void poly(std::initializer_list<QPointF> pts, const QColor& fill, qreal w = kLine) {
        style(fill, w);
        p.drawPolygon(QPolygonF(QList<QPointF>(pts)));
    }
    void rect(const QRectF& r, const QColor& fill, qreal radius = 3, qreal w = kLine) {
        style(fill, w);
        p.drawRoundedRect(r, radius, radius);
    }
    void circle(QPointF c, qreal r, const QColor& fill, qreal w = kLine) {
        style(fill, w);
        p.drawEllipse(c, r, r);
    }
    void line(QPointF a, QPointF b, const QColor& c, qreal w = kLine) {
        p.setPen(roundPen(c, w));
        p.drawLine(a, b);
    }
    // A stroke of colour c and width w with an ink rim around it.
    void rimmed(const QPainterPath& path, const QColor& c, qreal w) {
        p.strokePath(path, roundPen(kInk, w + kLine * 1.5));
        p.strokePath(path, roundPen(c, w));
    }
    // A triangular arrow head with its tip at tip, pointing along dir.
    void head(QPointF tip, QPointF dir, qreal len, qreal width, const QColor& fill, qreal w = kLine) {
        const qreal n = std::hypot(dir.x(), dir.y());
        const QPointF u = dir / n, side(-u.y() * width / 2, u.x() * width / 2), base = tip - u * len;
        poly({tip, base + side, base - side}, fill, w);
    }
    // A bold arrow from a to b, the shaft shaft wide and the head head wide.
    void arrow(QPointF a, QPointF b, qreal shaft, qreal head, const QColor& fill) {
        const QLineF l(a, b);
        const QPointF u = (b - a) / l.length(), n(-u.y(), u.x()), base = b - u * (head * 0.85);
        const QPointF s = n * (shaft / 2), h = n * (head / 2);
        poly({a + s, base + s, base + h, b, base - h, base - s, a - s}, fill);
    }
    // A thin arrow: a line with a small head.
    void thinArrow(QPointF a, QPointF b, const QColor& c) {
        const QPointF d = b - a;
        const QPointF u = d / std::hypot(d.x(), d.y());
        line(a, b - u * 10, c, 5);
        head(b, d, 18, 18, c, 0);
    }
    // A stroke along the circle in box from start through sweep degrees (counter-clockwise when
    // positive), ending in a head.
    void curvedArrow(const QRectF& box, qreal start, qreal sweep, qreal w, qreal headLen) {
        QPainterPath path;
        path.arcMoveTo(box, start);
        path.arcTo(box, start, sweep);
        rimmed(path, accent, w);
        const qreal t = (start + sweep) * std::numbers::pi / 180, s = sweep < 0 ? -1 : 1;
        const QPointF end = path.currentPosition(), dir(-std::sin(t) * s, -std::cos(t) * s);
        head(end + dir * (headLen * 0.7), dir, headLen, headLen * 1.3, accent);
    }
    // A sheet of paper with its top right corner folded over.
    void sheet(const QRectF& r, qreal fold, const QColor& fill = kPaper) {
        const qreal x0 = r.left(), y0 = r.top(), x1 = r.right(), y1 = r.bottom();
        poly({{x0, y0}, {x1 - fold, y0}, {x1, y0 + fold}, {x1, y1}, {x0, y1}}, fill);
        poly({{x1 - fold, y0}, {x1 - fold, y0 + fold}, {x1, y0 + fold}}, tint());
    }
    // Ruled lines across r, count of them, the last one shorter.
    void ruled(const QRectF& r, int count, const QColor& c = kInk) {
        const qreal step = count > 1 ? r.height() / (count - 1) : 0;
        for (int i = 0; i < count; ++i) {
            const qreal right = i == count - 1 && count > 1 ? r.left() + r.width() * 0.6 : r.right();
            line({r.left(), r.top() + i * step}, {right, r.top() + i * step}, c, 3.5);
        }
    }
    // A magnifier with its lens around c, radius r, the handle towards the bottom right.
    void magnifier(QPointF c, qreal r) {
        const qreal d = r / std::numbers::sqrt2;
        QPainterPath handle(c + QPointF(d + 3, d + 3));
        handle.lineTo(c + QPointF(d + r * 0.9, d + r * 0.9));
        rimmed(handle, accent, 7);
        circle(c, r, tint(), 5);
    }
    // A clipboard filling r with the clip at the top; returns the paper on it.
    QRectF clipboard(const QRectF& r) {
        rect(r, accent, 5);
        const QRectF paper = r.adjusted(7, 11, -7, -6);
        rect(paper, kPaper, 1.5, 3);
        rect(QRectF(r.center().x() - 10, r.top() - 3, 20, 11), kInk, 3, 0);
        return paper;
    }
    void text(const QRectF& r, const QString& s, qreal px, bool serif, bool bold, bool italic,
              const QColor& c) {
        QFont f(serif ? QStringLiteral("DejaVu Serif") : QStringLiteral("DejaVu Sans"));
        f.setStyleHint(serif ? QFont::Serif : QFont::SansSerif);
        f.setPixelSize(static_cast<int>(px));
        f.setBold(bold);
        f.setItalic(italic);
        p.setFont(f);
        p.setPen(c);
        p.drawText(r, Qt::AlignCenter, s);
    }
    // Turn the drawing by degrees around the middle of the square.
    void turn(qreal degrees) {
        p.translate(kSize / 2.0, kSize / 2.0);
        p.rotate(degrees);
        p.translate(-kSize / 2.0, -kSize / 2.0);
    }
};

// A bold arrow onto a bar, pointing right before turning by degrees.
void toBar(Canvas& c, qreal degrees) {
    c.turn(degrees);
    c.arrow({6, 32}, {48, 32}, 12, 30, c.accent);
    c.rect({50, 8, 8, 48}, kInk, 2, 0);
}

// Lines of falling length with an arrow down beside them.
void sortedRows(Canvas& c) {
    for (int i = 0; i < 4; ++i) {
        const qreal y = 10 + i * 14;
        c.line({6, y}, {40 - i * 7.0, y}, kInk, 6);
    }
    c.arrow({52, 4}, {52, 60}, 9, 22, c.accent);
}

// A funnel, filled with the accent when on.
void funnel(Canvas& c) {
    c.poly({{6, 8}, {58, 8}, {38, 32}, {38, 52}, {26, 60}, {26, 32}}, c.on ? c.accent : kPaper, 5);
}

using Draw = void (*)(Canvas&);

struct Entry {
    std::string_view name;
    Group group;
    Draw draw;
};

const Entry kIcons[] = {
    {"NewButton", Group::File,
     [](Canvas& c) {
         c.sheet({12, 4, 40, 56}, 16);
     }},
    {"OpenButton", Group::File,
     [](Canvas& c) {
         c.poly({{4, 12}, {22, 12}, {28, 18}, {54, 18}, {54, 54}, {4, 54}}, c.tint());
         c.poly({{14, 28}, {62, 28}, {52, 54}, {4, 54}}, c.accent);
     }},
    {"SaveButton", Group::File,
     [](Canvas& c) {
         c.poly({{6, 6}, {48, 6}, {58, 16}, {58, 58}, {6, 58}}, c.accent);
         c.rect({18, 6, 26, 18}, kPaper, 1, 3);
         c.rect({34, 10, 6, 10}, kInk, 1, 0);
         c.rect({14, 34, 36, 24}, kPaper, 1, 3);
         c.ruled({20, 42, 24, 8}, 2, c.tint());
     }},
    {"UndoButton", Group::Edit,
     [](Canvas& c) {
         QPainterPath path({18, 22});
         path.lineTo(37, 22);
         path.arcTo({22, 22, 30, 30}, 90, -180);
         path.lineTo(20, 52);
         c.rimmed(path, c.accent, 8);
         c.head({4, 22}, {-1, 0}, 20, 26, c.accent);
     }},
    {"CopyButton", Group::Edit,
     [](Canvas& c) {
         c.sheet({6, 4, 32, 40}, 10, c.tint());
         c.sheet({26, 20, 32, 40}, 10);
         c.ruled({32, 36, 18, 14}, 3, c.accent);
     }},
    {"CutButton", Group::Edit,
     [](Canvas& c) {
         c.line({24, 4}, {42, 40}, kInk, 6);
         c.line({40, 4}, {22, 40}, kInk, 6);
         c.circle({20, 48}, 9, kPaper, 0);
         c.circle({44, 48}, 9, kPaper, 0);
         c.p.setPen(roundPen(c.accent, 6));
         c.p.setBrush(Qt::NoBrush);
         c.p.drawEllipse(QPointF(19, 49), 9, 9);
         c.p.drawEllipse(QPointF(45, 49), 9, 9);
         c.circle({32, 22}, 3, kPaper, 2);
     }},
    {"PasteButton", Group::Edit,
     [](Canvas& c) {
         c.ruled(c.clipboard({10, 8, 44, 52}).adjusted(6, 8, -6, -8), 4);
     }},
    {"DateButton", Group::Edit,
     [](Canvas& c) {
         c.rect({6, 10, 52, 48}, kPaper);
         c.rect({6, 10, 52, 14}, c.accent, 3);
         for (int i = 0; i < 3; ++i)
             for (int j = 0; j < 4; ++j)
                 c.rect({12 + j * 11.0, 29 + i * 9.0, 7, 6}, i == 1 && j == 2 ? c.accent : kInk, 1, 0);
         c.rect({17, 4, 6, 12}, kInk, 2, 0);
         c.rect({41, 4, 6, 12}, kInk, 2, 0);
     }},
    {"TimeButton", Group::Edit,
     [](Canvas& c) {
         c.circle({32, 32}, 27, kPaper, 5);
         for (int i = 0; i < 4; ++i) {
             c.turn(90);
             c.line({32, 10}, {32, 14}, c.accent, 4);
         }
         c.line({32, 32}, {32, 15}, kInk, 5);
         c.line({32, 32}, {45, 39}, kInk, 5);
         c.circle({32, 32}, 4, c.accent, 0);
     }},
    {"FindButton", Group::Search,
     [](Canvas& c) {
         c.magnifier({26, 26}, 18);
     }},
    {"ReplaceButton", Group::Search,
     [](Canvas& c) {
         c.magnifier({26, 20}, 15);
         c.arrow({4, 46}, {36, 46}, 7, 15, c.accent);
         c.arrow({36, 56}, {4, 56}, 7, 15, c.accent);
     }},
    {"SuchRueckButton", Group::Search,
     [](Canvas& c) {
         c.magnifier({26, 26}, 18);
         c.line({18, 18}, {34, 34}, kInk, 5);
         c.line({34, 18}, {18, 34}, kInk, 5);
     }},
    {"MemoButton", Group::Browse,
     [](Canvas& c) {
         c.sheet({6, 4, 40, 54}, 12);
         c.ruled({13, 24, 24, 24}, 4);
         c.p.translate(46, 36);
         c.p.rotate(45);
         c.rect({-5, -26, 10, 36}, c.accent, 1);
         c.poly({{-5, 10}, {5, 10}, {0, 20}}, kPaper);
     }},
    {"UeberButton", Group::Browse,
     [](Canvas& c) {
         for (int i = 0; i < 4; ++i) {
             const qreal y = 11 + i * 14;
             c.circle({10, y}, 5, c.accent, 0);
             c.line({22, y}, {58, y}, kInk, 5);
         }
     }},
    {"WechselButton", Group::Browse,
     [](Canvas& c) {
         c.arrow({20, 60}, {20, 4}, 10, 26, c.accent);
         c.arrow({44, 4}, {44, 60}, 10, 26, c.accent);
     }},
    {"LinksButton", Group::Browse, [](Canvas& c) { toBar(c, 180); }},
    {"RechtsButton", Group::Browse, [](Canvas& c) { toBar(c, 0); }},
    {"ObenButton", Group::Browse, [](Canvas& c) { toBar(c, -90); }},
    {"UntenButton", Group::Browse, [](Canvas& c) { toBar(c, 90); }},
    {"ZlTypButton", Group::Table,
     [](Canvas& c) {
         c.rect({8, 8, 48, 48}, c.accent, 6);
         c.text({8, 8, 48, 48}, QStringLiteral("T"), 40, false, true, false, kPaper);
     }},
    {"ZusatzButton", Group::Table,
     [](Canvas& c) {
         for (int i = 0; i < 3; ++i) {
             const qreal y = 52 - i * 11.0;
             c.poly({{4, y}, {26, y - 9}, {48, y}, {26, y + 9}}, i == 2 ? c.accent : kPaper);
         }
         c.line({52, 4}, {52, 24}, kInk, 6);
         c.line({42, 14}, {62, 14}, kInk, 6);
     }},
    {"KSBZyklischButton", Group::Table,
     [](Canvas& c) {
         c.curvedArrow({10, 10, 44, 44}, 100, -270, 8, 20);
     }},
    {"cfButton", Group::Table,
     [](Canvas& c) {
         c.rect({2, 12, 60, 40}, c.tint(), 6, 0);
         c.text({0, 10, 64, 44}, QStringLiteral("cf."), 36, true, true, true, kInk);
     }},
    {"SortZlButton", Group::Table, [](Canvas& c) { sortedRows(c); }},
    {"SortSpButton", Group::Table,
     [](Canvas& c) {
         c.p.setTransform(QTransform(0, -1, 1, 0, 0, kSize), true);
         sortedRows(c);
     }},
    {"NachschlagenButton", Group::Table,
     [](Canvas& c) {
         c.poly({{4, 14}, {32, 20}, {60, 14}, {60, 54}, {32, 60}, {4, 54}}, c.accent);
         c.poly({{8, 8}, {32, 14}, {32, 52}, {8, 46}}, kPaper, 3);
         c.poly({{56, 8}, {32, 14}, {32, 52}, {56, 46}}, kPaper, 3);
         for (int i = 0; i < 3; ++i) {
             const qreal y = 22 + i * 8.0;
             c.line({13, y - 2}, {27, y + 1.5}, c.accent, 3);
             c.line({51, y - 2}, {37, y + 1.5}, c.accent, 3);
         }
     }},
    {"PruefButton", Group::Table,
     [](Canvas& c) {
         QPainterPath path({10, 34});
         path.lineTo(26, 50);
         path.lineTo(54, 14);
         c.rimmed(path, c.accent, 10);
     }},
    {"FiltButton", Group::Table, funnel},
    {"ImageButton", Group::Chart,
     [](Canvas& c) {
         c.rect({4, 10, 56, 44}, kPaper);
         c.p.setClipRect(QRectF(6, 12, 52, 40));
         c.poly({{2, 56}, {22, 28}, {36, 44}, {44, 34}, {62, 56}}, c.accent, 3);
         c.p.setClipping(false);
         c.circle({45, 22}, 5, c.tint(), 3);
         c.rect({4, 10, 56, 44}, QColor(), 3);
     }},
    {"ScatterButton", Group::Chart,
     [](Canvas& c) {
         for (QPointF d : {QPointF(18, 44), QPointF(24, 30), QPointF(32, 38), QPointF(38, 20),
                           QPointF(48, 28), QPointF(52, 12)})
             c.circle(d, 5, c.accent, 0);
         c.line({8, 4}, {8, 56}, kInk, 5);
         c.line({8, 56}, {60, 56}, kInk, 5);
     }},
    {"GraphButton", Group::Chart,
     [](Canvas& c) {
         QPainterPath path({14, 46});
         path.lineTo(26, 28);
         path.lineTo(38, 38);
         path.lineTo(54, 12);
         c.p.strokePath(path, roundPen(c.accent, 6));
         c.line({8, 4}, {8, 56}, kInk, 5);
         c.line({8, 56}, {60, 56}, kInk, 5);
     }},
    {"BiplotButton", Group::Chart,
     [](Canvas& c) {
         c.line({4, 32}, {60, 32}, kInk, 3);
         c.line({32, 4}, {32, 60}, kInk, 3);
         c.thinArrow({32, 32}, {56, 10}, c.accent);
         c.thinArrow({32, 32}, {10, 16}, c.accent);
         c.thinArrow({32, 32}, {50, 54}, c.accent);
     }},
    {"MapButton", Group::Chart,
     [](Canvas& c) {
         c.poly({{4, 14}, {22, 8}, {42, 14}, {60, 8}, {60, 52}, {42, 58}, {22, 52}, {4, 58}}, kPaper);
         c.line({22, 8}, {22, 52}, kInk, 3);
         c.line({42, 14}, {42, 58}, kInk, 3);
         QPainterPath pin({34, 46});
         pin.arcTo({24, 8, 20, 20}, 215, -250);
         pin.closeSubpath();
         c.style(c.accent);
         c.p.drawPath(pin);
         c.circle({34, 18}, 3.5, kPaper, 0);
     }},
    {"MacroButton", Group::Tools,
     [](Canvas& c) {
         c.poly({{14, 6}, {58, 32}, {14, 58}}, c.accent, 5);
     }},
    {"ExternButton", Group::Tools,
     [](Canvas& c) {
         c.rect({3, 10, 58, 44}, kPaper, 6);
         c.text({3, 10, 58, 44}, QStringLiteral("f(x)"), 28, true, true, true, c.accent);
     }},
    {"ClipButton", Group::Tools,
     [](Canvas& c) {
         const QRectF paper = c.clipboard({10, 8, 44, 52});
         const QPointF o = paper.topLeft();
         c.poly({o + QPointF(18, 3), o + QPointF(6, 21), o + QPointF(14, 21), o + QPointF(10, 36),
                 o + QPointF(24, 15), o + QPointF(16, 15), o + QPointF(22, 3)},
                c.accent, 2.5);
     }},
    {"FontButton", Group::Tools,
     [](Canvas& c) {
         c.text({0, 2, 44, 60}, QStringLiteral("A"), 54, true, true, false, kInk);
         c.text({34, 22, 30, 40}, QStringLiteral("a"), 34, true, true, false, c.accent);
     }},
    {"HelpButton", Group::Tools,
     [](Canvas& c) {
         c.circle({32, 32}, 28, c.accent, 0);
         c.text({4, 4, 56, 56}, QStringLiteral("?"), 44, false, true, false, kPaper);
     }},
};

}  // namespace

QIcon toolIcon(std::string_view button) {
    return toolIcon(button, false);
}

QIcon toolIcon(std::string_view button, bool on) {
    for (const Entry& e : kIcons) {
        if (e.name != button) continue;
        QPixmap pix(kSize, kSize);
        pix.fill(Qt::transparent);
        QPainter p(&pix);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        Canvas c{p, accentOf(e.group), on};
        e.draw(c);
        p.end();
        return QIcon(pix);
    }
    return {};
}

}  // namespace tav
