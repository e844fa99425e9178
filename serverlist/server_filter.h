#pragma once
#include <array>
#include <string>
#include <string_view>

#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// A filter property: one field of the record (the index is the field index), its item in
// the filter window, its name in scripts, and whether it compares as a number.
struct FilterProperty {
  const char* windowItem;
  const char* scriptName;
  bool numeric;
};
inline constexpr int kFilterPropertyCount = 9;
inline constexpr std::array<FilterProperty, kFilterPropertyCount> kFilterProperties = {{
    {"IP", "IP", false},
    {"Port", "Port", true},
    {"Name", "Name", false},
    {"Description", "Desc", false},
    {"Ping", "Ping", true},
    {"Users", "Users", true},
    {"Files", "Files", true},
    {"Pref", "Pref", false},
    {"Hist", "Hist", true},
}};

// A filter operator: its item in the filter window and its form in scripts.
enum FilterOp : int { foGreater = 0, foLess = 1, foEqual = 2, foNotEqual = 3 };
struct FilterOperator {
  const char* windowItem;
  const char* scriptOperator;
};
inline constexpr int kFilterOperatorCount = 4;
inline constexpr std::array<FilterOperator, kFilterOperatorCount> kFilterOperators = {{
    {N_("greater than"), ">"},
    {N_("less than"), "<"},
    {N_("equal"), "="},
    {N_("not equal"), "<>"},
}};

// The property index of a script name ("IP", "Port", "Name", "Desc", "Ping", "Users",
// "Files", "Pref", "Hist", exact letter case); -1 for any other text.
int filterPropertyIndex(std::string_view scriptName);
// The operator index of a script operator (">", "<", "=", "<>"); -1 for any other text.
int filterOperatorIndex(std::string_view scriptOperator);

// A filter written as one text, as scripts write it: "<name><operator><value>". The
// operator is the first of "=", "<>", "<", ">" that occurs anywhere in the text (searched
// in this order), the name is the text in front of it and the value the text after it up
// to the first "]"; so "Users>=100" reads as the name "Users>" with "=".
struct FilterExpression {
  int op = -1;        // FilterOp; -1 when the text holds none of the operators
  int property = -1;  // the name's property index; -1 when it names none
  std::string value;
  // Another "<", ">" or "=" touches the operator ("Users>>5", "Users>=100", "IP==1"): a
  // mistyped operator rather than a value ">5" or a name "Users>".
  bool operatorDoubled = false;
};
FilterExpression parseFilterExpression(std::string_view text);

// The wildcard match of the whole text against the whole pattern: "*" matches any run of
// characters (the empty one too), "?" exactly one character, any other character only
// itself, letter case included. One left-to-right scan that remembers only the position
// after the last "*"; no recursion, at most text length times pattern length steps.
bool like(std::string_view text, std::string_view pattern);

// Whether a field passes the filter value under an operator (FilterOp). Numeric fields
// compare as 32-bit integers when both texts parse as such; otherwise, and for text
// fields, the field is equal when it matches the value as a wildcard pattern and else
// compares as text without regard to the case of a to z. negCompare negates the text
// comparison of numeric fields only. An unknown operator gives false.
bool compareField(int op, const std::string& field, const std::string& value, bool numeric,
                  bool negCompare);

// Applies one filter to the list: every checked row whose field (property 0 to 8) does
// not pass compareField under the operator (0 to 3) is unchecked; unchecked rows stay as they
// are. One BatchScope; logs nothing. An unknown property or operator changes nothing.
void filterServers(ServerList& list, int property, int op, const std::string& value);

// The filter window's texts.
inline constexpr const char* kFilterWindowCaption = N_("Ravelin: Filter servers");
inline constexpr const char* kFilterPropertyLabel = N_("Server property:");
inline constexpr const char* kFilterOperatorLabel = N_("Operator:");
inline constexpr const char* kFilterValueLabel = N_("Value (* and ? allowed):");

// The filter window's Filter button: filters the list, logs "Serverlist successfully
// filtered" and asks whether to set one more filter. Returns true for Yes (the window
// then resets its choices), false for No (the window closes).
bool filterFromWindow(ServerList& list, int property, int op, const std::string& value,
                      runtime::AppContext& ctx);

}  // namespace ravelin::serverlist
