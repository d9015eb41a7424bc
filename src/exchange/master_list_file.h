#pragma once

#include <string>
#include <string_view>

#include "exchange/line_source.h"

namespace lumaref {

// The text-file error for a system error number: "File not found", "Invalid filename" (the path's
// folder is missing or the name cannot be one), "Too many open files", "File access denied", or
// "I/O error <number>" for any other.
std::string textFileErrorText(int errnoValue, std::string_view path);

// Reads a master-list file whole as text (text_file.h: a Ctrl-Z ends it; UTF-8, UTF-16 after its
// byte-order mark, or Windows-1252, decided for the whole file, since one program wrote it in one
// encoding), the path taken as given (relative to the current directory). Throws
// Error(textFileErrorText(...)) when it cannot be opened or read, and an Error naming the file and the
// reason when it is not text.
std::string readMasterListFile(const std::string& path);

// The lines of a master list's text (decoded as readMasterListFile does). A line ends at a line feed;
// carriage returns are dropped wherever they stand (before the line feed they are part of the break,
// elsewhere lone ones); the last line is read also without a break.
class MasterListLines : public LineSource {
public:
    explicit MasterListLines(std::string text);
    bool nextLine(std::string_view& line) override;

private:
    std::string text_;
    std::size_t next_ = 0;
    std::string withoutReturns_;
};

}  // namespace lumaref
