#pragma once
// A reader source that fails every read of the files whose path ends with one name, and
// counts the opens of every file.

#include <atomic>
#include <cerrno>
#include <memory>
#include <string>

#include "engine/FileSource.h"

namespace qv {

class FailingSource final : public FileSource {
public:
    explicit FailingSource(std::string failName, std::atomic<int>* opens = nullptr)
        : failName_(std::move(failName)), opens_(opens), real_(MakePosixFileSource()) {}
    int Open(const std::string& path, uint32_t flags) override
    {
        if (opens_) ++*opens_;
        failing_ = !failName_.empty() && path.ends_with(failName_);
        return real_->Open(path, flags);
    }
    int Seek(int64_t position) override { return real_->Seek(position); }
    int Read(void* buffer, uint32_t length, uint32_t enough, uint32_t& got) override
    {
        return failing_ ? EIO : real_->Read(buffer, length, enough, got);
    }
    void Close() override { real_->Close(); }

private:
    std::string failName_;
    std::atomic<int>* opens_;
    std::unique_ptr<FileSource> real_;
    bool failing_ = false;
};

}  // namespace qv
