#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace lumaref {

class Connection;
class RecordSet;

// Brings the open record sets of `connection` up to what other programs committed since the last
// time (see Store::othersChanges and RecordSet::refresh). Returns, for each record set in the order
// given, how many of its rows differ; nullopt when the connection is closed or a record set is being
// edited or appended to, and nothing was asked.
std::optional<std::vector<std::size_t>> refreshRecordSets(Connection& connection,
                                                          std::span<RecordSet* const> recordSets);

}  // namespace lumaref
