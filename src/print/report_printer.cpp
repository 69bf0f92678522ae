#include "print/report_printer.h"

#include <QDate>
#include <QFile>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>
#include <QTextLayout>
#include <array>
#include <algorithm>
#include <cmath>
#include <span>

#include "base/cp1252.h"
#include "base/failure.h"
#include "reports/pdf_target.h"

namespace saldorama::print {

namespace {

constexpr double kLeftMm = 20;
constexpr double kRightMm = 15;
constexpr double kTopMm = 15;
constexpr double kBottomMm = 15;
constexpr double kLargestPoints = 10;
constexpr double kSmallestPoints = 6;
constexpr double kPenMm = 0.2;  // the rules of the lines

QString qs(const std::string& cp1252) { return QString::fromStdString(cp1252_to_utf8(cp1252)); }

QFont fixed_font(double points) {
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(points);
    return font;
}

QFont header_font(double points, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Where the digits and signs of an amount put ink, around the baseline;
// where the highest and the lowest letters do.
QRectF digit_ink(const QFontMetricsF& m) { return m.tightBoundingRect(QStringLiteral("0123456789,.-")); }
QRectF letter_ink(const QFontMetricsF& m) { return m.tightBoundingRect(QStringLiteral("ÄÖÜgjpqy")); }

// Everything about the page that depends on the device and the job.
struct Layout {
    double mm = 0;  // device units per millimetre
    QRectF body;    // where the lines go
    QFont font;
    double charWidth = 0;
    double lineHeight = 0;
    double ascent = 0;
    QRectF digits, letters;  // ink around the baseline
    int columns = 1;    // a longer line goes on in the next
    bool wrap = false;  // whether any line is longer
    int rows = 2;       // lines a page holds
};

Layout make_layout(const QPagedPaintDevice& device, int widestLine) {
    Layout l;
    const double width = device.width();
    const double height = device.height();
    l.mm = device.logicalDpiX() / 25.4;
    const QFontMetricsF title(header_font(12, true), &device);
    const QFontMetricsF small(header_font(9, false), &device);
    const double headerHeight = small.lineSpacing() + title.lineSpacing() + 3 * l.mm;
    const double footerHeight = small.lineSpacing() + 3 * l.mm;
    l.body = QRectF(kLeftMm * l.mm, kTopMm * l.mm + headerHeight, width - (kLeftMm + kRightMm) * l.mm,
                    height - (kTopMm + kBottomMm) * l.mm - headerHeight - footerHeight);

    // Fit the widest line. Advances are rounded to device pixels, so the
    // estimate from the largest size is checked and lowered until it fits.
    const int widest = std::max(widestLine, 1);
    const double advanceAtLargest = QFontMetricsF(fixed_font(kLargestPoints), &device).horizontalAdvance(QChar('0'));
    double points = std::min(kLargestPoints, kLargestPoints * l.body.width() / (widest * advanceAtLargest));
    points = std::max(kSmallestPoints, std::floor(points * 10) / 10);
    const auto columns_at = [&](double size) {
        return static_cast<int>(l.body.width() / QFontMetricsF(fixed_font(size), &device).horizontalAdvance(QChar('0')));
    };
    while (points > kSmallestPoints && columns_at(points) < widest) points = std::max(kSmallestPoints, points - 0.1);
    l.font = fixed_font(points);
    const QFontMetricsF metrics(l.font, &device);
    l.charWidth = metrics.horizontalAdvance(QChar('0'));
    l.lineHeight = metrics.lineSpacing();
    l.ascent = metrics.ascent();
    l.digits = digit_ink(metrics);
    l.letters = letter_ink(metrics);

    l.columns = std::max(1, static_cast<int>(l.body.width() / l.charWidth));
    l.wrap = widest > l.columns;
    l.rows = std::max(2, static_cast<int>(l.body.height() / l.lineHeight));
    return l;
}

// The job's lines as they are printed, wrapped where needed, into pages.
void fill_pages(const PrintJob& job, const Layout& l, PageFiller& filler) {
    for_each_line(job, [&](const PrintLine& line) {
        if (!l.wrap) {
            filler.add(line);
            return;
        }
        wrap_line(line, l.columns, [&filler](const PrintLine& piece) { filler.add(piece); });
    });
    filler.finish();
}

void paint_header(QPainter& p, const QPagedPaintDevice& device, const Layout& l, const PrintJob& job,
                  bool firstLineNamesReport, int page, int pages) {
    const double left = kLeftMm * l.mm;
    const double right = device.width() - kRightMm * l.mm;
    const double top = kTopMm * l.mm;
    const QFont small = header_font(9, false);
    const QFont title = header_font(12, true);
    const QFontMetricsF sm(small, &device);
    const QFontMetricsF tm(title, &device);

    p.setFont(small);
    p.drawText(QPointF(left, top + sm.ascent()), qs(job.company));
    const QString date = QStringLiteral("Gedruckt am ") + qs(job.printDate);
    p.drawText(QPointF(right - sm.horizontalAdvance(date), top + sm.ascent()), date);
    p.setFont(title);
    // A report whose first line names it already ("Betriebsergebnis der ...")
    // is not named twice on its first page.
    const bool namedBelow = page == 1 && firstLineNamesReport;
    if (!namedBelow) p.drawText(QPointF(left, top + sm.lineSpacing() + tm.ascent()), qs(job.reportName));
    const double ruleY = top + sm.lineSpacing() + tm.lineSpacing() + 1 * l.mm;
    p.setPen(QPen(Qt::black, 0.25 * l.mm));
    p.drawLine(QPointF(left, ruleY), QPointF(right, ruleY));

    p.setFont(small);
    const QString foot = QStringLiteral("Seite %1 von %2").arg(page).arg(pages);
    const double footY = device.height() - kBottomMm * l.mm - sm.descent();
    p.drawText(QPointF((left + right - sm.horizontalAdvance(foot)) / 2, footY), foot);
}

LineGeometry line_geometry(const Layout& l) {
    return {l.body.left(), l.charWidth, l.lineHeight, l.ascent, l.mm, kPenMm * l.mm, l.digits, l.letters};
}

// The fixed-pitch font's glyph and advance for each CP1252 character, looked
// up once: a line drawn from them skips the shaping that drawText does on
// every call, most of a long journal's time. A character the font lacks
// (drawText would take it from another font) leaves its line to drawText.
class FixedGlyphs {
public:
    FixedGlyphs(const QFont& font, QPaintDevice& device) {
        QTextLayout layout(QStringLiteral("0"), font, &device);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        if (runs.isEmpty()) return;
        run_.setRawFont(runs.front().rawFont());
        const QRawFont raw = run_.rawFont();
        for (int c = 0; c < 256; ++c) {
            const QList<quint32> glyph = raw.glyphIndexesForString(qs(std::string(1, static_cast<char>(c))));
            if (glyph.size() != 1 || (glyph.front() == 0 && c != ' ')) continue;
            glyph_[static_cast<std::size_t>(c)] = glyph.front();
            advance_[static_cast<std::size_t>(c)] = raw.advancesForGlyphIndexes(glyph).front().x();
            known_[static_cast<std::size_t>(c)] = true;
        }
    }

    // Draws `text` with its baseline starting at `at`; false (nothing drawn)
    // when a character is not in the font.
    bool draw(QPainter& p, QPointF at, const std::string& text) {
        indexes_.clear();
        positions_.clear();
        double x = 0;
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            if (!known_[c]) return false;
            if (ch == ' ') {  // nothing to draw: the PDF then holds a third fewer glyphs
                x += advance_[c];
                continue;
            }
            indexes_.push_back(glyph_[c]);
            positions_.push_back(QPointF(x, 0));
            x += advance_[c];
        }
        run_.setGlyphIndexes(indexes_);
        run_.setPositions(positions_);
        p.drawGlyphRun(at, run_);
        return true;
    }

private:
    QGlyphRun run_;
    std::array<quint32, 256> glyph_{};
    std::array<double, 256> advance_{};
    std::array<bool, 256> known_{};
    QList<quint32> indexes_;
    QList<QPointF> positions_;
};

} // namespace

namespace {

// Midway between the lowest ink of the line at `top` and the highest of the
// line under it.
double between(const LineGeometry& g, const QRectF& ink, double top) {
    return top + g.ascent + (ink.bottom() + g.lineHeight + ink.top()) / 2;
}

} // namespace

LineShapes print_line_shapes(const LineGeometry& g, const PrintLine& line, double y) {
    LineShapes shapes;
    const double x = g.left;
    const auto column = [&](double c) { return x + c * g.charWidth; };
    shapes.baseline = QPointF(x, y + g.ascent);
    if (line.tBar >= 0) {
        // From the heading's bar above to where the next line's begins.
        const double bx = column(line.tBar + 0.5);
        shapes.rules.emplace_back(bx, between(g, g.letters, y - g.lineHeight), bx, between(g, g.letters, y));
    }
    if (line.tRuleEnd > 0) {
        const double ry = between(g, g.letters, y);
        shapes.rules.emplace_back(x, ry, column(line.tRuleEnd), ry);
    }
    for (const Span& s : line.sums) {
        const double from = column(s.begin), to = column(s.end);
        const double above = between(g, g.digits, y - g.lineHeight);
        const double below = y + g.lineHeight + 0.3 * g.mm;
        shapes.rules.emplace_back(from, above, to, above);
        shapes.rules.emplace_back(from, below, to, below);
        shapes.rules.emplace_back(from, below + 0.6 * g.mm, to, below + 0.6 * g.mm);
    }
    // Inside its empty rows: a little away from the bar and the rules.
    if (line.noseRows > 0) {
        const double inset = 0.5 * g.charWidth;
        shapes.rules.emplace_back(column(line.nose.begin) + inset, y + 0.15 * g.lineHeight,
                                  column(line.nose.end) - inset, y + (line.noseRows - 0.15) * g.lineHeight);
    }
    return shapes;
}

namespace {

void paint_rules(QPainter& p, const LineGeometry& g, const LineShapes& shapes) {
    QPen pen = p.pen();
    pen.setWidthF(g.pen);
    p.setPen(pen);
    for (const QLineF& rule : shapes.rules) p.drawLine(rule);
}

// As paint_print_line, the text from the looked-up glyphs where it can.
void paint_line(QPainter& p, const LineGeometry& g, FixedGlyphs& glyphs, const PrintLine& line, double y) {
    const LineShapes shapes = print_line_shapes(g, line, y);
    if (!line.text.empty() && !glyphs.draw(p, shapes.baseline, line.text)) p.drawText(shapes.baseline, qs(line.text));
    paint_rules(p, g, shapes);
}

} // namespace

void paint_print_line(QPainter& p, const LineGeometry& g, const PrintLine& line, double y) {
    const LineShapes shapes = print_line_shapes(g, line, y);
    if (!line.text.empty()) p.drawText(shapes.baseline, qs(line.text));
    paint_rules(p, g, shapes);
}

PageGeometry page_geometry(const QPagedPaintDevice& device, const PrintJob& job) {
    int widest = 0;
    for_each_line(job, [&](const PrintLine& line) { widest = std::max(widest, static_cast<int>(line.text.size())); });
    const Layout l = make_layout(device, widest);
    return {line_geometry(l), l.font, l.body.top()};
}

PageGeometry screen_geometry(const QFont& font, const QPaintDevice& device) {
    const QFontMetricsF m(font, &device);
    const double advance = m.horizontalAdvance(QLatin1Char('0'));
    // A screen font's lines stand close; a quarter line more leaves the
    // rules room between them, the text in the middle.
    const double line = std::round(m.lineSpacing() * 1.25);
    const double ascent = m.ascent() + (line - m.lineSpacing()) / 2;
    return {{advance, advance, line, ascent, device.logicalDpiX() / 25.4, 1, digit_ink(m), letter_ink(m)}, font, line};
}

void prepare_page(QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

bool paint_job(QPagedPaintDevice& device, const PrintJob& job, const PageProgress& progress) {
    // Three passes over the lines, none of them held: the widest line sets
    // the font, the pages are counted for "Seite n von m", then painted.
    int widest = 0;
    bool first = true;
    bool firstLineNamesReport = false;
    for_each_line(job, [&](const PrintLine& line) {
        widest = std::max(widest, static_cast<int>(line.text.size()));
        if (first) firstLineNamesReport = line.text.starts_with(job.reportName);
        first = false;
    });
    const Layout l = make_layout(device, widest);
    PageFiller counter(l.rows, job.repeatedLines, [](std::span<const PrintLine>, std::span<const PrintLine>) {});
    fill_pages(job, l, counter);
    const int pages = counter.pages();

    QPainter p;
    if (!p.begin(&device)) fail("Der Druck kann nicht beginnen.");
    FixedGlyphs glyphs(l.font, device);
    int done = 0;
    bool stopped = false;
    PageFiller painter(l.rows, job.repeatedLines, [&](std::span<const PrintLine> repeated, std::span<const PrintLine> lines) {
        if (stopped) return;
        if (done > 0) device.newPage();
        p.setPen(QPen(Qt::black, 0.25 * l.mm));
        // A file that grew between the passes still prints whole.
        paint_header(p, device, l, job, firstLineNamesReport, done + 1, std::max(pages, done + 1));
        p.setFont(l.font);
        p.setPen(QPen(Qt::black, kPenMm * l.mm));
        double y = l.body.top();
        for (const auto* part : {&repeated, &lines}) {
            for (const PrintLine& line : *part) {
                paint_line(p, line_geometry(l), glyphs, line, y);
                y += l.lineHeight;
            }
        }
        ++done;
        if (progress && !progress(done, pages)) stopped = true;
    });
    fill_pages(job, l, painter);
    p.end();
    return !stopped;
}

namespace {

// The writer is closed, its last bytes handed to `out`, before this returns.
bool paint_pdf(QIODevice& out, const PrintJob& job, const PageProgress& progress) {
    QPdfWriter writer(&out);
    prepare_page(writer);
    writer.setResolution(600);
    writer.setCreator(QStringLiteral("Saldorama"));
    writer.setTitle(qs(job.reportName));
    return paint_job(writer, job, progress);
}

} // namespace

bool write_pdf(const std::string& path, const std::string& workingDirectory, const PrintJob& job,
               const PageProgress& progress) {
    // "-": the PDF goes to standard output, for pipes.
    if (path == "-") {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly))
            fail("Die Standardausgabe kann nicht geschrieben werden.");
        const bool done = paint_pdf(out, job, progress);
        if (!out.flush() || out.error() != QFileDevice::NoError)
            fail("Die Standardausgabe kann nicht geschrieben werden.");
        return done;
    }
    const std::string refusal = pdf_target_refusal(path, workingDirectory);
    if (!refusal.empty()) fail(refusal);
    QSaveFile file(QString::fromStdString(path));
    // The system's own words would not help a learner.
    const std::string cannotWrite = "Die Datei " + utf8_to_cp1252(path) + " kann nicht geschrieben werden.";
    if (!file.open(QIODevice::WriteOnly)) fail(cannotWrite);
    const bool done = paint_pdf(file, job, progress);
    if (!done) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) fail(cannotWrite);
    return true;
}

std::string print_date() {
    const QByteArray fixed = qgetenv("SALDORAMA_DRUCKDATUM");
    if (!fixed.isEmpty()) return utf8_to_cp1252(fixed.toStdString());
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")).toStdString();
}

} // namespace saldorama::print
