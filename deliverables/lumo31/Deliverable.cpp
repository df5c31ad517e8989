// Tarvo Lumo-31: 31 bands a third of an octave apart. Everything else is shared by the family.
#include "product/Deliverable.h"

namespace lumo::product {
namespace {

constexpr DeliverableDefinition<31> kLumo31 = {
    "Tarvo Lumo-31",
    "Lumo-31",
    "TarvoLumo31WndClassName",
    17,                  // the 1 kHz band
    0.3333333333333333,  // band spacing in octaves
    {"20 Hz", "25 Hz", "31.5 Hz", "40 Hz", "50 Hz", "63 Hz", "80 Hz", "100 Hz",
     "125 Hz", "160 Hz", "200 Hz", "250 Hz", "315 Hz", "400 Hz", "500 Hz", "630 Hz",
     "800 Hz", "1 kHz", "1.25 kHz", "1.6 kHz", "2 kHz", "2.5 kHz", "3.15 kHz", "4 kHz",
     "5 kHz", "6.3 kHz", "8 kHz", "10 kHz", "12.5 kHz", "16 kHz", "20 kHz"},
    {"19.7 Hz", "24.8 Hz", "31.3 Hz", "39.4 Hz", "49.6 Hz", "62.5 Hz", "78.7 Hz", "99.2 Hz",
     "125 Hz", "157 Hz", "198 Hz", "250 Hz", "315 Hz", "397 Hz", "500 Hz", "630 Hz",
     "794 Hz", "1000 Hz", "1260 Hz", "1587 Hz", "2000 Hz", "2520 Hz", "3175 Hz", "4000 Hz",
     "5040 Hz", "6350 Hz", "8000 Hz", "10079 Hz", "12699 Hz", "16000 Hz", "20159 Hz"},
};
static_assert(VerifiedDeliverable<kLumo31>::kVerified);

}  // namespace

const Deliverable& Lumo31() {
    static const Deliverable deliverable = kLumo31.View();
    return deliverable;
}

}  // namespace lumo::product
