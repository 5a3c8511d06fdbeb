#include "processing/modules/correlation.h"

#include "core/error.h"

#include "core/extended.h"
#include "processing/modules/lanes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <type_traits>
#include <utility>

namespace tarnix::modules {

namespace {

// The forward transform of h points in natural order, leaving the bins in
// bit-reversed order; kernel e^(-2 pi i jk / h), h a power of two, at least 4.
template <class T>
[[gnu::always_inline]] inline void forwardBody(T* __restrict re, T* __restrict im, int h,
                                               const T* tabRe, const T* tabIm) {
    for (int L = h / 2; L >= 4; L /= 2) {
        const T* __restrict wr = tabRe + L - 1;
        const T* __restrict wi = tabIm + L - 1;
        for (int s0 = 0; s0 < h; s0 += 2 * L) {
            T* __restrict pr = re + s0;
            T* __restrict pi = im + s0;
            T* __restrict qr = re + s0 + L;
            T* __restrict qi = im + s0 + L;
            for (int j = 0; j < L; ++j) {
                const T dr = pr[j] - qr[j], di = pi[j] - qi[j];
                pr[j] += qr[j];
                pi[j] += qi[j];
                qr[j] = dr * wr[j] - di * wi[j];
                qi[j] = dr * wi[j] + di * wr[j];
            }
        }
    }
    // The last two stages need no multiplications: one pass of fours.
    for (int s = 0; s < h; s += 4) {
        const T a0r = re[s] + re[s + 2], a0i = im[s] + im[s + 2];
        const T a2r = re[s] - re[s + 2], a2i = im[s] - im[s + 2];
        const T a1r = re[s + 1] + re[s + 3], a1i = im[s + 1] + im[s + 3];
        // -i x (x1 - x3)
        const T a3r = im[s + 1] - im[s + 3], a3i = re[s + 3] - re[s + 1];
        re[s] = a0r + a1r, im[s] = a0i + a1i;
        re[s + 1] = a0r - a1r, im[s + 1] = a0i - a1i;
        re[s + 2] = a2r + a3r, im[s + 2] = a2i + a3i;
        re[s + 3] = a2r - a3r, im[s + 3] = a2i - a3i;
    }
}

// The inverse transform of h bins in bit-reversed order, leaving the values in
// natural order; kernel e^(+2 pi i jk / h), unscaled.
template <class T>
[[gnu::always_inline]] inline void inverseBody(T* __restrict re, T* __restrict im, int h,
                                               const T* tabRe, const T* tabImInverse) {
    for (int s = 0; s < h; s += 4) {
        const T a0r = re[s] + re[s + 1], a0i = im[s] + im[s + 1];
        const T a1r = re[s] - re[s + 1], a1i = im[s] - im[s + 1];
        const T a2r = re[s + 2] + re[s + 3], a2i = im[s + 2] + im[s + 3];
        // +i x (x2 - x3)
        const T a3r = im[s + 3] - im[s + 2], a3i = re[s + 2] - re[s + 3];
        re[s] = a0r + a2r, im[s] = a0i + a2i;
        re[s + 2] = a0r - a2r, im[s + 2] = a0i - a2i;
        re[s + 1] = a1r + a3r, im[s + 1] = a1i + a3i;
        re[s + 3] = a1r - a3r, im[s + 3] = a1i - a3i;
    }
    for (int L = 4; L < h; L *= 2) {
        const T* __restrict wr = tabRe + L - 1;
        const T* __restrict wi = tabImInverse + L - 1;
        for (int s0 = 0; s0 < h; s0 += 2 * L) {
            T* __restrict pr = re + s0;
            T* __restrict pi = im + s0;
            T* __restrict qr = re + s0 + L;
            T* __restrict qi = im + s0 + L;
            for (int j = 0; j < L; ++j) {
                const T tr = wr[j] * qr[j] - wi[j] * qi[j];
                const T ti = wr[j] * qi[j] + wi[j] * qr[j];
                qr[j] = pr[j] - tr;
                qi[j] = pi[j] - ti;
                pr[j] += tr;
                pi[j] += ti;
            }
        }
    }
}

__attribute__((target_clones("avx2", "default"))) void
forwardToReversed(double* re, double* im, int h, const double* tabRe, const double* tabIm) {
    forwardBody(re, im, h, tabRe, tabIm);
}

__attribute__((target_clones("avx2", "default"))) void
inverseFromReversed(double* re, double* im, int h, const double* tabRe,
                    const double* tabImInverse) {
    inverseBody(re, im, h, tabRe, tabImInverse);
}

struct Cx {
    double r, i;
};
Cx operator+(Cx a, Cx b) {
    return {a.r + b.r, a.i + b.i};
}
Cx operator-(Cx a, Cx b) {
    return {a.r - b.r, a.i - b.i};
}
Cx operator*(Cx a, Cx b) {
    return {a.r * b.r - a.i * b.i, a.r * b.i + a.i * b.r};
}
Cx conj(Cx a) {
    return {a.r, -a.i};
}
Cx timesI(Cx a) {
    return {-a.i, a.r};
}

// Bins k and h - k of the N = 2h real points from bins k and h - k of their
// packed transform z: V[k] = E + W O, V[h - k] = conj(E - W O), with
// E = (z[k] + conj z[h-k]) / 2, O = -i (z[k] - conj z[h-k]) / 2, W = e^(-2 pi i k / N).
void separate(Cx za, Cx zb, Cx w, Cx& vk, Cx& vhk) {
    const Cx e = {0.5 * (za.r + zb.r), 0.5 * (za.i - zb.i)};
    const Cx o = {0.5 * (za.i + zb.i), -0.5 * (za.r - zb.r)};
    const Cx wo = w * o;
    vk = e + wo;
    vhk = conj(e - wo);
}

// Single precision, eight lanes where the processor has them. Sixteen where it
// has those: one instruction does the work of two eight-lane ones, so twice
// the butterflies wait for their operands at once (the passes wait on their
// chains more than on the arithmetic).
using F8 = float __attribute__((vector_size(32)));
using F16 = float __attribute__((vector_size(64)));

[[gnu::always_inline]] inline F8 load8(const float* p) {
    return lanes::load<F8>(p);
}
[[gnu::always_inline]] inline void store8(float* p, F8 v) {
    lanes::store(p, v);
}
// Loads kept in a register, of eight or sixteen lanes: the compiler would
// otherwise fold a load into every operation that uses it, and the transforms
// are bound by loads.
template <class V> [[gnu::always_inline]] inline V loadReg(const float* p) {
    V v = lanes::load<V>(p);
    asm("" : "+v"(v));
    return v;
}
[[gnu::always_inline]] inline F8 loadReg8(const float* p) {
    return loadReg<F8>(p);
}
[[gnu::always_inline]] inline F8 reversed8(F8 v) {
    return __builtin_shufflevector(v, v, 7, 6, 5, 4, 3, 2, 1, 0);
}

// One bin pair of the float product pass (lanes of V are independent pairs):
// za at place p holds bin k, zb at place q bin h - k; ra, rb the reference's
// bins k and h - k over 2N; w = e^(-2 pi i k / N). Writes y at p and q.
template <class V>
[[gnu::always_inline]] inline void productPair(V& zar, V& zai, V& zbr, V& zbi, V wr, V wi, V rar,
                                               V rai, V rbr, V rbi) {
    // Twice E and O of the unpacking (the halves are in the reference).
    const V er = zar + zbr, ei = zai - zbi;
    const V orr = zai + zbi, oi = zbr - zar;
    const V wor = wr * orr - wi * oi, woi = wr * oi + wi * orr;
    const V vkr = er + wor, vki = ei + woi;
    const V vhr = er - wor, vhi = woi - ei;
    const V pkr = vkr * rar + vki * rai, pki = vki * rar - vkr * rai;
    const V phr = vhr * rbr + vhi * rbi, phi = vhi * rbr - vhr * rbi;
    const V ar = pkr + phr, ai = pki - phi;
    const V dr = pkr - phr, di = pki + phi;
    const V gr = dr * wr + di * wi, gi = di * wr - dr * wi;
    zar = ar - gi, zai = ai + gr;
    zbr = ar + gi, zbi = gr - ai;
}

// The product pass in the forward transform's places. Place p holds bin
// rev(p); places 0 and 1 hold bins 0 and h/2, their own partners, and within
// each block [2^j, 2^(j+1)) place p's partner (bin h - rev(p)) is at
// 3 * 2^j - 1 - p, so each block pairs its first half with its mirrored second.
[[gnu::always_inline]] inline void productBody(float* __restrict re, float* __restrict im, int h,
                                               const float* wr, const float* wi, const float* rr,
                                               const float* ri, float rhr, float rhi) {
    {
        // Bins 0 and h: z = a + ib gives V[0] = a + b, V[h] = a - b, both real.
        float zr = re[0], zi = im[0], zr2 = zr, zi2 = zi;
        productPair<float>(zr, zi, zr2, zi2, 1, 0, rr[0], ri[0], rhr, rhi);
        re[0] = zr, im[0] = zi;
        zr = re[1], zi = im[1], zr2 = zr, zi2 = zi;
        productPair<float>(zr, zi, zr2, zi2, wr[1], wi[1], rr[1], ri[1], rr[1], ri[1]);
        re[1] = zr, im[1] = zi;
    }
    for (int b = 2; b < h; b *= 2) {
        const int half = b / 2;
        int p = b;
        if (half >= 8) {
            for (; p + 8 <= b + half; p += 8) {
                const int q = 3 * b - 1 - p - 7; // lowest place of the mirrored eight
                F8 zar = load8(re + p), zai = load8(im + p);
                F8 zbr = reversed8(load8(re + q)), zbi = reversed8(load8(im + q));
                productPair<F8>(zar, zai, zbr, zbi, load8(wr + p), load8(wi + p), load8(rr + p),
                                load8(ri + p), reversed8(load8(rr + q)), reversed8(load8(ri + q)));
                store8(re + p, zar), store8(im + p, zai);
                store8(re + q, reversed8(zbr)), store8(im + q, reversed8(zbi));
            }
        }
        for (; p < b + half; ++p) {
            const int q = 3 * b - 1 - p;
            productPair<float>(re[p], im[p], re[q], im[q], wr[p], wi[p], rr[p], ri[p], rr[q],
                               ri[q]);
        }
    }
}

template <int... I> [[gnu::always_inline]] inline F8 pick(F8 a, F8 b) {
    return __builtin_shufflevector(a, b, I...);
}

// One butterfly of the forward transform on a vector of lanes: p + q into p, (p - q) w into q.
template <class V>
[[gnu::always_inline]] inline void forwardPair(V& ar, V& ai, V& br, V& bi, V cr, V ci) {
    const V dr = ar - br, di = ai - bi;
    ar = ar + br, ai = ai + bi;
    br = dr * cr - di * ci, bi = dr * ci + di * cr;
}
// One of the inverse: with t = w q, p + t into p and p - t into q.
template <class V>
[[gnu::always_inline]] inline void inversePair(V& ar, V& ai, V& br, V& bi, V cr, V ci) {
    const V tr = cr * br - ci * bi, ti = cr * bi + ci * br;
    br = ar - tr, bi = ai - ti;
    ar = ar + tr, ai = ai + ti;
}

// The last three forward stages (first three inverse) within each block of
// eight places, in registers.
[[gnu::always_inline]] inline void forwardLastThree(F8& r, F8& i, F8 w4r, F8 w4i) {
    const F8 halves = {1, 1, 1, 1, -1, -1, -1, -1}, pairs = {1, 1, -1, -1, 1, 1, -1, -1},
             odds = {1, -1, 1, -1, 1, -1, 1, -1};
    // L = 4: p + q in lanes 0-3, (p - q) w in 4-7 (w = 1 exactly in 0-3).
    F8 tr = pick<0, 1, 2, 3, 0, 1, 2, 3>(r, r) + halves * pick<4, 5, 6, 7, 4, 5, 6, 7>(r, r);
    F8 ti = pick<0, 1, 2, 3, 0, 1, 2, 3>(i, i) + halves * pick<4, 5, 6, 7, 4, 5, 6, 7>(i, i);
    r = tr * w4r - ti * w4i;
    i = tr * w4i + ti * w4r;
    // L = 2 and 1: x0 + x2, x1 + x3, x0 - x2, -i (x1 - x3), then sums and differences of pairs.
    tr = pick<0, 1, 0, 1, 4, 5, 4, 5>(r, r) + pairs * pick<2, 3, 2, 3, 6, 7, 6, 7>(r, r);
    ti = pick<0, 1, 0, 1, 4, 5, 4, 5>(i, i) + pairs * pick<2, 3, 2, 3, 6, 7, 6, 7>(i, i);
    r = pick<0, 1, 2, 11, 4, 5, 6, 15>(tr, ti);
    i = pick<0, 1, 2, 11, 4, 5, 6, 15>(ti, -tr);
    r = pick<0, 0, 2, 2, 4, 4, 6, 6>(r, r) + odds * pick<1, 1, 3, 3, 5, 5, 7, 7>(r, r);
    i = pick<0, 0, 2, 2, 4, 4, 6, 6>(i, i) + odds * pick<1, 1, 3, 3, 5, 5, 7, 7>(i, i);
}
[[gnu::always_inline]] inline void inverseFirstThree(F8& r, F8& i, F8 w4r, F8 w4i) {
    const F8 halves = {1, 1, 1, 1, -1, -1, -1, -1}, pairs = {1, 1, -1, -1, 1, 1, -1, -1},
             odds = {1, -1, 1, -1, 1, -1, 1, -1};
    // x0 + x1, x0 - x1, x2 + x3, +i (x2 - x3), then the pairs two apart.
    F8 tr = pick<0, 0, 2, 2, 4, 4, 6, 6>(r, r) + odds * pick<1, 1, 3, 3, 5, 5, 7, 7>(r, r);
    F8 ti = pick<0, 0, 2, 2, 4, 4, 6, 6>(i, i) + odds * pick<1, 1, 3, 3, 5, 5, 7, 7>(i, i);
    r = pick<0, 1, 2, 11, 4, 5, 6, 15>(tr, -ti);
    i = pick<0, 1, 2, 11, 4, 5, 6, 15>(ti, tr);
    r = pick<0, 1, 0, 1, 4, 5, 4, 5>(r, r) + pairs * pick<2, 3, 2, 3, 6, 7, 6, 7>(r, r);
    i = pick<0, 1, 0, 1, 4, 5, 4, 5>(i, i) + pairs * pick<2, 3, 2, 3, 6, 7, 6, 7>(i, i);
    // L = 4: t = w q, then p + t in lanes 0-3 and p - t in 4-7.
    const F8 qr = pick<4, 5, 6, 7, 4, 5, 6, 7>(r, r), qi = pick<4, 5, 6, 7, 4, 5, 6, 7>(i, i);
    tr = w4r * qr - w4i * qi;
    ti = w4r * qi + w4i * qr;
    r = pick<0, 1, 2, 3, 0, 1, 2, 3>(r, r) + halves * tr;
    i = pick<0, 1, 2, 3, 0, 1, 2, 3>(i, i) + halves * ti;
}

// Where there are at least 64 places, each 64 of them is kept transposed
// between the forward's last stages and the inverse's first: block a's place l
// (p = 8a + l) at 8l + a, so that the stages within blocks of eight work across
// vectors instead of within them, and each transform transposes only once.
[[gnu::always_inline]] inline int transposedPlace(int p) {
    return (p & ~63) | ((p & 7) << 3) | ((p >> 3) & 7);
}

[[gnu::always_inline]] inline void transpose8(F8* v) {
    F8 t[8], u[8];
    for (int k = 0; k < 8; k += 2) {
        t[k] = pick<0, 8, 1, 9, 4, 12, 5, 13>(v[k], v[k + 1]);
        t[k + 1] = pick<2, 10, 3, 11, 6, 14, 7, 15>(v[k], v[k + 1]);
    }
    for (int k = 0; k < 8; k += 4) {
        u[k] = pick<0, 1, 8, 9, 4, 5, 12, 13>(t[k], t[k + 2]);
        u[k + 1] = pick<2, 3, 10, 11, 6, 7, 14, 15>(t[k], t[k + 2]);
        u[k + 2] = pick<0, 1, 8, 9, 4, 5, 12, 13>(t[k + 1], t[k + 3]);
        u[k + 3] = pick<2, 3, 10, 11, 6, 7, 14, 15>(t[k + 1], t[k + 3]);
    }
    for (int k = 0; k < 4; ++k) {
        v[k] = pick<0, 1, 2, 3, 8, 9, 10, 11>(u[k], u[k + 4]);
        v[k + 4] = pick<4, 5, 6, 7, 12, 13, 14, 15>(u[k], u[k + 4]);
    }
}
// Two 64s at once: each half of the sixteen lanes transposed as transpose8 does.
template <int... I> [[gnu::always_inline]] inline F16 pick16(F16 a, F16 b) {
    return __builtin_shufflevector(a, b, I...);
}
[[gnu::always_inline]] inline void transpose8(F16* v) {
    F16 t[8], u[8];
    for (int k = 0; k < 8; k += 2) {
        t[k] = pick16<0, 16, 1, 17, 4, 20, 5, 21, 8, 24, 9, 25, 12, 28, 13, 29>(v[k], v[k + 1]);
        t[k + 1] =
            pick16<2, 18, 3, 19, 6, 22, 7, 23, 10, 26, 11, 27, 14, 30, 15, 31>(v[k], v[k + 1]);
    }
    for (int k = 0; k < 8; k += 4) {
        u[k] = pick16<0, 1, 16, 17, 4, 5, 20, 21, 8, 9, 24, 25, 12, 13, 28, 29>(t[k], t[k + 2]);
        u[k + 1] =
            pick16<2, 3, 18, 19, 6, 7, 22, 23, 10, 11, 26, 27, 14, 15, 30, 31>(t[k], t[k + 2]);
        u[k + 2] =
            pick16<0, 1, 16, 17, 4, 5, 20, 21, 8, 9, 24, 25, 12, 13, 28, 29>(t[k + 1], t[k + 3]);
        u[k + 3] =
            pick16<2, 3, 18, 19, 6, 7, 22, 23, 10, 11, 26, 27, 14, 15, 30, 31>(t[k + 1], t[k + 3]);
    }
    for (int k = 0; k < 4; ++k) {
        v[k] = pick16<0, 1, 2, 3, 16, 17, 18, 19, 8, 9, 10, 11, 24, 25, 26, 27>(u[k], u[k + 4]);
        v[k + 4] =
            pick16<4, 5, 6, 7, 20, 21, 22, 23, 12, 13, 14, 15, 28, 29, 30, 31>(u[k], u[k + 4]);
    }
}

// Vector k of a 64 (F8), or of two 64s side by side (F16, the second in the
// upper lanes).
template <class V> [[gnu::always_inline]] inline V loadGroups(const float* p) {
    if constexpr (sizeof(V) == sizeof(F8)) {
        return loadReg8(p);
    } else {
        V v = __builtin_shufflevector(load8(p), load8(p + 64), 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11,
                                      12, 13, 14, 15);
        asm("" : "+v"(v));
        return v;
    }
}
template <class V> [[gnu::always_inline]] inline void storeGroups(float* p, V v) {
    if constexpr (sizeof(V) == sizeof(F8)) {
        store8(p, v);
    } else {
        store8(p, __builtin_shufflevector(v, v, 0, 1, 2, 3, 4, 5, 6, 7));
        store8(p + 64, __builtin_shufflevector(v, v, 8, 9, 10, 11, 12, 13, 14, 15));
    }
}
template <class V> [[gnu::always_inline]] inline V bothGroups(F8 w) {
    if constexpr (sizeof(V) == sizeof(F8))
        return w;
    else
        return __builtin_shufflevector(w, w, 0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7);
}

// The forward's stage L = 8 (with eight) and its last three on 64 places (or
// two 64s), read in natural order and written transposed; the same operations
// as forwardLastThree, where the twiddle 1 needs none.
template <class V>
[[gnu::always_inline]] inline void forwardLastTransposed(float* __restrict re, float* __restrict im,
                                                         bool eight, F8 w8r, F8 w8i,
                                                         const float* tabRe, const float* tabIm) {
    V r[8], i[8];
    for (int k = 0; k < 8; ++k) r[k] = loadGroups<V>(re + 8 * k), i[k] = loadGroups<V>(im + 8 * k);
    if (eight) {
        const V wr = bothGroups<V>(w8r), wi = bothGroups<V>(w8i);
        for (int k = 0; k < 8; k += 2) forwardPair(r[k], i[k], r[k + 1], i[k + 1], wr, wi);
    }
    transpose8(r);
    transpose8(i);
    {
        const V dr = r[0] - r[4], di = i[0] - i[4];
        r[0] = r[0] + r[4], i[0] = i[0] + i[4];
        r[4] = dr, i[4] = di;
    }
    for (int l = 1; l < 4; ++l)
        forwardPair(r[l], i[l], r[l + 4], i[l + 4], V{} + tabRe[3 + l], V{} + tabIm[3 + l]);
    for (int l = 0; l < 8; l += 4) {
        const V a0r = r[l] + r[l + 2], a0i = i[l] + i[l + 2];
        const V a2r = r[l] - r[l + 2], a2i = i[l] - i[l + 2];
        const V a1r = r[l + 1] + r[l + 3], a1i = i[l + 1] + i[l + 3];
        // -i x (x1 - x3)
        const V a3r = i[l + 1] - i[l + 3], a3i = r[l + 3] - r[l + 1];
        r[l] = a0r + a1r, i[l] = a0i + a1i;
        r[l + 1] = a0r - a1r, i[l + 1] = a0i - a1i;
        r[l + 2] = a2r + a3r, i[l + 2] = a2i + a3i;
        r[l + 3] = a2r - a3r, i[l + 3] = a2i - a3i;
    }
    for (int k = 0; k < 8; ++k) storeGroups(re + 8 * k, r[k]), storeGroups(im + 8 * k, i[k]);
}

// The inverse's first three stages and L = 8 (with eight) on 64 transposed
// places (or two 64s), written in natural order; adds the squares of the bins
// to norm2.
template <class V>
[[gnu::always_inline]] inline void
inverseFirstTransposed(float* __restrict re, float* __restrict im, bool eight, F8 w8r, F8 w8i,
                       const float* tabRe, const float* tabImInverse, F8& norm2) {
    V r[8], i[8], squares{};
    for (int k = 0; k < 8; ++k) {
        r[k] = loadGroups<V>(re + 8 * k), i[k] = loadGroups<V>(im + 8 * k);
        squares += r[k] * r[k] + i[k] * i[k];
    }
    if constexpr (sizeof(V) == sizeof(F8))
        norm2 += squares;
    else
        norm2 += __builtin_shufflevector(squares, squares, 0, 1, 2, 3, 4, 5, 6, 7) +
                 __builtin_shufflevector(squares, squares, 8, 9, 10, 11, 12, 13, 14, 15);
    for (int l = 0; l < 8; l += 4) {
        const V a0r = r[l] + r[l + 1], a0i = i[l] + i[l + 1];
        const V a1r = r[l] - r[l + 1], a1i = i[l] - i[l + 1];
        const V a2r = r[l + 2] + r[l + 3], a2i = i[l + 2] + i[l + 3];
        // +i x (x2 - x3)
        const V a3r = i[l + 3] - i[l + 2], a3i = r[l + 2] - r[l + 3];
        r[l] = a0r + a2r, i[l] = a0i + a2i;
        r[l + 2] = a0r - a2r, i[l + 2] = a0i - a2i;
        r[l + 1] = a1r + a3r, i[l + 1] = a1i + a3i;
        r[l + 3] = a1r - a3r, i[l + 3] = a1i - a3i;
    }
    {
        const V qr = r[4], qi = i[4];
        r[4] = r[0] - qr, i[4] = i[0] - qi;
        r[0] = r[0] + qr, i[0] = i[0] + qi;
    }
    for (int l = 1; l < 4; ++l)
        inversePair(r[l], i[l], r[l + 4], i[l + 4], V{} + tabRe[3 + l], V{} + tabImInverse[3 + l]);
    transpose8(r);
    transpose8(i);
    if (eight) {
        const V wr = bothGroups<V>(w8r), wi = bothGroups<V>(w8i);
        for (int k = 0; k < 8; k += 2) inversePair(r[k], i[k], r[k + 1], i[k + 1], wr, wi);
    }
    for (int k = 0; k < 8; ++k) storeGroups(re + 8 * k, r[k]), storeGroups(im + 8 * k, i[k]);
}

// The forward's stages L = 2M and M (M = h/4) where the upper half of the
// places is zero: places j, j + M of the lower half and their images above.
template <class V>
[[gnu::always_inline]] inline void forwardFirstSweep(float* __restrict re, float* __restrict im,
                                                     int M, const float* tabRe,
                                                     const float* tabIm) {
    constexpr int w = sizeof(V) / sizeof(float);
    const float *w1r = tabRe + 2 * M - 1, *w1i = tabIm + 2 * M - 1;
    const float *w2r = tabRe + M - 1, *w2i = tabIm + M - 1;
    for (int j = 0; j < M; j += w) {
        V ar = loadReg<V>(re + j), ai = loadReg<V>(im + j), br = loadReg<V>(re + M + j),
          bi = loadReg<V>(im + M + j);
        V cr = loadReg<V>(w1r + j), ci = loadReg<V>(w1i + j);
        V er = ar * cr - ai * ci, ei = ar * ci + ai * cr;
        cr = loadReg<V>(w1r + M + j), ci = loadReg<V>(w1i + M + j);
        V fr = br * cr - bi * ci, fi = br * ci + bi * cr;
        cr = loadReg<V>(w2r + j), ci = loadReg<V>(w2i + j);
        forwardPair(ar, ai, br, bi, cr, ci);
        forwardPair(er, ei, fr, fi, cr, ci);
        lanes::store(re + j, ar), lanes::store(im + j, ai);
        lanes::store(re + M + j, br), lanes::store(im + M + j, bi);
        lanes::store(re + 2 * M + j, er), lanes::store(im + 2 * M + j, ei);
        lanes::store(re + 3 * M + j, fr), lanes::store(im + 3 * M + j, fi);
    }
}

// The forward's stages L and L/2 over places j, j + L/2, j + L, j + 3L/2 of
// each block of 2L.
template <class V>
[[gnu::always_inline]] inline void forwardPairedSweep(float* __restrict re, float* __restrict im,
                                                      int h, int L, const float* tabRe,
                                                      const float* tabIm) {
    constexpr int w = sizeof(V) / sizeof(float);
    const int M = L / 2;
    const float *w1r = tabRe + L - 1, *w1i = tabIm + L - 1;
    const float *w2r = tabRe + M - 1, *w2i = tabIm + M - 1;
    for (int s0 = 0; s0 < h; s0 += 2 * L)
        for (int j = 0; j < M; j += w) {
            float *r = re + s0 + j, *i = im + s0 + j;
            V ar = loadReg<V>(r), ai = loadReg<V>(i), br = loadReg<V>(r + M),
              bi = loadReg<V>(i + M);
            V cr = loadReg<V>(r + L), ci = loadReg<V>(i + L), dr = loadReg<V>(r + L + M),
              di = loadReg<V>(i + L + M);
            forwardPair(ar, ai, cr, ci, loadReg<V>(w1r + j), loadReg<V>(w1i + j));
            forwardPair(br, bi, dr, di, loadReg<V>(w1r + M + j), loadReg<V>(w1i + M + j));
            const V wr = loadReg<V>(w2r + j), wi = loadReg<V>(w2i + j);
            forwardPair(ar, ai, br, bi, wr, wi);
            forwardPair(cr, ci, dr, di, wr, wi);
            lanes::store(r, ar), lanes::store(i, ai), lanes::store(r + M, br),
                lanes::store(i + M, bi);
            lanes::store(r + L, cr), lanes::store(i + L, ci);
            lanes::store(r + L + M, dr), lanes::store(i + L + M, di);
        }
}

// The inverse's stages L and 2L over places j, j + L, j + 2L, j + 3L of each
// block of 4L, where they are not the last.
template <class V>
[[gnu::always_inline]] inline void inversePairedSweep(float* __restrict re, float* __restrict im,
                                                      int h, int L, const float* tabRe,
                                                      const float* tabImInverse) {
    constexpr int w = sizeof(V) / sizeof(float);
    const float *w1r = tabRe + L - 1, *w1i = tabImInverse + L - 1;
    const float *w2r = tabRe + 2 * L - 1, *w2i = tabImInverse + 2 * L - 1;
    for (int s0 = 0; s0 < h; s0 += 4 * L)
        for (int j = 0; j < L; j += w) {
            float *r = re + s0 + j, *i = im + s0 + j;
            V ar = loadReg<V>(r), ai = loadReg<V>(i), br = loadReg<V>(r + L),
              bi = loadReg<V>(i + L);
            V cr = loadReg<V>(r + 2 * L), ci = loadReg<V>(i + 2 * L), dr = loadReg<V>(r + 3 * L),
              di = loadReg<V>(i + 3 * L);
            const V wr = loadReg<V>(w1r + j), wi = loadReg<V>(w1i + j);
            inversePair(ar, ai, br, bi, wr, wi);
            inversePair(cr, ci, dr, di, wr, wi);
            inversePair(ar, ai, cr, ci, loadReg<V>(w2r + j), loadReg<V>(w2i + j));
            inversePair(br, bi, dr, di, loadReg<V>(w2r + L + j), loadReg<V>(w2i + L + j));
            lanes::store(r, ar), lanes::store(i, ai), lanes::store(r + L, br),
                lanes::store(i + L, bi);
            lanes::store(r + 2 * L, cr), lanes::store(i + 2 * L, ci);
            lanes::store(r + 3 * L, dr), lanes::store(i + 3 * L, di);
        }
}

// The float transforms in eight lanes throughout (h at least 8), with the
// same operations as forwardBody and inverseBody so that their error bound
// holds. The arrays fill much of the first-level cache, so two stages are
// taken per sweep (four places in registers) and the stage with L = 8, when
// the count is odd, goes with the three done within blocks of eight.
// The forward's upper half of places is zero on entry (the trace is at most
// half the points), so its first stage only multiplies the lower half into it.
template <int W>
[[gnu::always_inline]] inline void forwardEights(float* __restrict re, float* __restrict im, int h,
                                                 const float* tabRe, const float* tabIm) {
    if (h == 16) {
        const F8 ar = loadReg8(re), ai = loadReg8(im), cr = loadReg8(tabRe + 7),
                 ci = loadReg8(tabIm + 7);
        store8(re + 8, ar * cr - ai * ci), store8(im + 8, ar * ci + ai * cr);
    } else if (h >= 32) {
        const int L = h / 4;
        if (W == 16 && L >= 16)
            forwardFirstSweep<F16>(re, im, L, tabRe, tabIm);
        else
            forwardFirstSweep<F8>(re, im, L, tabRe, tabIm);
    }
    int stages = 0; // of L = h/8 .. 8
    for (int L = h / 8; L >= 8; L /= 2) ++stages;
    int L = h / 8;
    for (; stages >= 2; stages -= 2, L /= 4) {
        if (W == 16 && L / 2 >= 16)
            forwardPairedSweep<F16>(re, im, h, L, tabRe, tabIm);
        else
            forwardPairedSweep<F8>(re, im, h, L, tabRe, tabIm);
    }
    if (h >= 64) {
        const F8 w8r = load8(tabRe + 7), w8i = load8(tabIm + 7);
        if (W == 16 && h >= 128)
            for (int s = 0; s < h; s += 128)
                forwardLastTransposed<F16>(re + s, im + s, stages == 1, w8r, w8i, tabRe, tabIm);
        else
            for (int s = 0; s < h; s += 64)
                forwardLastTransposed<F8>(re + s, im + s, stages == 1, w8r, w8i, tabRe, tabIm);
        return;
    }
    const F8 w4r = {1, 1, 1, 1, tabRe[3], tabRe[4], tabRe[5], tabRe[6]};
    const F8 w4i = {0, 0, 0, 0, tabIm[3], tabIm[4], tabIm[5], tabIm[6]};
    if (stages == 1) {
        const F8 w8r = loadReg8(tabRe + 7), w8i = loadReg8(tabIm + 7);
        for (int s = 0; s < h; s += 16) {
            F8 ar = loadReg8(re + s), ai = loadReg8(im + s), br = loadReg8(re + s + 8),
               bi = loadReg8(im + s + 8);
            forwardPair(ar, ai, br, bi, w8r, w8i);
            forwardLastThree(ar, ai, w4r, w4i);
            forwardLastThree(br, bi, w4r, w4i);
            store8(re + s, ar), store8(im + s, ai), store8(re + s + 8, br), store8(im + s + 8, bi);
        }
        return;
    }
    for (int s = 0; s < h; s += 8) {
        F8 r = loadReg8(re + s), i = loadReg8(im + s);
        forwardLastThree(r, i, w4r, w4i);
        store8(re + s, r), store8(im + s, i);
    }
}

// Only places [0, keep) of the output are made in the last stage; returns the
// sum of the squares of the input bins, which is the output's over h (Parseval).
// Where the last stage is taken with the one before it (h at least 32), the
// largest of re[0..keep) and im[0..odds) is found on the way, into peak.
template <int W>
[[gnu::always_inline]] inline float
inverseEights(float* __restrict re, float* __restrict im, int h, int keep, int odds,
              const float* tabRe, const float* tabImInverse, float& peak, bool& havePeak) {
    const F8 w4r = {tabRe[3], tabRe[4], tabRe[5], tabRe[6], tabRe[3], tabRe[4], tabRe[5], tabRe[6]};
    const F8 w4i = {tabImInverse[3], tabImInverse[4], tabImInverse[5], tabImInverse[6],
                    tabImInverse[3], tabImInverse[4], tabImInverse[5], tabImInverse[6]};
    int stages = 0; // of L = 8 .. h/2
    for (int L = 8; L < h; L *= 2) ++stages;
    F8 norm2{};
    int L = 8;
    if (h >= 64) {
        const bool eight = stages % 2 == 1;
        const F8 w8r = load8(tabRe + 7), w8i = load8(tabImInverse + 7);
        if (W == 16 && h >= 128)
            for (int s = 0; s < h; s += 128)
                inverseFirstTransposed<F16>(re + s, im + s, eight, w8r, w8i, tabRe, tabImInverse,
                                            norm2);
        else
            for (int s = 0; s < h; s += 64)
                inverseFirstTransposed<F8>(re + s, im + s, eight, w8r, w8i, tabRe, tabImInverse,
                                           norm2);
        if (eight) --stages, L = 16;
    } else if (stages % 2 == 1) {
        const F8 w8r = loadReg8(tabRe + 7), w8i = loadReg8(tabImInverse + 7);
        for (int s = 0; s < h; s += 16) {
            F8 ar = loadReg8(re + s), ai = loadReg8(im + s), br = loadReg8(re + s + 8),
               bi = loadReg8(im + s + 8);
            norm2 += ar * ar + ai * ai;
            norm2 += br * br + bi * bi;
            inverseFirstThree(ar, ai, w4r, w4i);
            inverseFirstThree(br, bi, w4r, w4i);
            inversePair(ar, ai, br, bi, w8r, w8i);
            store8(re + s, ar), store8(im + s, ai), store8(re + s + 8, br), store8(im + s + 8, bi);
        }
        --stages;
        L = 16;
    } else {
        for (int s = 0; s < h; s += 8) {
            F8 r = loadReg8(re + s), i = loadReg8(im + s);
            norm2 += r * r + i * i;
            inverseFirstThree(r, i, w4r, w4i);
            store8(re + s, r), store8(im + s, i);
        }
    }
    // Blocks of eight below whole hold lags of both kinds; the rest are looked
    // at one by one.
    const int whole = odds / 8 * 8;
    F8 top = F8{} - HUGE_VALF;
    bool lastPaired = false;
    for (; stages >= 2; stages -= 2, L *= 4) {
        // L and 2L over places j, j + L, j + 2L, j + 3L of each block of 4L;
        // the last stage makes only the lower half, and of it only [0, keep).
        const bool last = 4 * L == h;
        if (!last) {
            if (W == 16 && L >= 16)
                inversePairedSweep<F16>(re, im, h, L, tabRe, tabImInverse);
            else
                inversePairedSweep<F8>(re, im, h, L, tabRe, tabImInverse);
            continue;
        }
        lastPaired = true;
        const float *w1r = tabRe + L - 1, *w1i = tabImInverse + L - 1;
        const float *w2r = tabRe + 2 * L - 1, *w2i = tabImInverse + 2 * L - 1;
        for (int s0 = 0; s0 < h; s0 += 4 * L)
            for (int j = 0; j < L; j += 8) {
                float *r = re + s0 + j, *i = im + s0 + j;
                F8 ar = loadReg8(r), ai = loadReg8(i), br = loadReg8(r + L), bi = loadReg8(i + L);
                F8 cr = loadReg8(r + 2 * L), ci = loadReg8(i + 2 * L), dr = loadReg8(r + 3 * L),
                   di = loadReg8(i + 3 * L);
                const F8 wr = loadReg8(w1r + j), wi = loadReg8(w1i + j);
                inversePair(ar, ai, br, bi, wr, wi);
                inversePair(cr, ci, dr, di, wr, wi);
                inversePair(ar, ai, cr, ci, loadReg8(w2r + j), loadReg8(w2i + j));
                store8(r, ar), store8(i, ai);
                if (j < whole) top = ar > top ? ar : top, top = ai > top ? ai : top;
                if (j + L < keep) {
                    inversePair(br, bi, dr, di, loadReg8(w2r + L + j), loadReg8(w2i + L + j));
                    store8(r + L, br), store8(i + L, bi);
                    if (j + L < whole) top = br > top ? br : top, top = bi > top ? bi : top;
                }
            }
    }
    if (lastPaired) {
        peak = top[0];
        for (int k = 1; k < 8; ++k) peak = std::max(peak, top[k]);
        for (int k = whole; k < keep; ++k) peak = std::max(peak, re[k]);
        for (int k = whole; k < odds; ++k) peak = std::max(peak, im[k]);
        havePeak = true;
    }
    float sum = 0;
    for (int k = 0; k < 8; ++k) sum += norm2[k];
    return sum;
}

[[gnu::target("avx2,fma")]] void forwardFma(float* re, float* im, int h, const float* tr,
                                            const float* ti) {
    if (h >= 8)
        forwardEights<8>(re, im, h, tr, ti);
    else
        forwardBody(re, im, h, tr, ti);
}
// h at least 64.
[[gnu::target("avx2,fma,avx512f")]] void forwardWide(float* re, float* im, int h, const float* tr,
                                                     const float* ti) {
    forwardEights<16>(re, im, h, tr, ti);
}
// The sum of the squares of the output over all h places, or -1 when it is to
// be taken from the output.
[[gnu::target("avx2,fma")]] double inverseFma(float* re, float* im, int h, int keep, int odds,
                                              const float* tr, const float* ti, float& peak,
                                              bool& havePeak) {
    havePeak = false;
    if (h >= 8)
        return static_cast<double>(h) *
               inverseEights<8>(re, im, h, keep, odds, tr, ti, peak, havePeak);
    inverseBody(re, im, h, tr, ti);
    return -1;
}
// h at least 64.
[[gnu::target("avx2,fma,avx512f")]] double inverseWide(float* re, float* im, int h, int keep,
                                                       int odds, const float* tr, const float* ti,
                                                       float& peak, bool& havePeak) {
    havePeak = false;
    return static_cast<double>(h) *
           inverseEights<16>(re, im, h, keep, odds, tr, ti, peak, havePeak);
}
// W bin pairs of the product pass: places p.. with places q.. backwards.
template <int W>
[[gnu::always_inline]] inline void productLanes(float* __restrict re, float* __restrict im,
                                                const float* wr, const float* wi, const float* rr,
                                                const float* ri, int p, int q) {
    using V = std::conditional_t<W == 8, F8, F16>;
    auto load = [](const float* a) [[gnu::always_inline]] { return loadReg<V>(a); };
    auto back = [](V v) [[gnu::always_inline]] {
        if constexpr (W == 8)
            return __builtin_shufflevector(v, v, 7, 6, 5, 4, 3, 2, 1, 0);
        else
            return __builtin_shufflevector(v, v, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1,
                                           0);
    };
    auto store = [](float* a, V v) [[gnu::always_inline]] { lanes::store(a, v); };
    V zar = load(re + p), zai = load(im + p);
    V zbr = back(load(re + q)), zbi = back(load(im + q));
    productPair<V>(zar, zai, zbr, zbi, load(wr + p), load(wi + p), load(rr + p), load(ri + p),
                   back(load(rr + q)), back(load(ri + q)));
    store(re + p, zar), store(im + p, zai);
    store(re + q, back(zbr)), store(im + q, back(zbi));
}

// The product pass where the places are transposed within each 64: places
// below 64 one by one; above, vector l of a 64 (its blocks' place l) pairs
// with vector 7 - l of the mirrored 64, lanes reversed.
template <int W>
[[gnu::always_inline]] inline void
productTransposed(float* __restrict re, float* __restrict im, int h, const float* wr,
                  const float* wi, const float* rr, const float* ri, float rhr, float rhi) {
    {
        float zr = re[0], zi = im[0], zr2 = zr, zi2 = zi;
        productPair<float>(zr, zi, zr2, zi2, 1, 0, rr[0], ri[0], rhr, rhi);
        re[0] = zr, im[0] = zi;
        const int one = transposedPlace(1);
        zr = re[one], zi = im[one], zr2 = zr, zi2 = zi;
        productPair<float>(zr, zi, zr2, zi2, wr[one], wi[one], rr[one], ri[one], rr[one], ri[one]);
        re[one] = zr, im[one] = zi;
    }
    for (int b = 2; b < 64 && b < h; b *= 2)
        for (int p = b; p < b + b / 2; ++p) {
            const int a = transposedPlace(p), c = transposedPlace(3 * b - 1 - p);
            productPair<float>(re[a], im[a], re[c], im[c], wr[a], wi[a], rr[a], ri[a], rr[c],
                               ri[c]);
        }
    // With sixteen lanes, vectors l and l + 1 go with 7 - l and 6 - l.
    constexpr int step = W / 8;
    if (h > 64)
        for (int l = 0; l < 4; l += step)
            productLanes<W>(re, im, wr, wi, rr, ri, 64 + 8 * l, 64 + 8 * (8 - step - l));
    for (int b = 128; b < h; b *= 2)
        for (int g = b / 64; g < b / 64 + b / 128; ++g) {
            const int mirror = 3 * b / 64 - 1 - g;
            for (int l = 0; l < 8; l += step)
                productLanes<W>(re, im, wr, wi, rr, ri, 64 * g + 8 * l,
                                64 * mirror + 8 * (8 - step - l));
        }
}

[[gnu::target("avx2,fma")]] void productFma(float* re, float* im, int h, const float* wr,
                                            const float* wi, const float* rr, const float* ri,
                                            float rhr, float rhi) {
    if (h >= 64)
        productTransposed<8>(re, im, h, wr, wi, rr, ri, rhr, rhi);
    else
        productBody(re, im, h, wr, wi, rr, ri, rhr, rhi);
}
// The transposed places only (h at least 64).
[[gnu::target("avx2,fma,avx512f")]] void productWide(float* re, float* im, int h, const float* wr,
                                                     const float* wi, const float* rr,
                                                     const float* ri, float rhr, float rhi) {
    productTransposed<16>(re, im, h, wr, wi, rr, ri, rhr, rhi);
}
void forwardPlain(float* re, float* im, int h, const float* tr, const float* ti) {
    forwardBody(re, im, h, tr, ti);
}
void inversePlain(float* re, float* im, int h, const float* tr, const float* ti) {
    inverseBody(re, im, h, tr, ti);
}
void productPlain(float* re, float* im, int h, const float* wr, const float* wi, const float* rr,
                  const float* ri, float rhr, float rhi) {
    productBody(re, im, h, wr, wi, rr, ri, rhr, rhi);
}

// The largest of re[0..evens) and im[0..odds), and the sum of the squares of
// re[0..h) and im[0..h) (taken 1% high for its own rounding; 0 for h = 0).
[[gnu::always_inline]] inline std::pair<double, double>
peakAndNorm2Body(const float* re, const float* im, int h, int evens, int odds) {
    float peak = re[0];
    F8 top = F8{} + peak, s0 = F8{}, s1 = F8{};
    int k = 0;
    for (; k + 8 <= odds; k += 8) {
        const F8 a = load8(re + k), b = load8(im + k);
        top = a > top ? a : top;
        top = b > top ? b : top;
    }
    for (int i = 0; i < 8; ++i) peak = std::max(peak, top[i]);
    for (int i = k; i < evens; ++i) peak = std::max(peak, re[i]);
    for (int i = k; i < odds; ++i) peak = std::max(peak, im[i]);
    for (k = 0; k + 8 <= h; k += 8) {
        const F8 a = load8(re + k), b = load8(im + k);
        s0 += a * a;
        s1 += b * b;
    }
    double norm2 = 0;
    for (int i = 0; i < 8; ++i) norm2 += static_cast<double>(s0[i]) + s1[i];
    for (; k < h; ++k)
        norm2 += static_cast<double>(re[k]) * re[k] + static_cast<double>(im[k]) * im[k];
    return {peak, norm2 * 1.01};
}

// Lag 2k at re[k] (k < evens), 2k + 1 at im[k] (k < odds): those at or above
// floor into lags, ascending; -1 when there are more than maxCount. Blocks of
// eight with none are passed over.
[[gnu::always_inline]] inline int atOrAboveBody(const float* re, const float* im, int evens,
                                                int odds, float floor, int* lags, int maxCount) {
    using I8 = int __attribute__((vector_size(32)));
    const F8 f = F8{} + floor;
    int count = 0, k = 0;
    auto one = [&](int i) {
        const bool even = re[i] >= floor, odd = i < odds && im[i] >= floor;
        if (count + even + odd > maxCount) return false;
        if (even) lags[count++] = 2 * i;
        if (odd) lags[count++] = 2 * i + 1;
        return true;
    };
    for (; k + 8 <= odds; k += 8) {
        const I8 hit = (load8(re + k) >= f) | (load8(im + k) >= f);
        unsigned long long w[4];
        std::memcpy(w, &hit, sizeof w);
        if ((w[0] | w[1] | w[2] | w[3]) == 0) continue;
        for (int i = k; i < k + 8; ++i)
            if (!one(i)) return -1;
    }
    for (; k < evens; ++k)
        if (!one(k)) return -1;
    return count;
}

// sum of x[i] * m[i] over i < c, four lanes of four.
using D4 = lanes::V4;
[[gnu::always_inline]] inline double dotBody(const double* __restrict x, const double* __restrict m,
                                             int c) {
    D4 s0{}, s1{}, s2{}, s3{};
    int i = 0;
    for (; i + 16 <= c; i += 16) {
        s0 += lanes::load4(x + i) * lanes::load4(m + i);
        s1 += lanes::load4(x + i + 4) * lanes::load4(m + i + 4);
        s2 += lanes::load4(x + i + 8) * lanes::load4(m + i + 8);
        s3 += lanes::load4(x + i + 12) * lanes::load4(m + i + 12);
    }
    for (; i + 4 <= c; i += 4) s0 += lanes::load4(x + i) * lanes::load4(m + i);
    const D4 s = (s0 + s1) + (s2 + s3);
    double r = (s[0] + s[1]) + (s[2] + s[3]);
    for (; i < c; ++i) r += x[i] * m[i];
    return r;
}
// dotBody(x, m, cx) and dotBody(y, m, cy) for cy <= cx, with the same
// operations (on V of four or eight lanes), reading m once where both need it.
template <class V> [[gnu::always_inline]] inline double laneSum(V s) {
    if constexpr (sizeof(V) == 32)
        return (s[0] + s[1]) + (s[2] + s[3]);
    else
        return ((s[0] + s[1]) + (s[2] + s[3])) + ((s[4] + s[5]) + (s[6] + s[7]));
}
// Kept in a register (with Held): folded into both products that use it, a
// load would be read twice.
template <class V, bool Held> [[gnu::always_inline]] inline V loadHeld(const double* p) {
    V v = lanes::load<V>(p);
    if constexpr (Held) asm("" : "+v"(v));
    return v;
}
template <class V, bool Held = true>
[[gnu::always_inline]] inline void
dotPairBody(const double* __restrict x, const double* __restrict y, const double* __restrict m,
            int cx, int cy, double& rx, double& ry) {
    constexpr int w = sizeof(V) / sizeof(double);
    auto ld = [](const double* p) [[gnu::always_inline]] { return lanes::load<V>(p); };
    V s0{}, s1{}, s2{}, s3{}, t0{}, t1{}, t2{}, t3{};
    int i = 0;
    for (; i + 4 * w <= cy; i += 4 * w) {
        const V m0 = loadHeld<V, Held>(m + i), m1 = loadHeld<V, Held>(m + i + w),
                m2 = loadHeld<V, Held>(m + i + 2 * w), m3 = loadHeld<V, Held>(m + i + 3 * w);
        s0 += ld(x + i) * m0;
        s1 += ld(x + i + w) * m1;
        s2 += ld(x + i + 2 * w) * m2;
        s3 += ld(x + i + 3 * w) * m3;
        t0 += ld(y + i) * m0;
        t1 += ld(y + i + w) * m1;
        t2 += ld(y + i + 2 * w) * m2;
        t3 += ld(y + i + 3 * w) * m3;
    }
    int k = i;
    for (; k + 4 * w <= cx; k += 4 * w) {
        s0 += ld(x + k) * ld(m + k);
        s1 += ld(x + k + w) * ld(m + k + w);
        s2 += ld(x + k + 2 * w) * ld(m + k + 2 * w);
        s3 += ld(x + k + 3 * w) * ld(m + k + 3 * w);
    }
    for (; k + w <= cx; k += w) s0 += ld(x + k) * ld(m + k);
    rx = laneSum((s0 + s1) + (s2 + s3));
    for (; k < cx; ++k) rx += x[k] * m[k];
    for (; i + w <= cy; i += w) t0 += ld(y + i) * ld(m + i);
    ry = laneSum((t0 + t1) + (t2 + t3));
    for (; i < cy; ++i) ry += y[i] * m[i];
}
[[gnu::target("avx2,fma")]] double dotFma(const double* x, const double* m, int c) {
    return dotBody(x, m, c);
}
double dotPlain(const double* x, const double* m, int c) {
    return dotBody(x, m, c);
}
[[gnu::target("avx2,fma")]] void dotPairFma(const double* x, const double* y, const double* m,
                                            int cx, int cy, double& rx, double& ry) {
    dotPairBody<D4>(x, y, m, cx, cy, rx, ry);
}
[[gnu::target("avx2,fma,avx512f")]] void dotPairWide(const double* x, const double* y,
                                                     const double* m, int cx, int cy, double& rx,
                                                     double& ry) {
    using D8 = double __attribute__((vector_size(64)));
    dotPairBody<D8>(x, y, m, cx, cy, rx, ry);
}
void dotPairPlain(const double* x, const double* y, const double* m, int cx, int cy, double& rx,
                  double& ry) {
    dotPairBody<D4, false>(x, y, m, cx, cy, rx, ry);
}

// d[0..n) times down (kept in d; with Scale false, down is 1 and d stays as it
// is), the even values as re and the odd as im of floats zero-padded to h
// places; the sum of the squares of the scaled values.
template <bool Scale>
[[gnu::always_inline]] inline double packFloatsBody(double* d, int n, double down, float* re,
                                                    float* im, int h) {
    using F4 = float __attribute__((vector_size(16)));
    D4 sum{};
    int j = 0;
    for (; 2 * j + 8 <= n; j += 4) {
        D4 a = lanes::load4(d + 2 * j), b = lanes::load4(d + 2 * j + 4);
        if constexpr (Scale) {
            a *= down, b *= down;
            std::memcpy(d + 2 * j, &a, sizeof a);
            std::memcpy(d + 2 * j + 4, &b, sizeof b);
        }
        const D4 ev = __builtin_shufflevector(a, b, 0, 2, 4, 6);
        const D4 od = __builtin_shufflevector(a, b, 1, 3, 5, 7);
        const F4 fe = __builtin_convertvector(ev, F4), fo = __builtin_convertvector(od, F4);
        std::memcpy(re + j, &fe, sizeof fe);
        std::memcpy(im + j, &fo, sizeof fo);
        sum += a * a + b * b;
    }
    double xx = (sum[0] + sum[1]) + (sum[2] + sum[3]);
    for (; 2 * j + 1 < n; ++j) {
        const double a = d[2 * j] * down, b = d[2 * j + 1] * down;
        d[2 * j] = a, d[2 * j + 1] = b;
        re[j] = static_cast<float>(a);
        im[j] = static_cast<float>(b);
        xx += a * a + b * b;
    }
    if (2 * j < n) {
        const double a = d[2 * j] * down;
        d[2 * j] = a;
        re[j] = static_cast<float>(a);
        im[j] = 0;
        xx += a * a;
        ++j;
    }
    for (; j < h; ++j) re[j] = im[j] = 0;
    return xx;
}

[[gnu::target("avx2,fma")]] double packFloatsFma(double* d, int n, double down, float* re,
                                                 float* im, int h) {
    return down == 1 ? packFloatsBody<false>(d, n, down, re, im, h)
                     : packFloatsBody<true>(d, n, down, re, im, h);
}
double packFloatsPlain(double* d, int n, double down, float* re, float* im, int h) {
    return down == 1 ? packFloatsBody<false>(d, n, down, re, im, h)
                     : packFloatsBody<true>(d, n, down, re, im, h);
}

[[gnu::target("avx2,fma")]] std::pair<double, double>
peakAndNorm2Fma(const float* re, const float* im, int h, int evens, int odds) {
    return peakAndNorm2Body(re, im, h, evens, odds);
}
std::pair<double, double> peakAndNorm2Plain(const float* re, const float* im, int h, int evens,
                                            int odds) {
    return peakAndNorm2Body(re, im, h, evens, odds);
}
[[gnu::target("avx2,fma")]] int atOrAboveFma(const float* re, const float* im, int evens, int odds,
                                             float floor, int* lags, int maxCount) {
    return atOrAboveBody(re, im, evens, odds, floor, lags, maxCount);
}
int atOrAbovePlain(const float* re, const float* im, int evens, int odds, float floor, int* lags,
                   int maxCount) {
    return atOrAboveBody(re, im, evens, odds, floor, lags, maxCount);
}

bool haveFma() {
    static const bool yes = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return yes;
}
bool wideAllowed = true;
bool haveWide() {
    static const bool yes = haveFma() && __builtin_cpu_supports("avx512f");
    return yes && wideAllowed;
}

} // namespace

void allowWideTransforms(bool allow) {
    wideAllowed = allow;
}

RealCorrelation::RealCorrelation()
    : stageRe_(kMaxPoints / 2), stageIm_(kMaxPoints / 2), stageImInverse_(kMaxPoints / 2),
      unpackRe_(kMaxPoints / 2 + 1), unpackIm_(kMaxPoints / 2 + 1), reversed_(kMaxPoints / 2),
      refRe_(kMaxPoints / 2 + 1), refIm_(kMaxPoints / 2 + 1), re_(kMaxPoints / 2),
      im_(kMaxPoints / 2), stageReF_(kMaxPoints / 2), stageImF_(kMaxPoints / 2),
      stageImInverseF_(kMaxPoints / 2), unpackReF_(kMaxPoints / 2), unpackImF_(kMaxPoints / 2),
      refReF_(kMaxPoints / 2), refImF_(kMaxPoints / 2), workF_(kMaxPoints + kImaginaryOffset),
      values_(kMaxPoints / 2), refD_(kMaxPoints / 2), lagSums_(kMaxPoints / 2),
      wide_(kMaxPoints / 2) {}

int RealCorrelation::floatPlace(int p) const {
    return transposed_ ? transposedPlace(p) : p;
}

void RealCorrelation::plan(int N) {
    if (N == N_) return;
    const int h = N / 2;
    for (int L = 1; L < h; L *= 2)
        for (int j = 0; j < L; ++j) {
            const double a = -std::numbers::pi * j / L;
            stageRe_[L - 1 + j] = std::cos(a);
            stageIm_[L - 1 + j] = std::sin(a);
            stageImInverse_[L - 1 + j] = -std::sin(a);
        }
    for (int k = 0; k <= h; ++k) {
        const double a = -2 * std::numbers::pi * k / N;
        unpackRe_[k] = std::cos(a);
        unpackIm_[k] = std::sin(a);
    }
    int bits = 0;
    while ((1 << bits) < h) ++bits;
    for (int k = 0; k < h; ++k) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            if (k & (1 << b)) r |= 1 << (bits - 1 - b);
        reversed_[k] = r;
    }
    transposed_ = haveFma() && h >= 64;
    for (int j = 0; j < h; ++j) {
        stageReF_[j] = static_cast<float>(stageRe_[j]);
        stageImF_[j] = static_cast<float>(stageIm_[j]);
        stageImInverseF_[j] = static_cast<float>(stageImInverse_[j]);
        const int at = floatPlace(j);
        unpackReF_[at] = static_cast<float>(unpackRe_[reversed_[j]]);
        unpackImF_[at] = static_cast<float>(unpackIm_[reversed_[j]]);
    }
    N_ = N;
    log2N_ = bits + 1;
}

