// The plug-ins' ports: stereo audio, then one control per machine parameter in its order, in the
// control units of product/Controls.h.
//
//   port 0, 1   audio in, left and right (group "in")
//   port 2, 3   audio out, left and right (group "out")
//   port 4 + p  the machine's parameter p: Range, Bandwidth, then the bands
#pragma once

#include "product/Parameters.h"

namespace lumo::lv2 {

constexpr int kInLeftPort = 0;
constexpr int kInRightPort = 1;
constexpr int kOutLeftPort = 2;
constexpr int kOutRightPort = 3;
constexpr int kFirstControlPort = 4;
constexpr int kRangePort = kFirstControlPort + product::kRangeParameter;
constexpr int kBandwidthPort = kFirstControlPort + product::kBandwidthParameter;
constexpr int kFirstBandPort = kFirstControlPort + product::kFirstBandParameter;  // band i: 6 + i
constexpr int kMaxPorts = kFirstControlPort + product::kMaxParameters;

inline int PortCount(const product::Deliverable& d) { return kFirstControlPort + product::ParameterCount(d); }
inline int ParameterOfPort(int port) { return port - kFirstControlPort; }

}  // namespace lumo::lv2
