#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "lumo/host/PluginLibrary.h"

namespace lumo::cli {
namespace {

namespace fs = std::filesystem;
using host::HostError;

std::string FolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

// The temporary file in the making, for the signal handler (which may only call async-signal-
// safe functions: unlink, sigaction, raise).
char gTemporaryPath[8192];
volatile std::sig_atomic_t gHaveTemporary = 0;

// Every signal whose default action ends the process and that a user, a shell or a closed pipe
// commonly sends. (SIGXFSZ is ignored instead: the write then fails with EFBIG and the error path
// removes the file and says why.)
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2};

// The longest file name a folder takes (255 on the usual Linux file systems).
size_t NameMax(const std::string& folder) {
    const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<size_t>(limit) : 255;
}

// The hidden temporary name beside target: ".NAME.lumo-PID.tmp", with NAME shortened (from its
// end) when the whole would not fit the folder's name limit, so that it fits whenever NAME does.
std::string TemporaryBeside(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string suffix = ".lumo-" + std::to_string(static_cast<long>(getpid())) + ".tmp";
    std::string name = fs::path(target).filename().string();
    const size_t limit = NameMax(folder);
    if (1 + name.size() + suffix.size() > limit) name.resize(limit > suffix.size() + 1 ? limit - suffix.size() - 1 : 0);
    return (fs::path(folder) / ("." + name + suffix)).string();
}

// Where writing to path lands: path itself, or the file its chain of symbolic links ends at
// (existing or not: a dangling link is written through and its target created, as sox does).
std::string WrittenFile(const std::string& path) {
    fs::path file = path;
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(file, error)); ++hops) {
        const fs::path next = fs::read_symlink(file, error);
        if (error) break;
        file = next.is_absolute() ? next : file.parent_path() / next;
    }
    return file.string();
}

void RemoveTemporaryAndEnd(int signal) {
    if (gHaveTemporary) unlink(gTemporaryPath);
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    sigaction(signal, &defaults, nullptr);
    raise(signal);  // delivered with the default action once this handler returns
}

// Holds the cleanup signals off while the temporary file and its record change together.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (int signal : kCleanupSignals) sigaddset(&held, signal);
        sigprocmask(SIG_BLOCK, &held, &previous_);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

}  // namespace

bool WriteAll(int descriptor, const char* bytes, size_t count) {
    while (count > 0) {
        const ssize_t written = write(descriptor, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

void CheckOutputPath(const std::string& path, bool force) {
    if (path == "-") return;
    std::error_code error;
    if (fs::is_directory(path, error)) throw HostError("cannot write " + path + ": it is a folder");
    const std::string folder = FolderOf(path);
    if (!fs::is_directory(folder, error))
        throw HostError("cannot write " + path + ": the folder " + folder + " does not exist");
    struct stat existing {};
    if (force || stat(path.c_str(), &existing) != 0) return;
    // No write bit, or no write access: read-only (root has access to every file, not bits).
    const bool readOnly = (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                          access(path.c_str(), W_OK) != 0;
    if (readOnly) throw HostError(path + " is read-only; use --force to replace it");
}

void RemoveTemporaryOnSignals() {
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : kCleanupSignals) sigaddset(&action.sa_mask, signal);
    for (int signal : kCleanupSignals) sigaction(signal, &action, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, nullptr);
}

OutputFile::OutputFile(const std::string& path, bool force) : path_(path), target_(path) {
    CheckOutputPath(path, force);
    std::error_code error;
    const fs::file_status status = fs::status(path, error);  // follows symbolic links
    // stdout, and existing files that are no regular files (/dev/null, a named pipe), take the
    // finished file as a stream; a symbolic link has its target replaced, not itself.
    if (path == "-" || (fs::exists(status) && !fs::is_regular_file(status))) {
        streamTo_ = path == "-" ? "stdout" : path;
        std::FILE* unnamed = std::tmpfile();
        descriptor_ = unnamed != nullptr ? dup(fileno(unnamed)) : -1;
        if (unnamed != nullptr) std::fclose(unnamed);
        if (descriptor_ < 0)
            throw HostError("cannot make a temporary file for " + streamTo_ + ": " + std::strerror(errno));
        return;
    }
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        target_ = fs::exists(status) ? fs::canonical(path, error).string() : WrittenFile(path);
        if (!fs::is_directory(FolderOf(target_), error))
            throw HostError("cannot write " + path + ": it is a symbolic link to " + target_ +
                            ", whose folder does not exist");
    }
    temporary_ = TemporaryBeside(target_);
    if (temporary_.size() >= sizeof gTemporaryPath)
        throw HostError("cannot write " + path + ": the path is too long");
    SignalsHeld held;
    descriptor_ = open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor_ < 0) throw HostError("cannot write " + path + ": " + std::strerror(errno));
    std::memcpy(gTemporaryPath, temporary_.c_str(), temporary_.size() + 1);
    gHaveTemporary = 1;
}

OutputFile::~OutputFile() {
    if (descriptor_ >= 0) close(descriptor_);
    if (committed_ || temporary_.empty()) return;
    SignalsHeld held;
    unlink(temporary_.c_str());
    gHaveTemporary = 0;
}

void OutputFile::Commit() {
    if (!streamTo_.empty()) {
        if (lseek(descriptor_, 0, SEEK_SET) != 0) throw HostError("cannot read back the output for " + streamTo_);
        const int stream = path_ == "-" ? STDOUT_FILENO : open(path_.c_str(), O_WRONLY | O_CLOEXEC);
        if (stream < 0) throw HostError("cannot write " + streamTo_ + ": " + std::strerror(errno));
        std::vector<char> chunk(1 << 20);
        bool written = true;
        for (ssize_t count = 1; written && count > 0;) {
            count = read(descriptor_, chunk.data(), chunk.size());
            if (count < 0 && errno == EINTR) count = 1;
            else if (count < 0) written = false;
            else written = WriteAll(stream, chunk.data(), static_cast<size_t>(count));
        }
        const int error = errno;
        if (stream != STDOUT_FILENO) close(stream);
        if (!written) throw HostError("cannot write " + streamTo_ + ": " + std::strerror(error));
        committed_ = true;
        return;
    }
    struct stat replaced {};
    if (stat(target_.c_str(), &replaced) == 0 && fchmod(descriptor_, replaced.st_mode & 07777) != 0)
        throw HostError("cannot write " + path_ + ": cannot keep its mode: " + std::strerror(errno));
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (close(descriptor) != 0) throw HostError("cannot write " + path_ + ": " + std::strerror(errno));
    SignalsHeld held;
    if (rename(temporary_.c_str(), target_.c_str()) != 0)
        throw HostError("cannot write " + path_ + ": " + std::strerror(errno));
    gHaveTemporary = 0;
    committed_ = true;
}

}  // namespace lumo::cli
