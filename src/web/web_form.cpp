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

// A control under the name of its member, so that name and control are
// written once.
#define SALDORAMA_NAMED(page, member) {#member, &(page).member}

void WebForm::registerControls() {
    TForm1& f = form;
    const auto add = [this](std::initializer_list<std::pair<const char*, Control>> named) {
        for (const auto& [name, control] : named) controls_[name] = control;
    };
    add({SALDORAMA_NAMED(f, SpeedButton1), SALDORAMA_NAMED(f, SpeedButton2), SALDORAMA_NAMED(f, SpeedButton3),
         SALDORAMA_NAMED(f, SpeedButton4), SALDORAMA_NAMED(f, SpeedButton5), SALDORAMA_NAMED(f, SpeedButton6),
         SALDORAMA_NAMED(f, SpeedButton22), SALDORAMA_NAMED(f, SpeedButton23), SALDORAMA_NAMED(f, SpeedButton24),
         SALDORAMA_NAMED(f, SpeedButton30), SALDORAMA_NAMED(f, SpeedButton31), SALDORAMA_NAMED(f, SpeedButton33),
         SALDORAMA_NAMED(f, SpeedButton34), SALDORAMA_NAMED(f, SpeedButton35), SALDORAMA_NAMED(f, SpeedButtonUndo),
         SALDORAMA_NAMED(f.start, Label1), SALDORAMA_NAMED(f.start, Label47)});

    CompanyPage& c = f.company;
    add({SALDORAMA_NAMED(c, Label2), SALDORAMA_NAMED(c, Label6), SALDORAMA_NAMED(c, Edit1), SALDORAMA_NAMED(c, Edit2),
         SALDORAMA_NAMED(c, Edit3), SALDORAMA_NAMED(c, Edit4), SALDORAMA_NAMED(c, Edit5), SALDORAMA_NAMED(c, Edit6),
         SALDORAMA_NAMED(c, Edit7), SALDORAMA_NAMED(c, Edit8), SALDORAMA_NAMED(c, SpeedButton32)});
    for (std::size_t i = 0; i < c.captions.size(); ++i) controls_["CompanyCaption" + std::to_string(i + 1)] = &c.captions[i];

    OpeningBalancePage& o = f.opening;
    add({SALDORAMA_NAMED(o, StringGrid2), SALDORAMA_NAMED(o, Label48), SALDORAMA_NAMED(o, Label35),
         SALDORAMA_NAMED(o, Edit27), SALDORAMA_NAMED(o, SpeedButton7)});

    BookingPage& b = f.booking;
    add({SALDORAMA_NAMED(b, SpeedButton8), SALDORAMA_NAMED(b, SpeedButton9), SALDORAMA_NAMED(b, SpeedButton25),
         SALDORAMA_NAMED(b, SpeedButton26), SALDORAMA_NAMED(b, SpeedButton27), SALDORAMA_NAMED(b, SpeedButton28),
         SALDORAMA_NAMED(b, SpeedButton36), SALDORAMA_NAMED(b, SpeedButton29), SALDORAMA_NAMED(b, Label25),
         SALDORAMA_NAMED(b, Label26), SALDORAMA_NAMED(b, Label27), SALDORAMA_NAMED(b, Edit14),
         SALDORAMA_NAMED(b, Label50), SALDORAMA_NAMED(b, Label28), SALDORAMA_NAMED(b, Edit15),
         SALDORAMA_NAMED(b, Label29), SALDORAMA_NAMED(b, Edit16), SALDORAMA_NAMED(b, Label30),
         SALDORAMA_NAMED(b, Label31), SALDORAMA_NAMED(b, Label32), SALDORAMA_NAMED(b, Label33),
         SALDORAMA_NAMED(b, Label34), SALDORAMA_NAMED(b, Edit17), SALDORAMA_NAMED(b, Edit18),
         SALDORAMA_NAMED(b, Edit19), SALDORAMA_NAMED(b, Edit20), SALDORAMA_NAMED(b, Edit21),
         SALDORAMA_NAMED(b, Edit22), SALDORAMA_NAMED(b, Edit23), SALDORAMA_NAMED(b, Edit24),
         SALDORAMA_NAMED(b, Edit25), SALDORAMA_NAMED(b, Edit26), SALDORAMA_NAMED(b, Label44),
         SALDORAMA_NAMED(b, Label45), SALDORAMA_NAMED(b, ComboBox1), SALDORAMA_NAMED(b, ComboBox2),
         SALDORAMA_NAMED(b, ComboBox3), SALDORAMA_NAMED(b, ComboBox4), SALDORAMA_NAMED(b, ComboBox5)});

    add({SALDORAMA_NAMED(f.balance, Memo1), SALDORAMA_NAMED(f.journal, Memo2), SALDORAMA_NAMED(f.operating, Memo4)});
    memoPages_[&f.balance.Memo1] = Page::TabSheet5;
    memoPages_[&f.journal.Memo2] = Page::TabSheet6;
    memoPages_[&f.operating.Memo4] = Page::TabSheet11;

    SettingsPage& s = f.settings;
    add({SALDORAMA_NAMED(s, CheckBox1), SALDORAMA_NAMED(s, CheckBox2), SALDORAMA_NAMED(s, CheckBox3),
         SALDORAMA_NAMED(s, Label22), SALDORAMA_NAMED(s, Label23), SALDORAMA_NAMED(s, Edit13),
         {"YearCaption", &s.yearCaption}, SALDORAMA_NAMED(s, Edit28), SALDORAMA_NAMED(s, Edit9),
         SALDORAMA_NAMED(s, Edit10), SALDORAMA_NAMED(s, Edit11), SALDORAMA_NAMED(s, Edit12),
         SALDORAMA_NAMED(s, Button1), SALDORAMA_NAMED(s, Button2), SALDORAMA_NAMED(s, RadioGroup1)});
    for (std::size_t i = 0; i < s.chartNameCaptions.size(); ++i)
        controls_["ChartNameCaption" + std::to_string(i + 1)] = &s.chartNameCaptions[i];

    // The exercise buttons and titles are not here: as many as the working
    // folder has, so the view lists them afresh each time.
    ExercisePage& e = f.exercises;
    add({SALDORAMA_NAMED(e, Label13), SALDORAMA_NAMED(e, CheckListBox1), SALDORAMA_NAMED(e, CheckCaption),
         SALDORAMA_NAMED(e, CheckExercise), SALDORAMA_NAMED(e, CheckButton), SALDORAMA_NAMED(e, CheckPoints),
         SALDORAMA_NAMED(e, CheckRows), SALDORAMA_NAMED(e, CheckFinding), SALDORAMA_NAMED(e, SolutionButton)});
    memoPages_[&e.CheckFinding] = Page::TabSheet8;

    ChartPage& ch = f.chart;
    add({SALDORAMA_NAMED(ch, Label12), SALDORAMA_NAMED(ch, SpeedButton10), SALDORAMA_NAMED(ch, SpeedButton11),
         SALDORAMA_NAMED(ch, SpeedButton12), SALDORAMA_NAMED(ch, SpeedButton13), SALDORAMA_NAMED(ch, Label14),
         SALDORAMA_NAMED(ch, Label15), SALDORAMA_NAMED(ch, Label16), SALDORAMA_NAMED(ch, Label17),
         SALDORAMA_NAMED(ch, Label24), SALDORAMA_NAMED(ch, StringGrid1)});

    AccountSheetPage& a = f.accountSheet;
    add({SALDORAMA_NAMED(a, ListBox1), SALDORAMA_NAMED(a, Label51), SALDORAMA_NAMED(a, Label52),
         SALDORAMA_NAMED(a, Label53), SALDORAMA_NAMED(a, StringGrid3), SALDORAMA_NAMED(a, SpeedButton37)});
}

#undef SALDORAMA_NAMED

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
