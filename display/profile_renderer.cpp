#include "display/profile_renderer.h"

#include "core/error.h"
#include "core/extended.h"
#include "core/numtext.h"
#include "core/rewrite_file.h"
#include "core/session.h"
#include "display/palette.h"
#include "display/png_file.h"
#include "display/profile_export.h"
#include "display/profile_layout.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

#include <cstdio>
#include <cstring>
#include <immintrin.h>
#include <sys/mman.h>

namespace tarnix {

namespace {
// Point sizes on the picture come out as on a 96 dpi screen.
constexpr int kDotsPerMeter = 3780;
constexpr long long kLevelTableLimit = 1 << 16;

struct Mapping {
    void* data;
    size_t bytes;
};

void unmapImage(void* info) {
    auto* m = static_cast<Mapping*>(info);
    ::munmap(m->data, m->bytes);
    delete m;
}

// Fresh pages made white a quarter megabyte at a time: the kernel maps each
// block in one call rather than a fault per page, and the fill finds it still
// in the cache. Huge pages are not asked for: on a virtual machine that hands
// free memory back to its host, their first touch after a pause took five
// times as long as small pages.
void fillMapping(uchar* p, size_t bytes) {
    constexpr size_t kBlock = size_t{1} << 18;
    for (size_t at = 0; at < bytes; at += kBlock) {
        const size_t len = std::min(kBlock, bytes - at);
#ifdef MADV_POPULATE_WRITE
        ::madvise(p + at, len, MADV_POPULATE_WRITE); // on failure the fill faults the pages in
#endif
        std::memset(p + at, 0xff, len);
    }
}

// A white RGB32 image in pages of its own: a full-resolution line is over a
// hundred megabytes. All bytes 0xff is white.
QImage whiteImage(int w, int h) {
    // Rows start on cache lines, so that the tiles' rows can be streamed into
    // whole lines without reading them first.
    const size_t line = (static_cast<size_t>(w) * 4 + 63) / 64 * 64;
    const size_t bytes = line * static_cast<size_t>(h);
    if (bytes >= (size_t{4} << 20)) {
        void* p =
            ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
            fillMapping(static_cast<uchar*>(p), bytes);
            auto* m = new Mapping{p, bytes};
            QImage image(static_cast<uchar*>(p), w, h, static_cast<qsizetype>(line),
                         QImage::Format_RGB32, unmapImage, m);
            if (!image.isNull()) return image;
            unmapImage(m);
        }
    }
    QImage image(w, h, QImage::Format_RGB32);
    if (!image.isNull()) image.fill(0xFFFFFFFFu);
    return image;
}
} // namespace

ProfileRenderer::ProfileRenderer(Session& session) : s_(session), canvas_(&picture_) {}

void ProfileRenderer::createImage() {
    setupProfileGeometry(s_);
    const int w = profileImageWidth(s_), h = profileImageHeight(s_);
    if (static_cast<long long>(w) * h * 4 > kMaxImageBytes)
        throw Error("The profile image of " + std::to_string(w) + " x " + std::to_string(h) +
                    " pixels is too large; lower Vsize or Hsize, or select fewer shots");
    bitmap_ = QImage();
    tileCount_ = 0;
    if (w > 0 && h > 0) {
        bitmap_ = whiteImage(w, h);
        if (bitmap_.isNull())
            throw Error("Not enough memory for the profile image of " + std::to_string(w) + " x " +
                        std::to_string(h) + " pixels");
        bitmap_.setDotsPerMeterX(kDotsPerMeter);
        bitmap_.setDotsPerMeterY(kDotsPerMeter);
    }
}

void ProfileRenderer::prepareRows(int rows, int n) {
    if (rows == slotRows_ && n == slotN_) return;
    slots_ = rowSlots(rows, n);
    slotRows_ = rows;
    slotN_ = n;
}

