// Whole files: what a read refuses and says, and the writer that replaces a
// file through a temporary one: the old file stays whole and no temporary
// file stays behind when a save fails, links are written through, and
// permissions are kept. Permission bits do not stop root, so when the tests
// run as root the permission cases run in a child that is the user nobody.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "document/design_file.h"
#include "document/file_io.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

std::string said(const Failure& failure) {
    return failure ? *failure : "done";
}

// Runs `action` in a forked child after `prepare`, and returns what the
// action said; a child that does not finish says so.
std::string in_child(const std::function<void()>& prepare,
                     const std::function<std::string()>& action) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) {
        return "no pipe";
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipe_fds[0]);
        prepare();
        const std::string words = action();
        // A pipe takes 64 kB at once, far more than any phrase.
        _exit(write(pipe_fds[1], words.data(), words.size()) == static_cast<ssize_t>(words.size())
                  ? 0
                  : 2);
    }
    close(pipe_fds[1]);
    std::string words;
    char buffer[256];
    ssize_t n;
    while ((n = read(pipe_fds[0], buffer, sizeof buffer)) > 0) {
        words.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipe_fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "the child did not finish";
    }
    return words;
}

// Runs `action` as someone whom permission bits stop: this process, or the
// user nobody in a child when the tests run as root.
std::string unprivileged(const std::function<std::string()>& action) {
    if (geteuid() != 0) {
        return action();
    }
    return in_child(
        [] {
            if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) {
                _exit(3);
            }
        },
        action);
}

std::string save(const std::string& path, const std::string& text) {
    AtomicWriter writer(path);
    writer.write(text);
    return said(writer.commit());
}

class FileIo : public ::testing::Test {
protected:
    // A folder of its own under /tmp that the user nobody can enter too.
    void SetUp() override {
        std::string name = "/tmp/looptide-file-io-XXXXXX";
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        folder_ = name;
        fs::permissions(folder_, fs::perms::all);
    }
    void TearDown() override {
        for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
            if (entry.symlink_status().type() == fs::file_type::directory) {
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
            }
        }
        fs::remove_all(folder_);
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    static void put(const std::string& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::set<std::string> names_in(const std::string& folder) {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    static unsigned mode_of(const std::string& file) {
        struct stat st {};
        stat(file.c_str(), &st);
        return st.st_mode & 07777;
    }

    fs::path folder_;
};

TEST_F(FileIo, ReadTakesOnlyAPlainReadableFileOfBoundedSizeAndKeepsTheContentsOnFailure) {
    std::string text = "kept";
    EXPECT_EQ(said(read_file(path("none"), 100, text)), "there is no such file");
    EXPECT_EQ(said(read_file(folder_.string(), 100, text)), "it is a folder");
    // Opening a FIFO must not wait for a writer.
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0666), 0);
    EXPECT_EQ(said(read_file(path("pipe"), 100, text)), "it is not a regular file");
    EXPECT_EQ(said(read_file("/dev/null", 100, text)), "it is not a regular file");
    put(path("empty"), "");
    EXPECT_EQ(said(read_file(path("empty"), 100, text)), "it is empty");
    put(path("ten"), "0123456789");
    EXPECT_EQ(said(read_file(path("ten"), 9, text)), "it is larger than 9 bytes");
    EXPECT_EQ(said(read_file(path("ten"), 1, text)), "it is larger than 1 byte");
    put(path("big"), "");
    fs::resize_file(path("big"), 64 * 1024 + 1);
    EXPECT_EQ(said(read_file(path("big"), 64 * 1024, text)), "it is larger than 64 kB");
    put(path("secret"), "hidden");
    fs::permissions(path("secret"), fs::perms::none);
    EXPECT_EQ(unprivileged([this] {
                  std::string mine;
                  return said(read_file(path("secret"), 100, mine));
              }),
              "permission denied");
    EXPECT_EQ(text, "kept");

    EXPECT_EQ(said(read_file(path("ten"), 10, text)), "done");
    EXPECT_EQ(text, "0123456789");
    // A file that reports no size, as those of /proc do, is read to its end,
    // and the bound still holds on what it turns out to hold.
    EXPECT_EQ(said(read_file("/proc/self/status", 1 << 20, text)), "done");
    EXPECT_NE(text.find("Umask:"), std::string::npos);
    EXPECT_EQ(said(read_file("/proc/self/status", 16, text)), "it is larger than 16 bytes");
}

