#include "keyed/toml_design.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

#include "keyed/toml_library.h"

#include "text/json_writer.h"
#include "text/list_input.h"

namespace gsd {

namespace {

// Every key of a keyed design file, table by table ("" is the top level).
struct KnownTable {
  const char* path;
  std::initializer_list<const char*> keys;
};

const KnownTable kKnownTables[] = {
    {"", {"report", "seed", "trials", "alpha", "sides", "looks", "statistics", "boundary",
          "control", "treatment", "accrual", "censoring", "crossover"}},
    {"looks", {"times", "events", "max_time"}},
    {"statistics", {"rho", "tau"}},
    {"boundary", {"method", "spending", "b", "error_split", "critical_values"}},
    {"control", {"times", "survival", "median"}},
    {"treatment", {"hazard_ratio", "hazard_ratios", "cuts", "times", "survival"}},
    {"accrual", {"period", "subjects", "rate"}},
    {"censoring", {"control", "treatment"}},
    {"censoring.control", {"times", "survival"}},
    {"censoring.treatment", {"times", "survival"}},
    {"crossover", {"drop_in", "drop_out"}},
    {"crossover.drop_in", {"times", "probabilities"}},
    {"crossover.drop_out", {"times", "probabilities"}},
};

const KnownTable& known_table(std::string_view path) {
  for (const KnownTable& table : kKnownTables) {
    if (path == table.path) return table;
  }
  return kKnownTables[0];
}

std::string dotted(std::string_view table, std::string_view key) {
  return table.empty() ? std::string(key) : std::string(table) + "." + std::string(key);
}

[[noreturn]] void refuse(std::string_view key, const std::string& what) {
  throw InputError(std::string(key) + ": " + what);
}

// Edit distance with transpositions (optimal string alignment), for the
// suggestion of a known key.
std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// The nearest of `candidates` to `word`, or "" when none is near enough to
// be a likely misspelling.
std::string nearest(std::string_view word, std::initializer_list<const char*> candidates) {
  std::string best;
  std::size_t best_distance = std::max<std::size_t>(2, word.size() / 2) + 1;
  for (const char* candidate : candidates) {
    const std::size_t distance = edit_distance(word, candidate);
    if (distance < best_distance) {
      best_distance = distance;
      best = candidate;
    }
  }
  return best;
}

std::string key_list(std::initializer_list<const char*> keys) {
  std::string text;
  for (const char* key : keys) {
    if (!text.empty()) text += ", ";
    text += key;
  }
  return text;
}

// Unknown keys of a table are refused, naming the nearest known key of the
// table, or the table where a key of that name belongs.
void check_keys(const toml::table& table, std::string_view path) {
  const KnownTable& known = known_table(path);
  for (const auto& [key, node] : table) {
    const std::string_view name = key.str();
    if (std::find(known.keys.begin(), known.keys.end(), name) != known.keys.end()) continue;
    std::string hint;
    const std::string near = nearest(name, known.keys);
    if (!near.empty()) {
      hint = " (did you mean " + dotted(path, near) + "?)";
    } else {
      for (const KnownTable& other : kKnownTables) {
        if (std::find(other.keys.begin(), other.keys.end(), name) != other.keys.end()) {
          hint = " (did you mean " + dotted(other.path, name) + "?)";
          break;
        }
      }
      if (hint.empty()) {
        hint = path.empty() ? " (the known keys are " + key_list(known.keys) + ")"
                            : " (the known keys of [" + std::string(path) + "] are " +
                                  key_list(known.keys) + ")";
      }
    }
    refuse(dotted(path, name), "unknown key" + hint);
  }
}

std::string type_name(const toml::node& node) {
  switch (node.type()) {
    case toml::node_type::string:
      return "a string";
    case toml::node_type::integer:
      return "a whole number";
    case toml::node_type::floating_point:
      return "a real number";
    case toml::node_type::boolean:
      return "true or false";
    case toml::node_type::table:
      return "a table";
    case toml::node_type::array:
      return "a list";
    default:
      return "a date or time";
  }
}

[[noreturn]] void refuse_type(std::string_view key, const toml::node& node, std::string_view expected) {
  std::string found = type_name(node);
  if (const auto* text = node.as_string()) found += " (\"" + text->get() + "\")";
  refuse(key, "expected " + std::string(expected) + ", found " + found);
}

long long integer_of(std::string_view key, const toml::node& node) {
  const auto* value = node.as_integer();
  if (value == nullptr) refuse_type(key, node, "a whole number");
  return static_cast<long long>(value->get());
}

// A real, held in single precision; a whole number is a real too.
float real_of(std::string_view key, const toml::node& node) {
  double value = 0.0;
  if (const auto* integer = node.as_integer()) {
    value = static_cast<double>(integer->get());
  } else if (const auto* real = node.as_floating_point()) {
    value = real->get();
  } else {
    refuse_type(key, node, "a number");
  }
  const float single = static_cast<float>(value);
  if (!std::isfinite(single)) {
    refuse(key, shortest_real(value) + " is given, but a finite single-precision number "
                                       "is expected (at most about 3.4e38 in magnitude)");
  }
  return single;
}

std::string string_of(std::string_view key, const toml::node& node) {
  const auto* value = node.as_string();
  if (value == nullptr) refuse_type(key, node, "a string");
  return value->get();
}

const toml::table& table_of(std::string_view key, const toml::node& node) {
  const auto* table = node.as_table();
  if (table == nullptr) refuse_type(key, node, "a table");
  return *table;
}

const toml::array& list_of(std::string_view key, const toml::node& node) {
  const auto* array = node.as_array();
  if (array == nullptr) refuse_type(key, node, "a list");
  if (array->empty()) refuse(key, "the list is empty; leave the key out instead");
  return *array;
}

std::vector<float> reals_of(std::string_view key, const toml::node& node) {
  std::vector<float> values;
  const toml::array& array = list_of(key, node);
  for (std::size_t i = 0; i < array.size(); ++i) {
    values.push_back(real_of(std::string(key) + " (value " + std::to_string(i + 1) + ")", array[i]));
  }
  return values;
}

std::vector<long long> integers_of(std::string_view key, const toml::node& node) {
  std::vector<long long> values;
  const toml::array& array = list_of(key, node);
  for (std::size_t i = 0; i < array.size(); ++i) {
    values.push_back(
        integer_of(std::string(key) + " (value " + std::to_string(i + 1) + ")", array[i]));
  }
  return values;
}

// A named choice among `names`, which stand for the codes 1, 2, ...
template <typename Choice>
Choice choice_of(std::string_view key, const toml::node& node,
                 std::initializer_list<const char*> names) {
  const std::string name = string_of(key, node);
  int code = 1;
  for (const char* candidate : names) {
    if (name == candidate) return static_cast<Choice>(code);
    ++code;
  }
  std::string expected;
  std::size_t i = 0;
  for (const char* candidate : names) {
    expected += std::string(i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + "\"" +
                candidate + "\"";
    ++i;
  }
  const std::string near = nearest(name, names);
  refuse(key, "\"" + name + "\" is not one of " + expected +
                  (near.empty() ? "" : " (did you mean \"" + near + "\"?)"));
}

// times and survival of a curve table; either may be missing, which
// check_keyed_design reports.
KeyedCurve curve_of(const toml::table& table, std::string_view path) {
  KeyedCurve curve;
  if (const toml::node* times = table.get("times")) curve.times = reals_of(dotted(path, "times"), *times);
  if (const toml::node* survival = table.get("survival")) {
    curve.survival = reals_of(dotted(path, "survival"), *survival);
  }
  return curve;
}

KeyedCrossover crossover_of(const toml::node& node, std::string_view path) {
  const toml::table& table = table_of(path, node);
  check_keys(table, path);
  KeyedCrossover list;
  if (const toml::node* times = table.get("times")) list.times = reals_of(dotted(path, "times"), *times);
  if (const toml::node* probabilities = table.get("probabilities")) {
    list.probabilities = reals_of(dotted(path, "probabilities"), *probabilities);
  }
  return list;
}

void read_looks(const toml::table& looks, KeyedDesign& k) {
  check_keys(looks, "looks");
  if (const toml::node* node = looks.get("times")) k.look_times = reals_of("looks.times", *node);
  if (const toml::node* node = looks.get("events")) k.look_events = integers_of("looks.events", *node);
  if (const toml::node* node = looks.get("max_time")) k.max_time = real_of("looks.max_time", *node);
}

void read_statistics(const toml::node& node, KeyedDesign& k) {
  const toml::array& tables = list_of("statistics", node);
  for (std::size_t j = 0; j < tables.size(); ++j) {
    const std::string path = "statistics";
    const auto* table = tables[j].as_table();
    if (table == nullptr) {
      refuse_type("statistics (entry " + std::to_string(j + 1) + ")", tables[j],
                  "a table of rho and tau ([[statistics]])");
    }
    check_keys(*table, path);
    KeyedStatistic statistic;
    if (const toml::node* rho = table->get("rho")) statistic.rho = real_of("statistics.rho", *rho);
    if (const toml::node* tau = table->get("tau")) statistic.tau = real_of("statistics.tau", *tau);
    k.statistics.push_back(statistic);
  }
}

void read_boundary(const toml::table& boundary, KeyedDesign& k) {
  check_keys(boundary, "boundary");
  if (const toml::node* node = boundary.get("method")) {
    k.method = choice_of<BoundaryMethod>("boundary.method", *node,
                                         {"error-split", "spending", "haybittle", "critical-values"});
  }
  if (const toml::node* node = boundary.get("spending")) {
    k.spending = choice_of<SpendingFunction>("boundary.spending", *node,
                                             {"obrien-fleming", "pocock", "linear", "siegmund"});
  }
  if (const toml::node* node = boundary.get("b")) k.b = real_of("boundary.b", *node);
  if (const toml::node* node = boundary.get("error_split")) {
    k.error_split = reals_of("boundary.error_split", *node);
  }
  if (const toml::node* node = boundary.get("critical_values")) {
    k.critical_values = reals_of("boundary.critical_values", *node);
  }
}

void read_control(const toml::table& control, KeyedDesign& k) {
  check_keys(control, "control");
  if (control.contains("times") || control.contains("survival")) k.control = curve_of(control, "control");
  if (const toml::node* node = control.get("median")) k.control_median = real_of("control.median", *node);
}

void read_treatment(const toml::table& treatment, KeyedDesign& k) {
  check_keys(treatment, "treatment");
  if (const toml::node* node = treatment.get("hazard_ratio")) {
    k.hazard_ratio = real_of("treatment.hazard_ratio", *node);
  }
  if (const toml::node* node = treatment.get("hazard_ratios")) {
    k.hazard_ratios = reals_of("treatment.hazard_ratios", *node);
  }
  if (const toml::node* node = treatment.get("cuts")) k.cuts = reals_of("treatment.cuts", *node);
  if (treatment.contains("times") || treatment.contains("survival")) {
    k.treatment = curve_of(treatment, "treatment");
  }
}

void read_accrual(const toml::table& accrual, KeyedDesign& k) {
  check_keys(accrual, "accrual");
  if (const toml::node* node = accrual.get("period")) k.accrual_period = real_of("accrual.period", *node);
  if (const toml::node* node = accrual.get("subjects")) k.subjects = integer_of("accrual.subjects", *node);
  if (const toml::node* node = accrual.get("rate")) k.accrual_rate = real_of("accrual.rate", *node);
}

void read_censoring(const toml::table& censoring, KeyedDesign& k) {
  check_keys(censoring, "censoring");
  if (const toml::node* node = censoring.get("control")) {
    const toml::table& table = table_of("censoring.control", *node);
    check_keys(table, "censoring.control");
    k.control_censoring = curve_of(table, "censoring.control");
  }
  if (const toml::node* node = censoring.get("treatment")) {
    const toml::table& table = table_of("censoring.treatment", *node);
    check_keys(table, "censoring.treatment");
    k.treatment_censoring = curve_of(table, "censoring.treatment");
  }
}

void read_crossover(const toml::table& crossover, KeyedDesign& k) {
  check_keys(crossover, "crossover");
  if (const toml::node* node = crossover.get("drop_in")) {
    k.drop_in = crossover_of(*node, "crossover.drop_in");
  }
  if (const toml::node* node = crossover.get("drop_out")) {
    k.drop_out = crossover_of(*node, "crossover.drop_out");
  }
}

// --- Writing --------------------------------------------------------------

// A real as TOML: the shortest form, with ".0" where it would otherwise
// read as a whole number.
std::string toml_real(float value) {
  std::string text = shortest_real(value);
  if (text.find_first_of(".eE") == std::string::npos) text += ".0";
  return text;
}

std::string toml_reals(const std::vector<float>& values) {
  std::string text = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += ", ";
    text += toml_real(values[i]);
  }
  return text + "]";
}

std::string toml_string(const std::string& value) {
  std::string text = "\"";
  for (const char c : value) {
    if (c == '"' || c == '\\') text += '\\';
    text += c;
  }
  return text + "\"";
}

struct TomlText {
  std::string text;
  void line(const std::string& content) { text += content + "\n"; }
  void table(const std::string& name) {
    if (!text.empty()) text += "\n";
    text += "[" + name + "]\n";
  }
};

void write_curve(TomlText& toml, const KeyedCurve& curve) {
  toml.line("times = " + toml_reals(curve.times));
  toml.line("survival = " + toml_reals(curve.survival));
}

void write_crossover(TomlText& toml, const char* name, const KeyedCrossover& list) {
  toml.line(std::string(name) + " = { times = " + toml_reals(list.times) +
            ", probabilities = " + toml_reals(list.probabilities) + " }");
}

// toml++ 3.3 reaches a path it marks unreachable (undefined behaviour) when
// it tests a character outside ASCII for white space, which it does for
// such a character anywhere but in a string or a comment; TOML allows none
// there. Such input is refused here, before the parser sees it, naming the
// line and column (counted in characters, as the parser's messages are).
void refuse_non_ascii_outside_strings(std::string_view text) {
  enum class State { kNormal, kComment, kBasic, kLiteral, kMultiBasic, kMultiLiteral };
  State state = State::kNormal;
  int line = 1;
  int column = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) != 0x80) ++column;
    if (c == '\n') {
      ++line;
      column = 0;
      if (state != State::kMultiBasic && state != State::kMultiLiteral) state = State::kNormal;
      continue;
    }
    const std::string_view rest = text.substr(i);
    switch (state) {
      case State::kNormal:
        if (c >= 0x80) {
          throw InputError("line " + std::to_string(line) + ", column " + std::to_string(column) +
                           ": a character outside ASCII is allowed only in a string or a "
                           "comment (TOML syntax)");
        }
        if (c == '#') {
          state = State::kComment;
        } else if (rest.starts_with("\"\"\"")) {
          state = State::kMultiBasic;
          i += 2;
          column += 2;
        } else if (rest.starts_with("'''")) {
          state = State::kMultiLiteral;
          i += 2;
          column += 2;
        } else if (c == '"') {
          state = State::kBasic;
        } else if (c == '\'') {
          state = State::kLiteral;
        }
        break;
      case State::kComment:
        break;
      case State::kBasic:
      case State::kMultiBasic:
        if (c == '\\' && i + 1 < text.size() && text[i + 1] != '\n') {
          ++i;  // the escaped character (an escaped line end is handled above)
          if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++column;
        } else if (state == State::kBasic && c == '"') {
          state = State::kNormal;
        } else if (state == State::kMultiBasic && rest.starts_with("\"\"\"")) {
          state = State::kNormal;
          i += 2;
          column += 2;
        }
        break;
      case State::kLiteral:
        if (c == '\'') state = State::kNormal;
        break;
      case State::kMultiLiteral:
        if (rest.starts_with("'''")) {
          state = State::kNormal;
          i += 2;
          column += 2;
        }
        break;
    }
  }
}

}  // namespace

