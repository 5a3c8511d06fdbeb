#include "processing/modules/correlation.h"

#include "core/error.h"

#include <cmath>
#include <numbers>
#include <string>

namespace tarnix::modules {

namespace {

// The forward transform of h points in natural order, leaving the bins in
// bit-reversed order; kernel e^(-2 pi i jk / h), h a power of two, at least 4.
__attribute__((target_clones("avx2", "default"))) void forwardToReversed(double* __restrict re,
                                                                         double* __restrict im,
                                                                         int h, const double* tabRe,
                                                                         const double* tabIm) {
    for (int L = h / 2; L >= 4; L /= 2) {
        const double* __restrict wr = tabRe + L - 1;
        const double* __restrict wi = tabIm + L - 1;
        for (int s0 = 0; s0 < h; s0 += 2 * L) {
            double* __restrict pr = re + s0;
            double* __restrict pi = im + s0;
            double* __restrict qr = re + s0 + L;
            double* __restrict qi = im + s0 + L;
            for (int j = 0; j < L; ++j) {
                const double dr = pr[j] - qr[j], di = pi[j] - qi[j];
                pr[j] += qr[j];
                pi[j] += qi[j];
                qr[j] = dr * wr[j] - di * wi[j];
                qi[j] = dr * wi[j] + di * wr[j];
            }
        }
    }
    // The last two stages need no multiplications: one pass of fours.
    for (int s = 0; s < h; s += 4) {
        const double a0r = re[s] + re[s + 2], a0i = im[s] + im[s + 2];
        const double a2r = re[s] - re[s + 2], a2i = im[s] - im[s + 2];
        const double a1r = re[s + 1] + re[s + 3], a1i = im[s + 1] + im[s + 3];
        // -i x (x1 - x3)
        const double a3r = im[s + 1] - im[s + 3], a3i = re[s + 3] - re[s + 1];
        re[s] = a0r + a1r, im[s] = a0i + a1i;
        re[s + 1] = a0r - a1r, im[s + 1] = a0i - a1i;
        re[s + 2] = a2r + a3r, im[s + 2] = a2i + a3i;
        re[s + 3] = a2r - a3r, im[s + 3] = a2i - a3i;
    }
}

// The inverse transform of h bins in bit-reversed order, leaving the values in
// natural order; kernel e^(+2 pi i jk / h), unscaled.
__attribute__((target_clones("avx2", "default"))) void
inverseFromReversed(double* __restrict re, double* __restrict im, int h, const double* tabRe,
                    const double* tabImInverse) {
    for (int s = 0; s < h; s += 4) {
        const double a0r = re[s] + re[s + 1], a0i = im[s] + im[s + 1];
        const double a1r = re[s] - re[s + 1], a1i = im[s] - im[s + 1];
        const double a2r = re[s + 2] + re[s + 3], a2i = im[s + 2] + im[s + 3];
        // +i x (x2 - x3)
        const double a3r = im[s + 3] - im[s + 2], a3i = re[s + 2] - re[s + 3];
        re[s] = a0r + a2r, im[s] = a0i + a2i;
        re[s + 2] = a0r - a2r, im[s + 2] = a0i - a2i;
        re[s + 1] = a1r + a3r, im[s + 1] = a1i + a3i;
        re[s + 3] = a1r - a3r, im[s + 3] = a1i - a3i;
    }
    for (int L = 4; L < h; L *= 2) {
        const double* __restrict wr = tabRe + L - 1;
        const double* __restrict wi = tabImInverse + L - 1;
        for (int s0 = 0; s0 < h; s0 += 2 * L) {
            double* __restrict pr = re + s0;
            double* __restrict pi = im + s0;
            double* __restrict qr = re + s0 + L;
            double* __restrict qi = im + s0 + L;
            for (int j = 0; j < L; ++j) {
                const double tr = wr[j] * qr[j] - wi[j] * qi[j];
                const double ti = wr[j] * qi[j] + wi[j] * qr[j];
                qr[j] = pr[j] - tr;
                qi[j] = pi[j] - ti;
                pr[j] += tr;
                pi[j] += ti;
            }
        }
    }
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

} // namespace

RealCorrelation::RealCorrelation()
    : stageRe_(kMaxPoints / 2), stageIm_(kMaxPoints / 2), stageImInverse_(kMaxPoints / 2),
      unpackRe_(kMaxPoints / 2 + 1), unpackIm_(kMaxPoints / 2 + 1), reversed_(kMaxPoints / 2),
      refRe_(kMaxPoints / 2 + 1), refIm_(kMaxPoints / 2 + 1), re_(kMaxPoints / 2),
      im_(kMaxPoints / 2) {}

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
