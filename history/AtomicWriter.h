#pragma once
#include <string>
#include <string_view>

namespace qv {

// Streams a file into a temporary file in the target's folder and renames it over the
// target on Commit, so a failure never leaves a half-written file in place of a good one.
// Keeps the errno of the first failure for the message the user sees.
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
    std::string temp_;
    std::string buffer_;
    int fd_ = -1;
    int error_ = 0;
};

}  // namespace qv
