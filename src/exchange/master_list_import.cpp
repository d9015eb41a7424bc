#include "exchange/master_list_import.h"

#include <array>
#include <cstddef>
#include <exception>

#include "db/record_set.h"
#include "db/schema_names.h"
#include "exchange/import_names.h"
#include "text/stopped.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

// The field each non-title code sets, by code (2 to 11).
constexpr std::array<std::string_view, 12> kFieldOfCode = {
    "",
    "",
    kFrequencyField,
    kIssnField,
    kEIssnField,
    kAddressField,
    kScienceCitationIndexField,
    kScienceCitationIndexExpandedField,
    kEmergingSourcesCitationIndexField,
    kArtsHumanitiesCitationIndexField,
    kFirstCurrentContentsField,
    kSecondCurrentContentsField,
};

constexpr std::size_t kTitle = 0;
constexpr std::size_t kCategory = 1;
constexpr std::size_t kSubject = 2;
// The import names category and subject with capitals: the names it reports when a field is missing.
constexpr std::array<std::string_view, 3> kTitleFields = {kTitleField, "Category", "Subject"};

// Sets fields by name, each name looked up once per import: a master list sets hundreds of thousands.
class FieldSetter {
public:
    explicit FieldSetter(RecordSet& journals) : journals_(journals) {}

    void set(std::string_view name, int& index, std::string_view value) {
        if (index < 0) index = find(name);
        // Not found: setting by name reports the missing field as the record set words it.
        if (index < 0) {
            journals_.setFieldAsString(name, value);
        } else {
            journals_.setFieldAsString(index, value);
        }
    }

private:
    int find(std::string_view name) const {
        const int fields = journals_.fieldCount();
        for (int i = 0; i < fields; ++i) {
            if (sameName(journals_.field(i).name, name)) return i;
        }
        return -1;
    }

    RecordSet& journals_;
};

// Cancels the record an import was filling when the import ends by an error: left pending, it would be
// posted later by an unrelated action, and again by the retry the error message invites.
class PendingRecordGuard {
public:
    PendingRecordGuard(RecordSet& journals, const std::int64_t& appended)
        : journals_(journals), appended_(appended), exceptions_(std::uncaught_exceptions()) {}
    PendingRecordGuard(const PendingRecordGuard&) = delete;
    PendingRecordGuard& operator=(const PendingRecordGuard&) = delete;
    ~PendingRecordGuard() {
        if (appended_ > 0 && std::uncaught_exceptions() > exceptions_) journals_.cancel();
    }

private:
    RecordSet& journals_;
    const std::int64_t& appended_;
    int exceptions_;
};

}  // namespace

std::int64_t importMasterList(LineSource& lines, RecordSet& journals, ImportLineClassifier& classifier,
                              std::string_view category, std::string_view subject) {
    checkImportNames(category, subject);
    classifier.ClearFlags();
    std::int64_t count = 0;
    const PendingRecordGuard guard(journals, count);
    // Records travel ahead of the server's answers; each is still its own commit.
    PostBatch batch(journals);
    FieldSetter setter(journals);
    std::array<int, kTitleFields.size()> titleIndex;
    std::array<int, kFieldOfCode.size()> codeIndex;
    titleIndex.fill(-1);
    codeIndex.fill(-1);
    std::string_view line;
    while (lines.nextLine(line)) {
        const ClassifiedLine classified = classifier.ClassifyImportLine(line);
        // Between records only, so a stop leaves what a kill would.
        if (classified.code == ImportCode::Title) stopIfRequested();
        switch (classified.code) {
            case ImportCode::NotRecognised:
                break;
            case ImportCode::Title:
                // Append posts the record the previous title line started.
                journals.append();
                ++count;
                setter.set(kTitleFields[kTitle], titleIndex[kTitle], classified.text);
                setter.set(kTitleFields[kCategory], titleIndex[kCategory], category);
                setter.set(kTitleFields[kSubject], titleIndex[kSubject], subject);
                break;
            default: {
                const auto code = static_cast<std::size_t>(classified.code);
                setter.set(kFieldOfCode[code], codeIndex[code], classified.text);
                break;
            }
        }
    }
    if (count > 0) journals.post();
    batch.finish();
    return count;
}

}  // namespace lumaref
