// Where lumo eq writes a result: a hidden temporary file beside OUT, renamed over OUT once
// complete, or for OUT "-" (and device files, named pipes) an unnamed temporary file copied out once
// complete. A failure, a file-size limit, SIGINT, SIGTERM, SIGHUP, SIGPIPE and the other usual
// ending signals leave no file behind (POSIX only).
#pragma once

#include <cstddef>
#include <string>

namespace lumo::cli {

// The one-line refusals that need no writing: OUT is a folder, its folder is missing, or OUT is
// read-only and force is off. Throws HostError.
void CheckOutputPath(const std::string& path, bool force);

// Makes SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1 and SIGUSR2 remove the
// temporary file in the making before the process ends with the signal's usual status, and
// ignores SIGXFSZ, so that a write beyond a file-size limit fails (EFBIG) like one on a full disk.
void RemoveTemporaryOnSignals();

// Writes every byte, retrying after interruptions; false on an error (errno tells).
bool WriteAll(int descriptor, const char* bytes, size_t count);

class OutputFile {
public:
    // Checks the path and creates the temporary file (never an existing one). Throws HostError.
    OutputFile(const std::string& path, bool force);
    ~OutputFile();  // removes the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int Descriptor() const { return descriptor_; }  // open for writing and seeking
    // A name that opens the file in the making, for writers that take a path.
    std::string WritePath() const {
        return temporary_.empty() ? "/proc/self/fd/" + std::to_string(descriptor_) : temporary_;
    }
    // Puts the finished file in place: renamed over OUT (over its target if OUT is a symbolic
    // link, dangling or not) with the mode of the file it replaces, or copied to stdout or into OUT when OUT is
    // no regular file (/dev/null, a named pipe). Throws HostError.
    void Commit();

private:
    std::string path_;
    std::string target_;     // the file renamed over: OUT, or what its symbolic link names
    std::string streamTo_;   // "stdout" or OUT when the result is copied into it; else empty
    std::string temporary_;  // the hidden file beside the target; empty when streamed
    int descriptor_ = -1;
    bool committed_ = false;
};

}  // namespace lumo::cli
