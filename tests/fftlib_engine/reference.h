// The slow transform every variant is held to, its bound and the signals fed
// to it: one copy for the engine's tests and the Windows driver, so that both
// builds answer to the same reference.
#pragma once
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <complex>
#include <cstring>
#include <cstdint>
#include <vector>

typedef std::vector<std::complex<double>> Spectrum;

// rev[k]: k with its `order` low bits reversed.
inline std::vector<int64_t> reversal(int order) {
    std::vector<int64_t> rev(size_t(1) << order, 0);
    for (size_t k = 1; k < rev.size(); ++k) rev[k] = (rev[k >> 1] >> 1) | int64_t(k & 1) << (order - 1);
    return rev;
}

// n points of exact floats k / 2^23 in [-1, 1) from a 64-bit LCG (Knuth's MMIX
// constants): the same bits on every architecture.
inline void randomPoints(float* re, float* im, int64_t n, uint32_t seed) {
    uint64_t state = 0x9E3779B97F4A7C15ull * (uint64_t(seed) + 1);
    for (int64_t k = 0; k < 2 * n; ++k) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        (k < n ? re[k] : im[k - n]) = float(int64_t(state >> 40) - (int64_t(1) << 23)) / float(1 << 23);
    }
}

// X[k] = sum of x[j]·e^(-sign·2πi·jk/n), unscaled, in double: plain radix-2 stages on
// bit-reversed input, each twiddle from a long-double cosine and sine of its own angle.
inline Spectrum reference(const float* re, const float* im, int order, int sign) {
    const std::vector<int64_t> rev = reversal(order);
    Spectrum X(rev.size());
    for (size_t k = 0; k < X.size(); ++k) X[k] = {re[rev[k]], im[rev[k]]};
    for (size_t s = 1; s < X.size(); s *= 2) {
        Spectrum w(s);
        for (size_t k = 0; k < s; ++k) {
            const long double a = -sign * 3.141592653589793238462643383279503L * (long double)k / (long double)s;
            w[k] = {double(std::cos(a)), double(std::sin(a))};
        }
        for (size_t g = 0; g < X.size(); g += 2 * s)
            for (size_t k = 0; k < s; ++k) {
                const std::complex<double> t = w[k] * X[g + s + k];
                X[g + s + k] = X[g + k] - t;
                X[g + k] += t;
            }
    }
    return X;
}

// Relative RMS distance of (re, im) from scale·X (position k holding X[rev[k]] where rev is given).
inline double relativeError(const float* re, const float* im, const Spectrum& X, double scale,
                            const std::vector<int64_t>* rev) {
    double err = 0, ref = 0;
    for (size_t k = 0; k < X.size(); ++k) {
        const std::complex<double> e = scale * X[size_t(rev ? (*rev)[k] : int64_t(k))];
        err += std::norm(std::complex<double>(re[k], im[k]) - e), ref += std::norm(e);
    }
    return std::sqrt(err / std::max(ref, 1e-300));
}

// The documented LeafSize of each variant, as an order.
const int leafOrders[] = {10, 10, 10, 10, 10, 14};

// The constant a variant multiplies by in place of √½ on the path that flags
// choose at this order, as bits; 0 where the path has none. Variants 0 to 3
// run their DIF leaf (0.707107 in variant 0) for bit-reversed output from
// natural input, from 8 points up; the vector variants (4, 5) run a first pass
// with 0.70710683 in a leaf of odd order.
inline uint32_t eighthRootBits(int variant, int order, int flags) {
    if (order < 3) return 0;
    if (variant <= 3) return (flags & 128) && !(flags & 64) ? (variant == 0 ? 0x3F3504F7u : 0x3F3504F3u) : 0;
    return order % 2 == 1 && order <= leafOrders[variant] ? 0x3F3504F4u : 0;
}

// The relative RMS error a variant's result keeps within, derived from its
// operations. Each radix-2 stage (a radix-4 stage counts as two) forms a ± w·b
// and rounds to float: the twiddle w (once, from double), the four products
// and two sums of w·b, and the sum with a, each within u = 2^-24 of its value.
// Independent roundings add as squares: at most u²·(|b|² + |b|² + |b|² + |y|²)
// for an output y, and on random data |y|² ≈ 2|b|², so (1.58u)² per stage,
// bounded by (2u)²; over `order` stages, which pass errors on with their
// norm, 2u·sqrt(order) = sqrt(order)·FLT_EPSILON. A constant that misses √½
// by a relative δ errs by δ in each product it makes. Those products carry a
// share of the points' energy: a quarter in the vector first pass; in the DIF
// leaf 8/(3·N) at its level of N points, two thirds over all levels. Made of
// different data, their errors add as squares too: δ·sqrt(share) < δ.
inline double errorBound(int variant, int order, int flags) {
    double bound = std::sqrt(double(std::max(order, 1))) * FLT_EPSILON;
    if (const uint32_t bits = eighthRootBits(variant, order, flags)) {
        float c;
        std::memcpy(&c, &bits, sizeof c);
        bound += std::fabs(double(c) - std::sqrt(0.5)) / std::sqrt(0.5);
    }
    return bound;
}
