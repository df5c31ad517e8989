// ParameterValueText: the machine's value texts ("16.0 dB", "0.67 octave") from the product layer.
#include "product/ValueText.h"
#include "shell/EqualiserMachine.h"

namespace lumo {
namespace {

// Shared by every machine of this plug-in; the host uses a text before asking again.
char gValueText[abi::kValueTextBytes];

}  // namespace

const char* EqualiserMachine::ParameterValueText(int parameterIndex, int raw) {
    // The band texts follow the Range the audio thread published: the host asks on its UI
    // thread. An index beyond the table reads as a band's, as every index but Range's and
    // Bandwidth's does.
    const bool known = parameterIndex >= 0 && parameterIndex < values_.Count();
    const product::Parameter parameter =
        product::ParameterAt(deliverable_, known ? parameterIndex : product::kFirstBandParameter);
    product::FormatValueText(parameter, raw, textRangeDb_.load(std::memory_order_relaxed), gValueText,
                             sizeof gValueText);
    return gValueText;
}

}  // namespace lumo
