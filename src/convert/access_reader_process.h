#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <string>

#include "convert/access_stream.h"

namespace lumaref {

// The limits a reading process runs under: libmdb loops or crashes on some damaged files, and then
// ends with the process instead of with the tool.
struct ReaderLimits {
    std::chrono::milliseconds time{0};
    std::size_t memoryBytes = 0;  // address space added to what the tool already uses
};

// Generous for any whole file: a few seconds, and more with the file's size.
ReaderLimits readerLimitsFor(std::size_t fileBytes);

// Reads an Access file through libmdb in a child process and hands its tables and rows over one by
// one. A loop, a crash or a failure there becomes one Error ("'<path>' is damaged: reading it stopped
// (...)."), and the child is gone when the object is.
class AccessReaderProcess {
public:
    // A stop request (stop_request.h) ends the reading with an Error at once, also while it waits.
    AccessReaderProcess(const std::string& path, const ReaderLimits& limits);
    ~AccessReaderProcess();
    AccessReaderProcess(const AccessReaderProcess&) = delete;
    AccessReaderProcess& operator=(const AccessReaderProcess&) = delete;

    // The next event; a Failed event from the child is thrown as its Error, so this never returns it.
    StreamEvent next();
    const StreamedTable& table() const { return decoder_.table(); }
    const std::vector<AccessValue>& values() const { return decoder_.values(); }

private:
    bool fill();
    [[noreturn]] void stopped(const std::string& reason);
    void end();

    std::string path_;
    ReaderLimits limits_;
    std::chrono::steady_clock::time_point deadline_;
    pid_t child_ = -1;
    int fd_ = -1;
    std::string buffer_;
    std::size_t used_ = 0;
    StreamDecoder decoder_;
};

}  // namespace lumaref
