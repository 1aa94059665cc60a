// Table pieces that every variant shares: the sine table and its twiddle
// identities, the bit-reversal table, the permutations, the releases and the
// guard that keeps one thread's caches in one variant's layouts.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine.h"

void* allocTable(uint64_t count, uint64_t size, uint64_t extra) {
    // Leaves room for the allocator's own header. On 32-bit builds the tables
    // of the largest orders cannot be addressed: that is an allocation failure.
    const uint64_t limit = uint64_t(SIZE_MAX) - 64;
    if (count > limit / size || count * size > limit - extra) return nullptr;
    return alignedAlloc(size_t(count * size + extra));
}

float* buildSineTable(int32_t m) {
    if (m < 0 || m > 31) return nullptr;
    const int64_t n = int64_t(1) << m;
    const int64_t q = n / 4;
    float* s = static_cast<float*>(allocTable(uint64_t(q) + 1, sizeof(float), 0));
    if (!s) return nullptr;
    // The angle step and every product and sine are evaluated in double (the
    // x87 build evaluates them in its extended registers); each value is
    // rounded to float exactly once, when it is stored. Both halves keep the
    // argument at or below π/4.
    const double step = 6.283185307179586 / double(n);
    for (int64_t i = 0; i <= n / 8; ++i) s[i] = float(std::sin(double(i) * step));
    for (int64_t i = n / 8 + 1; i <= q; ++i) s[i] = float(std::cos(double(q - i) * step));
    return s;
}

void sineTwiddle(const float* sine, int64_t s, int64_t quarter, int64_t k, float* out) {
    const int64_t Q = quarter;
    if (k <= Q) {
        out[0] = sine[s * (Q - k)];
        out[1] = -sine[s * k];
    } else if (k <= 2 * Q) {
        out[0] = -sine[s * (k - Q)];
        out[1] = -sine[s * (2 * Q - k)];
    } else {
        out[0] = -sine[s * (3 * Q - k)];
        out[1] = sine[s * (k - 2 * Q)];
    }
}

void fillVectorTable(float* t, const float* sine, int32_t m) {
    if (m < 4) return;
    const int64_t n = int64_t(1) << m;
    for (int32_t L = 4 + m % 2; L <= m; L += 2) {
        const int64_t N = int64_t(1) << L, rows = N / 4;
        for (int64_t j = 0; j < rows; ++j)
            for (int64_t e = 0; e < 3; ++e) sineTwiddle(sine, n / N, rows, (e + 1) * j, t + 6 * j + 2 * e);
        // Float f of row r of each group of four rows moves to 4·f + r.
        for (float* group = t; group < t + 6 * rows; group += 24) {
            float rowMajor[24];
            std::memcpy(rowMajor, group, sizeof rowMajor);
            for (int r = 0; r < 4; ++r)
                for (int f = 0; f < 6; ++f) group[4 * f + r] = rowMajor[6 * r + f];
        }
        t += 6 * rows;
    }
}

BitRevTable getBitRevTable(int32_t m) {
    if (m < 0 || m > 31) return nullptr;
    ThreadContext* ctx = getThreadContext();
    if (ctx->bitRevTables[m]) return static_cast<BitRevTable>(ctx->bitRevTables[m]);
    const int64_t b = m >= 2 ? (int64_t(1) << m) / 4 : 0;
    int32_t* t = static_cast<int32_t*>(allocTable(uint64_t(b) + 1, sizeof(int32_t), 0));
    if (!t) return nullptr;
    if (m >= 2) {
        // r runs through rev(i) over the m - 2 low bits by the reversed
        // increment; pairs fill from the front, fixed points from b-1 down.
        int64_t r = 0, pairEnd = 0, fixedNext = b - 1;
        for (int64_t i = 1; i < b; ++i) {
            int64_t h = b / 2;
            while (h <= r) {
                r -= h;
                h /= 2;
            }
            r += h;
            if (i < r) {
                t[pairEnd++] = int32_t(4 * i);
                t[pairEnd++] = int32_t(4 * r);
            } else if (i == r) {
                t[fixedNext--] = int32_t(4 * i);
            }
        }
        t[pairEnd] = 0;
        t[b] = 0;
    }
    ctx->bitRevTables[m] = t;
    return t;
}

static void releaseSlot(void** slots, int32_t m) {
    if (m < 0 || m > 31) return;
    alignedFree(slots[m]);
    slots[m] = nullptr;
}

void releaseBitRevTable(int32_t m) { releaseSlot(getThreadContext()->bitRevTables, m); }
void releaseLargeTable(int32_t m) { releaseSlot(getThreadContext()->largeTables, m); }

void releaseAllTables() {
    ThreadContext* ctx = getThreadContext();
    void** caches[] = {ctx->largeTables, ctx->leafTables, ctx->splitRadixTables,
                       ctx->bitRevTables};
    for (void** slots : caches)
        for (int32_t m = 0; m < orderSlots; ++m) releaseSlot(slots, m);
}

