// The controls' commands: the scene applies each within its limits, those
// that change the design through the document's edit path (so each is an
// undo step when it changed anything); the view asks for the redraw the
// control needs (damage(1)) and re-arms the step timeout when the animation's
// timing may have changed.
#include "view/coaster_window.h"

#include <FL/fl_ask.H>

void CoasterWindow::set_curve_type(CurveType type) {
    document_.edit([type](Scene& s) { s.set_curve_type(type); });
    damage(1);
}

void CoasterWindow::toggle_animation() {
    scene_.toggle_animation();
    schedule_step();
}

namespace {
// The key under which a slider's dragged changes make one undo step.
MergeKey slider_key(bool dragged, MergeKey::Kind kind, int target = -1) {
    return dragged ? MergeKey{kind, target} : MergeKey();
}
} // namespace

void CoasterWindow::set_tension(float tension, bool dragged) {
    document_.edit([tension](Scene& s) { s.set_tension(tension); },
                   slider_key(dragged, MergeKey::Kind::tension));
    damage(1);
}

void CoasterWindow::set_constant_velocity(bool on) {
    document_.edit([on](Scene& s) { s.set_constant_velocity(on); });
    schedule_step();
    damage(1);
}

void CoasterWindow::set_velocity(double v, bool dragged) {
    document_.edit([v](Scene& s) { s.set_velocity(v); },
                   slider_key(dragged, MergeKey::Kind::velocity));
    schedule_step();
    damage(1);
}

void CoasterWindow::set_look_from_car(bool on) {
    scene_.set_look_from_car(on);
    damage(1);
}

void CoasterWindow::set_selected_roll(double roll, bool dragged) {
    document_.edit([roll](Scene& s) { return s.set_selected_roll(roll); },
                   slider_key(dragged, MergeKey::Kind::roll, scene_.selection().index()));
    damage(1);
}

void CoasterWindow::add_car() {
    document_.edit([](Scene& s) { return s.add_car(); });
    damage(1);
}

void CoasterWindow::remove_car() {
    document_.edit([](Scene& s) { return s.remove_car(); });
    damage(1);
}

void CoasterWindow::set_lights_on(bool on) {
    scene_.set_lights_on(on);
    damage(1);
}

void CoasterWindow::set_conserve_energy(bool on) {
    document_.edit([on](Scene& s) { s.set_conserve_energy(on); });
    damage(1);
}

void CoasterWindow::add_point() {
    if (document_.edit([](Scene& s) { return s.add_point(); })) {
        damage(1);
    }
}

void CoasterWindow::remove_point() {
    if (document_.edit([](Scene& s) { return s.remove_point(); })) {
        damage(1);
    }
}

void CoasterWindow::add_ball_generator() {
    document_.edit([](Scene& s) { return s.add_ball_generator(); });
    damage(1);
}

void CoasterWindow::delete_selected_point() {
    if (document_.edit([](Scene& s) { return s.delete_selected_point(); })) {
        damage(1);
    } else {
        refuse();
    }
}

bool CoasterWindow::insert_point(float u) {
    if (document_.edit([u](Scene& s) { return s.insert_point(u); })) {
        damage(1);
        return true;
    }
    refuse();
    return false;
}

void CoasterWindow::refuse() {
    if (on_refusal_) {
        on_refusal_();
    } else {
        fl_beep();
    }
}

void CoasterWindow::design_replaced() {
    schedule_step();
    damage(1);
}
