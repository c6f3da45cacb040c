// The editor's keys, in one table: each key's name, its line in F1's help and
// in --help, and what it runs. The main window handles keys from it and the
// help texts list it, so a new key is one row.
#pragma once

#include <string>
#include <vector>

class MainWindow;

struct KeyCommand {
    int key;          // the toolkit's key code: a lower-case letter, FL_F + n, FL_Delete...;
                      // 0 for the view's gesture listed with the keys
    int modifiers;    // FL_CTRL and FL_SHIFT held with it (0 for neither)
    const char* name; // as a person writes it: "Ctrl+Shift+S"
    const char* help; // what it does, one line
    // What it runs; null for a key the toolkit handles itself (Escape) or
    // the gesture, which the view handles.
    void (*run)(MainWindow& window);
};

// Every row, in the order the help lists them.
const std::vector<KeyCommand>& key_table();

// The command for a key pressed with the modifiers in `state`: the row for
// exactly that Ctrl and Shift, or else the row for the key with the same
// Ctrl whatever Shift (so Ctrl+Shift+N is New, as Ctrl+N). Null for a key the
// table does not have, or one with no command of its own.
const KeyCommand* key_command(int key, int state);

// One line per key, in the table's order: "INDENTName: what it does".
std::string key_help(const std::string& indent);
