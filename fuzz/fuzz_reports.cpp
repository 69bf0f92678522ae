// Every report page is built from a fuzzed chart and bookings file without a
// crash: the first bytes up to a NUL are the chart, the rest the bookings.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common.h"
#include "form/tform1.h"
#include "kernel/scripted_dialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace saldorama;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto cut = bytes.find('\0');
    fuzz::enter_scratch_dir();
    fuzz::write_file("Kontenplan1.txt", bytes.substr(0, cut));
    fuzz::write_file("buchungen.dat", cut == std::string::npos ? "" : bytes.substr(cut + 1));
    ScriptedDialogs dialogs;
    TForm1 form(dialogs);
    form.state.currentChart = 1;
    form.settings.CheckBox2.setChecked(size % 2 == 0);
    for (Page page : {Page::TabSheet5, Page::TabSheet11, Page::TabSheet6, Page::TabSheet10, Page::TabSheet3}) {
        form.run([&] { form.showPage(page); });
    }
    auto& list = form.accountSheet.ListBox1;
    if (!list.items.empty()) {
        list.itemIndex = static_cast<int>(size % list.items.size());
        form.run([&] { form.accountSheet.ListBox1Click(); });
    }
    return 0;
}
