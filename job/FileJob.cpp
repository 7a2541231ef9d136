#include "job/FileJob.h"

#include <utility>

#include "engine/BankExchange.h"
#include "engine/FileSource.h"
#include "engine/Hash.h"
#include "engine/ReadThread.h"
#include "job/JobReports.h"
#include "history/HashHistory.h"
#include "platform/Attributes.h"
#include "platform/Clock.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

namespace qv {

namespace {

// The file facts the job works from: a search that finds only files, never folders, so a
// folder named as a file is not "hashed" as empty data.
bool FindFile(const std::string& path, FoundEntry& found)
{
    return FindPath(path, kAttrAny, found) && (found.attributes & kAttrDirectory) == 0;
}

// Content beyond the size the search gave would leave codes of a part of the file: a read
// error, unless the file changed meanwhile, which the change check after the read reports.
int32_t CheckContentSize(ReadEngine& engine, const std::string& path, int64_t size, double stamp)
{
    int bank = 0;
    const int32_t code = size == 0 ? CheckEmptyFile(path)
                         : engine.TakeSurplus(path, bank) ? kContentBeyondSize - bank
                                                            : 0;
    FoundEntry now;
    if (code < 0 && FindFile(path, now) && (now.stamp != stamp || now.size != size)) return 0;
    return code;
}

}  // namespace

struct FileJob::Reader {
    std::unique_ptr<TReadThread> thread;
    ReadAhead ahead;
    double aheadStamp = 0;   // the next file's stamp when it was handed over
};

FileJob::FileJob(HashHistory& history, JobSeams seams, const EngineSettings& settings,
                 FileJobOptions options)
    : history_(history), seams_(std::move(seams)), settings_(settings),
      options_(std::move(options)), reader_(std::make_unique<Reader>())
{
    MakeEngine();
}

FileJob::~FileJob()
{
    qv::DropReadAhead(*engine_, reader_->ahead);
    reader_->thread.reset();
    engine_.reset();
}

void FileJob::MakeEngine()
{
    if (engine_) qv::DropReadAhead(*engine_, reader_->ahead);
    ReadEngineOptions o;
    o.bufferSizeSetting = settings_.bufferSize;
    o.ioTimeoutMs = settings_.ioTimeOut;
    o.retryLimit = settings_.ioRetryOut;
    o.allocFault = options_.allocFault;
    o.readAheadIdleMs = options_.readAheadIdleMs;
    engine_ = std::make_unique<ReadEngine>(o, [this](const std::string& message) {
        if (Prompts* prompts = ThePrompts()) prompts->Message(kJobTitle, message, Buttons::Ok);
    });
}

void FileJob::SetEngineSettings(const EngineSettings& settings)
{
    settings_ = settings;
    if (!reader_->thread && engine_->BufferSize() != RoundBufferSize(settings_.bufferSize)) {
        MakeEngine();
    } else {
        engine_->IoTimeoutMs = settings_.ioTimeOut;
        engine_->RetryLimit = settings_.ioRetryOut;
    }
}

void FileJob::BeginBatch()
{
    if (reader_->thread) return;
    // A bank size changed during the last batch takes effect now.
    if (engine_->BufferSize() != RoundBufferSize(settings_.bufferSize)) MakeEngine();
    std::unique_ptr<FileSource> source;
    if (options_.fileSource) source = options_.fileSource();
    reader_->thread = std::make_unique<TReadThread>(*engine_, ReadOpenFlags(settings_.noCache),
                                                    settings_.readPriority, std::move(source));
}

void FileJob::RequestReaderEnd()
{
    qv::DropReadAhead(*engine_, reader_->ahead);
    if (reader_->thread) reader_->thread->Terminate();
}

void FileJob::EndBatch()
{
    // Releases the bank the reader may be waiting for, so it can end at once.
    qv::DropReadAhead(*engine_, reader_->ahead);
    if (!reader_->thread) return;
    reader_->thread->Terminate();
    // The window stays responsive while the reader finishes its current bank.
    while (!reader_->thread->WaitFor(50)) {
        if (seams_.hooks) seams_.hooks->Pump();
    }
    reader_->thread.reset();
}

void FileJob::DropReadAhead()
{
    if (!reader_->ahead.Pending()) return;
    qv::DropReadAhead(*engine_, reader_->ahead);
    if (engine_->ReadError.load() != 0 || !ReaderRunning()) {
        EndBatch();
        BeginBatch();
    }
}

bool FileJob::NextToRead(const std::string& current, bool recalc, std::string& path, int64_t& size)
{
    path = seams_.nextPath();
    // The same path again is served from the record this file is about to get.
    if (path.empty() || path == current) return false;
    FoundEntry found;
    if (!FindFile(path, found) || found.size <= 0) return false;
    int32_t index = -1;
    if (history_.Find(path, index) && !recalc && !settings_.verification) {
        const HistoryRecord& r = history_.RecordAt(index);
        if (RecordMatchesStamp(r, found.size, found.stamp) && r.Crc.size() == kCrcTextLength &&
            r.Md5.size() == kMd5TextLength)
            return false;
    }
    size = found.size;
    reader_->aheadStamp = found.stamp;
    return true;
}

bool FileJob::ReaderRunning() const
{
    return reader_->thread && !reader_->thread->Finished() && !reader_->thread->Terminated();
}

void FileJob::ScheduleRefresh()
{
    const uint32_t tick = TheClock().Tick();
    nextRefreshTime_ = tick + static_cast<uint32_t>(settings_.refreshRate);
    Polled(tick);
}

void FileJob::Pace()
{
    const uint32_t tick = TheClock().Tick();
    const bool refresh = TickPassed(tick, nextRefreshTime_);
    if (!refresh && !(Polling() && TickPassed(tick, nextPoll_))) return;
    DropReadAhead();
    Polled(tick);
    if (refresh) {
        nextRefreshTime_ = tick + static_cast<uint32_t>(settings_.refreshRate);
        if (seams_.hooks) seams_.hooks->Pump();
    } else {
        seams_.pollInput();
    }
}

uint32_t FileJob::NextWake() const
{
    return Polling() && TickPassed(nextRefreshTime_, nextPoll_) ? nextPoll_ : nextRefreshTime_;
}

uint32_t FileJob::Wake(SizeClass sizeClass, int64_t done, int64_t size)
{
    const uint32_t tick = TheClock().Tick();
    Polled(tick);
    if (TickPassed(tick, nextRefreshTime_))
        nextRefreshTime_ = UpdateFileProgress(sizeClass, done, size);
    else if (seams_.pollInput)
        seams_.pollInput();
    return NextWake();
}

void FileJob::Status(const std::string& text) const
{
    if (seams_.hooks) seams_.hooks->Status(text);
}

void FileJob::Title(const std::string& text) const
{
    if (seams_.hooks) seams_.hooks->Title(text);
}

void FileJob::Beep() const
{
    if (Prompts* prompts = ThePrompts()) prompts->Beep();
}

void FileJob::BringToFront() const
{
    if (seams_.hooks) seams_.hooks->BringToFront();
}

void FileJob::ShowReport(const std::string& text) const
{
    if (Prompts* prompts = ThePrompts()) prompts->Message(kJobTitle, text, Buttons::Ok, BoxIcon::None);
}

int FileJob::QueueLength() const
{
    return seams_.queueLength ? seams_.queueLength() : 0;
}

const Clock& FileJob::TheClock() const
{
    return seams_.hooks ? seams_.hooks->TheClock() : SystemClock::Instance();
}

StopFlag& FileJob::TheStop() const
{
    return seams_.hooks && seams_.hooks->stop ? *seams_.hooks->stop : ownStop_;
}

int32_t FileJob::HashFile(const std::string& path, bool recalc)
{
    FoundEntry found;
    if (!FindFile(path, found)) {
        DropReadAhead();
        outcome_ = FileJobOutcome{};
        Status(kStatusOpenError);
        return -1;
    }
    return HashFoundFile(path, found, recalc);
}

int32_t FileJob::HashFoundFile(const std::string& path, const FoundEntry& found, bool recalc)
{
    outcome_ = FileJobOutcome{};
    recalc_ = recalc;
    int32_t result = -1;
    const ReportFile file{path, found.size, found.stamp};
    std::string md5, crc;
    int32_t code = 0;

    const auto record = [&] {
        bool added = false;
        const int32_t at = RecordHashResult(history_, path, found.size, found.stamp,
                                            TheClock().Now(), md5, crc, &added);
        if (added && seams_.folderSeen) seams_.folderSeen(FolderOf(path));
        return at;
    };

    int32_t index = -1;
    if (history_.Find(path, index)) {
        result = index;
        const HistoryRecord& before = history_.RecordAt(index);
        // A record without both codes (an import of a damaged list can leave them empty)
        // does not describe the file: it is read and renewed, never shown or compared.
        const bool matches = RecordMatchesStamp(before, found.size, found.stamp) &&
                             before.Crc.size() == kCrcTextLength && before.Md5.size() == kMd5TextLength;
        if (matches && !recalc && !settings_.verification) {
            DropReadAhead();
            md5 = before.Md5;
            crc = before.Crc;
        } else {
            const HistoryRecord old = before;
            code = Compute(path, found.size, found.stamp, true, md5, crc);
            outcome_.read = true;
            // Messages pumped while reading may have changed the store; look the path up again.
            const bool stillThere = history_.Find(path, index);
            if (matches && !StopRequested() && recalc && code == 0 &&
                (old.Md5 != md5 || old.Crc != crc)) {
                Title(kJobTitle);
                Status(kStatusRecalcMismatch);
                Beep();
                BringToFront();
                ShowReport(RecalcReport(file, old, crc, md5, TheClock().Now()));
                RequestStop();
                outcome_.code = 0;
                outcome_.reported = true;
                return -1;
            }
            if (!StopRequested() && code == 0)
                result = record();
            else
                result = stillThere ? index : -1;
        }
    } else {
        code = Compute(path, found.size, found.stamp, true, md5, crc);
        outcome_.read = true;
        if (!StopRequested() && code == 0) result = record();
    }

    Title(kJobTitle);
    outcome_.code = code;
    if (code != 0) {
        Beep();
        BringToFront();
        if (code < 0) {
            std::array<std::string, 3> dumps;
            for (int n = 0; n < 3; ++n) dumps[n] = engine_->BankDump(n);
            ShowReport(EngineErrorReport(file, engine_->ReadRetryCount.load(), dumps,
                                         recentFiles_, code));
        } else {
            ShowReport(PlatformErrorReport(file, code));
        }
        RequestStop();
        outcome_.reported = true;
        return result;
    }
    if (!StopRequested()) {
        outcome_.md5 = md5;
        outcome_.crc = crc;
    }

    FoundEntry after;
    if (!FindFile(path, after)) {
        // Gone since it was read: nothing to compare with; the codes stay as computed.
        Status(kStatusVanished);
        return result;
    }
    // A size change within the second of one stamp is a change all the same.
    if (after.stamp != found.stamp || after.size != found.size) {
        Beep();
        BringToFront();
        ShowReport(ChangedFileReport(file, found.stamp, after.stamp));
        RequestStop();
        outcome_.reported = true;
    }
    return result;
}

int32_t FileJob::ComputeCodes(const std::string& path, std::string& md5, std::string& crc)
{
    FoundEntry found;
    const bool exists = FindFile(path, found);
    return Compute(path, exists ? found.size : -1, found.stamp, false, md5, crc);
}

int32_t FileJob::Compute(const std::string& path, int64_t size, double stamp, bool chain,
                         std::string& md5, std::string& crc)
{
    // A read-ahead is taken only for the very file it was made for, unchanged since.
    const ReadAhead& ahead = reader_->ahead;
    if (ahead.Pending() &&
        (size <= 0 || ahead.path != path || ahead.size != size || reader_->aheadStamp != stamp))
        DropReadAhead();
    const bool adopting = ahead.Pending();
    if (!adopting) engine_->ForgetSurplus();

    recentFiles_[2] = std::move(recentFiles_[1]);
    recentFiles_[1] = std::move(recentFiles_[0]);
    recentFiles_[0] = path;
    md5.clear();
    crc.clear();

    // A reader that ended (after an error or a cancel) is replaced, so the next file is read.
    // An adopted file's reader may have ended on it: its error is this file's.
    if (size > 0 && !adopting && !ReaderRunning()) {
        EndBatch();
        BeginBatch();
    }

    HashContext ctx;
    HashInit(ctx);
    const SizeClass sizeClass = SizeClassOf(size);
    Status(kStatusWorking);
    Title(RemainingTitle(QueueLength()));
    const int64_t bank = engine_->BufferSize();
    // Rounded up without adding first: a sparse file may be as large as the size type allows.
    if (seams_.hooks) seams_.hooks->ProgressMax(size > 0 ? (size - 1) / bank + 1 : 0);

    BankExchangeHooks hooks;
    hooks.cancelled = [this] { return StopRequested(); };
    hooks.refresh = [&](int64_t position) { return Wake(sizeClass, position, size); };
    hooks.clock = &TheClock();
    nextWake_ = NextWake();
    hooks.nextRefreshTime = &nextWake_;
    hooks.readAhead = &reader_->ahead;
    if (chain && seams_.nextPath) {
        hooks.nextFile = [&](std::string& next, int64_t& nextSize) {
            return NextToRead(path, recalc_, next, nextSize);
        };
    }
    int32_t code = ExchangeBanks(*engine_, path, size, ctx, hooks);
    if (code == 0 && !StopRequested()) code = CheckContentSize(*engine_, path, size, stamp);

    if (!StopRequested() && code == 0) {
        uint8_t digest[16];
        uint32_t value = 0;
        HashFinal(ctx, digest, value);
        md5 = Md5Text(digest);
        crc = CrcText(value);
    }
    return code;
}

uint32_t FileJob::UpdateFileProgress(SizeClass sizeClass, int64_t done, int64_t size)
{
    if (seams_.hooks) seams_.hooks->ProgressPos(done / engine_->BufferSize());
    const int percent = ProgressPercent(done, size);
    Status(FileProgressStatus(sizeClass, done, size));
    Title(FileProgressTitle(QueueLength(), percent));
    if (seams_.hooks) seams_.hooks->Pump();
    return TheClock().Tick() + static_cast<uint32_t>(settings_.refreshRate);
}

}  // namespace qv
