#pragma once
// A file source for reader threads under test: counts and records opens, and can fail an
// open, fail or shorten reads, or tamper with the bytes read. Shared between the test and the
// sources of every reader thread it starts.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/FileSource.h"

namespace qv::test {

struct SourceControl {
    std::atomic<int> opens{0};
    std::atomic<int> reads{0};
    // Runs on the reader thread after each successful read; may change the bytes or the file.
    std::function<void(const std::string& path, uint8_t* data, uint32_t got, int readIndex)> afterRead;
    // Error code every read returns instead of data (0: none).
    std::atomic<int> readError{0};
    // Largest read handed out (0: as asked), to play short reads.
    std::atomic<uint32_t> readCap{0};
    // Runs on the reader thread at each open; a non-zero errno value fails the open.
    std::function<int(const std::string& path)> openFault;

    // Every path opened, in order.
    std::vector<std::string> Opened()
    {
        std::lock_guard<std::mutex> lock(m);
        return opened;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(m);
        opened.clear();
    }
    std::mutex m;
    std::vector<std::string> opened;
};

class ControlledSource : public FileSource {
public:
    explicit ControlledSource(SourceControl& control) : control_(control), real_(MakePosixFileSource()) {}
    int Open(const std::string& path, uint32_t flags) override
    {
        {
            std::lock_guard<std::mutex> lock(control_.m);
            control_.opened.push_back(path);
        }
        ++control_.opens;
        path_ = path;
        if (control_.openFault) {
            if (const int code = control_.openFault(path)) return code;
        }
        return real_->Open(path, flags);
    }
    int Seek(int64_t position) override { return real_->Seek(position); }
    int Read(void* buffer, uint32_t length, uint32_t enough, uint32_t& got) override
    {
        const int index = control_.reads++;
        if (const int code = control_.readError.load()) return code;
        const uint32_t cap = control_.readCap.load();
        if (cap && cap < length) length = cap;
        const int code = real_->Read(buffer, length, enough < length ? enough : length, got);
        if (code == 0 && control_.afterRead) control_.afterRead(path_, static_cast<uint8_t*>(buffer), got, index);
        return code;
    }
    void Close() override { real_->Close(); }

    // A factory for FileJobOptions::fileSource.
    static std::function<std::unique_ptr<FileSource>()> Factory(SourceControl& control)
    {
        return [&control] { return std::make_unique<ControlledSource>(control); };
    }

private:
    SourceControl& control_;
    std::unique_ptr<FileSource> real_;
    std::string path_;
};

}  // namespace qv::test