void ProfileRenderer::prepareLevels(long long half) {
    if (half == levelHalf_) return;
    levelHalf_ = half;
    levelOf_.clear();
    colourPalette_ = -1;
    if (half <= 0 || half > kLevelTableLimit) return;
    levelOf_.resize(static_cast<size_t>(2 * half + 1));
    for (long long a = -half; a <= half; ++a)
        levelOf_[static_cast<size_t>(a + half)] = static_cast<int16_t>(amplitudeLevel(a, half));
}

namespace {

using ColumnPaint = ProfileColumnPaint;

using F64x4 = double __attribute__((vector_size(32)));
using I64x4 = int64_t __attribute__((vector_size(32)));
using I32x4 = int32_t __attribute__((vector_size(16)));

constexpr int32_t kExactPath = kAmplitudeUnsure; // the row needs the extended formula

struct QuickLanes {
    I32x4 amp; // valid where ok
    I64x4 ok;
};

// quickAmplitude for four rows at once; `whole` lanes hold values that a double
// holds as they are.
[[gnu::always_inline]] inline QuickLanes quickLanes(F64x4 v, I64x4 exact, double gainMax,
                                                    double gainPos, int32_t half) {
    const double hd = half;
    const F64x4 top = {hd + 1, hd + 1, hd + 1, hd + 1}, bottom = -top;
    const I32x4 halfv = {half, half, half, half};
    const F64x4 q = v * gainMax / gainPos;
    const I64x4 high = q >= top, lowClip = q <= bottom;
    const I64x4 mid = (q > bottom) & (q < top); // false for a NaN
    const F64x4 zero = {0, 0, 0, 0};
    const F64x4 qm = mid ? q : zero, vm = mid ? v : zero;
    const I32x4 t = __builtin_convertvector(qm, I32x4);
    const F64x4 f = qm - __builtin_convertvector(t, F64x4);
    const F64x4 af = f < 0 ? -f : f, aq = qm < 0 ? -qm : qm;
    const F64x4 margin = 1e-9 + aq * 1e-15; // as truncationMargin
    const I64x4 safe = (af > margin) & (af < 1 - margin);
    const I64x4 whole =
        (vm == __builtin_convertvector(__builtin_convertvector(vm, I32x4), F64x4)) & exact;
    const I32x4 clamped = t > halfv ? halfv : (t < -halfv ? -halfv : t);
    const I32x4 high32 = __builtin_convertvector(high, I32x4),
                low32 = __builtin_convertvector(lowClip, I32x4);
    return {high32 ? halfv : (low32 ? -halfv : clamped), high | lowClip | (mid & (safe | whole))};
}

// Amplitudes of rows in double precision, or kExactPath. lowBits[r] != 0 marks
// a value that lost bits on its way to double.
__attribute__((target_clones("avx2", "default"))) void
quickAmplitudes(const double* vd, const int64_t* lowBits, int count, double gainMax, double gainPos,
                int32_t half, int32_t* amp) {
    int r = 0;
    for (; r + 4 <= count; r += 4) {
        F64x4 v;
        I64x4 low;
        std::memcpy(&v, vd + r, sizeof v);
        std::memcpy(&low, lowBits + r, sizeof low);
        const QuickLanes l = quickLanes(v, low == 0, gainMax, gainPos, half);
        for (int k = 0; k < 4; ++k) amp[r + k] = l.ok[k] ? l.amp[k] : kExactPath;
    }
    for (; r < count; ++r) amp[r] = quickAmplitude(vd[r], lowBits[r] == 0, gainMax, gainPos, half);
}

bool quickColumn(const ColumnPaint& c) {
    return c.gainPos > 0 && c.gainMax >= c.gainPos && c.half > 0 && c.half <= (1LL << 26);
}

// Row r's value (scaled) into values[r], and the bits the double drops.
inline void setRowValue(const ColumnPaint& c, int r, Sample* values, int64_t* lowBits) {
    if (c.scale != 1) values[r] *= c.scale;
    uint64_t significand; // its low 11 bits are lost on the way to double
    std::memcpy(&significand, static_cast<const void*>(values + r), sizeof significand);
    lowBits[r] = static_cast<int64_t>(significand & 0x7ff);
}

// The amplitudes of the rows' values, as displayAmplitude gives them, most of
// them without the extended division.
void amplitudesOf(const ColumnPaint& c, const Sample* values, double* doubles,
                  const int64_t* lowBits, int32_t* amp) {
    const int count = c.rows + 1;
    if (!quickColumn(c)) {
        for (int r = 0; r < count; ++r)
            amp[r] =
                static_cast<int32_t>(displayAmplitude(values[r], c.gainMax, c.gainPos, c.half));
        return;
    }
    samplesToDoubles(values, count, doubles);
    quickAmplitudes(doubles, lowBits, count, c.gainMax, c.gainPos, static_cast<int32_t>(c.half),
                    amp);
    for (int r = 0; r < count; ++r)
        if (amp[r] == kExactPath)
            amp[r] =
                static_cast<int32_t>(displayAmplitude(values[r], c.gainMax, c.gainPos, c.half));
}

// The amplitudes of a column's rows. `values`, `doubles` and `lowBits` hold
// rows + 1 entries each.
void columnAmplitudes(const ColumnPaint& c, Sample* values, double* doubles, int64_t* lowBits,
                      int32_t* amp) {
    const int count = c.rows + 1;
    for (int r = 0; r < count; ++r) {
        const int slot = c.rowSlot[r];
        if (slot >= 0)
            std::memcpy(static_cast<void*>(values + r), static_cast<const void*>(c.trace + slot),
                        sizeof(Sample));
        else
            values[r] = 0;
        setRowValue(c, r, values, lowBits);
    }
    amplitudesOf(c, values, doubles, lowBits, amp);
}

// The same from doubles: as extended values they drop no bits, so unscaled
// rows go straight to the double test.
void doubleColumnAmplitudes(const ColumnPaint& c, const double* v, Sample* values, double* doubles,
                            int64_t* lowBits, int32_t* amp) {
    const int count = c.rows + 1;
    if (c.scale != 1 || !quickColumn(c)) {
        for (int r = 0; r < count; ++r) {
            const int slot = c.rowSlot[r];
            values[r] = slot >= 0 ? static_cast<Sample>(v[slot]) : 0;
            setRowValue(c, r, values, lowBits);
        }
        amplitudesOf(c, values, doubles, lowBits, amp);
        return;
    }
    for (int r = 0; r < count; ++r) {
        const int slot = c.rowSlot[r];
        doubles[r] = slot >= 0 ? v[slot] : 0;
        lowBits[r] = 0;
    }
    quickAmplitudes(doubles, lowBits, count, c.gainMax, c.gainPos, static_cast<int32_t>(c.half),
                    amp);
    for (int r = 0; r < count; ++r)
        if (amp[r] == kExactPath)
            amp[r] = static_cast<int32_t>(
                displayAmplitude(static_cast<Sample>(doubles[r]), c.gainMax, c.gainPos, c.half));
}

// Colours of the amplitudes; a 0 entry of the table keeps the pen.
QRgb paintColumnPixels(const ColumnPaint& c, const QRgb* colourOf, const int32_t* amp, QRgb pen) {
    QRgb* px = c.px;
    for (int r = 0; r <= c.rows; ++r, px += c.stride) {
        const QRgb colour = colourOf[amp[r]];
        pen = colour != 0 ? colour : pen;
        *px = pen;
    }
    return pen;
}

QRgb paintColumnPixels(const ColumnPaint& c, const int32_t* amp, QRgb pen) {
    QRgb* px = c.px;
    for (int r = 0; r <= c.rows; ++r, px += c.stride) {
        const int level = c.levels ? c.levels[amp[r]] : amplitudeLevel(amp[r], c.half);
        if (!c.palette->keeps[level + 255]) pen = 0xFF000000u | c.palette->rgb[level + 255];
        *px = pen;
    }
    return pen;
}

// A column painted straight from doubles in one pass, four rows at a time:
// the rows' values, the quick amplitudes (the extended formula for the rows
// they cannot vouch for), the colours and the pen. `colourOf` is indexed by
// amplitude; 0 keeps the pen. Needs an unscaled quick column.
QRgb paintDoubleColumnPixelsLanes(const ColumnPaint& c, const double* v, const QRgb* colourOf,
                                  QRgb pen) {
    const double gainMax = c.gainMax, gainPos = c.gainPos;
    const auto half = static_cast<int32_t>(c.half);
    const int count = c.rows + 1;
    QRgb* px = c.px;
    for (int r = 0; r < count; ++r, px += c.stride) {
        const double d = c.rowSlot[r] >= 0 ? v[c.rowSlot[r]] : 0.0;
        int32_t a = quickAmplitude(d, true, gainMax, gainPos, half);
        if (a == kExactPath)
            a = static_cast<int32_t>(
                displayAmplitude(static_cast<Sample>(d), c.gainMax, c.gainPos, c.half));
        const QRgb colour = colourOf[a];
        pen = colour != 0 ? colour : pen;
        *px = pen;
    }
    return pen;
}

// The same with four rows in each step of the vector unit, as quickAmplitude
// tells them apart: the quotient's distance from its truncation against the
// margin, whole values, clipped ones.
[[gnu::target("avx2,fma")]] QRgb paintDoubleColumnPixelsAvx2(const ColumnPaint& c, const double* v,
                                                             const QRgb* colourOf, QRgb pen) {
    const __m256d gainMax = _mm256_set1_pd(c.gainMax), gainPos = _mm256_set1_pd(c.gainPos);
    const auto hd = static_cast<double>(c.half);
    const __m256d top = _mm256_set1_pd(hd + 1), high = _mm256_set1_pd(hd),
                  low = _mm256_set1_pd(-hd);
    const __m256d sign = _mm256_set1_pd(-0.0), perUnit = _mm256_set1_pd(1e-15);
    const __m256d below = _mm256_set1_pd(1e-9), above = _mm256_set1_pd(1 - 1e-9);
    const __m128i step = _mm_setr_epi32(0, 1, 2, 3);
    constexpr int kTrunc = _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC;
    const int count = c.rows + 1;
    const int* slot = c.rowSlot;
    QRgb* px = c.px;
    const qsizetype stride = c.stride;
    int r = 0;
    for (; r + 4 <= count; r += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(slot + r));
        const int s0 = _mm_cvtsi128_si32(s);
        const __m128i along = _mm_cmpeq_epi32(s, _mm_add_epi32(_mm_set1_epi32(s0), step));
        __m256d d;
        if (s0 >= 0 && _mm_movemask_ps(_mm_castsi128_ps(along)) == 0xF) {
            d = _mm256_loadu_pd(v + s0); // one row per sample
        } else {
            double g[4];
            for (int k = 0; k < 4; ++k) g[k] = slot[r + k] >= 0 ? v[slot[r + k]] : 0.0;
            d = _mm256_loadu_pd(g);
        }
        const __m256d q = _mm256_div_pd(_mm256_mul_pd(d, gainMax), gainPos);
        const __m256d aq = _mm256_andnot_pd(sign, q);
        const __m256d f = _mm256_andnot_pd(sign, _mm256_sub_pd(q, _mm256_round_pd(q, kTrunc)));
        const __m256d safe =
            _mm256_and_pd(_mm256_cmp_pd(f, _mm256_fmadd_pd(aq, perUnit, below), _CMP_GT_OQ),
                          _mm256_cmp_pd(f, _mm256_fnmadd_pd(aq, perUnit, above), _CMP_LT_OQ));
        const __m256d whole = _mm256_cmp_pd(d, _mm256_round_pd(d, kTrunc), _CMP_EQ_OQ);
        const __m256d clipped = _mm256_cmp_pd(aq, top, _CMP_GE_OQ);
        const int ok = _mm256_movemask_pd(_mm256_or_pd(_mm256_or_pd(safe, whole), clipped));
        alignas(16) int32_t amp[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(amp),
                        _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(q, low), high)));
        if (ok != 0xF) { // not a number, or next to a whole amplitude
            alignas(32) double dd[4];
            _mm256_store_pd(dd, d);
            for (int k = 0; k < 4; ++k)
                if (!(ok >> k & 1))
                    amp[k] = static_cast<int32_t>(
                        displayAmplitude(static_cast<Sample>(dd[k]), c.gainMax, c.gainPos, c.half));
        }
        for (int k = 0; k < 4; ++k, px += stride) {
            const QRgb colour = colourOf[amp[k]];
            pen = colour != 0 ? colour : pen;
            *px = pen;
        }
    }
    ColumnPaint rest = c;
    rest.px = px;
    rest.rowSlot = slot + r;
    rest.rows = count - r - 1;
    return paintDoubleColumnPixelsLanes(rest, v, colourOf, pen);
}

