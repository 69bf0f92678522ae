#include "web/web_form.h"

#include <cstdio>

#include "base/cp1252.h"
#include "form/manual_chapters.h"
#include "form/print_jobs.h"

namespace saldorama {

std::string json_string(const std::string& utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

namespace {

std::string text(const std::string& cp1252) { return json_string(cp1252_to_utf8(cp1252)); }

std::string flag(bool value) { return value ? "true" : "false"; }

template <class Strings> std::string text_list(const Strings& items) {
    std::string out = "[";
    for (const auto& item : items) {
        if (out.size() > 1) out += ',';
        out += text(item);
    }
    return out + "]";
}

struct ControlJson {
    std::string operator()(const TextControl* c) const {
        return "{\"text\":" + text(c->text) + ",\"enabled\":" + flag(c->enabled) + ",\"visible\":" + flag(c->visible) +
               "}";
    }
    std::string operator()(const CheckBox* c) const {
        return "{\"caption\":" + text(c->caption) + ",\"checked\":" + flag(c->checked()) +
               ",\"enabled\":" + flag(c->enabled) + "}";
    }
    std::string operator()(const ComboBox* c) const {
        return "{\"text\":" + text(c->text) + ",\"items\":" + text_list(c->items) + ",\"enabled\":" + flag(c->enabled) +
               "}";
    }
    std::string operator()(const RadioGroup* c) const {
        return "{\"caption\":" + text(c->caption) + ",\"items\":" + text_list(c->items) +
               ",\"index\":" + std::to_string(c->itemIndex) + ",\"enabled\":" + flag(c->enabled) + "}";
    }
    std::string operator()(const StringGrid* c) const {
        // Trailing empty rows are left out: the page draws as many as it needs.
        int last = c->rowCount() - 1;
        auto empty = [&](int row) {
            for (int col = 0; col < c->colCount(); ++col)
                if (!c->cell(col, row).empty()) return false;
            return true;
        };
        while (last > 0 && empty(last)) --last;
        std::string out = "{\"rowCount\":" + std::to_string(c->rowCount()) + ",\"rows\":[";
        for (int row = 0; row <= last; ++row) {
            out += row ? ",[" : "[";
            for (int col = 0; col < c->colCount(); ++col) out += (col ? "," : "") + text(c->cell(col, row));
            out += "]";
        }
        return out + "]}";
    }
    std::string operator()(const Memo* c) const { return "{\"lines\":" + text_list(c->lines) + "}"; }
    std::string operator()(const ListBox* c) const {
        return "{\"items\":" + text_list(c->items) + ",\"index\":" + std::to_string(c->itemIndex) + "}";
    }
    std::string operator()(const CheckListBox* c) const {
        std::string ticks = "[";
        for (std::size_t i = 0; i < c->checked.size(); ++i) ticks += (i ? "," : "") + flag(c->checked[i]);
        return "{\"items\":" + text_list(c->items) + ",\"ticks\":" + ticks + "]}";
    }
};

std::string notice_json(const RtfDocument& document) {
    // Paragraphs with their runs' emphasis; the page draws them.
    std::string out = "[";
    for (const RtfParagraph& p : document.paragraphs) {
        if (out.size() > 1) out += ',';
        out += "{\"align\":" + std::to_string(static_cast<int>(p.align)) + ",\"runs\":[";
        bool first = true;
        for (const RtfRun& r : p.runs) {
            out += first ? "" : ",";
            first = false;
            out += "{\"text\":" + text(r.text) + ",\"bold\":" + flag(r.bold) + ",\"italic\":" + flag(r.italic) +
                   ",\"underline\":" + flag(r.underline) + ",\"size\":" + std::to_string(r.fontSizeHalfPoints) +
                   ",\"color\":" + (r.hasColor ? std::to_string(r.color) : "-1") + "}";
        }
        out += "]}";
    }
    return out + "]";
}

} // namespace

WebForm::WebForm() : form(dialogs) {
    registerControls();
    registerHandlers();
}

void WebForm::registerControls() {
    TForm1& f = form;
    for (auto [name, button] : {std::pair{"SpeedButton1", &f.SpeedButton1}, {"SpeedButton2", &f.SpeedButton2},
                                {"SpeedButton3", &f.SpeedButton3}, {"SpeedButton4", &f.SpeedButton4},
                                {"SpeedButton5", &f.SpeedButton5}, {"SpeedButton6", &f.SpeedButton6},
                                {"SpeedButton22", &f.SpeedButton22}, {"SpeedButton23", &f.SpeedButton23},
                                {"SpeedButton24", &f.SpeedButton24}, {"SpeedButton30", &f.SpeedButton30},
                                {"SpeedButton31", &f.SpeedButton31}, {"SpeedButton33", &f.SpeedButton33},
                                {"SpeedButton34", &f.SpeedButton34}, {"SpeedButton35", &f.SpeedButton35},
                                {"SpeedButtonUndo", &f.SpeedButtonUndo}})
        controls_[name] = button;

    controls_["Label1"] = &f.start.Label1;
    controls_["Label47"] = &f.start.Label47;

    CompanyPage& c = f.company;
    TextControl* company[] = {&c.Label2, &c.Label6, &c.Edit1, &c.Edit2, &c.Edit3, &c.Edit4,
                              &c.Edit5,  &c.Edit6,  &c.Edit7, &c.Edit8, &c.SpeedButton32};
    const char* companyNames[] = {"Label2", "Label6", "Edit1", "Edit2", "Edit3", "Edit4",
                                  "Edit5",  "Edit6",  "Edit7", "Edit8", "SpeedButton32"};
    for (std::size_t i = 0; i < std::size(company); ++i) controls_[companyNames[i]] = company[i];
    for (std::size_t i = 0; i < c.captions.size(); ++i) controls_["CompanyCaption" + std::to_string(i + 1)] = &c.captions[i];

    OpeningBalancePage& o = f.opening;
    controls_["StringGrid2"] = &o.StringGrid2;
    controls_["Label48"] = &o.Label48;
    controls_["Label35"] = &o.Label35;
    controls_["Edit27"] = &o.Edit27;
    controls_["SpeedButton7"] = &o.SpeedButton7;

    BookingPage& b = f.booking;
    TextControl* booking[] = {&b.SpeedButton8, &b.SpeedButton9, &b.SpeedButton25, &b.SpeedButton26, &b.SpeedButton27,
                              &b.SpeedButton28, &b.SpeedButton36, &b.SpeedButton29, &b.Label25, &b.Label26,
                              &b.Label27, &b.Edit14, &b.Label50, &b.Label28, &b.Edit15, &b.Label29, &b.Edit16,
                              &b.Label30, &b.Label31, &b.Label32, &b.Label33, &b.Label34, &b.Edit17, &b.Edit18,
                              &b.Edit19, &b.Edit20, &b.Edit21, &b.Edit22, &b.Edit23, &b.Edit24, &b.Edit25,
                              &b.Edit26, &b.Label44, &b.Label45};
    const char* bookingNames[] = {"SpeedButton8", "SpeedButton9", "SpeedButton25", "SpeedButton26", "SpeedButton27",
                                  "SpeedButton28", "SpeedButton36", "SpeedButton29", "Label25", "Label26",
                                  "Label27", "Edit14", "Label50", "Label28", "Edit15", "Label29", "Edit16",
                                  "Label30", "Label31", "Label32", "Label33", "Label34", "Edit17", "Edit18",
                                  "Edit19", "Edit20", "Edit21", "Edit22", "Edit23", "Edit24", "Edit25",
                                  "Edit26", "Label44", "Label45"};
    static_assert(std::size(booking) == std::size(bookingNames));
    for (std::size_t i = 0; i < std::size(booking); ++i) controls_[bookingNames[i]] = booking[i];
    ComboBox* boxes[] = {&b.ComboBox1, &b.ComboBox2, &b.ComboBox3, &b.ComboBox4, &b.ComboBox5};
    for (std::size_t i = 0; i < std::size(boxes); ++i) controls_["ComboBox" + std::to_string(i + 1)] = boxes[i];

    controls_["Memo1"] = &f.balance.Memo1;
    memoPages_[&f.balance.Memo1] = Page::TabSheet5;
    controls_["Memo2"] = &f.journal.Memo2;
    memoPages_[&f.journal.Memo2] = Page::TabSheet6;
    controls_["Memo4"] = &f.operating.Memo4;
    memoPages_[&f.operating.Memo4] = Page::TabSheet11;

    SettingsPage& s = f.settings;
    controls_["CheckBox1"] = &s.CheckBox1;
    controls_["CheckBox2"] = &s.CheckBox2;
    controls_["CheckBox3"] = &s.CheckBox3;
    TextControl* settings[] = {&s.Label22, &s.Label23, &s.Edit13, &s.yearCaption, &s.Edit28, &s.Edit9,
                               &s.Edit10,  &s.Edit11,  &s.Edit12, &s.Button1,     &s.Button2};
    const char* settingsNames[] = {"Label22", "Label23", "Edit13", "YearCaption", "Edit28", "Edit9",
                                   "Edit10",  "Edit11",  "Edit12", "Button1",     "Button2"};
    for (std::size_t i = 0; i < std::size(settings); ++i) controls_[settingsNames[i]] = settings[i];
    for (std::size_t i = 0; i < s.chartNameCaptions.size(); ++i)
        controls_["ChartNameCaption" + std::to_string(i + 1)] = &s.chartNameCaptions[i];
    controls_["RadioGroup1"] = &s.RadioGroup1;

    ExercisePage& e = f.exercises;
    controls_["Label13"] = &e.Label13;
    // The exercise buttons and titles: as many as the working folder has,
    // so the view lists them afresh each time.
    controls_["CheckListBox1"] = &e.CheckListBox1;
    controls_["CheckCaption"] = &e.CheckCaption;
    controls_["CheckExercise"] = &e.CheckExercise;
    controls_["CheckButton"] = &e.CheckButton;
    controls_["CheckPoints"] = &e.CheckPoints;
    controls_["CheckRows"] = &e.CheckRows;
    controls_["CheckFinding"] = &e.CheckFinding;
    memoPages_[&e.CheckFinding] = Page::TabSheet8;
    controls_["SolutionButton"] = &e.SolutionButton;

    ChartPage& ch = f.chart;
    TextControl* chart[] = {&ch.Label12, &ch.SpeedButton10, &ch.SpeedButton11, &ch.SpeedButton12, &ch.SpeedButton13,
                            &ch.Label14, &ch.Label15,       &ch.Label16,       &ch.Label17,       &ch.Label24};
    const char* chartNames[] = {"Label12", "SpeedButton10", "SpeedButton11", "SpeedButton12", "SpeedButton13",
                                "Label14", "Label15",       "Label16",       "Label17",       "Label24"};
    for (std::size_t i = 0; i < std::size(chart); ++i) controls_[chartNames[i]] = chart[i];
    controls_["StringGrid1"] = &ch.StringGrid1;

    AccountSheetPage& a = f.accountSheet;
    controls_["ListBox1"] = &a.ListBox1;
    controls_["Label51"] = &a.Label51;
    controls_["Label52"] = &a.Label52;
    controls_["Label53"] = &a.Label53;
    controls_["StringGrid3"] = &a.StringGrid3;
    controls_["SpeedButton37"] = &a.SpeedButton37;
}

void WebForm::registerHandlers() {
    TForm1& f = form;
    BookingPage& b = f.booking;
    ExercisePage& e = f.exercises;
    handlers_ = {
        {"SpeedButton1Click", [&f] { f.SpeedButton1Click(); }},
        {"SpeedButton2Click", [&f] { f.SpeedButton2Click(); }},
        {"SpeedButton3Click", [&f] { f.SpeedButton3Click(); }},
        {"SpeedButton4Click", [&f] { f.SpeedButton4Click(); }},
        {"SpeedButton5Click", [&f] { f.SpeedButton5Click(); }},
        {"SpeedButton6Click", [&f] { f.SpeedButton6Click(); }},
        {"SpeedButton22Click", [&f] { f.SpeedButton22Click(); }},
        {"SpeedButton23Click", [&f] { f.SpeedButton23Click(); }},
        {"SpeedButton24Click", [&f] { f.SpeedButton24Click(); }},
        {"SpeedButton30Click", [&f] { f.SpeedButton30Click(); }},
        {"SpeedButton33Click", [&f] { f.SpeedButton33Click(); }},
        {"SpeedButton34Click", [&f] { f.SpeedButton34Click(); }},
        {"SpeedButton35Click", [&f] { f.SpeedButton35Click(); }},
        {"SpeedButton37Click", [&f] { f.SpeedButton37Click(); }},
        {"SpeedButtonUndoClick", [&f] { f.SpeedButtonUndoClick(); }},
        {"TabSheet1Show", [&f] { f.showPage(Page::TabSheet1); }},
        {"SpeedButton32Click", [&f] { f.company.SpeedButton32Click(); }},
        {"SpeedButton7Click", [&f] { f.opening.SpeedButton7Click(); }},
        {"SpeedButton8Click", [&b] { b.SpeedButton8Click(); }},
        {"SpeedButton9Click", [&b] { b.SpeedButton9Click(); }},
        {"SpeedButton25Click", [&b] { b.SpeedButton25Click(); }},
        {"SpeedButton26Click", [&b] { b.SpeedButton26Click(); }},
        {"SpeedButton27Click", [&b] { b.SpeedButton27Click(); }},
        {"SpeedButton28Click", [&b] { b.SpeedButton28Click(); }},
        {"SpeedButton29Click", [&b] { b.SpeedButton29Click(); }},
        {"SpeedButton36Click", [&b] { b.SpeedButton36Click(); }},
        {"Edit14Exit", [&b] { b.Edit14Exit(); }},
        {"Edit17Exit", [&b] { b.Edit17Exit(); }},
        {"Edit18Exit", [&b] { b.Edit18Exit(); }},
        {"Edit19Exit", [&b] { b.Edit19Exit(); }},
        {"Edit20Exit", [&b] { b.Edit20Exit(); }},
        {"Edit21Exit", [&b] { b.Edit21Exit(); }},
        {"Edit22Exit", [&b] { b.Edit22Exit(); }},
        {"Edit23Exit", [&b] { b.Edit23Exit(); }},
        {"Edit24Exit", [&b] { b.Edit24Exit(); }},
        {"Edit25Exit", [&b] { b.Edit25Exit(); }},
        {"Edit26Exit", [&b] { b.Edit26Exit(); }},
        {"ComboBox1Exit", [&b] { b.ComboBox1Exit(); }},
        {"ComboBox2Exit", [&b] { b.ComboBox2Exit(); }},
        {"ComboBox3Exit", [&b] { b.ComboBox3Exit(); }},
        {"ComboBox4Exit", [&b] { b.ComboBox4Exit(); }},
        {"ComboBox5Exit", [&b] { b.ComboBox5Exit(); }},
        {"Button1Click", [&f] { f.settings.Button1Click(); }},
        {"Button2Click", [&f] { f.settings.Button2Click(); }},
        {"SpeedButton10Click", [&f] { f.chart.SpeedButton10Click(); }},
        {"SpeedButton11Click", [&f] { f.chart.SpeedButton11Click(); }},
        {"SpeedButton12Click", [&f] { f.chart.SpeedButton12Click(); }},
        {"SpeedButton13Click", [&f] { f.chart.SpeedButton13Click(); }},
        {"ListBox1Click", [&f] { f.accountSheet.ListBox1Click(); }},
        {"CheckButtonClick", [&e] { e.CheckButtonClick(); }},
        {"CheckRowsClick", [&e] { e.CheckRowsClick(); }},
        {"SolutionButtonClick", [&e] { e.SolutionButtonClick(); }},
    };
}

void WebForm::start() {
    dialogs.clear();
    form.run([this] { form.FormCreate(); });
    // As in the window: a start-up that stopped early leaves the booking page
    // active, and its show handler runs as it is displayed.
    if (form.activePage() == Page::TabSheet4) form.run([this] { form.booking.TabSheet4Show(); });
}

template <class T> T* WebForm::find(const std::string& name) const {
    const auto it = controls_.find(name);
    if (it == controls_.end()) return nullptr;
    T* const* control = std::get_if<T*>(&it->second);
    return control ? *control : nullptr;
}

bool WebForm::setText(const std::string& name, const std::string& utf8) {
    if (auto* c = find<TextControl>(name)) {
        c->text = utf8_to_cp1252(utf8);
        return true;
    }
    if (auto* c = find<ComboBox>(name)) {
        c->text = utf8_to_cp1252(utf8);
        return true;
    }
    return false;
}

bool WebForm::setChecked(const std::string& name, bool checked) {
    auto* c = find<CheckBox>(name);
    if (!c) return false;
    dialogs.clear();
    form.run([&] { c->setChecked(checked); });
    return true;
}

bool WebForm::setCell(const std::string& name, int col, int row, const std::string& utf8) {
    auto* c = find<StringGrid>(name);
    if (!c || col < 0 || row < 0 || col >= c->colCount() || row >= c->rowCount()) return false;
    c->cell(col, row) = utf8_to_cp1252(utf8);
    return true;
}

bool WebForm::setIndex(const std::string& name, int index) {
    if (auto* c = find<ListBox>(name)) {
        if (index < -1 || index >= static_cast<int>(c->items.size())) return false;
        c->itemIndex = index;
        return true;
    }
    if (auto* c = find<RadioGroup>(name)) {
        if (index < -1 || index >= static_cast<int>(c->items.size())) return false;
        c->itemIndex = index;
        return true;
    }
    return false;
}

bool WebForm::setTick(const std::string& name, int index, bool ticked) {
    auto* c = find<CheckListBox>(name);
    if (!c || index < 0 || index >= static_cast<int>(c->checked.size())) return false;
    dialogs.clear();
    // As the window's list: the page keeps the tick for the next start.
    form.run([&] { form.exercises.CheckListBox1ClickCheck(static_cast<std::size_t>(index), ticked); });
    return true;
}

bool WebForm::call(const std::string& handler) {
    std::function<void()> body;
    if (const auto it = handlers_.find(handler); it != handlers_.end()) {
        body = it->second;
    } else if (const int n = exercise_button(handler); n > 0) {
        body = [this, n] { form.exercises.ExerciseButtonClick(n); };
    } else {
        return false;
    }
    dialogs.clear();
    form.run(body);
    return true;
}

int WebForm::exercise_button(const std::string& handler) const {
    // "ExerciseButton<n>Click" for an exercise the page lists.
    const std::string head = "ExerciseButton", tail = "Click";
    if (handler.size() <= head.size() + tail.size() || handler.compare(0, head.size(), head) != 0 ||
        handler.compare(handler.size() - tail.size(), tail.size(), tail) != 0)
        return 0;
    const std::string digits = handler.substr(head.size(), handler.size() - head.size() - tail.size());
    if (digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos || digits[0] == '0') return 0;
    const int n = std::stoi(digits);
    return n <= static_cast<int>(form.exercises.buttons.size()) ? n : 0;
}

std::string WebForm::view() const {
    std::string out = "{\"page\":" + std::to_string(static_cast<int>(form.activePage())) +
                      ",\"title\":" + text(form.titleText()) + ",\"status\":" + text(form.state.status) +
                      ",\"totals\":" + text(form.booking.totalsText()) +
                      ",\"rejectedAccountLine\":" + std::to_string(form.booking.rejectedAccountLine) +
                      ",\"chartReadOnly\":" + flag(form.chart.readOnly()) +
                      ",\"download\":" + json_string(dialogs.download) +
                      ",\"manual\":" + flag(dialogs.manualRequested) + ",\"messages\":[";
    for (std::size_t i = 0; i < dialogs.messages.size(); ++i)
        out += (i ? ",{\"kind\":" : "{\"kind\":") + json_string(dialogs.messages[i].kind) +
               ",\"text\":" + json_string(dialogs.messages[i].text) + "}";
    out += "],\"chapter\":" + json_string(manual_chapter(form.activePage())) + ",\"exercises\":[";
    const ExercisePage& e = form.exercises;
    for (std::size_t i = 0; i < e.buttons.size(); ++i)
        out += (i ? ",{\"button\":" : "{\"button\":") + ControlJson{}(&e.buttons[i]) +
               ",\"title\":" + ControlJson{}(&e.titles[i]) + "}";
    out += "],\"notice\":" + notice_json(form.start.RichEdit1.document) + ",\"controls\":{";
    bool first = true;
    for (const auto& [name, control] : controls_) {
        if (const Memo* const* memo = std::get_if<Memo*>(&control)) {
            const auto page = memoPages_.find(*memo);
            if (page != memoPages_.end() && page->second != form.activePage()) continue;
            // A report's lines come through memoText: a journal of 100,000
            // bookings would make a view too long to read in good time.
            if (*memo != &form.exercises.CheckFinding) {
                out += (first ? "" : ",") + json_string(name) + ":{\"count\":" + std::to_string((*memo)->lines.size()) + "}";
                first = false;
                continue;
            }
        }
        out += (first ? "" : ",") + json_string(name) + ":" + std::visit(ControlJson{}, control);
        first = false;
    }
    return out + "}}";
}

std::string WebForm::memoText(const std::string& name) const {
    const Memo* memo = find<Memo>(name);
    if (!memo) return "";
    std::size_t size = 0;
    for (const std::string& line : memo->lines) size += line.size() + 1;
    std::string cp1252;
    cp1252.reserve(size);
    for (const std::string& line : memo->lines) (cp1252 += line) += '\n';
    return cp1252_to_utf8(cp1252);
}

std::string WebForm::printJob(const std::string& printDate) const {
    PrintedReport report;
    switch (form.activePage()) {
    case Page::TabSheet5: report = PrintedReport::Balance; break;
    case Page::TabSheet11: report = PrintedReport::Operating; break;
    case Page::TabSheet6: report = PrintedReport::Journal; break;
    case Page::TabSheet10: report = PrintedReport::AccountSheet; break;
    default: return "";
    }
    const PrintJob job = print_job(form, report, has_textbook_form(report), printDate);
    std::string out = "{\"company\":" + text(job.company) + ",\"report\":" + text(job.reportName) +
                      ",\"date\":" + text(job.printDate) + ",\"lines\":[";
    for (std::size_t i = 0; i < job.lines.size(); ++i) {
        const PrintLine& l = job.lines[i];
        std::string sums = "[";
        for (std::size_t k = 0; k < l.sums.size(); ++k)
            sums += (k ? ",[" : "[") + std::to_string(l.sums[k].begin) + "," + std::to_string(l.sums[k].end) + "]";
        out += (i ? ",{\"text\":" : "{\"text\":") + text(l.text) + ",\"tBar\":" + std::to_string(l.tBar) +
               ",\"tRuleEnd\":" + std::to_string(l.tRuleEnd) + ",\"sums\":" + sums + "]}";
    }
    return out + "]}";
}

} // namespace saldorama