// v[0..n-1] zero-padded to N real points, the even values as real parts and the
// odd as imaginary parts of N/2 complex points; the sum of the squares.
double RealCorrelation::pack(const long double* v) {
    const int h = N_ / 2, n = n_;
    double sum = 0;
    int j = 0;
    for (; 2 * j + 1 < n; ++j) {
        const double a = static_cast<double>(v[2 * j]), b = static_cast<double>(v[2 * j + 1]);
        re_[j] = a;
        im_[j] = b;
        sum += a * a + b * b;
    }
    if (2 * j < n) {
        const double a = static_cast<double>(v[2 * j]);
        re_[j] = a;
        im_[j] = 0;
        sum += a * a;
        ++j;
    }
    for (; j < h; ++j) re_[j] = im_[j] = 0;
    return sum;
}

void RealCorrelation::setReference(const long double* m, int n) {
    if (n < 1 || n > kMaxPoints / 2)
        throw Error("correlation of " + std::to_string(n) + " samples is not possible");
    int N = 8;
    while (N < 2 * n - 1) N *= 2;
    plan(N);
    n_ = n;
    pack(m);
    const int h = N / 2;
    forwardToReversed(re_.data(), im_.data(), h, stageRe_.data(), stageIm_.data());
    const double scale = 1.0 / N;
    for (int k = 0; k <= h / 2; ++k) {
        const int a = reversed_[k], b = reversed_[(h - k) % h];
        Cx vk, vhk;
        separate({re_[a], im_[a]}, {re_[b], im_[b]}, {unpackRe_[k], unpackIm_[k]}, vk, vhk);
        refRe_[k] = vk.r * scale, refIm_[k] = vk.i * scale;
        refRe_[h - k] = vhk.r * scale, refIm_[h - k] = vhk.i * scale;
    }
    setFloatReference(m);
}

