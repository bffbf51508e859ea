#include "ReportPainter.h"

#include "QirvoError.h"
#include "ReportLayout.h"

#include <QGlyphRun>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// A report repeats few texts (names, dates, units, common amounts); each is shaped once per font size
// and drawn from its glyphs after that, which spares the layout work for most of a long list.
// Plain texts (Chinese, Latin, digits: one glyph a character, left to right) are placed glyph by
// glyph from the font; the text layout is kept for the rest.
class ShapedTexts
{
public:
    struct Shape
    {
        QList<QGlyphRun> runs;
        double width = 0;
        double height = 0;
    };

    const Shape& of(const QString& text, const QFont& font)
    {
        Shapes& shapes = m_shapes[{font.pixelSize(), font.bold()}];
        auto found = shapes.byText.constFind(text);
        if (found != shapes.byText.cend())
            return *found;
        // Bill numbers never repeat; a long report must not keep them all.
        if (shapes.byText.size() > MaxShapes)
            shapes.byText.clear();
        if (!shapes.font)
            shapes.font = QRawFont::fromFont(font);
        std::optional<Shape> shape = plainShape(text, *shapes.font);
        if (!shape)
            shape = laidOutShape(text, font);
        return *shapes.byText.insert(text, std::move(*shape));
    }

private:
    struct Shapes
    {
        std::optional<QRawFont> font;
        QHash<QString, Shape> byText;
    };

    static bool isPlain(const QString& text)
    {
        return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
            return !c.isSurrogate() && !c.isMark() && c.direction() != QChar::DirR &&
                   c.direction() != QChar::DirAL && c.category() != QChar::Other_Format;
        });
    }

    static std::optional<Shape> plainShape(const QString& text, const QRawFont& font)
    {
        if (!font.isValid() || !isPlain(text))
            return std::nullopt;
        const QList<quint32> glyphs = font.glyphIndexesForString(text);
        if (glyphs.size() != text.size() || glyphs.contains(0))
            return std::nullopt;
        const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
        QList<QPointF> positions;
        positions.reserve(glyphs.size());
        double x = 0;
        for (const QPointF& advance : advances) {
            positions.append(QPointF(x, font.ascent()));
            x += advance.x();
        }
        QGlyphRun run;
        run.setRawFont(font);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        return Shape{{run}, x, std::ceil(font.ascent() + font.descent())};
    }

    static Shape laidOutShape(const QString& text, const QFont& font)
    {
        QTextLayout layout(text, font);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        return Shape{layout.glyphRuns(), line.naturalTextWidth(), line.height()};
    }

    static constexpr qsizetype MaxShapes = 20000;
    std::map<std::pair<int, bool>, Shapes> m_shapes;
};

// The glyphs of a page gathered by font, so a device that writes each text with its own state (a
// PDF) writes one text object a font instead of one a cell.
class PageGlyphs
{
public:
    void add(const QGlyphRun& run, const QPointF& origin)
    {
        auto same = std::find_if(m_runs.begin(), m_runs.end(),
                                 [&](const Gathered& gathered) { return gathered.font == run.rawFont(); });
        if (same == m_runs.end())
            same = m_runs.insert(m_runs.end(), Gathered{run.rawFont(), {}, {}});
        same->indexes.append(run.glyphIndexes());
        for (const QPointF& position : run.positions())
            same->positions.append(position + origin);
    }

    void draw(QPainter& painter) const
    {
        for (const Gathered& gathered : m_runs) {
            QGlyphRun run;
            run.setRawFont(gathered.font);
            run.setGlyphIndexes(gathered.indexes);
            run.setPositions(gathered.positions);
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
    }

private:
    struct Gathered
    {
        QRawFont font;
        QList<quint32> indexes;
        QList<QPointF> positions;
    };
    std::vector<Gathered> m_runs;
};

// The frames of a table share their edges; each edge is drawn once, and the edges along one line
// as one stroke, which looks the same and makes a printed list a fraction of the size.
class FrameLines
{
public:
    void add(const QRectF& rect)
    {
        addSpan(m_rows, rect.top(), rect.left(), rect.right());
        addSpan(m_rows, rect.bottom(), rect.left(), rect.right());
        addSpan(m_columns, rect.left(), rect.top(), rect.bottom());
        addSpan(m_columns, rect.right(), rect.top(), rect.bottom());
    }

    QList<QLineF> lines() const
    {
        QList<QLineF> lines;
        for (const auto& [y, spans] : m_rows)
            for (const auto& [from, to] : merged(spans))
                lines.append(QLineF(from, y / Grain, to, y / Grain));
        for (const auto& [x, spans] : m_columns)
            for (const auto& [from, to] : merged(spans))
                lines.append(QLineF(x / Grain, from, x / Grain, to));
        return lines;
    }

private:
    // Edges that meet to a hundredth of a dot are one edge.
    static constexpr double Grain = 100;
    using Spans = std::vector<std::pair<double, double>>;
    using Edges = std::map<qint64, Spans>;

