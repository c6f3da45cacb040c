// The scene export as a file: a design's glTF scene written whole or not at
// all, for the command line and for Ctrl+Shift+E alike.
#pragma once

#include <string>

#include "document/design.h"
#include "document/file_io.h"

// The file extension of the exported scene (binary glTF).
constexpr const char* kSceneExtension = ".glb";

// Builds the design's scene (its own car controls give the ride's speeds) and
// writes it to `path` through AtomicWriter. On failure, a sentence: "Cannot
// export the scene to PATH: PHRASE.".
Failure export_scene_file(const Design& design, const std::string& path);
