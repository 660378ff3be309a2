#pragma once

// A strict well-formedness check of XML text (the charts and the HTML page,
// which is written so that an XML parser reads it too): one root element,
// every element closed in order, attribute values quoted and unique per
// element, no raw '<' or '&' outside markup except as entity references.
// An optional <!DOCTYPE ...> and comments are accepted; processing
// instructions and CDATA are not (the writers never produce them).

#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace gsd::testing {

namespace xml_detail {

inline bool name_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == ':' ||
         c == '.';
}

inline bool name_start(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_' || c == ':';
}

// The entity reference at text[i] == '&' is one of XML's five or a
// character reference; returns its length, 0 when malformed.
inline std::size_t entity_length(std::string_view text, std::size_t i) {
  const std::size_t end = text.find(';', i);
  if (end == std::string_view::npos || end - i > 10) return 0;
  const std::string_view body = text.substr(i + 1, end - i - 1);
  static const std::set<std::string_view> named = {"amp", "lt", "gt", "quot", "apos"};
  if (named.count(body) != 0) return end - i + 1;
  if (body.size() >= 2 && body[0] == '#') {
    const bool hex = body[1] == 'x';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    for (const char c : digits) {
      if (hex ? std::isxdigit(static_cast<unsigned char>(c)) == 0
              : std::isdigit(static_cast<unsigned char>(c)) == 0) {
        return 0;
      }
    }
    return end - i + 1;
  }
  return 0;
}

}  // namespace xml_detail

// Empty when `text` is well-formed; otherwise what is wrong and where.
inline std::string xml_error(std::string_view text) {
  using namespace xml_detail;
  std::vector<std::string> open;
  bool root_seen = false;
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return " at offset " + std::to_string(k); };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '&') {
      const std::size_t n = entity_length(text, i);
      if (n == 0) return "a raw '&'" + at(i);
      if (open.empty()) return "text outside the root element" + at(i);
      i += n;
      continue;
    }
    if (c == '>') return "a raw '>' in text" + at(i);
    if (c != '<') {
      if (open.empty() && std::isspace(static_cast<unsigned char>(c)) == 0) {
        return "text outside the root element" + at(i);
      }
      ++i;
      continue;
    }
    if (text.substr(i, 4) == "<!--") {
      const std::size_t end = text.find("-->", i + 4);
      if (end == std::string_view::npos) return "an unclosed comment" + at(i);
      i = end + 3;
      continue;
    }
    if (text.substr(i, 9) == "<!DOCTYPE") {
      if (root_seen || !open.empty()) return "a DOCTYPE after the root element" + at(i);
      const std::size_t end = text.find('>', i);
      if (end == std::string_view::npos) return "an unclosed DOCTYPE" + at(i);
      i = end + 1;
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '/') {
      std::size_t k = i + 2;
      while (k < text.size() && name_char(text[k])) ++k;
      const std::string name(text.substr(i + 2, k - i - 2));
      while (k < text.size() && std::isspace(static_cast<unsigned char>(text[k])) != 0) ++k;
      if (k >= text.size() || text[k] != '>') return "a malformed end tag" + at(i);
      if (open.empty() || open.back() != name) {
        return "</" + name + "> does not close <" + (open.empty() ? "" : open.back()) + ">" +
               at(i);
      }
      open.pop_back();
      i = k + 1;
      continue;
    }
    // A start tag.
    std::size_t k = i + 1;
    if (k >= text.size() || !name_start(text[k])) return "a raw '<'" + at(i);
    while (k < text.size() && name_char(text[k])) ++k;
    const std::string name(text.substr(i + 1, k - i - 1));
    if (open.empty() && root_seen) return "a second root element <" + name + ">" + at(i);
    std::set<std::string> attributes;
    bool closed = false;
    while (true) {
      const std::size_t before = k;
      while (k < text.size() && std::isspace(static_cast<unsigned char>(text[k])) != 0) ++k;
      if (k >= text.size()) return "an unclosed tag <" + name + ">" + at(i);
      if (text[k] == '>') {
        ++k;
        break;
      }
      if (text.substr(k, 2) == "/>") {
        k += 2;
        closed = true;
        break;
      }
      if (k == before) return "attributes of <" + name + "> not separated by blanks" + at(k);
      if (!name_start(text[k])) return "a malformed attribute in <" + name + ">" + at(k);
      const std::size_t a = k;
      while (k < text.size() && name_char(text[k])) ++k;
      const std::string attribute(text.substr(a, k - a));
      if (!attributes.insert(attribute).second) {
        return "attribute " + attribute + " twice in <" + name + ">" + at(a);
      }
      if (k + 1 >= text.size() || text[k] != '=' || (text[k + 1] != '"' && text[k + 1] != '\'')) {
        return "attribute " + attribute + " of <" + name + "> has no quoted value" + at(a);
      }
      const char quote = text[k + 1];
      k += 2;
      while (k < text.size() && text[k] != quote) {
        if (text[k] == '<') return "a '<' in attribute " + attribute + at(k);
        if (text[k] == '&') {
          const std::size_t n = entity_length(text, k);
          if (n == 0) return "a raw '&' in attribute " + attribute + at(k);
          k += n;
        } else {
          ++k;
        }
      }
      if (k >= text.size()) return "an unclosed attribute value" + at(a);
      ++k;
    }
    root_seen = true;
    if (!closed) open.push_back(name);
    i = k;
  }
  if (!open.empty()) return "<" + open.back() + "> is never closed";
  if (!root_seen) return "no root element";
  return "";
}

}  // namespace gsd::testing
