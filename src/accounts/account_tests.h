#pragma once
#include <string_view>

namespace saldorama {

class Dialogs;

// Is the text the name of an account of the chart? With no chart chosen,
// says "Du hast keinen Kontenplan ausgewählt!" and answers false.
[[nodiscard]] bool ist_konto(int currentChart, Dialogs& dialogs, std::string_view text);
// Operating ("B") and neutral ("N") accounts; false without a message when
// no chart is chosen.
[[nodiscard]] bool IstBetrieblich(int currentChart, std::string_view text);
[[nodiscard]] bool IstNeutral(int currentChart, std::string_view text);

} // namespace saldorama
