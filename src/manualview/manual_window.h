#pragma once
#include <QString>
#include <QWidget>

class QPdfBookmarkModel;
class QPdfDocument;
class QPdfView;
class QTreeView;

namespace saldorama::manualview {

// The user guide in a window of the program: its outline on the left, the
// pages on the right. No viewer of the desktop is needed.
class ManualWindow : public QWidget {
public:
    // Shows the one guide window (made on first use) with `path` open at
    // `chapter`, a heading of the guide's outline; false when `path` is no
    // readable PDF.
    static bool open(const QString& path, const QString& chapter);
    // The window open now, if any.
    [[nodiscard]] static ManualWindow* shown();

    // The page on show, counted from 0.
    [[nodiscard]] int currentPage() const;
    // The page `chapter` starts on, from the outline, else from the pages'
    // text; -1 when the guide has no such chapter.
    [[nodiscard]] int chapterPage(const QString& chapter) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ManualWindow();
    bool load(const QString& path);
    void showChapter(const QString& chapter);
    // Shows `page` with the point `below` points under its top at the top.
    void scrollTo(int page, double below = 0);

    QPdfDocument* document_;
    QPdfBookmarkModel* outline_;
    QPdfView* pages_;
    QTreeView* tree_;
    QString path_;
    // What scrollTo showed last, shown again when the view gets a new width.
    int shownPage_ = -1;
    double shownBelow_ = 0;
    int shownValue_ = -1;  // the scroll position it left
};

} // namespace saldorama::manualview