QRgb paintDoubleColumnPixels(const ColumnPaint& c, const double* v, const QRgb* colourOf,
                             QRgb pen) {
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return avx2 ? paintDoubleColumnPixelsAvx2(c, v, colourOf, pen)
                : paintDoubleColumnPixelsLanes(c, v, colourOf, pen);
}

} // namespace

void ProfileRenderer::flushTile() const {
    if (tileCount_ == 0) return;
    const int count = tileCount_;
    tileCount_ = 0;
    if (bitmap_.isNull() || tileX_ + count > bitmap_.width() ||
        kProfileMargin + tileRows_ > bitmap_.height())
        return;
    const qsizetype line = bitmap_.bytesPerLine();
    uchar* row = bitmap_.bits() + kProfileMargin * line; // one detach check, not one per row
    const qsizetype at = static_cast<qsizetype>(tileX_) * sizeof(QRgb);
    const QRgb* from = tile_.data();
    if (count == kTileColumns && (reinterpret_cast<uintptr_t>(row + at) | line) % 64 == 0) {
        // Whole cache lines on every row: streamed past the cache, which
        // spares reading the lines that are about to be overwritten.
        static_assert(kTileColumns * sizeof(QRgb) % 64 == 0);
        constexpr int kVectors = kTileColumns * sizeof(QRgb) / 16;
        for (int r = 0; r < tileRows_; ++r, row += line, from += kTileColumns) {
            auto* to = reinterpret_cast<__m128i*>(row + at);
            const auto* in = reinterpret_cast<const __m128i*>(from);
            for (int k = 0; k < kVectors; ++k) _mm_stream_si128(to + k, _mm_loadu_si128(in + k));
        }
        _mm_sfence();
        return;
    }
    // Rows far apart in memory are not prefetched by the processor: ask for
    // those a few rows on, so that their misses overlap.
    constexpr int kAhead = 16;
    const qsizetype last = static_cast<qsizetype>(count) * sizeof(QRgb) - 1;
    for (int r = 0; r < tileRows_; ++r, row += line) {
        if (r + kAhead < tileRows_) {
            uchar* next = row + kAhead * line + at;
            for (qsizetype b = 0; b < last; b += 64) __builtin_prefetch(next + b, 1);
            __builtin_prefetch(next + last, 1);
        }
        std::memcpy(reinterpret_cast<QRgb*>(row) + tileX_,
                    tile_.data() + static_cast<size_t>(r) * kTileColumns, count * sizeof(QRgb));
    }
}

