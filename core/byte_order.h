#pragma once
// Byte order is handled at one choke point: values are taken from and put into
// byte buffers with memcpy-free shifts, never pointer casts.
#include <bit>
#include <cstdint>

namespace tarnix {

inline int16_t getI16BE(const unsigned char* p) {
    return static_cast<int16_t>((p[0] << 8) | p[1]);
}
inline int16_t getI16LE(const unsigned char* p) {
    return static_cast<int16_t>((p[1] << 8) | p[0]);
}
inline uint16_t getU16BE(const unsigned char* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
inline uint16_t getU16LE(const unsigned char* p) {
    return static_cast<uint16_t>((p[1] << 8) | p[0]);
}
inline int32_t getI32BE(const unsigned char* p) {
    return static_cast<int32_t>((uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) |
                                (uint32_t(p[2]) << 8) | uint32_t(p[3]));
}
inline int32_t getI32LE(const unsigned char* p) {
    return static_cast<int32_t>((uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) |
                                (uint32_t(p[1]) << 8) | uint32_t(p[0]));
}
inline uint32_t getU32LE(const unsigned char* p) {
    return static_cast<uint32_t>(getI32LE(p));
}
inline uint32_t getU32BE(const unsigned char* p) {
    return static_cast<uint32_t>(getI32BE(p));
}
inline float getF32LE(const unsigned char* p) {
    return std::bit_cast<float>(getU32LE(p));
}
inline float getF32BE(const unsigned char* p) {
    return std::bit_cast<float>(getU32BE(p));
}
inline double getF64LE(const unsigned char* p) {
    return std::bit_cast<double>((uint64_t(getU32LE(p + 4)) << 32) | getU32LE(p));
}
inline double getF64BE(const unsigned char* p) {
    return std::bit_cast<double>((uint64_t(getU32BE(p)) << 32) | getU32BE(p + 4));
}
inline void putI16BE(unsigned char* p, int32_t v) {
    p[0] = static_cast<unsigned char>((v >> 8) & 0xff);
    p[1] = static_cast<unsigned char>(v & 0xff);
}
inline void putI16LE(unsigned char* p, int32_t v) {
    p[1] = static_cast<unsigned char>((v >> 8) & 0xff);
    p[0] = static_cast<unsigned char>(v & 0xff);
}
inline void putI32BE(unsigned char* p, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    p[0] = static_cast<unsigned char>(u >> 24);
    p[1] = static_cast<unsigned char>(u >> 16);
    p[2] = static_cast<unsigned char>(u >> 8);
    p[3] = static_cast<unsigned char>(u);
}
inline void putI32LE(unsigned char* p, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    p[3] = static_cast<unsigned char>(u >> 24);
    p[2] = static_cast<unsigned char>(u >> 16);
    p[1] = static_cast<unsigned char>(u >> 8);
    p[0] = static_cast<unsigned char>(u);
}

} // namespace tarnix
