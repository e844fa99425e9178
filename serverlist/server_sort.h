#pragma once
#include <cstddef>
#include <optional>

#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// The order of the list's column sort. Column 0 compares the four dotted parts of the IP
// as numbers. Columns 1 to 8 compare two numbers (see ParseNumberText) numerically and
// everything else as text without regard to the case of a to z; negCompare negates the
// text comparisons, so "n/a" follows the numbers, or precedes them with negCompare.
//
// Numbers and other texts are not comparable consistently ("9" < "10" as numbers but
// "10" < "1a" < "9" as texts), so every field belongs to one of three blocks that never
// interleave: texts below every number (the empty text, texts starting with a byte below
// "+"), the numbers, and all other texts. Within a block the order is numeric or textual
// as above; negCompare reverses the text blocks and their order. This is a strict weak
// order on any data, and it is the plain comparison wherever that one is consistent.
//
// descending negates the result. Returns a negative number when a sorts before b, 0 when
// they are equal in this order, a positive number otherwise. A column outside 0..8
// compares everything equal.
int compareServers(const Server& a, const Server& b, int column, bool negCompare, bool descending);

// Sorts all rows once by list.sortColumn, list.sortDescending and list.negCompare. Rows
// that compare equal keep their relative order; the selection stays on its row.
void sortServers(ServerList& list);

// While the list keeps its sort (sortKept), sorts the rows again: rows added or edited go
// to their place in the order instead of staying where they were appended.
void keepSortOrder(ServerList& list);

// A click on a column header: a column other than sortColumn sorts ascending, sortColumn
// itself flips the direction; then sort, and keep the sort from now on. A column outside
// 0..8 is ignored.
void clickColumn(ServerList& list, int column);

// Drag and drop of a row: the row moves in front of the target row, or to the end when
// there is no target (dropped below the last row). Dropping a row onto itself, or onto
// the row right after it, leaves the list as it is. The row keeps its check mark and
// everything else; when it was selected it stays selected. The status text is recounted.
// The list is in the user's order from then on: it no longer keeps its sort.
void moveServer(ServerList& list, size_t row, std::optional<size_t> target);

}  // namespace ravelin::serverlist
