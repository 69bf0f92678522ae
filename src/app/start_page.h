#pragma once
#include <string>

#include "app/controls.h"
#include "app/rtf_reader.h"

namespace saldorama {

class TForm1;

// TabSheet1: picture, heading, version and the notice.
class StartPage {
public:
    explicit StartPage(TForm1& form);

    std::string Image1 = "startbild.png";  // picture file in the working directory
    Label Label1;   // heading
    Label Label47;  // version
    struct {
        RtfDocument document;
    } RichEdit1;

    // Loads "Wichtiger Hinweis.rtf" into RichEdit1.
    void TabSheet1Show();

private:
    TForm1& form_;
};

} // namespace saldorama