// The reference scaled by a power of two to a largest magnitude in [1/2, 1)
// (exact in extended precision), transformed in double, rounded to float.
void RealCorrelation::setFloatReference(const long double* m) {
    const int n = n_, h = N_ / 2;
    long double top = 0;
    refUsable_ = true;
    for (int i = 0; i < n; ++i) {
        const long double a = std::fabs(m[i]);
        if (!(a <= std::numeric_limits<long double>::max()))
            refUsable_ = false;
        else
            top = std::max(top, a);
    }
    refZero_ = top == 0;
    if (!refUsable_ || refZero_) return;
    refExp_ = std::ilogb(top) + 1;
    const long double down = std::ldexp(1.0L, -refExp_);
    for (int i = 0; i < n; ++i) wide_[i] = m[i] * down;
    samplesToDoubles(wide_.data(), n, refD_.data());
    refNorm2_ = pack(wide_.data());
    forwardToReversed(re_.data(), im_.data(), h, stageRe_.data(), stageIm_.data());
    const double scale = 0.5 / N_;
    for (int k = 0; k <= h / 2; ++k) {
        const int a = reversed_[k], b = reversed_[(h - k) % h];
        Cx vk, vhk;
        separate({re_[a], im_[a]}, {re_[b], im_[b]}, {unpackRe_[k], unpackIm_[k]}, vk, vhk);
        refReF_[floatPlace(a)] = static_cast<float>(vk.r * scale),
        refImF_[floatPlace(a)] = static_cast<float>(vk.i * scale);
        if (k == 0) {
            refHalfReF_ = static_cast<float>(vhk.r * scale);
            refHalfImF_ = static_cast<float>(vhk.i * scale);
        } else if (b != a) {
            refReF_[floatPlace(b)] = static_cast<float>(vhk.r * scale);
            refImF_[floatPlace(b)] = static_cast<float>(vhk.i * scale);
        }
    }
}

