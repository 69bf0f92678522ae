#pragma once
#include <QWidget>
#include <functional>
#include <map>

#include "form/tform1.h"
#include "ui/binding.h"

class QLabel;
class QListWidget;
class QScrollArea;
class QStackedWidget;
class QToolButton;

namespace saldorama::ui {

class MainWindow;

// One page of the page control: builds its widgets bound to the page's
// controls and re-reads them when asked.
class PageView : public QWidget {
public:
    PageView(MainWindow& window, Page page);
    [[nodiscard]] Page page() const noexcept { return page_; }
    virtual void refresh() { bindings_.sync(); }

protected:
    MainWindow& window_;
    TForm1& form_;
    Bindings bindings_;

private:
    Page page_;
};

// The main window: the two button panels, the exercise check list and the
// page control. It forwards every event to the handler of the core and then
// shows what the handler left in the controls; it decides nothing itself.
class MainWindow : public QWidget {
public:
    explicit MainWindow(TForm1& form);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    [[nodiscard]] TForm1& form() noexcept { return form_; }
    // Runs a handler of the core (a failure shows its box), then refreshes
    // the panels and the shown page; closes the window when "Ende" asked for it.
    void run(const std::function<void()>& handler);
    // A navigation button: a field on the page being left loses the focus
    // (its exit handler runs) before the handler shows the new page.
    void navigate(Page target, const std::function<void()>& handler);
    // Re-reads the controls of the panels and of the shown page.
    void refresh();
    // True while widgets are being filled from the controls.
    [[nodiscard]] bool syncing() const noexcept { return syncing_; }
    [[nodiscard]] bool closing() const noexcept { return closing_; }

    // Start-up: FormCreate, then the first display of the window.
    void startUp(const StartupOptions& options = {});
    // Shows the window where it was when it was last closed (size, place,
    // maximised), else as opening_geometry says for its screen.
    void showPlaced();
    // Once the window manager has framed the window: the opening size as the
    // outer size, centred, unless the window was placed as last time.
    void fitOuterSize();

    [[nodiscard]] PageView* pageView(Page page) const;
    [[nodiscard]] PageView* shownPageView() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPanels(QWidget* top, QWidget* left);
    void syncCheckList();
    void refreshOnce();
    void syncNavigationMarks();

    // The navigation buttons with the page each shows, to mark the page on show.
    std::vector<std::pair<QToolButton*, Page>> navButtons_;
    std::map<Page, QScrollArea*> scrolls_;
    QLabel* statusLine_ = nullptr;
    TForm1& form_;
    Bindings panelBindings_;
    QListWidget* checkList_ = nullptr;
    std::vector<std::string> shownExerciseItems_;
    QStackedWidget* pages_ = nullptr;
    std::map<Page, PageView*> views_;
    bool syncing_ = false;
    bool refreshing_ = false;
    bool refreshAgain_ = false;
    bool closing_ = false;
    bool placedAsLastTime_ = false;
};

// Where a window opens on a screen of `screen` with the free area `available`
// (outer size, frame included): room for what the exercises ask (1280 x 720),
// or a larger share of a large screen, centred; on a screen too small for
// that an invalid rectangle: maximised.
[[nodiscard]] QRect opening_geometry(const QRect& screen, const QRect& available);

// One factory per page binding file.
PageView* make_start_page(MainWindow& w);
PageView* make_company_page(MainWindow& w);
PageView* make_settings_page(MainWindow& w);
PageView* make_exercise_page(MainWindow& w);
PageView* make_chart_page(MainWindow& w);
PageView* make_opening_page(MainWindow& w);
PageView* make_booking_page(MainWindow& w);
PageView* make_balance_page(MainWindow& w);
PageView* make_journal_page(MainWindow& w);
PageView* make_operating_page(MainWindow& w);
PageView* make_account_sheet_page(MainWindow& w);

} // namespace saldorama::ui
