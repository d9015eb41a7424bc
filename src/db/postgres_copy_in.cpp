#include "db/postgres_copy_in.h"

#include <cstddef>

#include "db/postgres_connection.h"
#include "db/postgres_copy_text.h"
#include "text/error.h"

namespace lumaref {

namespace {

constexpr std::size_t kChunkBytes = 1 << 20;

}  // namespace

void CopyInRows::field(std::optional<std::string_view> value) {
    appendCopyField(chunk_, value, rowStart_);
    rowStart_ = false;
}

void CopyInRows::endRow() {
    chunk_ += '\n';
    rowStart_ = true;
    if (chunk_.size() >= kChunkBytes) flush();
}

void CopyInRows::flush() {
    if (chunk_.empty()) return;
    target_.putCopyData(chunk_);
    chunk_.clear();
}

void copyRowsIn(PgConnection& target, const std::string& sql, const std::function<void(CopyInRows&)>& write) {
    target.copyIn(sql);
    try {
        CopyInRows rows(target);
        write(rows);
        rows.flush();
    } catch (const Error& failure) {
        target.abortCopyIn(failure.what());
        throw;
    }
    target.endCopyIn();
}

}  // namespace lumaref
