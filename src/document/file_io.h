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

// The folder part of a path: "." for a bare name, "/" for a name at the root.
std::string folder_of(const std::string& path);
// The part after the last slash.
std::string name_of(const std::string& path);

// Reads the whole of a plain file of at most max_bytes bytes into `contents`,
// which is left unchanged on failure: no such file, not readable, a folder
// or other non-file, empty, or larger than max_bytes.
Failure read_file(const std::string& path, std::size_t max_bytes, std::string& contents);

// Writes one file in place of `path` (a new file or a replacement), or not at
// all: until commit() succeeds the target is untouched, and a writer that is
// destroyed uncommitted removes its temporary file.
class AtomicWriter {
public:
    explicit AtomicWriter(std::string path);
    ~AtomicWriter();
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;

    // Appends bytes (buffered). A failure is kept and reported by commit().
    void write(std::string_view bytes);
    // Flushes and syncs the temporary file, gives it the target's permissions
    // (or a new file's), and renames it over the target. Commits once.
    Failure commit();

private:
    // Hands bytes to the temporary file, keeping the first failure.
    void write_through(std::string_view bytes);
    // The target's permission bits (and owner, when root saves) for the
    // temporary file, or a new file's.
    void give_permissions();

    std::string path_; // the file replaced: the given path, symbolic links followed
    std::string temp_path_;
    int fd_ = -1;
    std::string buffer_;
    Failure failure_;
    bool committed_ = false;
};
