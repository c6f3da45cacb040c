// Whole-file reading with a size bound, and the writer that replaces a file
// through a temporary file and a rename. Plain POSIX calls: each is retried
// when a signal interrupts it, and reads and writes loop over short transfers.
#include "document/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// The writer hands the file system pieces of this size, so that a big file
// never sits whole in memory.
constexpr std::size_t kChunkBytes = 64 * 1024;
// Links followed from a target before giving up, as the kernel does.
constexpr int kMaxLinkHops = 40;
// Bytes of the target's name kept in the temporary file's name, which must
// stay within the 255 bytes a name may have.
constexpr std::size_t kMaxTempStem = 200;

// strerror_r comes in two flavours: the GNU one returns the message, the
// POSIX one fills the buffer and returns a status.
[[maybe_unused]] const char* message_of(int /*status*/, const char* buffer) {
    return buffer;
}
[[maybe_unused]] const char* message_of(const char* message, const char* /*buffer*/) {
    return message;
}

// The system's wording for an errno value, lower case as a phrase: "No space
// left on device" becomes "no space left on device" (an initial acronym
// keeps its capitals).
std::string system_phrase(int error) {
    if (error == EACCES) {
        return "permission denied";
    }
    char buffer[256] = "";
    std::string text = message_of(strerror_r(error, buffer, sizeof buffer), buffer);
    if (text.size() > 1 && std::isupper(static_cast<unsigned char>(text[0])) &&
        !std::isupper(static_cast<unsigned char>(text[1]))) {
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    }
    return text;
}

// Why a file could not be opened or examined, in the words a reader expects.
std::string open_phrase(int error) {
    switch (error) {
    case ENOENT:
        return "there is no such file";
    case EISDIR:
        return "it is a folder";
    default:
        return system_phrase(error);
    }
}

// "16 MB", "64 kB" or "1000 bytes": the largest unit that divides the limit.
std::string size_phrase(std::size_t bytes) {
    constexpr std::size_t kKilo = 1024;
    constexpr std::size_t kMega = 1024 * 1024;
    if (bytes >= kMega && bytes % kMega == 0) {
        return std::to_string(bytes / kMega) + " MB";
    }
    if (bytes >= kKilo && bytes % kKilo == 0) {
        return std::to_string(bytes / kKilo) + " kB";
    }
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

int open_retrying(const char* path, int flags) {
    int fd;
    do {
        fd = ::open(path, flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int fsync_retrying(int fd) {
    int status;
    do {
        status = ::fsync(fd);
    } while (status != 0 && errno == EINTR);
    return status;
}

// The folder as a message names it.
std::string folder_for_message(const std::string& folder) {
    return folder == "." ? "the current folder" : folder;
}

// Follows symbolic links from `path` until it names something else or
// nothing, so that saving through a link replaces the file it points to
// and leaves the link in place.
Failure follow_links(std::string& path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return std::nullopt;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) {
            return "cannot follow the link " + path + ": " + system_phrase(errno);
        }
        link.resize(static_cast<std::size_t>(n));
        path = (!link.empty() && link[0] == '/') ? link : folder_of(path) + "/" + link;
    }
    return "cannot follow the link " + path + ": " + system_phrase(ELOOP);
}

// The process's file-creation mask. Linux reports it in /proc without
// changing it; elsewhere it is read by setting it and putting it back.
mode_t current_umask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr) {
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        }
        std::fclose(status);
        if (found) {
            return static_cast<mode_t>(mask);
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

} // namespace

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Failure read_file(const std::string& path, std::size_t max_bytes, std::string& contents) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer; it is
    // refused below like any other non-file.
    const Descriptor file(
        open_retrying(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        return open_phrase(errno);
    }
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) {
        return open_phrase(errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return "it is a folder";
    }
    if (!S_ISREG(st.st_mode)) {
        return "it is not a regular file";
    }
    const std::string too_large = "it is larger than " + size_phrase(max_bytes);
    if (static_cast<std::uintmax_t>(st.st_size) > max_bytes) {
        return too_large;
    }
    // One byte past the limit is read at most: enough to see that a file
    // that grew since fstat is too large, without reading the rest of it.
    const std::size_t limit = max_bytes == SIZE_MAX ? SIZE_MAX : max_bytes + 1;
    std::string text(std::min(static_cast<std::size_t>(st.st_size) + 1, limit), '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == text.size()) {
            if (text.size() >= limit) {
                break;
            }
            // The file grew, or reports no size (as files in /proc do).
            text.resize(std::min(limit, std::max<std::size_t>(2 * text.size(), 4096)));
        }
        const ssize_t n = ::read(file.get(), &text[got], text.size() - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return "reading failed: " + system_phrase(errno);
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    if (got > max_bytes) {
        return too_large;
    }
    if (got == 0) {
        return "it is empty";
    }
    text.resize(got);
    contents = std::move(text);
    return std::nullopt;
}

AtomicWriter::AtomicWriter(std::string path) : path_(std::move(path)) {
    if (path_.empty()) {
        failure_ = "no file name was given";
        return;
    }
    if ((failure_ = follow_links(path_))) {
        return;
    }
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            failure_ = "it is a folder";
            return;
        }
        if (!S_ISREG(st.st_mode)) {
            failure_ = "it is not a regular file";
            return;
        }
    }
    const std::string name = name_of(path_);
    if (name.empty()) {
        failure_ = "its name ends with a slash, as a folder's does";
        return;
    }
    const std::string folder = folder_of(path_);
    std::string temp =
        (folder == "/" ? "/" : folder + "/") + "." + name.substr(0, kMaxTempStem) + ".XXXXXX";
    fd_ = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        failure_ =
            "cannot create a temporary file in " + folder_for_message(folder) + ": " +
            (error == ENOENT ? std::string("there is no such folder") : system_phrase(error));
        return;
    }
    temp_path_ = std::move(temp);
}

