#pragma once

// Whether an HTML page refers to anything outside itself: a URL (remote or
// local), a script, a style sheet, an image, a frame or a font.

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace gsd::testing {

// The first reference to something outside the page, with its surroundings;
// empty when there is none. References within the page (url(#id)) are fine.
inline std::string external_reference(std::string_view page) {
  std::string lower(page);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const char* patterns[] = {"http:", "https:", "ftp:",   "file:",    "//",      "src=",
                            "href=", "@import", "@font-face", "<script", "<link", "<img",
                            "<iframe", "<object", "<embed", "xlink:", "url("};
  for (const char* pattern : patterns) {
    for (std::size_t at = lower.find(pattern); at != std::string::npos;
         at = lower.find(pattern, at + 1)) {
      const std::string_view p = pattern;
      if (p == "url(" && at + 4 < lower.size() && lower[at + 4] == '#') continue;
      const std::size_t from = at >= 30 ? at - 30 : 0;
      return std::string(page.substr(from, 60));
    }
  }
  return "";
}

}  // namespace gsd::testing