toml::table parse_toml_design(std::string_view text) {
  refuse_non_ascii_outside_strings(text);
  try {
    return toml::parse(text);
  } catch (const toml::parse_error& error) {
    const toml::source_position at = error.source().begin;
    throw InputError("line " + std::to_string(at.line) + ", column " + std::to_string(at.column) +
                     ": " + std::string(error.description()) + " (TOML syntax)");
  }
}

KeyedDesign keyed_design_from_table(const toml::table& table) {
  KeyedDesign k;
  check_keys(table, "");
  if (const toml::node* node = table.get("report")) k.report = string_of("report", *node);
  if (const toml::node* node = table.get("seed")) k.seed = integer_of("seed", *node);
  if (const toml::node* node = table.get("trials")) k.trials = integer_of("trials", *node);
  if (const toml::node* node = table.get("alpha")) k.alpha = real_of("alpha", *node);
  if (const toml::node* node = table.get("sides")) k.sides = integer_of("sides", *node);
  if (const toml::node* node = table.get("looks")) read_looks(table_of("looks", *node), k);
  if (const toml::node* node = table.get("statistics")) read_statistics(*node, k);
  if (const toml::node* node = table.get("boundary")) read_boundary(table_of("boundary", *node), k);
  if (const toml::node* node = table.get("control")) read_control(table_of("control", *node), k);
  if (const toml::node* node = table.get("treatment")) {
    read_treatment(table_of("treatment", *node), k);
  }
  if (const toml::node* node = table.get("accrual")) read_accrual(table_of("accrual", *node), k);
  if (const toml::node* node = table.get("censoring")) {
    read_censoring(table_of("censoring", *node), k);
  }
  if (const toml::node* node = table.get("crossover")) {
    read_crossover(table_of("crossover", *node), k);
  }
  return k;
}

