#include "common.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace saldorama::fuzz {

void enter_scratch_dir() {
    static const std::string dir = [] {
        std::string tmpl = "/tmp/saldorama-fuzz-XXXXXX";
        if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
        return tmpl;
    }();
    if (::chdir(dir.c_str()) != 0) std::abort();
}

void write_file(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace saldorama::fuzz