bool ProfileRenderer::beginColumn(int x, int n) {
    const int rows = s_.ImageRows;
    if (bitmap_.isNull() || rows <= 0 || x < 0 || x >= bitmap_.width()) return false;
    if (kProfileMargin + rows >= bitmap_.height()) return false; // geometry changed since set-up
    // Tiles end on every kTileColumns-th column of the picture, so that the
    // full ones cover whole cache lines of its rows.
    if (tileCount_ > 0 && ((tileX_ + tileCount_) % kTileColumns == 0 || x != tileX_ + tileCount_ ||
                           rows + 1 != tileRows_))
        flushTile();
    if (tileCount_ == 0) {
        tileX_ = x;
        tileRows_ = rows + 1;
        tile_.resize(static_cast<size_t>(tileRows_) * kTileColumns);
    }
    prepareRows(rows, n);
    // A full scale taken from the data maps onto the 16-bit one, so that a line
    // of samples below 1 keeps its detail through the whole-number amplitudes.
    const bool fromData = s_.FullScaleFromData && s_.FullScale > 0;
    const long long clip = s_.display.ClipLevel;
    const long long half = clip > 0 ? clip : fromData ? 16384 : s_.FullScale / 2;
    prepareLevels(half);
    column_ = {tile_.data() + tileCount_,
               kTileColumns,
               slots_.data(),
               rows,
               nullptr,
               s_.display.Gain.max(),
               s_.display.Gain(),
               half,
               levelOf_.empty() ? nullptr : levelOf_.data() + half,
               &paletteTable(s_.display.PaletteBar()),
               fromData ? 32768.0L / s_.FullScale : 1.0L};
    return true;
}

