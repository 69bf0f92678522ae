#include "accounts/account_record.h"

#include <algorithm>

namespace saldorama {

bool credit_side(std::string_view side) noexcept { return side == "P" || side == "H"; }

AccountRecord werte_aus(std::string_view line) {
    AccountRecord rec;
    std::size_t i = 0;
    for (; i < line.size() && line[i] != '<'; ++i)
        if (rec.name.size() < kShortStringMax) rec.name += line[i];
    ++i;  // the '<'
    std::string kind;
    for (; i < line.size() && line[i] != '>'; ++i)
        if (kind.size() < kShortStringMax) kind += line[i];
    const std::size_t gt = i;  // position 0
    const auto at = [&](std::size_t pos) { return gt + pos < line.size() ? line[gt + pos] : ' '; };
    const char sideLetter = at(2);
    const char classLetter = at(5);

    if (kind == "B") {
        rec.balanceMark = "*";
    } else if (kind == "V") {
        rec.balanceMark = "***";
        rec.plMark = "***";
    } else {
        rec.plMark = "*";
    }

    const bool balance = rec.balanceMark == "*";
    const bool pl = rec.balanceMark.empty();
    if (sideLetter == 'A' && balance) rec.side = "A";
    else if (sideLetter == 'P' && balance) rec.side = "P";
    else if (sideLetter == 'A' && pl) rec.side = "S";
    else rec.side = "H";

    if (classLetter == 'B' && balance) rec.resultClass = "";
    else if (classLetter == 'N' && balance) rec.resultClass = "Fehler!";
    else if (classLetter == 'B' && pl) rec.resultClass = "B";
    else rec.resultClass = "N";

    // The number stands in the part of the line older versions leave alone:
    // one blank and four digits after the class letter, then the line ends
    // or a blank follows.
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const std::size_t first = gt + 7;
    if (at(6) == ' ' && first + 4 <= line.size() && (first + 4 == line.size() || line[first + 4] == ' ')) {
        const std::string_view number = line.substr(first, 4);
        if (std::all_of(number.begin(), number.end(), digit)) rec.number = number;
    }
    return rec;
}

std::string account_label(const AccountRecord& account) {
    return account.number.empty() ? account.name : account.number + " " + account.name;
}

const AccountRecord* find_account_entry(const std::vector<AccountRecord>& chart, std::string_view typed) {
    for (const auto fits : {+[](const AccountRecord& a, std::string_view t) { return a.name == t; },
                             +[](const AccountRecord& a, std::string_view t) { return account_label(a) == t; },
                             +[](const AccountRecord& a, std::string_view t) { return !a.number.empty() && a.number == t; }})
        for (const AccountRecord& account : chart)
            if (fits(account, typed)) return &account;
    return nullptr;
}

bool is_chart_line(std::string_view line) {
    const auto lt = line.find('<');
    if (lt == std::string_view::npos) return false;
    const auto gt = line.find('>', lt + 1);
    if (gt == std::string_view::npos) return false;
    return gt + 5 < line.size();
}

} // namespace saldorama