int RealCorrelation::candidates(const long double* x, int* lags, int maxCount,
                                bool& surelyPositive) {
    surelyPositive = false;
    if (!refUsable_) return kUseDouble;
    if (refZero_) return 0; // every sum is 0
    const int n = n_, h = N_ / 2;
    double* d = values_.data();
    // The scaled trace's largest magnitude is near 1: the float transforms
    // neither overflow nor lose tiny values, and the bounds below are relative.
    // The last trace's scale is tried first; where it does for this one too,
    // the doubles come scaled from the conversion.
    int xExp = 0;
    double down = 1; // what the doubles are still to be multiplied by
    bool scaled = false;
    if (lastExp_ != kNoScale) {
        const double t = samplesToScaledDoublesLargest(x, n, std::ldexp(1.0, -lastExp_), d);
        if (t >= 0x1p-4 && t < 0x1p4) xExp = lastExp_, scaled = true;
    }
    const double top = scaled ? 0 : samplesToDoublesLargest(x, n, d);
    if (scaled) {
    } else if (top >= 0x1p-960 && top <= 0x1p960) {
        xExp = std::ilogb(top) + 1;
        down = std::ldexp(1.0, -xExp);
        lastExp_ = xExp;
    } else {
        // Beyond what double holds well: scale in extended precision first.
        long double wideTop = 0;
        for (int i = 0; i < n; ++i) {
            const long double a = std::fabs(x[i]);
            if (!(a <= std::numeric_limits<long double>::max())) return kUseDouble;
            wideTop = std::max(wideTop, a);
        }
        if (wideTop == 0) return 0;
        xExp = std::ilogb(wideTop) + 1;
        const long double wideDown = std::ldexp(1.0L, -xExp);
        for (int i = 0; i < n; ++i) wide_[i] = x[i] * wideDown;
        samplesToDoubles(wide_.data(), n, d);
    }
    // The direct sums must neither overflow nor lose their largest products.
    if (xExp + refExp_ < -16000 || xExp + refExp_ > 16000) return kUseDirect;

    float* re = workF_.data();
    float* im = re + kMaxPoints / 2 + kImaginaryOffset;
    // The eight-lane forward fills the upper half of places itself.
    const double xx = haveFma() ? packFloatsFma(d, n, down, re, im, h >= 16 ? h / 2 : h)
                                : packFloatsPlain(d, n, down, re, im, h);
    if (!std::isfinite(xx)) return kUseDouble; // not a number among the samples

    // Lag 2j is at re[j], lag 2j + 1 at im[j].
    const int evens = (n + 1) / 2, odds = n / 2;
    double parseval = -1;
    float foldedPeak = 0;
    bool havePeak = false;
    if (haveFma()) {
        const bool wide = haveWide() && h >= 64;
        (wide ? forwardWide : forwardFma)(re, im, h, stageReF_.data(), stageImF_.data());
        (wide ? productWide : productFma)(re, im, h, unpackReF_.data(), unpackImF_.data(),
                                          refReF_.data(), refImF_.data(), refHalfReF_, refHalfImF_);
        parseval = (wide ? inverseWide : inverseFma)(re, im, h, evens, odds, stageReF_.data(),
                                                     stageImInverseF_.data(), foldedPeak, havePeak);
    } else {
        forwardPlain(re, im, h, stageReF_.data(), stageImF_.data());
        productPlain(re, im, h, unpackReF_.data(), unpackImF_.data(), refReF_.data(),
                     refImF_.data(), refHalfReF_, refHalfImF_);
        inversePlain(re, im, h, stageReF_.data(), stageImInverseF_.data());
    }
    const int normPlaces = parseval < 0 ? h : 0;
    std::pair<double, double> found{foldedPeak, 0};
    if (!havePeak)
        found = haveFma() ? peakAndNorm2Fma(re, im, normPlaces, evens, odds)
                          : peakAndNorm2Plain(re, im, normPlaces, evens, odds);
    auto [peak, out2] = found;
    if (parseval >= 0) out2 = parseval * 1.01;

    // How far any computed lag can be from its exact sum, in the scaled units,
    // with u the float rounding unit, P = ||x|| ||m||, C = the 2-norm over all N
    // places of the exact inverse of the computed bins (Parseval's, or the
    // computed output's, 1% high) and h = N / 2:
    //  - the inputs rounded to float: 2u P;
    //  - the forward transform, 8u per stage, and the unpacking: (8 log2 h + 12) u P;
    //  - the product and repacking: 24u P;
    //  - the inverse transform (error 2-norm bounds each place): 8u log2 h C;
    //  - the extended-precision direct sums themselves: (n + 4) 2^-64 P;
    //  - underflow of tiny samples: below 2^-100 P.
    // All of it taken twice over.
    const double u = 0x1p-24, stages = log2N_ - 1;
    const double P = std::sqrt(xx) * std::sqrt(refNorm2_);
    const double bound =
        2 * (u * ((2 + 8 * stages + 12 + 24) * P + 8 * stages * 1.01 * std::sqrt(out2)) +
             (n + 4) * 0x1p-64 * P + 0x1p-100 * P);
    if (peak <= -bound) return 0; // no sum can be above 0
    float floor = static_cast<float>(peak - 2 * bound);
    if (floor > peak - 2 * bound) floor = std::nextafter(floor, -HUGE_VALF);
    const int count = haveFma() ? atOrAboveFma(re, im, evens, odds, floor, lags, maxCount)
                                : atOrAbovePlain(re, im, evens, odds, floor, lags, maxCount);
    if (count < 0) return kUseDouble;
    if (count == 1 && peak > bound) {
        surelyPositive = true;
        return 1;
    }
    return narrow(lags, count, P, surelyPositive);
}

