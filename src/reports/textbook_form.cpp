#include "reports/textbook_form.h"

#include <algorithm>

#include "accounts/chart_file.h"
#include "base/cp1252.h"
#include "reports/balance_report.h"

namespace saldorama {

namespace {

double total(const std::vector<TEntry>& entries) {
    double sum = 0;
    for (const auto& e : entries) sum += e.amount;
    return sum;
}

std::string year_end(int year) { return "31.12." + std::to_string(year); }

// Both sides from the chart: accounts of side `leftSide` on the left, of
// `rightSide` on the right, amounts as the balance page shows them and the
// opening and closing accounts left out, as there.
TForm statement(const std::vector<AccountRecord>& chart, const AccountBalances& balances, bool showZeroAccounts,
                const std::string& leftSide, const std::string& rightSide) {
    TForm form;
    for (const auto& account : chart) {
        if (is_auxiliary_account(account.name)) continue;
        const bool left = account.side == leftSide;
        if (!left && account.side != rightSide) continue;
        const double amount = balances.shownAmount(account);
        if (shows_as_zero(amount) && !showZeroAccounts) continue;
        (left ? form.left : form.right).push_back({"", account.name, amount});
    }
    return form;
}

void add_sums(TForm& form) {
    form.leftSum = total(form.left);
    form.rightSum = total(form.right);
}

// Left-aligned in exactly `width` characters; a longer text keeps width - 3
// characters and gets "...".
std::string fit(const std::string& text, std::size_t width) {
    if (text.size() > width) return text.substr(0, width > 3 ? width - 3 : 0) + "...";
    return text + std::string(width - text.size(), ' ');
}

std::string right(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

constexpr std::size_t kMaxTextColumn = 34;
constexpr std::size_t kGap = 3;

} // namespace

TForm textbook_balance_sheet(const std::vector<AccountRecord>& chart, const AccountBalances& balances, int year,
                             bool showZeroAccounts) {
    TForm form = statement(chart, balances, showZeroAccounts, "A", "P");
    // This year's result as the balance page computes it, with its name and
    // sign, always on the Passiva side.
    const double result = balance_figures(chart, balances).yearResult;
    if (!shows_as_zero(result)) form.right.push_back({"", year_result_name(result), result});
    add_sums(form);
    form.title = "Bilanz zum " + year_end(year);
    form.leftHeading = "Aktiva";
    form.rightHeading = "Passiva";
    return form;
}

TForm textbook_profit_and_loss(const std::vector<AccountRecord>& chart, const AccountBalances& balances, int year,
                               bool showZeroAccounts) {
    TForm form = statement(chart, balances, showZeroAccounts, "S", "H");
    // The same result closes the smaller side, as on the balance page.
    const double result = balance_figures(chart, balances).yearResult;
    if (result > 0 && !shows_as_zero(result)) form.left.push_back({"", "Gewinn", result});
    if (result < 0 && !shows_as_zero(result)) form.right.push_back({"", "Verlust", -result});
    add_sums(form);
    form.title = cp("Gewinn- und Verlustkonto zum ") + year_end(year);
    form.leftHeading = "Soll";
    form.rightHeading = "Haben";
    return form;
}

const std::string& several_contra_accounts() {
    static const std::string word = "Diverse";
    return word;
}

TextbookAccountBuilder::TextbookAccountBuilder(std::string name) : name_(std::move(name)) {}

void TextbookAccountBuilder::add(const BookingRecord& record) {
    // The one account on the other side, "Diverse" for several, "" for none.
    const auto contra = [&](std::size_t self, bool ofDebitLine) {
        std::string found;
        bool several = false;
        for (std::size_t j = 0; j < kBookingLines; ++j) {
            const double other = ofDebitLine ? record.credit[j] : record.debit[j];
            if (j == self || other == 0) continue;
            if (found.empty() && !several) {
                found = record.account[j];
                several = found.empty();  // an unnamed line still is another account
            } else if (record.account[j] != found) {
                several = true;
            }
        }
        return several ? several_contra_accounts() : found;
    };
    for (std::size_t i = 0; i < kBookingLines; ++i) {
        if (record.account[i] != name_) continue;
        if (record.debit[i] != 0) form_.left.push_back({record.date, contra(i, true), record.debit[i]});
        if (record.credit[i] != 0) form_.right.push_back({record.date, contra(i, false), record.credit[i]});
    }
}

TForm TextbookAccountBuilder::build() const {
    TForm form = form_;
    form.title = name_;
    form.leftHeading = "Soll";
    form.rightHeading = "Haben";
    const double difference = total(form.left) - total(form.right);
    const double balance = shows_as_zero(difference) ? 0.0 : difference;
    if (balance > 0) form.right.push_back({"", "Schlussbestand", balance});
    if (balance < 0) form.left.push_back({"", "Schlussbestand", -balance});
    form.leftSum = total(form.left);
    form.rightSum = total(form.right);
    return form;
}

TForm textbook_account(const std::string& name, const std::vector<BookingRecord>& bookings) {
    TextbookAccountBuilder builder(name);
    for (const auto& r : bookings) builder.add(r);
    return builder.build();
}

std::vector<PrintLine> textbook_lines(const TForm& form) {
    bool dated = false;
    std::size_t textWidth = std::max(form.leftHeading.size(), form.rightHeading.size());
    std::size_t amountWidth = std::max(report_amount_text(form.leftSum).size(), report_amount_text(form.rightSum).size());
    for (const auto* side : {&form.left, &form.right}) {
        for (const auto& e : *side) {
            dated = dated || !e.date.empty();
            textWidth = std::max(textWidth, e.text.size());
            amountWidth = std::max(amountWidth, report_amount_text(e.amount).size());
        }
    }
    textWidth = std::min(std::max<std::size_t>(textWidth, 14), kMaxTextColumn);
    const std::size_t dateWidth = dated ? 10 + 1 : 0;
    const std::size_t sideWidth = dateWidth + textWidth + 1 + amountWidth;
    const std::size_t rightStart = sideWidth + kGap;
    const int bar = static_cast<int>(sideWidth + 1);

    const auto entry = [&](const TEntry& e) {
        std::string text;
        if (dated) text = fit(e.date, 10) + " ";
        return text + fit(e.text, textWidth) + " " + right(report_amount_text(e.amount), amountWidth);
    };
    const auto row = [&](const std::string& l, const std::string& r) {
        std::string text = r.empty() ? l : fit(l, rightStart) + r;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text;
    };

    std::vector<PrintLine> out;
    // The title centred over the T, then its headings at the outer edges.
    const std::size_t width = rightStart + sideWidth;
    const std::size_t titleIndent = form.title.size() < width ? (width - form.title.size()) / 2 : 0;
    out.push_back(print_line(std::string(titleIndent, ' ') + form.title, true));
    PrintLine heading = print_line(row(form.leftHeading, right(form.rightHeading, sideWidth)), true);
    heading.tRuleEnd = static_cast<int>(width);
    out.push_back(std::move(heading));
    const std::size_t rows = std::max(form.left.size(), form.right.size());
    for (std::size_t i = 0; i < rows; ++i) {
        PrintLine line = print_line(row(i < form.left.size() ? entry(form.left[i]) : "",
                                        i < form.right.size() ? entry(form.right[i]) : ""));
        line.tBar = bar;
        out.push_back(std::move(line));
    }
    // The shorter side is closed by a diagonal through its empty rows, so
    // that nothing can be added; they stay on the page of the sums.
    const std::size_t shorter = std::min(form.left.size(), form.right.size());
    if (shorter < rows) {
        const bool leftShorter = form.left.size() < form.right.size();
        PrintLine& first = out[out.size() - (rows - shorter)];
        first.nose = leftShorter ? Span{0, static_cast<int>(sideWidth)}
                                 : Span{static_cast<int>(rightStart), static_cast<int>(width)};
        first.noseRows = static_cast<int>(rows - shorter);
        for (std::size_t i = out.size() - (rows - shorter); i < out.size(); ++i) out[i].keepWithNext = true;
    }
    // The sums stay with the last entry.
    if (rows > 0) out.back().keepWithNext = true;
    const std::string pad(sideWidth - amountWidth, ' ');
    PrintLine sums = print_line(row(pad + right(report_amount_text(form.leftSum), amountWidth),
                                    pad + right(report_amount_text(form.rightSum), amountWidth)));
    sums.tBar = bar;
    const int amountBegin = static_cast<int>(sideWidth - amountWidth);
    sums.sums = {{amountBegin, static_cast<int>(sideWidth)},
                 {static_cast<int>(rightStart) + amountBegin, static_cast<int>(width)}};
    out.push_back(std::move(sums));
    return out;
}

std::vector<PrintLine> signature_lines(const CompanyTexts& company) {
    return {print_line("", true), print_line("", true), print_line("f.d.R.: " + company.bookkeeper, true),
            print_line("", true), print_line("verantw.:" + company.responsible)};
}

} // namespace saldorama