namespace {
// Permutations move values bit for bit (no trip through x87 registers, which
// would quieten signalling NaNs).
inline void mv(float* d, const float* s) { std::memcpy(d, s, sizeof(float)); }
inline void sw(float* a, float* b) {
    float t;
    mv(&t, a);
    mv(a, b);
    mv(b, &t);
}
}  // namespace

__thread int32_t tableCacheOwner HALVEX_TLS_MODEL = -1;

void claimTableCaches(int32_t variant) {
    if (tableCacheOwner == variant) return;
    releaseAllTables();
    tableCacheOwner = variant;
}

// Index k = (top bit h, middle bits j, bottom bit l) reverses to (l, rev(j), h);
// the table lists the middle-bit pairs i < rev(i), then the fixed points.
void bitRevPermute(float* x, int64_t n, const int32_t* table) {
    if (n < 4) return;
    const int64_t H = n / 2;
    const int32_t* p = table;
    for (; *p != 0; p += 2) {
        const int64_t i = p[0] / 4, c = p[1] / 4;
        sw(&x[2 * i], &x[2 * c]);
        sw(&x[2 * i + 1], &x[H + 2 * c]);
        sw(&x[H + 2 * i], &x[2 * c + 1]);
        sw(&x[H + 2 * i + 1], &x[H + 2 * c + 1]);
    }
    sw(&x[1], &x[H]);
    for (++p; *p != 0; ++p) {
        const int64_t i = *p / 4;
        sw(&x[2 * i + 1], &x[H + 2 * i]);
    }
}

// From 256 points on the copy goes by tiles: with k = (top 4 bits a, middle
// bits b, low 4 bits c), rev(k) = (rev c, rev b, rev a), so the 16 source runs
// of 16 floats (a = 0..15, fixed b) fill 16 destination runs of 16 floats
// (rev c = 0..15, fixed rev b). Every cache line read or written is used whole.
static void bitRevCopyTiled(const float* src, float* dst, int32_t m) {
    static const uint8_t rev4[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
    const int64_t middle = int64_t(1) << (m - 8), rowStride = int64_t(1) << (m - 4);
    uint32_t in[16][16], out[16];
    // The destination runs go in increasing order (rb), the source runs are
    // found through b = rev(rb), kept by the reversed increment over m - 8
    // bits: the stores stream, while the scattered loads overlap.
    int64_t b = 0;
    for (int64_t rb = 0; rb < middle; ++rb) {
        if (rb != 0) {
            int64_t h = middle / 2;
            while (h <= b) {
                b -= h;
                h /= 2;
            }
            b += h;
        }
        for (int a = 0; a < 16; ++a) std::memcpy(in[a], src + a * rowStride + b * 16, sizeof in[a]);
        for (int c = 0; c < 16; ++c) {
            for (int a = 0; a < 16; ++a) out[rev4[a]] = in[a][c];
            std::memcpy(dst + rev4[c] * rowStride + rb * 16, out, sizeof out);
        }
    }
}

void bitRevCopy(const float* src, float* dst, int64_t n, const int32_t* table) {
    if (n >= 256) {
        int32_t m = 8;
        while ((int64_t(1) << m) < n) ++m;
        return bitRevCopyTiled(src, dst, m);
    }
    if (n < 8) {
        if (n < 1) return;
        mv(&dst[0], &src[0]);
        mv(&dst[n - 1], &src[n - 1]);
        if (n == 4) {
            mv(&dst[1], &src[2]);
            mv(&dst[2], &src[1]);
        }
        return;
    }
    const int64_t H = n / 2;
    const int32_t* p = table;
    for (; *p != 0; p += 2) {
        const int64_t i = p[0] / 4, c = p[1] / 4;
        mv(&dst[2 * c], &src[2 * i]);
        mv(&dst[2 * i], &src[2 * c]);
        mv(&dst[2 * c + 1], &src[H + 2 * i]);
        mv(&dst[2 * i + 1], &src[H + 2 * c]);
        mv(&dst[H + 2 * c], &src[2 * i + 1]);
        mv(&dst[H + 2 * i], &src[2 * c + 1]);
        mv(&dst[H + 2 * c + 1], &src[H + 2 * i + 1]);
        mv(&dst[H + 2 * i + 1], &src[H + 2 * c + 1]);
    }
    auto fixed = [&](int64_t i) {
        mv(&dst[2 * i], &src[2 * i]);
        mv(&dst[H + 2 * i], &src[2 * i + 1]);
        mv(&dst[2 * i + 1], &src[H + 2 * i]);
        mv(&dst[H + 2 * i + 1], &src[H + 2 * i + 1]);
    };
    fixed(0);
    for (++p; *p != 0; ++p) fixed(*p / 4);
}
