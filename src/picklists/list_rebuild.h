#pragma once

#include <string>
#include <string_view>
#include <vector>

// The journal fields the pick lists are made of: kCategoryField, kSubjectField, kFrequencyField.
#include "db/schema_names.h"

namespace lumaref {

class PickLists;
class RecordSet;

enum class EmptyValues { Collect, Skip };

// Walks the record set from its current row to its end (the cursor stays on the last row), collecting
// the distinct values of `field` in order of first appearance, compared byte for byte.
std::vector<std::string> collectToEnd(RecordSet& records, std::string_view field, EmptyValues empty);

// The category and frequency rebuilds' walk: filtering switched off (its text kept), then every row
// from the first to the last.
std::vector<std::string> collectFromEveryRow(RecordSet& records, std::string_view field, EmptyValues empty);

// The filter that narrows the journals to one category: category ='<category, quotes doubled>'.
std::string subjectFilterText(std::string_view category);

// For each category in order: narrows the journals to it, collects their subjects (empty ones
// included) and writes them as the category's subject list. The first failure ends the run, leaving
// the journals filtered to that category.
void rebuildSubjectLists(RecordSet& journals, PickLists& lists, const std::vector<std::string>& categories);

}  // namespace lumaref
