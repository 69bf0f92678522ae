// Saldorama in the browser: the form exported to the page's script. The page
// (shell.html) mounts the working folder from IndexedDB, calls sd_start, and
// after each handler stores the folder back.
#include <emscripten.h>

#include <exception>
#include <memory>
#include <string>

#include "base/file.h"
#include "base/version.h"
#include "userfolder/folder_error.h"
#include "userfolder/user_folder.h"
#include "web/web_form.h"

namespace {

// The browser's confirmation box: OK is Yes, "Abbrechen" is No.
EM_JS(int, ask_in_browser, (const char* text), { return window.confirm(UTF8ToString(text)) ? 1 : 0; });

std::unique_ptr<saldorama::WebForm> web;
std::string lastView;

} // namespace

extern "C" {

// Brings the working folder up to the supplied files and starts the form
// there. Returns "" or the German reason the folder cannot be used.
EMSCRIPTEN_KEEPALIVE const char* sd_start(const char* supplied, const char* folder) {
    try {
        saldorama::prepare_user_folder(supplied, folder, saldorama::kVersion);
        saldorama::change_directory(folder);
    } catch (const std::exception& e) {
        lastView = e.what();
        return lastView.c_str();
    }
    web = std::make_unique<saldorama::WebForm>();
    web->dialogs.ask = [](const std::string& text) { return ask_in_browser(text.c_str()) != 0; };
    web->start();
    lastView.clear();
    return lastView.c_str();
}

EMSCRIPTEN_KEEPALIVE int sd_set_text(const char* name, const char* text) { return web->setText(name, text); }
EMSCRIPTEN_KEEPALIVE int sd_set_checked(const char* name, int checked) { return web->setChecked(name, checked != 0); }
EMSCRIPTEN_KEEPALIVE int sd_set_cell(const char* name, int col, int row, const char* text) {
    return web->setCell(name, col, row, text);
}
EMSCRIPTEN_KEEPALIVE int sd_set_index(const char* name, int index) { return web->setIndex(name, index); }
EMSCRIPTEN_KEEPALIVE int sd_set_tick(const char* name, int index, int ticked) {
    return web->setTick(name, index, ticked != 0);
}
EMSCRIPTEN_KEEPALIVE int sd_call(const char* handler) { return web->call(handler); }
// The next "Sicherung laden!" opens this file.
EMSCRIPTEN_KEEPALIVE void sd_stage_upload(const char* path) { web->dialogs.upload = path; }
// The report on show for print, or "" (see WebForm::printJob); a failure
// joins the boxes of the last handler, for the page to show.
EMSCRIPTEN_KEEPALIVE const char* sd_print_job(const char* date) {
    lastView.clear();
    web->form.run([&] { lastView = web->printJob(date); });
    return lastView.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* sd_memo(const char* name) {
    lastView = web->memoText(name);
    return lastView.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* sd_view() {
    lastView = web->view();
    return lastView.c_str();
}
}