void ProfileRenderer::prepareColumnScratch() {
    const size_t count = static_cast<size_t>(column_.rows) + 1;
    if (columnValues_.size() < count) {
        columnValues_.resize(count);
        columnDoubles_.resize(count);
        columnLowBits_.resize(count);
        columnAmplitudes_.resize(count);
    }
}

void ProfileRenderer::DRAW_PROFILE(int x, const TraceBuffer& trace, int n) {
    if (!beginColumn(x, n)) return;
    column_.trace = trace.data();
    prepareColumnScratch();
    columnAmplitudes(column_, columnValues_.data(), columnDoubles_.data(), columnLowBits_.data(),
                     columnAmplitudes_.data());
    paintAmplitudes();
}

void ProfileRenderer::drawDoubleColumn(int x, const double* v, int n) {
    if (!beginColumn(x, n)) return;
    if (column_.scale == 1 && quickColumn(column_) && prepareColours()) {
        pen_ = paintDoubleColumnPixels(column_, v, colourOf_.data() + column_.half, pen_);
        ++tileCount_;
        return;
    }
    prepareColumnScratch();
    doubleColumnAmplitudes(column_, v, columnValues_.data(), columnDoubles_.data(),
                           columnLowBits_.data(), columnAmplitudes_.data());
    paintAmplitudes();
}

