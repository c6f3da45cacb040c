// Whole-file reading with a size bound, and the writer that replaces a file
// through a temporary file and a rename. Plain POSIX calls: each is retried
// when a signal interrupts it, and reads and writes loop over short transfers.
#include "document/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

namespace {

namespace fs = std::filesystem;

// The writer hands the file system pieces of at most this size.
constexpr std::size_t kChunkBytes = 64 * 1024;
// Links followed from a target before giving up, as the kernel does.
constexpr int kMaxLinkHops = 40;
// Bytes of the target's name kept in the temporary file's name, which must
// stay within the 255 bytes a name may have.
constexpr std::size_t kMaxTempStem = 200;
// Random names tried for a temporary file before giving up.
constexpr int kMaxTempAttempts = 100;

// The system's wording for an errno value, lower case as a phrase: "No space
// left on device" becomes "no space left on device" (an initial acronym
// keeps its capitals).
std::string system_phrase(int error) {
    switch (error) {
    case EACCES:
        return "permission denied";
    case ENAMETOOLONG:
        return "the file name is too long";
    default:
        break;
    }
    std::string text = std::generic_category().message(error);
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

int open_retrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
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

// The folder of a path as the file system reads it: "." for a bare name.
std::string folder_of(const std::string& path) {
    const std::string folder = fs::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
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
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) {
            return std::nullopt;
        }
        const fs::path link = fs::read_symlink(path, error);
        if (error) {
            return "cannot follow the link " + path + ": " + system_phrase(error.value());
        }
        path = link.is_absolute() ? link.string() : (fs::path(path).parent_path() / link).string();
    }
    return "cannot follow the link " + path + ": " + system_phrase(ELOOP);
}

// ---- Temporary files that a signal must not leave behind ----
//
// The handler may only make async-signal-safe calls, so the names it removes
// sit in fixed slots, each published by a flag set after its name is written.
constexpr int kSignalSlots = 8;
constexpr std::array<int, 4> kCleanupSignals = {SIGINT, SIGTERM, SIGHUP, SIGXFSZ};

struct SignalSlot {
    std::atomic<bool> used{false};
    char path[PATH_MAX + 1] = {};
};
std::array<SignalSlot, kSignalSlots> signal_slots;
static_assert(std::atomic<bool>::is_always_lock_free, "the handler reads the flags");

extern "C" void remove_temporaries_and_die(int signal_number) {
    for (SignalSlot& slot : signal_slots) {
        if (slot.used.load()) {
            ::unlink(slot.path);
        }
    }
    // The handler was installed to run once (SA_RESETHAND): the signal raised
    // again takes its default action and ends the process with its status.
    ::raise(signal_number);
}

// Installs the handler for each signal that has its default action: one
// that is ignored (as SIGINT for a shell's background job) or handled by
// someone else is left as it is. A handler spent by a signal, or replaced by
// the default since, is installed again.
void install_cleanup_handler() {
    for (const int signal_number : kCleanupSignals) {
        struct sigaction old {};
        if (::sigaction(signal_number, nullptr, &old) != 0 || old.sa_handler != SIG_DFL ||
            (old.sa_flags & SA_SIGINFO) != 0) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = remove_temporaries_and_die;
        sigfillset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal_number, &action, nullptr);
    }
}

// The slot that now holds `path` for the handler, or -1 when the name is too
// long or every slot is taken.
int publish_temporary(const std::string& path) {
    install_cleanup_handler();
    if (path.size() > PATH_MAX) {
        return -1;
    }
    for (int i = 0; i < kSignalSlots; ++i) {
        SignalSlot& slot = signal_slots[static_cast<std::size_t>(i)];
        if (!slot.used.load()) {
            std::copy(path.begin(), path.end(), slot.path);
            slot.path[path.size()] = '\0';
            slot.used.store(true);
            return i;
        }
    }
    return -1;
}

void withdraw_temporary(int& slot) {
    if (slot >= 0) {
        signal_slots[static_cast<std::size_t>(slot)].used.store(false);
        slot = -1;
    }
}

// Called just after a temporary file is created; set by tests only.
void (*creation_hook)() = nullptr;

