#include "accounts/account_tests.h"

#include "accounts/chart_file.h"
#include "kernel/dialogs.h"

namespace saldorama {
namespace {

// Reads the whole chart (no early stop: the file is closed only at its end)
// and answers whether any line passes the test.
template <typename Test>
bool any_account(int currentChart, Test test) {
    bool found = false;
    for (const AccountRecord& account : read_chart(currentChart))
        if (test(account)) found = true;
    return found;
}

} // namespace

bool ist_konto(int currentChart, Dialogs& dialogs, std::string_view text) {
    if (currentChart == 0) {
        dialogs.notice(no_chart_message());
        return false;
    }
    return any_account(currentChart, [&](const AccountRecord& a) { return a.name == text; });
}

bool IstBetrieblich(int currentChart, std::string_view text) {
    if (currentChart == 0) return false;
    return any_account(currentChart,
                       [&](const AccountRecord& a) { return a.name == text && a.resultClass == "B"; });
}

bool IstNeutral(int currentChart, std::string_view text) {
    if (currentChart == 0) return false;
    return any_account(currentChart,
                       [&](const AccountRecord& a) { return a.name == text && a.resultClass == "N"; });
}

} // namespace saldorama