bool ProfileRenderer::prepareColours() {
    if (levelOf_.empty()) return false;
    const int palette = s_.display.PaletteBar();
    if (palette != colourPalette_) {
        // Colour by amplitude, opaque; 0 where the palette has no colour.
        colourPalette_ = palette;
        colourOf_.resize(levelOf_.size());
        const PaletteTable& t = *column_.palette;
        for (size_t i = 0; i < levelOf_.size(); ++i) {
            const int l = levelOf_[i] + 255;
            colourOf_[i] = t.keeps[l] ? 0 : 0xFF000000u | t.rgb[l];
        }
    }
    return true;
}

void ProfileRenderer::paintAmplitudes() {
    ColumnPaint& c = column_;
    if (prepareColours()) {
        pen_ = paintColumnPixels(c, colourOf_.data() + c.half, columnAmplitudes_.data(), pen_);
    } else {
        pen_ = paintColumnPixels(c, columnAmplitudes_.data(), pen_);
    }
    ++tileCount_;
}

void ProfileRenderer::prepareWholeColours() {
    const ColumnPaint& c = column_;
    const WholeColourKey key{c.gainMax, c.gainPos, c.half, c.scale, s_.display.PaletteBar()};
    if (!wholeColour_.empty() && key == wholeKey_) return;
    wholeKey_ = key;
    wholeColour_.resize(65536);
    // Each 16-bit value goes the way a column's sample goes, a block at a time.
    constexpr int kBlock = 4096;
    std::vector<Sample> values(kBlock), scratch(kBlock);
    std::vector<int> identity(kBlock);
    std::vector<double> doubles(kBlock);
    std::vector<int64_t> lowBits(kBlock);
    std::vector<int32_t> amp(kBlock);
    for (int i = 0; i < kBlock; ++i) identity[i] = i;
    ColumnPaint block = c;
    block.rowSlot = identity.data();
    block.rows = kBlock - 1;
    block.trace = values.data();
    const PaletteTable& t = *c.palette;
    for (int from = 0; from < 65536; from += kBlock) {
        for (int i = 0; i < kBlock; ++i) values[i] = static_cast<Sample>(from + i - 32768);
        columnAmplitudes(block, scratch.data(), doubles.data(), lowBits.data(), amp.data());
        for (int i = 0; i < kBlock; ++i) {
            const int level = c.levels ? c.levels[amp[i]] : amplitudeLevel(amp[i], c.half);
            const int l = level + 255;
            // Indexed by the value's 16 bits with the sign bit flipped.
            wholeColour_[static_cast<size_t>(from + i)] = t.keeps[l] ? 0 : 0xFF000000u | t.rgb[l];
        }
    }
}