// Six letters or digits, for a temporary file's name.
std::string random_suffix() {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix(6, ' ');
    for (char& c : suffix) {
        c = kLetters[pick(generator)];
    }
    return suffix;
}

} // namespace

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
    // Read to the end, whatever size the file reports (files in /proc report
    // none, and a file may grow meanwhile), stopping past the limit.
    std::string text;
    std::array<char, 64 * 1024> piece;
    for (;;) {
        const ssize_t n = ::read(file.get(), piece.data(), piece.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return "reading failed: " + system_phrase(errno);
        }
        if (n == 0) {
            break;
        }
        text.append(piece.data(), static_cast<std::size_t>(n));
        if (text.size() > max_bytes) {
            return too_large;
        }
    }
    if (text.empty()) {
        return "it is empty";
    }
    contents = std::move(text);
    return std::nullopt;
}

void set_temporary_creation_hook(void (*hook)()) {
    creation_hook = hook;
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
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
    const bool replacing = ::stat(path_.c_str(), &st) == 0;
    if (!replacing && errno == ENAMETOOLONG) {
        failure_ = system_phrase(ENAMETOOLONG);
        return;
    }
    if (replacing && S_ISDIR(st.st_mode)) {
        failure_ = "it is a folder";
        return;
    }
    if (replacing && !S_ISREG(st.st_mode)) {
        failure_ = "it is not a regular file";
        return;
    }
    if (fs::path(path_).filename().empty()) {
        failure_ = "its name ends with a slash, as a folder's does";
        return;
    }
    create_temporary(replacing);
}

void AtomicWriter::create_temporary(bool replacing) {
    const fs::path target(path_);
    const std::string stem = "." + target.filename().string().substr(0, kMaxTempStem) + ".";
    // A new file is created as any new file is, 0666 less the creation mask;
    // a replacement holds the old file's contents, so it is private until it
    // takes the old file's permissions.
    const mode_t mode = replacing ? 0600 : 0666;
    int error = EEXIST;
    for (int attempt = 0; attempt < kMaxTempAttempts && error == EEXIST; ++attempt) {
        std::string temp = (target.parent_path() / (stem + random_suffix())).string();
        // The name is published to the signal handler before the file is
        // created, so that a signal landing as it is created still removes
        // it; removing a name never created does nothing. A name already
        // taken is skipped unpublished.
        struct stat st {};
        if (::lstat(temp.c_str(), &st) == 0) {
            continue;
        }
        signal_slot_ = publish_temporary(temp);
        fd_ = open_retrying(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
        if (fd_ >= 0) {
            temp_path_ = std::move(temp);
            if (creation_hook != nullptr) {
                creation_hook();
            }
            return;
        }
        error = errno;
        withdraw_temporary(signal_slot_);
    }
    const std::string folder = folder_of(path_);
    failure_ = "cannot create a temporary file in " + folder_for_message(folder) + ": " +
               (error == ENOENT ? std::string("there is no such folder") : system_phrase(error));
}

AtomicWriter::~AtomicWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    discard_temporary();
}

void AtomicWriter::discard_temporary() {
    if (!temp_path_.empty()) {
        ::unlink(temp_path_.c_str());
        temp_path_.clear();
    }
    withdraw_temporary(signal_slot_);
}

void AtomicWriter::write(std::string_view bytes) {
    if (!committed_) {
        write_through(bytes);
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
    // File systems that cannot sync (EINVAL) keep the data as well as they can.
    if (!failure_ && fsync_retrying(fd_) != 0 && errno != EINVAL) {
        failure_ = "writing failed: " + system_phrase(errno);
    }
    if (!failure_) {
        keep_permissions();
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
        failure_ = errno == ENAMETOOLONG
                       ? system_phrase(errno)
                       : "the old file cannot be replaced: " + system_phrase(errno);
    }
    if (failure_) {
        discard_temporary();
        return failure_;
    }
    temp_path_.clear();
    withdraw_temporary(signal_slot_);
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

void AtomicWriter::keep_permissions() {
    struct stat old {};
    if (::stat(path_.c_str(), &old) != 0) {
        return; // a new file: the kernel gave it the creation mask's permissions
    }
    // Someone else's file saved by root stays theirs. Only root may give a
    // file away, so for anyone else this fails harmlessly; it comes before
    // fchmod because a change of owner clears the set-id bits.
    struct stat mine {};
    if (::fstat(fd_, &mine) == 0 && (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid)) {
        [[maybe_unused]] const int ignored = ::fchown(fd_, old.st_uid, old.st_gid);
    }
    if (::fchmod(fd_, old.st_mode & 07777) != 0) {
        failure_ = "cannot set the new file's permissions: " + system_phrase(errno);
    }
}
