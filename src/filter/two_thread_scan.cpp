#include "filter/two_thread_scan.h"

#include <exception>
#include <optional>
#include <system_error>
#include <thread>

namespace lumaref {

void runOnTwoThreads(const std::function<void()>& here, const std::function<void()>& there) {
    std::exception_ptr failure;
    {
        std::optional<std::jthread> helper;
        try {
            helper.emplace([&] {
                try {
                    there();
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
        }
        here();  // a failure here still joins the helper first, on leaving this block
        if (!helper) there();
    }
    if (failure) std::rethrow_exception(failure);
}

void scanOnTwoThreads(std::size_t count, std::size_t split, const RangeScan& scan,
                      std::vector<std::uint32_t>& rows) {
    if (split == 0 || split >= count) {
        scan(0, count, rows);
        return;
    }
    std::vector<std::uint32_t> upper;
    runOnTwoThreads([&] { scan(0, split, rows); }, [&] { scan(split, count, upper); });
    rows.insert(rows.end(), upper.begin(), upper.end());
}

}  // namespace lumaref
