#include "design/design_template.h"

#include <string_view>

#include "design/design_layout.h"

namespace gsd {

namespace {

// One value line of the template with the comment lines that stand before it.
struct TemplateBlock {
  const char* comments;  // one comment line per '\n'-terminated piece
  const char* value;
};

// One block per value item of the layout, in its order; the comment lines
// keep every value line at its position (checked below).
constexpr TemplateBlock kBlocks[] = {
    {"* gsdsim design file: every line's position matters.\n"
     "* Comment lines (like this one) are read and ignored, whatever they hold.\n"
     "* Value lines hold free-form values separated by blanks or commas;\n"
     "* text after the last value a line needs is ignored.\n"
     "*\n"
     "* Line 11: boundary method\n"
     "*   1 = split e(1..K) of the type-I error given (line 49)\n"
     "*   2 = Lan-DeMets use function (line 70)\n"
     "*   3 = Haybittle-type constant b at interim looks (line 54)\n"
     "*   4 = critical values c(1..K) given (line 61)\n",
     "2"},
    {"* Line 14: name of the report file (up to 12 characters),\n"
     "*   created in the current directory\n",
     "design.rpt"},
    {"* Line 17: seed of the random numbers\n"
     "*   (0 = -123457)\n",
     "20261210"},
    {"* Line 20: number of looks K (interim analyses and the final one),\n"
     "*   1 to 15\n",
     "3"},
    {"* Line 23: calendar times of the K looks,\n"
     "*   from the start of accrual\n",
     "12 18 24"},
    {"* Line 26: number of weighted log-rank statistics L,\n"
     "*   1 to 5\n",
     "2"},
    {"* Line 30: rho of each statistic: weight S^rho (1-S)^tau,\n"
     "*   S the pooled survival estimate;\n"
     "*   rho = tau = 0 is the log-rank test\n",
     "0 1"},
    {"* Line 33: tau of each statistic\n"
     "*\n",
     "0 0"},
    {"* Line 37: number of simulated trials\n"
     "*   (0 = 1000)\n"
     "*\n",
     "1000"},
    {"* Line 40: overall type-I error alpha\n"
     "*   (0 = 0.05)\n",
     "0.05"},
    {"* Line 43: sides of the test: 1 one-sided, 2 two-sided\n"
     "*   (0 = 2)\n",
     "2"},
    {"* Line 49: method 1 only: type-I error spent at each look,\n"
     "*   e(1..K); K values are always needed\n"
     "*\n"
     "*\n"
     "*\n",
     "0 0 0"},
    {"* Line 54: the constant b (method 3, and method 2 with\n"
     "*   use function 4); 1 or less = 3\n"
     "*\n"
     "*\n",
     "3"},
    {"* Line 61: method 4 only: critical values c(1..K) on the\n"
     "*   scale of the standardised statistic;\n"
     "*   K values are always needed;\n"
     "*   values below 0.00001 become 1.96\n"
     "*\n"
     "*\n",
     "0 0 0"},
    {"* Line 70: method 2 only: use function\n"
     "*   1 O'Brien & Fleming type\n"
     "*   2 Pocock type\n"
     "*   3 linear\n"
     "*   4 Siegmund (Haybittle-type) with b\n"
     "*   (0 = 1)\n"
     "*\n"
     "*\n",
     "1"},
    {"* Line 74: number of points of the control-group survival curve,\n"
     "*   1 to 20\n"
     "*\n",
     "2"},
    {"* Line 78: times of the points, increasing\n"
     "*   (last time 0 = equally spaced up to 10)\n"
     "*\n",
     "6 12"},
    {"* Line 83: control-group survival probability at each time\n"
     "*   (a last value below 0.00001 becomes 0.00001)\n"
     "*\n"
     "*\n",
     "0.7 0.5"},
    {"* Line 88: accrual period, then accrual rate\n"
     "*   (subjects per time unit; 0 = 10 each);\n"
     "*   rate times period subjects per trial, at most 7100\n"
     "*\n",
     "12 25"},
    {"* Line 93: number of intervals m of the treatment-group\n"
     "*   description, 1 to 20\n"
     "*\n"
     "*\n",
     "2"},
    {"* Line 96: right cut points of the m intervals, increasing\n"
     "*\n",
     "6 12"},
    {"* Line 101: how line 106 is read:\n"
     "*   2 = hazard ratios to the control group per interval\n"
     "*   1 = treatment-group survival probabilities at the cut points\n"
     "*\n",
     "2"},
    {"* Line 106: the m hazard ratios or survival probabilities\n"
     "*\n"
     "*\n"
     "*\n",
     "0.8 0.6"},
    {"* Line 111: number of points of the control group's\n"
     "*   censoring (loss to follow-up) survival curve, 1 to 20\n"
     "*\n"
     "*\n",
     "1"},
    {"* Line 114: times of the points\n"
     "*   (last time 0 = equally spaced up to 20)\n",
     "24"},
    {"* Line 117: probability of not yet being lost to follow-up\n"
     "*\n",
     "0.9"},
    {"* Line 122: the same for the treatment group:\n"
     "*   number of points\n"
     "*\n"
     "*\n",
     "1"},
    {"* Line 125: times of the points\n"
     "*\n",
     "24"},
    {"* Line 128: probability of not yet being lost to follow-up\n"
     "*\n",
     "0.9"},
    {"* Line 133: drop-in (control subjects starting the treatment):\n"
     "*   number of entries K1, 1 to 20\n"
     "*\n"
     "*\n",
     "1"},
    {"* Line 135: times after entry at which a control subject may cross over\n",
     "6"},
    {"* Line 137: probability of crossing over at each of those times\n",
     "0.1"},
    {"* Line 141: drop-out (treatment subjects stopping it):\n"
     "*   number of entries K2, 1 to 20\n"
     "*\n",
     "1"},
    {"* Line 143: times after entry at which a treatment subject may cross over\n",
     "6"},
    {"* Line 145: probability of crossing over at each of those times\n",
     "0.05"},
};

constexpr int line_count(std::string_view text) {
  int count = 0;
  for (const char c : text) count += c == '\n' ? 1 : 0;
  return count;
}

constexpr std::string_view number_text(int n, char* digits) {
  int length = 0;
  char reversed[12] = {};
  for (; n > 0; n /= 10) reversed[length++] = static_cast<char>('0' + n % 10);
  for (int i = 0; i < length; ++i) digits[i] = reversed[length - 1 - i];
  return std::string_view(digits, static_cast<std::size_t>(length));
}

// Each block has as many comment lines as the layout puts before its value
// line, and names that line ("Line 14:").
constexpr bool blocks_follow_the_layout() {
  if (std::size(kBlocks) != std::size(kDesignLayout)) return false;
  for (std::size_t i = 0; i < std::size(kBlocks); ++i) {
    const DesignItem item = kDesignLayout[i].item;
    const std::string_view comments = kBlocks[i].comments;
    if (line_count(comments) != comment_lines_before(item)) return false;
    char digits[12] = {};
    const std::string_view number = number_text(value_line(item), digits);
    const std::size_t at = comments.find("Line ");
    if (at == std::string_view::npos) return false;
    if (comments.substr(at + 5, number.size()) != number) return false;
    if (comments.substr(at + 5 + number.size(), 1) != ":") return false;
  }
  return true;
}
static_assert(blocks_follow_the_layout(), "the template's blocks follow the design layout");

}  // namespace

const char* design_template_comments(int index) { return kBlocks[index].comments; }

std::string design_template() {
  std::string text;
  for (const TemplateBlock& block : kBlocks) {
    text += block.comments;
    text += block.value;
    text += '\n';
  }
  return text;
}

}  // namespace gsd
