// TabSheet1: picture, heading, version and the notice.
#include <QLabel>
#include <algorithm>
#include <cmath>
#include <QPixmap>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "base/file.h"
#include "ui/main_window.h"
#include "ui/ui_text.h"

namespace saldorama::ui {

namespace {

bool same_document(const RtfDocument& a, const RtfDocument& b) {
    if (a.paragraphs.size() != b.paragraphs.size()) return false;
    for (std::size_t p = 0; p < a.paragraphs.size(); ++p) {
        const auto& pa = a.paragraphs[p];
        const auto& pb = b.paragraphs[p];
        if (pa.align != pb.align || pa.runs.size() != pb.runs.size()) return false;
        for (std::size_t r = 0; r < pa.runs.size(); ++r)
            if (pa.runs[r].text != pb.runs[r].text || !pa.runs[r].sameFormat(pb.runs[r])) return false;
    }
    return true;
}

Qt::Alignment alignment(RtfAlign align) {
    switch (align) {
    case RtfAlign::Center: return Qt::AlignHCenter;
    case RtfAlign::Right: return Qt::AlignRight;
    case RtfAlign::Justify: return Qt::AlignJustify;
    case RtfAlign::Left: break;
    }
    return Qt::AlignLeft;
}

// Whether a text colour stands out clearly from a background (a contrast
// ratio of at least 3 in relative luminance).
bool readable_on(const QColor& text, const QColor& background) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double a = luminance(text) + 0.05;
    const double b = luminance(background) + 0.05;
    return std::max(a, b) / std::min(a, b) >= 3.0;
}

// The notice with its formatting: one block a paragraph, one fragment a run.
// A colour of the file that would not stand out from the box's background
// (dark headings in a dark theme) gives way to the theme's text colour.
void fill_document(QTextDocument& document, const RtfDocument& rtf, const QColor& background) {
    document.clear();
    QTextOption option = document.defaultTextOption();
    option.setTabStopDistance(48);  // half an inch, the rich-text default
    document.setDefaultTextOption(option);
    QTextCursor cursor(&document);
    bool first = true;
    for (const auto& paragraph : rtf.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(alignment(paragraph.align));
        block.setBottomMargin(4);
        // Twips to pixels at 96 dots an inch: 1440 twips an inch.
        constexpr double kTwipsPerPixel = 15.0;
        block.setLeftMargin(paragraph.leftIndentTwips / kTwipsPerPixel);
        block.setTextIndent(paragraph.firstIndentTwips / kTwipsPerPixel);
        QList<QTextOption::Tab> tabs;
        for (int twips : paragraph.tabStopsTwips) tabs.append(QTextOption::Tab(twips / kTwipsPerPixel, QTextOption::LeftTab));
        block.setTabPositions(tabs);
        if (first) {
            cursor.setBlockFormat(block);
            first = false;
        } else {
            cursor.insertBlock(block);
        }
        for (const auto& run : paragraph.runs) {
            QTextCharFormat format;
            format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.italic);
            format.setFontUnderline(run.underline);
            format.setFontPointSize(run.fontSizeHalfPoints > 0 ? run.fontSizeHalfPoints / 2.0 : 12.0);
            if (!run.fontName.empty()) format.setFontFamilies({qs(run.fontName)});
            if (run.hasColor) {
                const QColor colour((run.color >> 16) & 0xFF, (run.color >> 8) & 0xFF, run.color & 0xFF);
                if (readable_on(colour, background)) format.setForeground(colour);
            }
            QString text = qs(run.text);
            text.replace(QLatin1Char('\n'), QChar::LineSeparator);
            cursor.insertText(text, format);
        }
    }
}

class StartPageView : public PageView {
public:
    explicit StartPageView(MainWindow& w) : PageView(w, Page::TabSheet1) {
        StartPage& page = form_.start;
        image_ = new QLabel(this);
        image_->setObjectName(QStringLiteral("Image1"));
        image_->setGeometry(8, 8, 417, 193);
        image_->setScaledContents(true);

        QLabel* heading = bind_label(this, bindings_, "Label1", page.Label1, QRect(440, 24, 290, 120));
        QFont big = heading->font();
        big.setPixelSize(24);
        big.setBold(true);
        heading->setFont(big);
        heading->setWordWrap(true);
        heading->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        bind_label(this, bindings_, "Label47", page.Label47, QRect(440, 176, 290, 20));

        richEdit_ = new QTextEdit(this);
        richEdit_->setObjectName(QStringLiteral("RichEdit1"));
        // Tab leaves the notice for the next button: the keyboard never gets stuck here.
        richEdit_->setTabChangesFocus(true);
        richEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        richEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        richEdit_->setLineWrapMode(QTextEdit::WidgetWidth);
        richEdit_->setAcceptRichText(true);
        bindings_.add([this] { syncImage(); });
        bindings_.add([this] { syncNotice(); });
        setMinimumSize(738, 330);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        PageView::resizeEvent(event);
        richEdit_->setGeometry(8, 209, width() - 16, height() - 217);
    }

private:
    void syncImage() {
        if (shownImage_ && *shownImage_ == form_.start.Image1) return;
        shownImage_ = form_.start.Image1;
        // A pipe in the picture's place would hold the window for ever.
        const std::string name = resolve_name(form_.start.Image1);
        const QPixmap picture = is_special_file(name) ? QPixmap() : QPixmap(QString::fromStdString(name));
        image_->setPixmap(picture);
    }

    // The box may be edited but is never written back: it is refilled only
    // when the document loaded by the core changes.
    void syncNotice() {
        if (noticeShown_ && same_document(shown_, form_.start.RichEdit1.document)) return;
        shown_ = form_.start.RichEdit1.document;
        noticeShown_ = true;
        fill_document(*richEdit_->document(), shown_, richEdit_->palette().color(QPalette::Base));
        richEdit_->moveCursor(QTextCursor::Start);
    }

    QLabel* image_;
    QTextEdit* richEdit_;
    std::optional<std::string> shownImage_;
    RtfDocument shown_;
    bool noticeShown_ = false;
};

} // namespace

PageView* make_start_page(MainWindow& w) { return new StartPageView(w); }

} // namespace saldorama::ui