// Each lag summed in double from the scaled trace and reference. With u = 2^-53
// and P as above: the inputs rounded to double (2u P), the products and at most
// n + 8 additions ((n + 8) u P), the extended sums' own error ((n + 4) 2^-64 P),
// and underflow (below 2^-90); all of it taken twice over, so that the
// comparisons' own rounding (below u P) is covered too.
int RealCorrelation::narrow(int* lags, int count, double P, bool& surelyPositive) {
    const int n = n_;
    const double bound = 2 * (((n + 10) * 0x1p-53 + (n + 4) * 0x1p-64) * 1.01 * P + 0x1p-90);
    const bool fma = haveFma();
    double* sums = lagSums_.data();
    double top = -HUGE_VAL;
    const double* v = values_.data();
    const double* m = refD_.data();
    int j = 0;
    for (; j + 2 <= count; j += 2) {
        // Ascending lags: the first sum is the longer.
        const int a = lags[j], b = lags[j + 1];
        if (fma)
            (haveWide() ? dotPairWide : dotPairFma)(v + a, v + b, m, n - a, n - b, sums[j],
                                                    sums[j + 1]);
        else
            dotPairPlain(v + a, v + b, m, n - a, n - b, sums[j], sums[j + 1]);
        top = std::max(top, std::max(sums[j], sums[j + 1]));
    }
    if (j < count) {
        const int lag = lags[j];
        sums[j] = fma ? dotFma(v + lag, m, n - lag) : dotPlain(v + lag, m, n - lag);
        top = std::max(top, sums[j]);
    }
    // Kept: lags whose sum may reach every other's and may be above 0.
    int kept = 0;
    double last = 0;
    for (int j = 0; j < count; ++j)
        if (sums[j] >= top - 2 * bound && sums[j] > -bound) lags[kept++] = lags[j], last = sums[j];
    surelyPositive = kept == 1 && last > bound;
    return kept;
}