KeyedDesign keyed_design_from_toml(std::string_view text) {
  return keyed_design_from_table(parse_toml_design(text));
}

std::string toml_design_text(const KeyedDesign& k, const std::vector<std::string>& comments) {
  TomlText toml;
  toml.line("# gsdsim keyed design (see the README, \"Keyed design files\")");
  for (const std::string& comment : comments) toml.line("# " + comment);
  toml.line("report = " + toml_string(k.report));
  if (k.seed) toml.line("seed = " + std::to_string(*k.seed));
  if (k.trials) toml.line("trials = " + std::to_string(*k.trials));
  if (k.alpha) toml.line("alpha = " + toml_real(*k.alpha));
  if (k.sides) toml.line("sides = " + std::to_string(*k.sides));

  if (!k.look_times.empty() || !k.look_events.empty() || k.max_time) {
    toml.table("looks");
    if (!k.look_times.empty()) toml.line("times = " + toml_reals(k.look_times));
    if (!k.look_events.empty()) {
      std::string events = "[";
      for (std::size_t i = 0; i < k.look_events.size(); ++i) {
        events += (i > 0 ? ", " : "") + std::to_string(k.look_events[i]);
      }
      toml.line("events = " + events + "]");
    }
    if (k.max_time) toml.line("max_time = " + toml_real(*k.max_time));
  }

  for (const KeyedStatistic& statistic : k.statistics) {
    toml.text += "\n[[statistics]]\n";
    toml.line("rho = " + toml_real(statistic.rho));
    toml.line("tau = " + toml_real(statistic.tau));
  }

  if (k.method || k.spending || k.b || !k.error_split.empty() || !k.critical_values.empty()) {
    toml.table("boundary");
    if (k.method) toml.line("method = \"" + std::string(boundary_method_name(*k.method)) + "\"");
    if (k.spending) {
      toml.line("spending = \"" + std::string(spending_function_name(*k.spending)) + "\"");
    }
    if (k.b) toml.line("b = " + toml_real(*k.b));
    if (!k.error_split.empty()) toml.line("error_split = " + toml_reals(k.error_split));
    if (!k.critical_values.empty()) toml.line("critical_values = " + toml_reals(k.critical_values));
  }

  if (k.control || k.control_median) {
    toml.table("control");
    if (k.control) write_curve(toml, *k.control);
    if (k.control_median) toml.line("median = " + toml_real(*k.control_median));
  }

  if (k.hazard_ratio || !k.hazard_ratios.empty() || !k.cuts.empty() || k.treatment) {
    toml.table("treatment");
    if (k.hazard_ratio) toml.line("hazard_ratio = " + toml_real(*k.hazard_ratio));
    if (!k.hazard_ratios.empty()) toml.line("hazard_ratios = " + toml_reals(k.hazard_ratios));
    if (!k.cuts.empty()) toml.line("cuts = " + toml_reals(k.cuts));
    if (k.treatment) write_curve(toml, *k.treatment);
  }

  if (k.accrual_period || k.subjects || k.accrual_rate) {
    toml.table("accrual");
    if (k.accrual_period) toml.line("period = " + toml_real(*k.accrual_period));
    if (k.subjects) toml.line("subjects = " + std::to_string(*k.subjects));
    if (k.accrual_rate) toml.line("rate = " + toml_real(*k.accrual_rate));
  }

  if (k.control_censoring) {
    toml.table("censoring.control");
    write_curve(toml, *k.control_censoring);
  }
  if (k.treatment_censoring) {
    toml.table("censoring.treatment");
    write_curve(toml, *k.treatment_censoring);
  }

  if (k.drop_in || k.drop_out) {
    toml.table("crossover");
    if (k.drop_in) write_crossover(toml, "drop_in", *k.drop_in);
    if (k.drop_out) write_crossover(toml, "drop_out", *k.drop_out);
  }
  return toml.text;
}

}  // namespace gsd
