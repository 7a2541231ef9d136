#pragma once
// The reader thread's access to file data, behind an interface so that tests can inject
// failures, short reads and stalls.

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

namespace qv {

// Open flags of one batch: the sequential hint is always given; NoCache adds the cache bypass.
enum : uint32_t {
    kOpenSequential = 1u,
    kOpenNoCache = 2u,
};

uint32_t ReadOpenFlags(bool noCache);

// One open file at a time. Every call returns 0 or an errno value.
class FileSource {
public:
    virtual ~FileSource() = default;
    virtual int Open(const std::string& path, uint32_t openFlags) = 0;
    virtual int Seek(int64_t position) = 0;
    // Reads up to length bytes at the current position, stopping once at least `enough` bytes
    // have come or at the end of the file (so got < enough only at the end). The position is
    // left unchanged: the reader seeks before each read.
    virtual int Read(void* buffer, uint32_t length, uint32_t enough, uint32_t& got) = 0;
    virtual void Close() = 0;
};

// Plain POSIX reading: O_RDONLY | O_CLOEXEC, posix_fadvise(SEQUENTIAL), O_DIRECT with
// kOpenNoCache, falling back to cached reads where the file system refuses O_DIRECT.
class PosixFileSource : public FileSource {
public:
    ~PosixFileSource() override;
    int Open(const std::string& path, uint32_t openFlags) override;
    int Seek(int64_t position) override;
    int Read(void* buffer, uint32_t length, uint32_t enough, uint32_t& got) override;
    void Close() override;

    bool DirectIo() const { return direct_; }

protected:
    // The system calls, replaceable so that tests can play a file system without O_DIRECT.
    virtual int SysOpen(const char* path, int flags);
    virtual ssize_t SysPread(int fd, void* buffer, size_t length, off_t offset);

private:
    int fd_ = -1;
    bool direct_ = false;
    int64_t position_ = 0;
};

std::unique_ptr<FileSource> MakePosixFileSource();

}  // namespace qv
