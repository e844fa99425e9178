#pragma once
// The rule of a catalogue that picks the form of a text for a count: the C expression of
// the header's "Plural-Forms: nplurals=N; plural=EXPR;" line, parsed once and evaluated
// without any way to fail, loop or run out of stack on a hostile catalogue.
#include <optional>
#include <string_view>
#include <vector>

namespace ravelin::platform {

class PluralRule {
 public:
  // English's rule: the first form for one, the second for every other count.
  PluralRule();

  // The rule of a catalogue header; nothing when the header has no Plural-Forms line or
  // its expression is not one that the grammar below accepts.
  static std::optional<PluralRule> fromHeader(std::string_view header);
  // An expression over n with the operators of C: ?:, ||, &&, == != < > <= >=, + -, * / %,
  // !, parentheses and decimal numbers. Nothing when it does not parse.
  static std::optional<PluralRule> parse(std::string_view expression, unsigned long forms);

  unsigned long forms() const { return forms_; }
  // The index of the form for count, below forms(): an index that the expression puts out
  // of range, or a division by zero, gives the first form, as gettext does.
  unsigned long formFor(unsigned long count) const;

 private:
  enum class Op : unsigned char {
    Number,
    N,
    Not,
    Mul,
    Div,
    Mod,
    Add,
    Sub,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Equal,
    NotEqual,
    And,
    Or,
    Choice
  };
  struct Node {
    Op op;
    unsigned long value;  // Number
    int a, b, c;          // operands, indices into nodes_
  };
  class Parser;

  unsigned long evaluate(int node, unsigned long n, bool& failed) const;

  std::vector<Node> nodes_;
  int root_ = 0;
  unsigned long forms_ = 2;
};

}  // namespace ravelin::platform
