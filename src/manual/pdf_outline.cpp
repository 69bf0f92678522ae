#include "manual/pdf_outline.h"

#include <QRegularExpression>

namespace saldorama::manual {

namespace {

// A PDF text string: UTF-16BE with its byte order mark, written in hex.
QByteArray text_string(const QString& text) {
    QByteArray bytes("<FEFF");
    for (const QChar c : text) bytes += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return bytes + '>';
}

QByteArray object_body(const QByteArray& pdf, int number) {
    const QRegularExpression start(QStringLiteral("(^|\\n)%1 0 obj\\s*").arg(number));
    const auto match = start.match(QString::fromLatin1(pdf));
    if (!match.hasMatch()) return {};
    const qsizetype from = match.capturedEnd();
    const qsizetype end = pdf.indexOf("endobj", from);
    return end < 0 ? QByteArray() : pdf.mid(from, end - from).trimmed();
}

int trailer_number(const QByteArray& trailer, const char* key) {
    const auto match = QRegularExpression(QStringLiteral("/%1\\s+(\\d+)").arg(QLatin1String(key))).match(QString::fromLatin1(trailer));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace

bool add_outline(QByteArray& pdf, const std::vector<OutlineEntry>& entries) {
    if (entries.empty()) return false;
    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    const qsizetype startxrefAt = pdf.lastIndexOf("startxref");
    if (trailerAt < 0 || startxrefAt < trailerAt) return false;
    const QByteArray trailer = pdf.mid(trailerAt, startxrefAt - trailerAt);
    const int size = trailer_number(trailer, "Size");
    const int root = trailer_number(trailer, "Root");
    const int info = trailer_number(trailer, "Info");
    const QByteArray previous = pdf.mid(startxrefAt + 9).trimmed().split('\n').value(0).trimmed();
    if (size <= 0 || root <= 0 || previous.isEmpty()) return false;

    // The catalog names the page tree; the page tree lists the pages in order.
    const QByteArray catalog = object_body(pdf, root);
    const auto pagesMatch = QRegularExpression(QStringLiteral("/Pages\\s+(\\d+)\\s+0\\s+R")).match(QString::fromLatin1(catalog));
    if (!catalog.endsWith(">>") || !pagesMatch.hasMatch()) return false;
    const QByteArray tree = object_body(pdf, pagesMatch.captured(1).toInt());
    const qsizetype kidsAt = tree.indexOf("/Kids");
    const qsizetype kidsEnd = tree.indexOf(']', kidsAt);
    if (kidsAt < 0 || kidsEnd < 0) return false;
    std::vector<int> pages;
    auto kids = QRegularExpression(QStringLiteral("(\\d+)\\s+0\\s+R")).globalMatch(QString::fromLatin1(tree.mid(kidsAt, kidsEnd - kidsAt)));
    while (kids.hasNext()) pages.push_back(kids.next().captured(1).toInt());
    for (const OutlineEntry& e : entries)
        if (e.page < 0 || e.page >= static_cast<int>(pages.size())) return false;

    // New objects: the outline at `size`, its entries after it; the catalog anew.
    const int outline = size;
    const int count = static_cast<int>(entries.size());
    QByteArray update("\n");
    std::vector<std::pair<int, qsizetype>> offsets;
    auto object = [&](int number, const QByteArray& body) {
        offsets.emplace_back(number, pdf.size() + update.size());
        update += QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
    };
    QByteArray newCatalog = catalog.left(catalog.size() - 2);
    newCatalog += "/Outlines " + QByteArray::number(outline) + " 0 R\n/PageMode /UseOutlines\n>>";
    object(root, newCatalog);
    object(outline, "<<\n/Type /Outlines\n/First " + QByteArray::number(outline + 1) + " 0 R\n/Last " +
                        QByteArray::number(outline + count) + " 0 R\n/Count " + QByteArray::number(count) + "\n>>");
    for (int i = 0; i < count; ++i) {
        const int number = outline + 1 + i;
        QByteArray body = "<<\n/Title " + text_string(entries[static_cast<std::size_t>(i)].title) + "\n/Parent " +
                          QByteArray::number(outline) + " 0 R\n";
        if (i > 0) body += "/Prev " + QByteArray::number(number - 1) + " 0 R\n";
        if (i + 1 < count) body += "/Next " + QByteArray::number(number + 1) + " 0 R\n";
        const OutlineEntry& e = entries[static_cast<std::size_t>(i)];
        // A height comes with a left edge of 0: some readers take neither alone.
        const QByteArray place = e.top < 0 ? QByteArray("null null") : "0 " + QByteArray::number(e.top, 'f', 2);
        body += "/Dest [" + QByteArray::number(pages[static_cast<std::size_t>(e.page)]) + " 0 R /XYZ " + place +
                " null]\n>>";
        object(number, body);
    }

    const qsizetype xrefAt = pdf.size() + update.size();
    update += "xref\n";
    auto entry = [](qsizetype offset) { return QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n"; };
    update += QByteArray::number(root) + " 1\n" + entry(offsets[0].second);
    update += QByteArray::number(outline) + ' ' + QByteArray::number(count + 1) + '\n';
    for (std::size_t i = 1; i < offsets.size(); ++i) update += entry(offsets[i].second);
    update += "trailer\n<<\n/Size " + QByteArray::number(outline + count + 1) + "\n/Root " + QByteArray::number(root) +
              " 0 R\n";
    if (info > 0) update += "/Info " + QByteArray::number(info) + " 0 R\n";
    update += "/Prev " + previous + "\n>>\nstartxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
    pdf += update;
    return true;
}

} // namespace saldorama::manual
