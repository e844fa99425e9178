#include "platform/plural_rule.h"

#include <cctype>
#include <string>

namespace ravelin::platform {

namespace {

// Bounds the parser's recursion and the tree's depth: real rules are a few dozen
// characters long and nest a handful of levels.
constexpr std::size_t kMaxExpressionLength = 512;
constexpr int kMaxNesting = 32;
// More forms than any language has; a larger count in a header is taken as damage.
constexpr unsigned long kMaxForms = 16;

}  // namespace

// Recursive descent over the grammar of C's operators, from the loosest binding (?:) to
// the tightest (!, numbers, n, parentheses). Each level returns the index of its node, or
// -1 when the text does not parse.
class PluralRule::Parser {
 public:
  Parser(std::string_view text, std::vector<Node>& nodes) : text_(text), nodes_(nodes) {}

  int parseAll() {
    const int root = choice();
    skipSpace();
    return pos_ == text_.size() ? root : -1;
  }

 private:
  int choice() {
    if (++depth_ > kMaxNesting) return -1;
    int result = binary(0);
    if (result >= 0 && take("?")) {
      const int yes = choice();
      const int no = yes >= 0 && take(":") ? choice() : -1;
      result = no >= 0 ? add(Op::Choice, result, yes, no) : -1;
    }
    --depth_;
    return result;
  }

  // The binary levels, loosest first; each level's operators are left-associative.
  struct Level {
    const char* symbols[4];
    Op ops[4];
  };
  static constexpr Level kLevels[] = {
      {{"||"}, {Op::Or}},
      {{"&&"}, {Op::And}},
      {{"==", "!="}, {Op::Equal, Op::NotEqual}},
      // The two-character operators before their one-character beginnings.
      {{"<=", ">=", "<", ">"}, {Op::LessEqual, Op::GreaterEqual, Op::Less, Op::Greater}},
      {{"+", "-"}, {Op::Add, Op::Sub}},
      {{"*", "/", "%"}, {Op::Mul, Op::Div, Op::Mod}},
  };

  int binary(std::size_t level) {
    if (level == std::size(kLevels)) return unary();
    int left = binary(level + 1);
    while (left >= 0) {
      const Level& l = kLevels[level];
      int found = -1;
      for (int i = 0; i < 4 && l.symbols[i]; ++i) {
        // take() matches whole operators only: "<" is not the start of "<=".
        if (take(l.symbols[i])) {
          found = i;
          break;
        }
      }
      if (found < 0) break;
      const int right = binary(level + 1);
      left = right >= 0 ? add(l.ops[found], left, right) : -1;
    }
    return left;
  }

  int unary() {
    if (take("!")) {
      if (++depth_ > kMaxNesting) return -1;
      const int operand = unary();
      --depth_;
      return operand >= 0 ? add(Op::Not, operand) : -1;
    }
    skipSpace();
    if (pos_ < text_.size() && text_[pos_] == 'n') {
      ++pos_;
      return add(Op::N);
    }
    if (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      unsigned long value = 0;
      while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
        if (value > 100000000) return -1;  // no rule needs numbers this large
        value = value * 10 + static_cast<unsigned long>(text_[pos_++] - '0');
      }
      const int node = add(Op::Number);
      nodes_[static_cast<std::size_t>(node)].value = value;
      return node;
    }
    if (take("(")) {
      const int inner = choice();
      return inner >= 0 && take(")") ? inner : -1;
    }
    return -1;
  }

  // Takes symbol when it comes next and is not the start of a longer operator.
  bool take(std::string_view symbol) {
    skipSpace();
    if (text_.substr(pos_, symbol.size()) != symbol) return false;
    const char after = pos_ + symbol.size() < text_.size() ? text_[pos_ + symbol.size()] : '\0';
    if ((symbol == "!" || symbol == "<" || symbol == ">") && after == '=') return false;
    pos_ += symbol.size();
    return true;
  }

  void skipSpace() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }

  int add(Op op, int a = -1, int b = -1, int c = -1) {
    nodes_.push_back({op, 0, a, b, c});
    return static_cast<int>(nodes_.size() - 1);
  }

  std::string_view text_;
  std::vector<Node>& nodes_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

PluralRule::PluralRule()
    : nodes_{{Op::N, 0, -1, -1, -1}, {Op::Number, 1, -1, -1, -1}, {Op::NotEqual, 0, 0, 1, -1}},
      root_(2) {}

std::optional<PluralRule> PluralRule::parse(std::string_view expression, unsigned long forms) {
  if (expression.size() > kMaxExpressionLength || forms == 0 || forms > kMaxForms)
    return std::nullopt;
  PluralRule rule;
  rule.nodes_.clear();
  rule.root_ = Parser(expression, rule.nodes_).parseAll();
  if (rule.root_ < 0) return std::nullopt;
  rule.forms_ = forms;
  return rule;
}

std::optional<PluralRule> PluralRule::fromHeader(std::string_view header) {
  constexpr std::string_view kField = "Plural-Forms:";
  std::size_t start = 0;
  while (start < header.size()) {
    std::size_t end = header.find('\n', start);
    if (end == std::string_view::npos) end = header.size();
    const std::string_view line = header.substr(start, end - start);
    start = end + 1;
    if (!line.starts_with(kField)) continue;
    // "nplurals=3; plural=EXPR;" in either order, the last ';' optional.
    const std::size_t count = line.find("nplurals=");
    const std::size_t plural =
        line.find("plural=", count == std::string_view::npos ? 0 : count + 9);
    if (count == std::string_view::npos || plural == std::string_view::npos) return std::nullopt;
    unsigned long forms = 0;
    for (std::size_t i = count + 9;
         i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) {
      forms = forms * 10 + static_cast<unsigned long>(line[i] - '0');
      if (forms > kMaxForms) return std::nullopt;
    }
    std::string_view expression = line.substr(plural + 7);
    expression = expression.substr(0, expression.find(';'));
    return parse(expression, forms);
  }
  return std::nullopt;
}

unsigned long PluralRule::formFor(unsigned long count) const {
  bool failed = false;
  const unsigned long index = evaluate(root_, count, failed);
  return failed || index >= forms_ ? 0 : index;
}

unsigned long PluralRule::evaluate(int node, unsigned long n, bool& failed) const {
  const Node& x = nodes_[static_cast<std::size_t>(node)];
  switch (x.op) {
    case Op::Number:
      return x.value;
    case Op::N:
      return n;
    case Op::Not:
      return !evaluate(x.a, n, failed);
    case Op::And:
      return evaluate(x.a, n, failed) && evaluate(x.b, n, failed);
    case Op::Or:
      return evaluate(x.a, n, failed) || evaluate(x.b, n, failed);
    case Op::Choice:
      return evaluate(x.a, n, failed) ? evaluate(x.b, n, failed) : evaluate(x.c, n, failed);
    default:
      break;
  }
  const unsigned long a = evaluate(x.a, n, failed);
  const unsigned long b = evaluate(x.b, n, failed);
  switch (x.op) {
    case Op::Mul:
      return a * b;
    case Op::Div:
    case Op::Mod:
      if (b == 0) {
        failed = true;
        return 0;
      }
      return x.op == Op::Div ? a / b : a % b;
    case Op::Add:
      return a + b;
    case Op::Sub:
      return a - b;
    case Op::Less:
      return a < b;
    case Op::Greater:
      return a > b;
    case Op::LessEqual:
      return a <= b;
    case Op::GreaterEqual:
      return a >= b;
    case Op::Equal:
      return a == b;
    default:
      return a != b;  // NotEqual
  }
}

}  // namespace ravelin::platform
