#pragma once

#include <string_view>

namespace lumaref {

// Lines of text, one at a time, without their line breaks.
class LineSource {
public:
    virtual ~LineSource() = default;
    // The next line, valid until the next call; false at the end of the input.
    virtual bool nextLine(std::string_view& line) = 0;
};

}  // namespace lumaref
