#include "Function__ParallelTransfers.h"

#include "Function__Transfers.h"
#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "Support/FTPAccount.h"
#include "Support/QueuedTransfer.h"
#include "_Common/CoreCode/Orb_Thread.h"
#include "remote/TransferMeter.h"
#include "remote/Transfers.h"

#include <platform/Threads.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <limits>
#include <memory>
#include <mutex>

namespace {

// How often the calling thread refreshes the total and looks for Cancel.
constexpr int kStatusEveryMs = 100;

// What the workers share. They only add to the counters; the calling thread reads them.
struct Shared {
    Shared(const std::vector<DirFileJob>& files, bool up, bool ascii) : jobs(files), upload(up), asciiMode(ascii) {}
    const std::vector<DirFileJob>& jobs;
    const bool upload;
    const bool asciiMode;
    std::atomic<size_t> next{0};
    std::atomic<bool> cancelled{false};  // the user's Cancel: every transfer stops
    std::atomic<bool> failed{false};     // a file failed: no further file starts
    std::atomic<int64_t> bytesDone{0};
    std::atomic<uint32_t> filesDone{0};
    std::atomic<int32_t> running{0};
    std::atomic<uint32_t> connected{1};  // the session's connection, and each extra one logged in
    platform::AutoResetEvent workerEnded;
    std::mutex failureMutex;
    size_t failedJob = std::numeric_limits<size_t>::max();
    ucstring failure;

    // Keeps the failure of the earliest job: the one the walk would have met first.
    void fail(size_t job, const ucstring& error) {
        std::lock_guard<std::mutex> guard(failureMutex);
        if (job < failedJob) {
            failedJob = job;
            failure = dirTransferFileError(upload, jobs[job].shownPath, error);
        }
        failed = true;
    }
};

struct Worker {
    std::unique_ptr<Connection> own;  // null for the worker on the session's connection
    Connection* connection = nullptr;
    ucstring loginError;
    int64_t reported = 0;  // bytes of the current file already added to the total
    platform::Thread thread;
};

// The hooks of a connection while it works for the transfer: progress goes to the total, and
// Cancel (seen by the calling thread) stops the request.
ConnectionHooks workerHooks(Shared& shared, Worker& worker) {
    ConnectionHooks hooks;
    hooks.progress = [&shared, &worker](int64_t done, int64_t) {
        shared.bytesDone += done - worker.reported;
        worker.reported = done;
        return shared.cancelled.load();
    };
    hooks.stopRequested = [&shared] { return shared.cancelled.load(); };
    return hooks;
}

void runJobs(Shared& shared, Worker& worker) {
    for (;;) {
        const size_t index = shared.next++;
        if (index >= shared.jobs.size()) return;
        if (shared.cancelled) {
            shared.fail(index, u"User cancelled.");
            return;
        }
        if (shared.failed) return;
        const DirFileJob& job = shared.jobs[index];
        worker.reported = 0;
        const ucstring error =
            shared.upload
                ? uploadFile(*worker.connection, job.local, job.remotePath, false, shared.asciiMode)
                : downloadFile(*worker.connection, job.remotePath, job.local, false, shared.asciiMode, job.size);
        if (!error.empty()) {
            shared.fail(index, error);
            return;
        }
        shared.bytesDone += job.size - worker.reported;
        ++shared.filesDone;
    }
}

// An extra connection's thread: logs in (the settings carry the password the session logged in
// with, so nobody is asked again), takes files until none is left, and says goodbye.
void runExtra(Shared& shared, Worker& worker, const ConnectionSettings& settings, bool passive, int32_t rangeStart,
              int32_t rangeEnd) {
    Connection& connection = *worker.own;
    worker.loginError = connection.open(settings);
    if (worker.loginError.empty()) {
        connection.setDataConnection(passive, rangeStart, rangeEnd);
        const RemoteResult login = connection.login();
        if (!login.ok()) worker.loginError = login.text.empty() ? ucstring(u"the login failed") : login.text;
    }
    if (worker.loginError.empty()) {
        ++shared.connected;
        runJobs(shared, worker);
        (void)connection.quit();
    }
    connection.close();
}

ucstring totalText(const Shared& shared) {
    const auto number = [](uint64_t n) { return ucstringFromString(std::to_string(n)); };
    const uint32_t connected = shared.connected;
    return (shared.upload ? u"Uploading " : u"Downloading ") + number(shared.jobs.size()) + u" files over " +
           number(connected) + (connected == 1 ? u" connection (" : u" connections (") +
           number(shared.filesDone.load()) + u" done)";
}

// The account's data connection settings, as transferRunNow gave them to the session's connection.
bool accountDataConnection(const PluginVariables& session, bool& passive, int32_t& rangeStart, int32_t& rangeEnd) {
    PluginConfigLock lock(10000);
    FTPAccounts* accounts = nullptr;
    if (!lock.held() || !lock.get(accounts).empty() || !accounts) return false;
    const FTPAccount* account = accounts->findAccount(session.currentAccountName);
    if (!account) return false;
    passive = account->passive();
    rangeStart = account->dataPortRangeStart();
    rangeEnd = account->dataPortRangeEnd();
    return true;
}

// One connection, the calling thread: the files one after the other as the walk would send them.
DirFileJobsOutcome runOneByOne(PluginVariables& session, const std::vector<DirFileJob>& jobs, bool upload,
                               bool asciiMode) {
    DirFileJobsOutcome out;
    for (const DirFileJob& job : jobs) {
        const ucstring error = upload ? uploadFile(session, job.local, job.remotePath, false, asciiMode)
                                      : downloadFile(session, job.remotePath, job.local, false, asciiMode, job.size);
        if (!error.empty()) {
            out.error = dirTransferFileError(upload, job.shownPath, error);
            break;
        }
        ++out.filesDone;
    }
    return out;
}

}  // namespace

