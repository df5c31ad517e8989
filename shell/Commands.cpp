// RunCommand: line 0 of the commands text is the About box, line 1 the graph.
#include <string>

#include "EqualiserMachine.h"

namespace lumo {
namespace {

constexpr int kAboutCommand = 0;
constexpr int kGraphCommand = 1;

std::string AboutText() {
    std::string text = layout::kFullName;
    text += " v1.1\n\nbuild: Sep 10 2012\n\n";
    text += kAuthor;
    text += "\nhttps://tarvolumo.example/\n\nGraphics code by Tarvo Lumo developers";
    return text;
}

}  // namespace

void EqualiserMachine::RunCommand(int index) {
    if (index == kAboutCommand) {
        const std::string text = AboutText();
        MessageBoxA(nullptr, text.c_str(), layout::kFullName, MB_SYSTEMMODAL | MB_ICONINFORMATION);
    } else if (index == kGraphCommand) {
        ComputeCurve();
        OpenGraphWindow();
    }
}

}  // namespace lumo
