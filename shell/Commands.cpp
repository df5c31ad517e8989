// RunCommand: line 0 of the commands text is the About box, line 1 the graph.
#include <string>

#include "shell/EqualiserMachine.h"
#include "shell/ParameterTable.h"

namespace lumo {
namespace {

std::string AboutText(const char* fullName) {
    std::string text = fullName;
    text += " v1.1\n\nbuild: Sep 10 2012\n\n";
    text += kAuthor;
    text += "\nhttps://tarvolumo.example/\n\nGraphics code by Tarvo Lumo developers";
    return text;
}

}  // namespace

void EqualiserMachine::RunCommand(int index) {
    if (index == abi::kCommandAbout) {
        const std::string text = AboutText(deliverable_.fullName);
        MessageBoxA(nullptr, text.c_str(), deliverable_.fullName, MB_SYSTEMMODAL | MB_ICONINFORMATION);
    } else if (index == abi::kCommandGraph) {
        graph_.ShowGraph();
    }
}

}  // namespace lumo
