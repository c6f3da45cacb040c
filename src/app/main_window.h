// The program's only top-level window: controls on the left, the 3-D view on
// the right.
#pragma once

#include <FL/Fl_Double_Window.H>

class MainWindow : public Fl_Double_Window {
public:
    MainWindow(int x, int y, int w, int h, const char* label);
    ~MainWindow() override;
};

// Builds the main window "Looptide" at (10, 10), 700 x 600, with its 23
// children in table order (the view among them), sets the_coaster_window and
// ends the window's group. The caller shows and owns the window; deleting it
// deletes every control and the view.
MainWindow* build_main_window();
