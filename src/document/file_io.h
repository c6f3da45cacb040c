// Whole files, read and written safely. A read takes only a plain file of
// bounded size. A write goes to a temporary file in the target's folder, is
// flushed to disk, and only then renamed over the target, so an old file stays
// whole until its replacement is complete. No GL, no FLTK.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// What went wrong, as a phrase that completes "Cannot open FILE: ..." or
// "Cannot save FILE: ..." (for example "it is a folder"); empty on success.
using Failure = std::optional<std::string>;

// Reads the whole of a plain file of at most max_bytes bytes into `contents`,
// which is left unchanged on failure: no such file, not readable, a folder
// or other non-file, empty, or larger than max_bytes.
Failure read_file(const std::string& path, std::size_t max_bytes, std::string& contents);

// Whether the two paths name one existing file (the same device and inode),
// whatever spelling or links lead to it: a command that reads one file and
// writes another refuses to write over what it reads.
bool same_file(const std::string& a, const std::string& b);

// Writes one file in place of `path` (a new file or a replacement), or not at
// all: until commit() succeeds the target is untouched, and a writer that is
// destroyed uncommitted removes its temporary file. So does an interrupt, a
// termination request or a file-size limit (SIGINT, SIGTERM, SIGHUP, SIGXFSZ)
// that arrives while the temporary file exists: the process then ends with
// that signal's usual status, as it would have without a writer.
// For tests: `hook` is called inside AtomicWriter's constructor just after
// its temporary file is created, where a test raises a signal to check the
// file is removed wherever a signal lands. Null (the default) for none.
void set_temporary_creation_hook(void (*hook)());

class AtomicWriter {
public:
    explicit AtomicWriter(std::string path);
    ~AtomicWriter();
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;

    // Appends bytes to the temporary file (unbuffered: callers hand over
    // whole texts or large chunks). A failure is kept and reported by commit().
    void write(std::string_view bytes);
    // Flushes and syncs the temporary file, gives it the target's permissions
    // (a new file has the creation mask's), and renames it over the target.
    // Commits once.
    Failure commit();

private:
    // Makes the temporary file beside the target, under a random name.
    void create_temporary(bool replacing);
    // Hands bytes to the temporary file, keeping the first failure.
    void write_through(std::string_view bytes);
    // The old file's permission bits (and owner, when root saves) for the
    // temporary file.
    void keep_permissions();
    // Removes the temporary file, if there still is one.
    void discard_temporary();

    std::string path_; // the file replaced: the given path, symbolic links followed
    std::string temp_path_;
    int fd_ = -1;
    int signal_slot_ = -1; // where the signal handler finds temp_path_; -1 if nowhere
    Failure failure_;
    bool committed_ = false;
};
