#pragma once

#include <string>

namespace ChromvaleBeta2 {

// Asks the desktop to show a local web page in the user's browser. Returns at
// once; whether the page opens is not reported.
void openHelpPage(const std::string& path);

}  // namespace ChromvaleBeta2
