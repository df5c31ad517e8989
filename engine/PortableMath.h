// Sine, cosine, hyperbolic sine and the exponential from additions, multiplications and
// divisions alone, for the designs of bands that run in double precision. C libraries round
// these functions differently in the last bit (glibc and the Windows runtime do); float designs
// round that away, double designs would not, and the Linux and Windows builds would then play
// different bits. Accurate to a few units in the last place over the ranges the design uses.
#pragma once

namespace lumo::engine::portable {

constexpr double kLn2 = 0.6931471805599453;   // the double nearest ln 2
constexpr double kLn10 = 2.302585092994046;   // the double nearest ln 10

double Exp(double x);   // |x| <= 700
double Sinh(double x);  // |x| <= 700
double Sin(double x);   // |x| <= 1e6
double Cos(double x);   // |x| <= 1e6

}  // namespace lumo::engine::portable