double RealCorrelation::correlate(const long double* x, double* c) {
    const int h = N_ / 2;
    const double sum = pack(x);
    forwardToReversed(re_.data(), im_.data(), h, stageRe_.data(), stageIm_.data());
    // Bins k and h - k at once, in the transform's bit-reversed places: the
    // product P = X conj(M) of both, then the even and odd outputs packed as
    // y[k] = A + i B conj(W), y[h - k] = conj(A) + i conj(B conj(W)), with
    // A = P[k] + conj P[h-k], B = P[k] - conj P[h-k] (P[k + h] = conj P[h - k]).
    for (int k = 0; k <= h / 2; ++k) {
        const int a = reversed_[k], b = reversed_[(h - k) % h];
        const Cx w = {unpackRe_[k], unpackIm_[k]};
        Cx vk, vhk;
        separate({re_[a], im_[a]}, {re_[b], im_[b]}, w, vk, vhk);
        const Cx pk = vk * conj({refRe_[k], refIm_[k]});
        const Cx phk = vhk * conj({refRe_[h - k], refIm_[h - k]});
        const Cx A = pk + conj(phk), g = (pk - conj(phk)) * conj(w);
        const Cx yk = A + timesI(g);
        re_[a] = yk.r, im_[a] = yk.i;
        if (k != 0 && 2 * k != h) {
            const Cx yhk = conj(A) + timesI(conj(g));
            re_[b] = yhk.r, im_[b] = yhk.i;
        }
    }
    inverseFromReversed(re_.data(), im_.data(), h, stageRe_.data(), stageImInverse_.data());
    for (int j = 0; 2 * j < n_; ++j) {
        c[2 * j] = re_[j];
        if (2 * j + 1 < n_) c[2 * j + 1] = im_[j];
    }
    return sum;
}

} // namespace tarnix::modules
