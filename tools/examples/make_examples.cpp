// make_examples: writes every example design as FOLDER/NAME.looptide, each
// file replaced whole. Run by scripts/make-examples.sh for data/examples.
//   make_examples FOLDER
#include <cstdio>
#include <string>

#include "document/file_io.h"
#include "examples.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_examples FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    int status = 0;
    for (const Example& example : examples()) {
        const std::string path = folder + "/" + example.name + ".looptide";
        AtomicWriter writer(path);
        writer.write(example_text(example));
        if (const Failure failure = writer.commit()) {
            std::fprintf(stderr, "Cannot save %s: %s.\n", path.c_str(), failure->c_str());
            status = 1;
        } else {
            std::printf("wrote %s\n", path.c_str());
        }
    }
    return status;
}
