// Tarvo Lumo-15: 15 bands two thirds of an octave apart. Everything else is shared by the family.
#include "product/Deliverable.h"

namespace lumo::product {
namespace {

constexpr DeliverableDefinition<15> kLumo15 = {
    "Tarvo Lumo-15",
    "Lumo-15",
    "TarvoLumo15WndClassName",
    8,                   // the 1 kHz band
    0.6666666666666666,  // band spacing in octaves
    {"25 Hz", "40 Hz", "63 Hz", "100 Hz", "160 Hz", "250 Hz", "400 Hz", "630 Hz",
     "1 kHz", "1.6 kHz", "2.5 kHz", "4 kHz", "6.3 kHz", "10 kHz", "16 kHz"},
    {"24.8 Hz", "39.4 Hz", "62.5 Hz", "99.2 Hz", "157 Hz", "250 Hz", "397 Hz", "630 Hz",
     "1000 Hz", "1587 Hz", "2520 Hz", "4000 Hz", "6350 Hz", "10079 Hz", "16000 Hz"},
};
static_assert(VerifiedDeliverable<kLumo15>::kVerified);

}  // namespace

const Deliverable& Lumo15() {
    static const Deliverable deliverable = kLumo15.View();
    return deliverable;
}

}  // namespace lumo::product
