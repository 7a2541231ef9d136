#pragma once
#include <string>
#include <string_view>

namespace qv {

// Streams a file into a temporary file in the target's folder and renames it over the target
// on Commit, so a failure never leaves a half-written file in place of a good one. A symbolic
// link is written through: the file it leads to is replaced and the link stays. A target that
// exists but is no regular file (a FIFO, a terminal, a device) is written into directly, as
// renaming over it would replace the device node rather than write to it. Keeps the errno of
// the first failure for the message the user sees.
class AtomicWriter {
public:
    explicit AtomicWriter(std::string target);
    ~AtomicWriter();   // an uncommitted temporary file is removed
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;

    bool Open();
    bool Write(std::string_view bytes);
    bool Commit();
    int ErrorCode() const { return error_; }

private:
    bool Flush();
    void Discard();

    std::string target_;
    std::string temp_;   // empty when writing into the target directly
    std::string buffer_;
    int fd_ = -1;
    int error_ = 0;
};

}  // namespace qv