void ProfileRenderer::drawWholeColumn(int x, const WholeWindow& trace, int n) {
    if (!beginColumn(x, n)) return;
    prepareWholeColours();
    const ColumnPaint& c = column_;
    const QRgb* colourOf = wholeColour_.data();
    const int32_t* values = trace.values;
    const auto live = static_cast<unsigned>(trace.live);
    QRgb pen = pen_;
    QRgb* px = c.px;
    for (int r = 0; r <= c.rows; ++r, px += c.stride) {
        const int slot = c.rowSlot[r];
        const int32_t v = static_cast<unsigned>(slot) < live ? values[slot] : 0;
        const QRgb colour = colourOf[static_cast<uint16_t>(v) ^ 0x8000u];
        pen = colour != 0 ? colour : pen;
        *px = pen;
    }
    pen_ = pen;
    ++tileCount_;
}

void ProfileRenderer::setPicture(const QImage& image) {
    picture_ = image.format() == QImage::Format_RGB32 ? image
                                                      : image.convertToFormat(QImage::Format_RGB32);
    canvas_.setImage(&picture_);
}

void ProfileRenderer::runEnd(const QFont& font, QColor textColour) {
    // Moved, not shared: a shared image would be copied by the first painter.
    flushTile();
    picture_ = std::move(bitmap_);
    bitmap_ = QImage();
    canvas_.setImage(&picture_);
    drawRunEndAnnotation(s_, picture_, canvas_, font, textColour);
    if (s_.FullScaleFromData)
        s_.Memo2.push_back("Full scale " + std::to_string(s_.FullScale) + " (taken from the data)");
}

void drawRunEndAnnotation(const Session& s, QImage& picture, ImageCanvas& canvas, const QFont& font,
                          QColor textColour) {
    if (picture.isNull()) return;
    canvas.setImage(&picture);
    canvas.setPenColour(Qt::black);
    canvas.setPenMode(ImageCanvas::Copy);
    canvas.setFont(font);
    canvas.setFontColour(textColour);

    const AnnotationLayout layout = annotationLayout(s);
    {
        // One painter for all labels: a long line can carry thousands.
        QPainter p(&picture);
        p.setFont(font);
        p.setPen(textColour);
        const int ascent = p.fontMetrics().ascent();
        // Labels closer than the text height would overlap: the picture leaves them out.
        for (const AnnotationText& t :
             thinnedLabels(layout.texts, p.fontMetrics().height(), [&p](const std::string& text) {
                 return p.fontMetrics().horizontalAdvance(QString::fromStdString(text));
             }))
            p.drawText(QPoint(t.x, t.y + ascent), QString::fromStdString(t.text));
    }
    for (const AnnotationLine& l : layout.lines) canvas.line(l.x1, l.y1, l.x2, l.y2);
    if (layout.hasDataArea)
        canvas.rectangle(layout.dataArea.x1, layout.dataArea.y1, layout.dataArea.x2,
                         layout.dataArea.y2);

    const int H = picture.height();
    if (s.display.LineNameLabelCheck) {
        QFont small = font;
        small.setPointSize(8);
        canvas.setFont(small);
        canvas.textOut(50, H - 38, QStringLiteral("TARNIX v.1.1"));
        canvas.textOut(50, H - 22, QString::fromStdString(lineNameCaption(s.InputFileName)));
        canvas.setFont(font);
    }
    canvas.setPenColour(Qt::black);
    DrawShape(canvas, QPoint(0, 0), QPoint(picture.width(), H), ShapeRectangle, ImageCanvas::Copy);
}