TEST_F(FileIo, WriterReplacesAFileWholeKeepingItsPermissions) {
    const std::string file = path("ride.looptide");
    put(file, "old");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    if (geteuid() == 0) {
        // Someone else's file that root saves stays theirs.
        ASSERT_EQ(chown(file.c_str(), kNobody, kNobody), 0);
    }

    // Pieces of every size, small and past the writer's chunk, must reach
    // the file in their order.
    std::string expected;
    {
        AtomicWriter writer(file);
        const std::size_t sizes[] = {1, 100, 70000, 5, 200000, 65535, 1, 65536, 3, 131072};
        for (std::size_t i = 0; i < std::size(sizes); ++i) {
            const std::string piece(sizes[i], static_cast<char>('a' + i));
            writer.write(piece);
            expected += piece;
        }
        EXPECT_EQ(contents(file), "old") << "the target is untouched until the commit";
        EXPECT_EQ(said(writer.commit()), "done");
        EXPECT_EQ(said(writer.commit()), "it was already written");
    }
    EXPECT_TRUE(contents(file) == expected);
    EXPECT_EQ(mode_of(file), 0640u);
    if (geteuid() == 0) {
        struct stat st {};
        stat(file.c_str(), &st);
        EXPECT_EQ(st.st_uid, kNobody);
        EXPECT_EQ(st.st_gid, kNobody);
    }
    EXPECT_EQ(names_in(folder_.string()), std::set<std::string>{"ride.looptide"});

    // A new file gets what any new file gets: 0666 less the umask.
    const mode_t old_mask = umask(027);
    EXPECT_EQ(save(path("new.looptide"), "{}"), "done");
    umask(old_mask);
    EXPECT_EQ(mode_of(path("new.looptide")), 0640u);
    EXPECT_EQ(contents(path("new.looptide")), "{}");

    // A writer dropped before its commit leaves neither trace nor change.
    {
        AtomicWriter writer(file);
        writer.write("never");
        EXPECT_EQ(names_in(folder_.string()).size(), 3u) << "the temporary file is beside it";
    }
    EXPECT_TRUE(contents(file) == expected);
    EXPECT_EQ(names_in(folder_.string()), (std::set<std::string>{"new.looptide", "ride.looptide"}));
}

TEST_F(FileIo, FailedSavesLeaveTheOldFileWholeAndNoTemporaryFile) {
    // The target is a folder: refused before anything is created.
    fs::create_directory(path("sub"));
    put(path("sub/inner"), "inner");
    EXPECT_EQ(save(path("sub"), "text"), "it is a folder");
    EXPECT_EQ(names_in(folder_.string()), std::set<std::string>{"sub"});
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0666), 0);
    EXPECT_EQ(save(path("pipe"), "text"), "it is not a regular file");

    EXPECT_EQ(save(path("missing/ride.looptide"), "text"),
              "cannot create a temporary file in " + path("missing") + ": there is no such folder");

    // A folder nobody may write to.
    fs::create_directory(path("locked"));
    const std::string locked_file = path("locked/ride.looptide");
    put(locked_file, "old design");
    fs::permissions(path("locked"),
                    fs::perms::all & ~(fs::perms::owner_write | fs::perms::group_write |
                                       fs::perms::others_write));
    EXPECT_EQ(unprivileged([&] { return save(locked_file, "new design"); }),
              "cannot create a temporary file in " + path("locked") + ": permission denied");
    EXPECT_EQ(contents(locked_file), "old design");
    EXPECT_EQ(names_in(path("locked")), std::set<std::string>{"ride.looptide"});

    // The disk fills up partway: the file size limit makes every write past
    // 64 kB fail as a full disk would, with SIGXFSZ ignored so that the write
    // reports it.
    const std::string file = path("ride.looptide");
    put(file, "old design");
    const std::string said_in_child = in_child(
        [] {
            const rlimit limit{64 * 1024, 64 * 1024};
            signal(SIGXFSZ, SIG_IGN);
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                _exit(3);
            }
        },
        [&] { return save(file, std::string(1 << 20, 'x')); });
    EXPECT_EQ(said_in_child, "writing failed: file too large");
    EXPECT_EQ(contents(file), "old design");
    EXPECT_EQ(names_in(folder_.string()),
              (std::set<std::string>{"locked", "pipe", "ride.looptide", "sub"}));
}

