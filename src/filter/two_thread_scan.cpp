#include "filter/two_thread_scan.h"

#include <exception>
#include <optional>
#include <system_error>
#include <thread>

namespace lumaref {

void scanOnTwoThreads(std::size_t count, std::size_t split, const RangeScan& scan,
                      std::vector<std::uint32_t>& rows) {
    if (split == 0 || split >= count) {
        scan(0, count, rows);
        return;
    }
    std::vector<std::uint32_t> upper;
    std::exception_ptr failure;
    {
        std::optional<std::jthread> helper;
        try {
            helper.emplace([&] {
                try {
                    scan(split, count, upper);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            scan(0, count, rows);
            return;
        }
        scan(0, split, rows);
    }
    if (failure) std::rethrow_exception(failure);
    rows.insert(rows.end(), upper.begin(), upper.end());
}

}  // namespace lumaref