namespace {

void putLE(unsigned char* p, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// A 32-bit image as the toolkit's BMP writer stores it (24 bits per pixel,
// bottom row first, rows padded to 4 bytes, resolution from the image), a
// quarter megabyte at a time (few calls, and the block stays in the cache
// between converting and writing): the toolkit converts and writes it line by line, which
// took as long as painting a whole line's profile.
bool writeBmp24(const QImage& image, const std::string& path) {
    const int w = image.width(), h = image.height();
    const long long rowBytes = (static_cast<long long>(w) * 24 + 31) / 32 * 4;
    const long long dataBytes = rowBytes * h;
    if (dataBytes + 54 > 0xFFFFFFFFLL) return false;
    std::FILE* f = openForRewrite(path);
    if (!f) return false;
    unsigned char head[54] = {'B', 'M'};
    putLE(head + 2, static_cast<uint32_t>(dataBytes + 54), 4);
    putLE(head + 10, 54, 4);
    putLE(head + 14, 40, 4);
    putLE(head + 18, static_cast<uint32_t>(w), 4);
    putLE(head + 22, static_cast<uint32_t>(h), 4);
    putLE(head + 26, 1, 2);
    putLE(head + 28, 24, 2);
    putLE(head + 34, static_cast<uint32_t>(dataBytes), 4);
    putLE(head + 38, static_cast<uint32_t>(image.dotsPerMeterX()), 4);
    putLE(head + 42, static_cast<uint32_t>(image.dotsPerMeterY()), 4);
    bool ok = std::fwrite(head, 1, sizeof head, f) == sizeof head;
    const long long rowsPerChunk = std::max<long long>(1, (1 << 18) / rowBytes);
    std::vector<unsigned char> chunk(static_cast<size_t>(rowsPerChunk * rowBytes), 0);
    for (int y = h - 1; ok && y >= 0;) {
        unsigned char* out = chunk.data();
        int rows = 0;
        for (; rows < rowsPerChunk && y >= 0; ++rows, --y, out += rowBytes) {
            packRow(reinterpret_cast<const QRgb*>(image.constScanLine(y)), w, out, PixelBytes::Bgr);
        }
        const size_t bytes = static_cast<size_t>(rows * rowBytes);
        ok = std::fwrite(chunk.data(), 1, bytes, f) == bytes;
    }
    return closeRewritten(f) && ok;
}

} // namespace

void saveProfileImage(const QImage& image, const std::string& path) {
    const std::string ext = upper(path.size() >= 4 ? path.substr(path.size() - 4) : path);
    const char* format = ext == ".PNG" ? "PNG" : "BMP";
    bool ok;
    if (image.isNull())
        ok = false;
    else if (ext == ".TIF" || ext == "TIFF")
        ok = writeTiff24(image, path);
    else if (image.format() == QImage::Format_RGB32)
        ok = std::string(format) == "BMP" ? writeBmp24(image, path) : writePng(image, path);
    else
        ok = image.save(QString::fromStdString(path), format);
    if (!ok) throw IoError("Cannot write the profile image to " + path);
}

} // namespace tarnix
