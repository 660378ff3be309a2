#pragma once

#include <string>
#include <string_view>

namespace gsd {

// The frame of gsdsim's HTML pages: the document head with the inline style
// sheet (screen and print) and the opening <body>, and the footer that
// closes the document. `title` and `footer` are plain text (escaped here).
std::string html_page_start(std::string_view title);
std::string html_page_end(std::string_view footer);

}  // namespace gsd
