// The example designs shipped in data/examples, each built through the Scene's
// commands as a person builds it with the controls and the mouse. No GL, no FLTK.
#pragma once

#include <string>
#include <vector>

#include "document/design.h"

struct Example {
    std::string name;  // the file's name without ".looptide"
    std::string title; // written in the file's "title" field, which readers ignore
    Design (*build)();
};

// Every example, in the order the README shows them.
const std::vector<Example>& examples();

// The text of the example's .looptide file.
std::string example_text(const Example& example);
