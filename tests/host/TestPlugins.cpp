#include <gtest/gtest.h>

#include "TestPlugins.h"

namespace lumo::test {

const std::vector<MachineCase>& AllMachines() {
    static const std::vector<MachineCase> machines = {
        {"Tarvo Lumo-31", "Lumo-31", 31, 8, 17,
         {{"20 Hz", "19.7 Hz"},     {"25 Hz", "24.8 Hz"},    {"31.5 Hz", "31.3 Hz"},
          {"40 Hz", "39.4 Hz"},     {"50 Hz", "49.6 Hz"},    {"63 Hz", "62.5 Hz"},
          {"80 Hz", "78.7 Hz"},     {"100 Hz", "99.2 Hz"},   {"125 Hz", "125 Hz"},
          {"160 Hz", "157 Hz"},     {"200 Hz", "198 Hz"},    {"250 Hz", "250 Hz"},
          {"315 Hz", "315 Hz"},     {"400 Hz", "397 Hz"},    {"500 Hz", "500 Hz"},
          {"630 Hz", "630 Hz"},     {"800 Hz", "794 Hz"},    {"1 kHz", "1000 Hz"},
          {"1.25 kHz", "1260 Hz"},  {"1.6 kHz", "1587 Hz"},  {"2 kHz", "2000 Hz"},
          {"2.5 kHz", "2520 Hz"},   {"3.15 kHz", "3175 Hz"}, {"4 kHz", "4000 Hz"},
          {"5 kHz", "5040 Hz"},     {"6.3 kHz", "6350 Hz"},  {"8 kHz", "8000 Hz"},
          {"10 kHz", "10079 Hz"},   {"12.5 kHz", "12699 Hz"}, {"16 kHz", "16000 Hz"},
          {"20 kHz", "20159 Hz"}}},
        {"Tarvo Lumo-20", "Lumo-20", 20, 12, 11,
         {{"22 Hz", "22 Hz"},     {"31 Hz", "31 Hz"},     {"44 Hz", "44 Hz"},
          {"63 Hz", "63 Hz"},     {"88 Hz", "88 Hz"},     {"125 Hz", "125 Hz"},
          {"177 Hz", "177 Hz"},   {"250 Hz", "250 Hz"},   {"354 Hz", "354 Hz"},
          {"500 Hz", "500 Hz"},   {"707 Hz", "707 Hz"},   {"1 kHz", "1000 Hz"},
          {"1.4 kHz", "1414 Hz"}, {"2 kHz", "2000 Hz"},   {"2.8 kHz", "2828 Hz"},
          {"4 kHz", "4000 Hz"},   {"5.6 kHz", "5657 Hz"}, {"8 kHz", "8000 Hz"},
          {"11 kHz", "11314 Hz"}, {"16 kHz", "16000 Hz"}}},
        {"Tarvo Lumo-15", "Lumo-15", 15, 16, 8,
         {{"25 Hz", "24.8 Hz"},   {"40 Hz", "39.4 Hz"},   {"63 Hz", "62.5 Hz"},
          {"100 Hz", "99.2 Hz"},  {"160 Hz", "157 Hz"},   {"250 Hz", "250 Hz"},
          {"400 Hz", "397 Hz"},   {"630 Hz", "630 Hz"},   {"1 kHz", "1000 Hz"},
          {"1.6 kHz", "1587 Hz"}, {"2.5 kHz", "2520 Hz"}, {"4 kHz", "4000 Hz"},
          {"6.3 kHz", "6350 Hz"}, {"10 kHz", "10079 Hz"}, {"16 kHz", "16000 Hz"}}},
    };
    return machines;
}

}  // namespace lumo::test