DirFileJobsOutcome dirRunFileJobs(PluginVariables& session, const std::vector<DirFileJob>& jobs, bool upload,
                                  bool asciiMode, int32_t connections) {
    DEBUG_SCOPE("dirRunFileJobs");
    size_t wanted = std::min(jobs.size(), static_cast<size_t>(std::max(connections, 1)));
    bool passive = true;
    int32_t rangeStart = 0, rangeEnd = 0;
    if (wanted > 1 && !accountDataConnection(session, passive, rangeStart, rangeEnd)) {
        DEBUG_OUT("Could not read the account's data connection settings; the files go over one connection.");
        wanted = 1;
    }
    ConnectionSettings settings = session.connection.settings();
    // Active FTP listens on the account's ports: no more transfers at once than it has ports.
    if (wanted > 1 && !passive && settings.security != kRemoteSFTP && rangeStart != 0 && rangeEnd >= rangeStart &&
        static_cast<size_t>(rangeEnd - rangeStart) + 1 < wanted) {
        wanted = static_cast<size_t>(rangeEnd - rangeStart) + 1;
        DEBUG_OUT(u"The account's active data ports allow " + ucstringFromString(std::to_string(wanted)) +
                  u" connection(s) at once.");
    }
    if (wanted <= 1) return runOneByOne(session, jobs, upload, asciiMode);

    settings.promptForPassword = false;  // the password is the one the session logged in with
    Shared shared(jobs, upload, asciiMode);
    int64_t total = 0;
    for (const DirFileJob& job : jobs) total += std::max<int64_t>(job.size, 0);

    std::vector<std::unique_ptr<Worker>> workers;
    for (size_t i = 0; i < wanted; ++i) {
        workers.push_back(std::make_unique<Worker>());
        Worker& worker = *workers.back();
        if (i == 0) {
            worker.connection = &session.connection;
        } else {
            worker.own = std::make_unique<Connection>();
            worker.own->setHooks(workerHooks(shared, worker));
            worker.connection = worker.own.get();
        }
    }
    // The session's connection reports to the calling thread alone until the workers are done.
    session.connection.setHooks(workerHooks(shared, *workers[0]));
    for (const std::unique_ptr<Worker>& owned : workers) {
        Worker* worker = owned.get();
        ++shared.running;
        const bool started = worker->thread.start(
            [&shared, worker, &settings, passive, rangeStart, rangeEnd] {
                if (worker->own)
                    runExtra(shared, *worker, settings, passive, rangeStart, rangeEnd);
                else
                    runJobs(shared, *worker);
                --shared.running;
                shared.workerEnded.set();
            },
            OrbThread::kStackSize);
        if (!started) {
            --shared.running;
            if (worker->own) worker->loginError = u"no thread for it";
        }
    }
    // Without a thread of its own, the session's connection takes its share on this one.
    if (!workers[0]->thread.started()) {
        ++shared.running;
        runJobs(shared, *workers[0]);
        --shared.running;
    }

    ucstring shown;
    const double started = transferClockSeconds();
    double shownAt = started;
    while (shared.running > 0) {
        // The bytes, rate and time left of all connections together, as one transfer shows its own.
        const double now = transferClockSeconds();
        const int64_t done = shared.bytesDone.load();
        if (now - started < TransferMeter::kFirstAfter || done <= 0) {
            const ucstring text = totalText(shared) + u"...";
            if (text != shown) updateStatusText(shown = text);
        } else if (now - shownAt >= TransferMeter::kInterval || shown.empty()) {
            shownAt = now;
            updateStatusText(shown = transferProgressText(totalText(shared), done, total, now - started));
        }
        bool cancelled = false;
        if (updateStatusProgress(shared.bytesDone, total, &cancelled) && cancelled) shared.cancelled = true;
        shared.workerEnded.wait(kStatusEveryMs);
    }
    for (const std::unique_ptr<Worker>& worker : workers)
        if (worker->thread.started())
            while (!worker->thread.waitFor(std::chrono::milliseconds(1000))) {
            }
    installConnectionHooks(session);
    updateStatus(u"Idle.", 0);

    for (const std::unique_ptr<Worker>& worker : workers)
        if (!worker->loginError.empty())
            DEBUG_OUT(u"An extra connection for the folder transfer could not log in (" + worker->loginError +
                      u"); the files went over fewer connections.");
    DirFileJobsOutcome out;
    out.filesDone = shared.filesDone;
    if (shared.failed) out.error = shared.failure;
    return out;
}
