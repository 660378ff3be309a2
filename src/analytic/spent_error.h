#pragma once

namespace gsd {

// P(Z > x) for a standard normal Z, in double.
double normal_upper_tail(double x);

// The x with P(Z > x) = p, 0 < p < 1, to a few units in the last place:
// Newton steps on erfc from a bracketing start.
double normal_upper_quantile(double p);

// The use functions of bounds/use_function.h in double: the cumulative
// type-I error of the Lan-DeMets method at information fraction u and
// information ratio r = information / v0, by use-function code (1 O'Brien &
// Fleming type 2 (1 - Phi(z / sqrt(u))) with z the quantile for 1 - alpha/2;
// 2 Pocock type alpha ln(1 + 1.71828 u); 3 linear alpha u; any other code
// Siegmund's phi(b) (b - 1/b) ln r + 4 phi(b) / b).
double use_function_error(int use_function_code, double alpha, double u, double r, double b);

}  // namespace gsd
