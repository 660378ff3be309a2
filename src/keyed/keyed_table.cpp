#include "keyed/keyed_table.h"

#include <charconv>
#include <sstream>
#include <vector>

#include "keyed/toml_design.h"
#include "keyed/toml_library.h"
#include "text/list_input.h"

namespace gsd {

namespace {

// One step of a key path: a table member, or an array element when `name`
// is empty.
struct PathStep {
  std::string name;
  std::size_t index = 0;
};

bool split_path(std::string_view key, std::vector<PathStep>& steps) {
  std::size_t pos = 0;
  while (pos <= key.size()) {
    const std::size_t end = key.find_first_of(".[", pos);
    const std::string_view name = key.substr(pos, end - pos);
    if (name.empty()) return false;
    steps.push_back({std::string(name), 0});
    pos = end;
    while (pos < key.size() && key[pos] == '[') {
      const std::size_t close = key.find(']', pos);
      if (close == std::string_view::npos) return false;
      std::size_t index = 0;
      const char* first = key.data() + pos + 1;
      const char* last = key.data() + close;
      const auto [stop, status] = std::from_chars(first, last, index);
      if (first == last || stop != last || status != std::errc()) return false;
      steps.push_back({std::string(), index});
      pos = close + 1;
    }
    if (pos >= key.size()) return true;
    if (key[pos] != '.') return false;
    ++pos;
  }
  return false;
}

// The literal as a TOML value, or its text as a string. The literal is
// parsed with the keyed reader's guards (a character outside ASCII outside
// a string makes it a string).
toml::node_view<toml::node> parsed_value(std::string_view literal, toml::table& holder) {
  try {
    std::string document = "value = ";
    document += literal;
    document += '\n';
    holder = parse_toml_design(document);
    if (holder.size() == 1 && holder.contains("value")) return holder["value"];
  } catch (const InputError&) {
  }
  holder = toml::table();
  holder.insert("value", std::string(literal));
  return holder["value"];
}

void assign(toml::node& target, std::string_view name, const toml::node& value) {
  if (toml::table* table = target.as_table()) {
    value.visit([&](const auto& v) { table->insert_or_assign(name, v); });
  }
}

// Keys of one table that exclude each other, in groups that go together.
struct ExclusiveKeys {
  const char* table;
  std::vector<std::vector<const char*>> groups;
};

const ExclusiveKeys kExclusiveKeys[] = {
    {"looks", {{"times"}, {"events", "max_time"}}},
    {"treatment", {{"hazard_ratio"}, {"hazard_ratios", "cuts"}, {"times", "survival"}}},
    {"accrual", {{"subjects"}, {"rate"}}},
    {"control", {{"median"}, {"times", "survival"}}},
};

}  // namespace

struct KeyedTable::Body {
  toml::table table;
};

KeyedTable::KeyedTable() : body(std::make_unique<Body>()) {}
KeyedTable::KeyedTable(const KeyedTable& other) : body(std::make_unique<Body>(*other.body)) {}
KeyedTable::KeyedTable(KeyedTable&& other) noexcept = default;
KeyedTable& KeyedTable::operator=(const KeyedTable& other) {
  if (this != &other) body = std::make_unique<Body>(*other.body);
  return *this;
}
KeyedTable& KeyedTable::operator=(KeyedTable&& other) noexcept = default;
KeyedTable::~KeyedTable() = default;

KeyedTable parse_keyed_table(std::string_view text) {
  KeyedTable table;
  table.body->table = parse_toml_design(text);
  return table;
}

KeyedDesign keyed_design_of(const KeyedTable& table) {
  return keyed_design_from_table(table.body->table);
}

std::string keyed_table_value(const KeyedTable& table, std::string_view key) {
  const toml::table& held = table.body->table;
  const toml::node_view<const toml::node> value = held.at_path(key);
  if (!value) return "";
  std::ostringstream text;
  value.node()->visit([&](const auto& v) { text << v; });
  return text.str();
}

void remove_excluded_keys(KeyedTable& keyed, std::string_view key,
                          const std::vector<std::string>& swept) {
  toml::table& design = keyed.body->table;
  for (const ExclusiveKeys& family : kExclusiveKeys) {
    const std::string prefix = std::string(family.table) + ".";
    if (!key.starts_with(prefix)) continue;
    const std::string_view member = key.substr(prefix.size());
    toml::table* table = design[family.table].as_table();
    if (table == nullptr) return;
    for (const auto& group : family.groups) {
      bool own = false;
      for (const char* name : group) own = own || member == name;
      if (own) continue;
      for (const char* name : group) {
        bool is_swept = false;
        for (const std::string& other : swept) is_swept = is_swept || other == prefix + name;
        if (!is_swept) table->erase(name);
      }
    }
    return;
  }
}

bool replace_design_value(KeyedTable& keyed, std::string_view key, std::string_view literal,
                          std::string& error) {
  toml::table& design = keyed.body->table;
  std::vector<PathStep> steps;
  if (!split_path(key, steps)) {
    error = "\"";
    error += key;
    error += "\" is not a dotted key";
    return false;
  }
  toml::table holder;
  const toml::node_view<toml::node> value = parsed_value(literal, holder);

  toml::node* current = &design;
  std::string path;
  for (std::size_t s = 0; s < steps.size(); ++s) {
    const PathStep& step = steps[s];
    const bool last = s + 1 == steps.size();
    if (step.name.empty()) {
      toml::array* array = current->as_array();
      if (array == nullptr) {
        error = "key " + path + " is not a list, so it has no element [" +
                std::to_string(step.index) + "]";
        return false;
      }
      if (step.index >= array->size()) {
        error = "key " + path + " has " + std::to_string(array->size()) + " elements, so no [" +
                std::to_string(step.index) + "]";
        return false;
      }
      path += '[';
      path += std::to_string(step.index);
      path += ']';
      if (last) {
        value.node()->visit([&](const auto& v) { array->replace(array->begin() + step.index, v); });
        return true;
      }
      current = array->get(step.index);
      continue;
    }
    toml::table* table = current->as_table();
    if (table == nullptr) {
      error = "key " + path + " is not a table, so it has no member " + step.name;
      return false;
    }
    path += (path.empty() ? "" : ".") + step.name;
    if (last) {
      assign(*current, step.name, *value.node());
      return true;
    }
    toml::node* member = table->get(step.name);
    if (member == nullptr) {
      // A missing table on the way is created; an element index after it
      // could never exist.
      if (steps[s + 1].name.empty()) {
        error = "key " + path + " is not in the design, so it has no element [" +
                std::to_string(steps[s + 1].index) + "]";
        return false;
      }
      member = &table->insert_or_assign(step.name, toml::table()).first->second;
    }
    current = member;
  }
  return true;
}

}  // namespace gsd