AtomicWriter::~AtomicWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!temp_path_.empty()) {
        ::unlink(temp_path_.c_str());
    }
}

void AtomicWriter::write(std::string_view bytes) {
    if (failure_ || committed_) {
        return;
    }
    if (buffer_.size() + bytes.size() < kChunkBytes) {
        buffer_.append(bytes);
        return;
    }
    // A big piece goes to the file directly after what is buffered, rather
    // than being copied whole into the buffer.
    write_through(buffer_);
    buffer_.clear();
    if (bytes.size() >= kChunkBytes) {
        write_through(bytes);
    } else {
        buffer_.append(bytes);
    }
}

void AtomicWriter::write_through(std::string_view bytes) {
    while (!failure_ && !bytes.empty()) {
        const std::size_t piece = std::min(bytes.size(), kChunkBytes);
        const ssize_t n = ::write(fd_, bytes.data(), piece);
        if (n < 0) {
            if (errno != EINTR) {
                failure_ = "writing failed: " + system_phrase(errno);
            }
        } else if (n == 0) {
            failure_ = "writing failed: the file system took no more bytes";
        } else {
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }
}

Failure AtomicWriter::commit() {
    if (committed_) {
        return std::string("it was already written");
    }
    committed_ = true;
    write_through(buffer_);
    buffer_.clear();
    buffer_.shrink_to_fit();
    // File systems that cannot sync (EINVAL) keep the data as well as they can.
    if (!failure_ && fsync_retrying(fd_) != 0 && errno != EINVAL) {
        failure_ = "writing failed: " + system_phrase(errno);
    }
    if (!failure_) {
        give_permissions();
    }
    if (fd_ >= 0) {
        // Linux closes the descriptor even when close reports EINTR; a
        // network file system may report a late write error here.
        if (::close(fd_) != 0 && errno != EINTR && !failure_) {
            failure_ = "writing failed: " + system_phrase(errno);
        }
        fd_ = -1;
    }
    if (!failure_ && ::rename(temp_path_.c_str(), path_.c_str()) != 0) {
        failure_ = "the old file cannot be replaced: " + system_phrase(errno);
    }
    if (failure_) {
        if (!temp_path_.empty()) {
            ::unlink(temp_path_.c_str());
            temp_path_.clear();
        }
        return failure_;
    }
    temp_path_.clear();
    // The rename is made durable by syncing the folder. The file is in place
    // whatever this says, so a folder that cannot be synced (as on some
    // network file systems) does not turn the save into a failure.
    const Descriptor folder(
        open_retrying(folder_of(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        fsync_retrying(folder.get());
    }
    return std::nullopt;
}

void AtomicWriter::give_permissions() {
    mode_t mode = 0;
    struct stat old {};
    if (::stat(path_.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
        // Someone else's file saved by root stays theirs. Only root may give
        // a file away, so for anyone else this fails harmlessly; it comes
        // before fchmod because a change of owner clears the set-id bits.
        struct stat mine {};
        if (::fstat(fd_, &mine) == 0 && (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid)) {
            [[maybe_unused]] const int ignored = ::fchown(fd_, old.st_uid, old.st_gid);
        }
    } else {
        mode = 0666 & ~current_umask();
    }
    if (::fchmod(fd_, mode) != 0) {
        failure_ = "cannot set the new file's permissions: " + system_phrase(errno);
    }
}