int hook_signal = 0;
void raise_hook_signal() {
    raise(hook_signal);
}

// An interrupt, a termination request, a hang-up or the file-size limit
// while a file is being written ends the process as the signal always does,
// and takes the temporary file with it: while the text is written, and at
// the moment the file has just been created.
TEST_F(FileIo, ASignalDuringAWriteRemovesTheTemporaryFileAndEndsTheProcessAsUsual) {
    const std::string file = path("ride.csv");
    put(file, "old table");
    for (const bool at_creation : {false, true}) {
        for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) {
            const pid_t pid = fork();
            if (pid == 0) {
                signal(signal_number, SIG_DFL);
                const rlimit limit{256 * 1024, 256 * 1024};
                if (signal_number == SIGXFSZ && setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                    _exit(3);
                }
                hook_signal = signal_number;
                set_temporary_creation_hook(at_creation ? raise_hook_signal : nullptr);
                AtomicWriter writer(file);
                for (int i = 0; i < 8; ++i) {
                    writer.write(std::string(64 * 1024, 'x'));
                }
                raise(signal_number); // the file-size limit has raised SIGXFSZ already
                _exit(0);
            }
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            const std::string when = std::string(strsignal(signal_number)) +
                                     (at_creation ? " at creation" : " while writing");
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number)
                << when << ": status " << status;
            EXPECT_EQ(names_in(folder_.string()), std::set<std::string>{"ride.csv"}) << when;
            EXPECT_EQ(contents(file), "old table");
        }
    }
}

TEST_F(FileIo, OneFileByAnyPathIsTheSameFileAndANameTooLongIsSaidPlainly) {
    put(path("ride.looptide"), "design");
    put(path("copy.looptide"), "design");
    fs::create_symlink("ride.looptide", path("link"));
    const std::string here = fs::current_path().string();
    fs::current_path(folder_);
    const std::shared_ptr<void> back(nullptr, [&](void*) { fs::current_path(here); });
    struct Case {
        std::string a, b;
        bool same;
    } const cases[] = {
        {"ride.looptide", "ride.looptide", true},  {"ride.looptide", "./ride.looptide", true},
        {"link", path("ride.looptide"), true},     {"sub/../ride.looptide", "ride.looptide", false},
        {"ride.looptide", "copy.looptide", false}, {"ride.looptide", "none", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(same_file(c.a, c.b), c.same) << c.a << " and " << c.b;
    }
    EXPECT_EQ(save(path(std::string(300, 'n')), "text"), "the file name is too long");
    EXPECT_EQ(save(path(std::string(255, 'n')), "text"), "done");
}

TEST_F(FileIo, SavingThroughALinkReplacesTheFileItPointsTo) {
    fs::create_directory(path("links"));
    fs::create_directory(path("files"));
    put(path("files/ride.looptide"), "old");
    fs::create_symlink("../files/ride.looptide", path("links/ride"));
    fs::create_symlink(path("links/ride"), path("links/chain"));
    EXPECT_EQ(save(path("links/chain"), "new"), "done");
    EXPECT_TRUE(fs::is_symlink(path("links/ride")));
    EXPECT_TRUE(fs::is_symlink(path("links/chain")));
    EXPECT_EQ(contents(path("files/ride.looptide")), "new");
    EXPECT_EQ(names_in(path("links")), (std::set<std::string>{"chain", "ride"}));
    EXPECT_EQ(names_in(path("files")), std::set<std::string>{"ride.looptide"});

    // A link to nothing yet makes the file it names.
    fs::create_symlink("../files/later.looptide", path("links/later"));
    EXPECT_EQ(save(path("links/later"), "later"), "done");
    EXPECT_EQ(contents(path("files/later.looptide")), "later");

    fs::create_symlink("loop-b", path("links/loop-a"));
    fs::create_symlink("loop-a", path("links/loop-b"));
    const std::string failure = save(path("links/loop-a"), "text");
    EXPECT_EQ(failure.rfind("cannot follow the link ", 0), 0u) << failure;
    EXPECT_NE(failure.find("too many levels of symbolic links"), std::string::npos) << failure;
}

} // namespace
