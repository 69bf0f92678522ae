#pragma once
#include <string>

#include "kernel/controls.h"
#include "notice/rtf_reader.h"

namespace saldorama {

// TabSheet1: picture, heading, version and the notice.
class StartPage {
public:
    StartPage();

    std::string Image1 = "startbild.png";  // picture file in the working directory
    Label Label1;   // heading
    Label Label47;  // version
    struct {
        RtfDocument document;
    } RichEdit1;

    // Loads "Wichtiger Hinweis.rtf" into RichEdit1.
    void TabSheet1Show();
};

} // namespace saldorama
