// Tarvo Lumo-20: 20 bands half an octave apart. Everything else is shared by the family.
#include "product/Deliverable.h"

namespace lumo::product {
namespace {

constexpr DeliverableDefinition<20> kLumo20 = {
    "Tarvo Lumo-20",
    "Lumo-20",
    "TarvoLumo20WndClassName",
    11,   // the 1 kHz band
    0.5,  // band spacing in octaves
    {"22 Hz", "31 Hz", "44 Hz", "63 Hz", "88 Hz", "125 Hz", "177 Hz", "250 Hz", "354 Hz", "500 Hz",
     "707 Hz", "1 kHz", "1.4 kHz", "2 kHz", "2.8 kHz", "4 kHz", "5.6 kHz", "8 kHz", "11 kHz",
     "16 kHz"},
    {"22 Hz", "31 Hz", "44 Hz", "63 Hz", "88 Hz", "125 Hz", "177 Hz", "250 Hz", "354 Hz", "500 Hz",
     "707 Hz", "1000 Hz", "1414 Hz", "2000 Hz", "2828 Hz", "4000 Hz", "5657 Hz", "8000 Hz",
     "11314 Hz", "16000 Hz"},
};
static_assert(VerifiedDeliverable<kLumo20>::kVerified);

}  // namespace

const Deliverable& Lumo20() {
    static const Deliverable deliverable = kLumo20.View();
    return deliverable;
}

}  // namespace lumo::product