    static void addSpan(Edges& edges, double at, double from, double to)
    {
        edges[qRound64(at * Grain)].emplace_back(from, to);
    }

    static Spans merged(Spans spans)
    {
        std::sort(spans.begin(), spans.end());
        Spans joined;
        for (const auto& span : spans) {
            if (!joined.empty() && span.first <= joined.back().second + 1 / Grain)
                joined.back().second = std::max(joined.back().second, span.second);
            else
                joined.push_back(span);
        }
        return joined;
    }

    Edges m_rows;
    Edges m_columns;
};

QPointF originIn(const QRectF& rect, Qt::Alignment align, const ShapedTexts::Shape& shape)
{
    double x = rect.left();
    if (align & Qt::AlignRight)
        x = rect.right() - shape.width;
    else if (align & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - shape.width) / 2;
    double y = rect.top();
    if (align & Qt::AlignBottom)
        y = rect.bottom() - shape.height;
    else if (align & Qt::AlignVCenter)
        y = rect.top() + (rect.height() - shape.height) / 2;
    return {x, y};
}

} // namespace

void ReportPainter::paintPage(QPainter& painter, const ReportPage& page, double dotsPerMm)
{
    static thread_local ShapedTexts shapedTexts;
    const auto rectOf = [dotsPerMm](const ReportItem& item) {
        return QRectF(item.rectMm.x() * dotsPerMm, item.rectMm.y() * dotsPerMm,
                      item.rectMm.width() * dotsPerMm, item.rectMm.height() * dotsPerMm);
    };
    FrameLines frames;
    for (const ReportItem& item : page.items)
        if (item.boxed)
            frames.add(rectOf(item));
    painter.setPen(QPen(Qt::black, std::max(1.0, 0.2 * dotsPerMm)));
    painter.drawLines(frames.lines());

    // One CJK family for Latin and Chinese alike, so a cell has one baseline. WenQuanYi Micro Hei
    // maps no radical look-alikes (⽇ for 日) onto the ideographs' glyphs, so a saved PDF's text layer
    // names the characters printed and a search for a name finds it.
    QFont font;
    font.setFamilies({u"WenQuanYi Micro Hei"_s, u"Noto Sans CJK SC"_s});
    painter.setPen(QPen(Qt::black));
    PageGlyphs glyphs;
    for (const ReportItem& item : page.items) {
        if (item.text.isEmpty())
            continue;
        font.setPixelSize(std::max(1, int(item.fontPt * 25.4 / 72 * dotsPerMm)));
        font.setBold(item.bold);
        const double pad = item.boxed ? 1.0 * dotsPerMm : 0;
        const QRectF rect = rectOf(item).adjusted(pad, 0, -pad, 0);
        const ShapedTexts::Shape& shape = shapedTexts.of(item.text, font);
        if (shape.width > rect.width() || shape.height > rect.height()) {
            // Too long for its cell: the painter's own layout clips it there.
            painter.setFont(font);
            painter.drawText(rect, int(item.align) | Qt::TextSingleLine, item.text);
            continue;
        }
        const QPointF origin = originIn(rect, item.align, shape);
        for (const QGlyphRun& run : shape.runs)
            glyphs.add(run, origin);
    }
    glyphs.draw(painter);
}

namespace {

QPageLayout layoutFor(const QSizeF& sizeMm)
{
    const bool landscape = sizeMm.width() > sizeMm.height();
    return QPageLayout(QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

} // namespace

bool ReportPainter::paint(QPainter& painter, QPagedPaintDevice& device, const ReportLayout& pages,
                          const Progress& progress)
{
    const double dotsPerMm = device.logicalDpiX() / 25.4;
    for (int i = 0; i < pages.pageCount(); ++i) {
        if (progress && !progress(i, pages.pageCount()))
            return false;
        if (i > 0)
            device.newPage();
        paintPage(painter, pages.page(i), dotsPerMm);
    }
    return true;
}

bool ReportPainter::writePdf(const ReportLayout& pages, const QString& path, const Progress& progress)
{
    // Written aside and put in place when whole, so a stopped or failed save leaves any earlier
    // file of that name as it was and no half of a report.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw QirvoError(u"无法写入文件：%1\n%2"_s.arg(path, file.errorString()));
    bool finished = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setCreator(u"Qirvo计件工资管理软件"_s);
        writer.setPageLayout(layoutFor(pages.pageSizeMm()));
        QPainter painter;
        if (!painter.begin(&writer))
            throw QirvoError(u"无法写入文件：%1"_s.arg(path));
        finished = paint(painter, writer, pages, progress);
        painter.end();
    }
    if (!finished) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        throw QirvoError(u"无法写入文件：%1\n%2"_s.arg(path, file.errorString()));
    return true;
}
