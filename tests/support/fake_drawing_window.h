#pragma once
// A window that draws, for the tests of the front ends: two menus, a log of what it was asked, and one
// command that closes it.

#include <string>
#include <vector>

#include "platform/drawing.h"

namespace tav::testing {

class FakeDrawingWindow : public DrawingWindow {
  public:
    std::string caption() const override { return "Dendrogramm"; }
    std::vector<Menu> menus() const override {
        return {{"Datei", {"Speichern", "", "Beenden"}},
                {"Schnitt", {"Anzahl Klassen", "Niveau    (Doppelklick)", "Klassen einsetzen"}}};
    }
    Drawing draw(const Canvas& canvas) override {
        log.push_back("draw " + std::to_string(canvas.width) + "x" + std::to_string(canvas.height));
        Drawing d;
        d.width = canvas.width;
        d.height = canvas.height;
        d.lines.push_back({10, 10, canvas.width - 10, 10, true});
        d.texts.push_back({10, 20, "Klassen: 2"});
        return d;
    }
    bool run(std::string_view command) override {
        log.emplace_back(command);
        return command != "Beenden";
    }
    void doubleClick(int x, int y) override {
        log.push_back("click " + std::to_string(x) + "," + std::to_string(y));
    }
    void drag(int dy) override { log.push_back("drag " + std::to_string(dy)); }
    void closing() override { log.emplace_back("closing"); }

    std::vector<std::string> log;
};

}  // namespace tav::testing
