#include "formats/demo_line.h"

#include "core/byte_order.h"
#include "core/error.h"
#include "formats/segy_header.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace tarnix {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Event {
    double timeMs;
    double amp;
};

void putText(std::vector<unsigned char>& block, int line, const std::string& text) {
    std::string l = text.substr(0, 80);
    l.resize(80, ' ');
    std::copy(l.begin(), l.end(), block.begin() + line * 80);
}

} // namespace

void writeDemoLine(const std::string& path, const DemoLineOptions& opt) {
    if (opt.shots < 1 || opt.samples < 1 || opt.samples > 16384 || opt.intervalUs < 1 ||
        opt.intervalUs > 32767)
        throw IoError("demo line: shots, samples (1..16384) or interval out of range");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw IoError("Cannot create " + path);

    std::vector<unsigned char> head(3600, 0);
    std::fill(head.begin(), head.begin() + 3200, ' ');
    putText(head, 0, "C 1 TARNIX DEMO LINE - SYNTHETIC SINGLE-CHANNEL HIGH-RESOLUTION PROFILE");
    putText(head, 1,
            "C 2 SEA FLOOR, FOUR SUB-BOTTOM REFLECTORS, SEA-FLOOR MULTIPLE, NOISE, SPIKES");
    char buf[96];
    std::snprintf(buf, sizeof buf, "C 3 SHOTS %d  SAMPLES %d  INTERVAL %d US  DELAY %d MS",
                  opt.shots, opt.samples, opt.intervalUs, opt.delayMs);
    putText(head, 2, buf);
    putText(head, 3, "C 4 COORDINATES: SECONDS OF ARC, SCALER -100, UNITS 2");
    putText(head, 4, "C 5 16-BIT INTEGER SAMPLES, BIG-ENDIAN");
    for (int l = 5; l < 40; ++l) {
        std::snprintf(buf, sizeof buf, "C%2d", l + 1);
        putText(head, l, buf);
    }
    unsigned char* bin = head.data() + 3200;
    putI32BE(bin + 4, 1);               // line number
    putI16BE(bin + 12, 1);              // traces per record
    putI16BE(bin + 16, opt.intervalUs); // sample interval
    putI16BE(bin + 20, opt.samples);    // samples per trace
    putI16BE(bin + 24, 3);              // 16-bit integer samples
    putI16BE(bin + 54, 1);              // metres
    if (std::fwrite(head.data(), 1, head.size(), f) != head.size()) {
        std::fclose(f);
        throw IoError("Cannot write " + path);
    }

    const double dtMs = opt.intervalUs / 1000.0;
    const double fs = 1000.0 / dtMs;               // Hz
    const double f0 = std::min(1500.0, fs / 12.0); // a source of a few kHz bandwidth
    const int half =
        static_cast<int>(std::ceil(3.0 / (kPi * f0 * dtMs / 1000.0))); // wavelet support
    std::vector<double> trace(opt.samples);
    std::vector<unsigned char> rec(240 + 2 * static_cast<size_t>(opt.samples));
    std::mt19937 rng(opt.seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::uniform_real_distribution<double> uni(0.0, 1.0);
    std::vector<Event> events;
    events.reserve(64);

    // Track: a straight line at 70 degrees, about one metre per shot.
    const double lat0 = 59.85, lon0 = 24.50, heading = 70.0 * kPi / 180.0, step = 1.0;
    const double mPerDegLat = 111320.0, mPerDegLon = 111320.0 * std::cos(lat0 * kPi / 180.0);
    double heave = 0.0;

    auto ricker = [&](double tau) {
        double a = kPi * f0 * tau / 1000.0;
        a *= a;
        return (1.0 - 2.0 * a) * std::exp(-a);
    };

    for (int s = 0; s < opt.shots; ++s) {
        const double x = s;
        const double seaFloor =
            55.0 + 8.0 * std::sin(2 * kPi * x / 900.0) + 3.0 * std::sin(2 * kPi * x / 217.0 + 1.0);
        heave = 0.92 * heave + 0.08 * gauss(rng) * 0.6; // swell, ms
        events.clear();
        const double t0 = seaFloor + heave;
        events.push_back({t0, 1.0});
        // Sub-bottom layers thin and thicken along the line; one pinches out.
        const double d1 = 6.0 + 2.0 * std::sin(2 * kPi * x / 640.0);
        const double d2 = d1 + 7.0 + 3.0 * std::cos(2 * kPi * x / 1100.0);
        const double d3 = d2 + std::max(0.0, 5.0 + 6.0 * std::sin(2 * kPi * x / 1500.0));
        const double d4 = d3 + 9.0 + 0.004 * x;
        events.push_back({t0 + d1, 0.38});
        events.push_back({t0 + d2, -0.27});
        events.push_back({t0 + d3, 0.30});
        events.push_back({t0 + d4, 0.22});
        // Sea-floor multiple (reversed) and its first peg-leg.
        events.push_back({2 * t0, -0.42});
        events.push_back({2 * t0 + d1, -0.12});
        // Sediment scatter fading with depth below the sea floor.
        for (double t = t0 + 0.3; t < t0 + 45.0; t += dtMs * 2) {
            double a = 0.09 * gauss(rng) * std::exp(-(t - t0) / 25.0);
            events.push_back({t, a});
        }

        std::fill(trace.begin(), trace.end(), 0.0);
        for (const Event& e : events) {
            const double spread = std::min(1.0, 40.0 / std::max(e.timeMs, 1.0)); // divergence
            const double c = (e.timeMs - opt.delayMs) / dtMs;
            const int i0 = std::max(0, static_cast<int>(std::floor(c)) - half);
            const int i1 = std::min(opt.samples - 1, static_cast<int>(std::ceil(c)) + half);
            for (int i = i0; i <= i1; ++i) trace[i] += e.amp * spread * ricker((i - c) * dtMs);
        }
        for (int i = 0; i < opt.samples; ++i) trace[i] += 0.006 * gauss(rng);
        if (uni(rng) < 1.0 / 120.0) {
            int i = static_cast<int>(uni(rng) * opt.samples);
            trace[std::min(i, opt.samples - 1)] += (uni(rng) < 0.5 ? -0.9 : 0.9) * 1.6;
        }

        SegyTraceRecord r{};
        const int shot = s + 1;
        segySet(r, segy::SeqLine, shot);
        segySet(r, segy::SeqReel, shot);
        segySet(r, segy::FieldRecord, shot);
        segySet(r, segy::Channel, 1);
        segySet(r, segy::TraceId, 1);
        segySet(r, segy::CoordScaler, -100);
        const double east = step * x * std::sin(heading), north = step * x * std::cos(heading);
        const double lon = lon0 + east / mPerDegLon, lat = lat0 + north / mPerDegLat;
        segySet(r, segy::SourceX, static_cast<int32_t>(std::lround(lon * 3600.0 * 100.0)));
        segySet(r, segy::SourceY, static_cast<int32_t>(std::lround(lat * 3600.0 * 100.0)));
        segySet(r, segy::CoordUnits, 2);
        segySet(r, segy::Delay, opt.delayMs);
        segySet(r, segy::NumSamples, opt.samples);
        segySet(r, segy::SampleInterval, opt.intervalUs);
        const int secOfDay = 8 * 3600 + 30 * 60 + s / 2;
        segySet(r, segy::Year, 2026);
        segySet(r, segy::Day, 142 + secOfDay / 86400);
        segySet(r, segy::Hour, (secOfDay / 3600) % 24);
        segySet(r, segy::Minute, (secOfDay / 60) % 60);
        segySet(r, segy::Second, secOfDay % 60);
        segySet(r, segy::TimeBasis, 4);
        unsigned char* h = rec.data();
        encodeBigEndianHeader(r, h);
        for (int i = 0; i < opt.samples; ++i) {
            double v = std::clamp(trace[i] * 20000.0, -32767.0, 32767.0);
            putI16BE(h + 240 + 2 * i, static_cast<int32_t>(std::lround(v)));
        }
        if (std::fwrite(rec.data(), 1, rec.size(), f) != rec.size()) {
            std::fclose(f);
            throw IoError("Cannot write " + path);
        }
    }
    if (std::fclose(f) != 0) throw IoError("Cannot write " + path);
}

std::string demoLinePath(const DemoLineOptions& opt) {
    namespace fs = std::filesystem;
    fs::path dir;
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache)
        dir = fs::path(cache) / "tarnix";
    else if (const char* home = std::getenv("HOME"); home && *home)
        dir = fs::path(home) / ".cache" / "tarnix";
    else
        dir = fs::temp_directory_path() / "tarnix";
    std::error_code ec;
    fs::create_directories(dir, ec);
    char name[96];
    std::snprintf(name, sizeof name, "demo-line-%d-%d-%d.sgy", opt.shots, opt.samples,
                  opt.intervalUs);
    fs::path p = dir / name;
    const auto expected = 3600 + static_cast<std::uintmax_t>(opt.shots) * (240 + 2 * opt.samples);
    if (!fs::exists(p, ec) || fs::file_size(p, ec) != expected) {
        fs::path tmp = p;
        tmp += ".part";
        writeDemoLine(tmp.string(), opt);
        fs::rename(tmp, p);
    }
    return p.string();
}

} // namespace tarnix
