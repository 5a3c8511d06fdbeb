#pragma once
// A fixed-size array of zeros whose pages the kernel supplies only when they
// are first touched: scratch sized for the largest case costs neither start-up
// time nor resident memory until a run needs it. Only for types whose value 0
// is all zero bytes.
#include <array>
#include <complex>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>

namespace tarnix {

template <class T> struct ZeroBytesAreZero : std::is_arithmetic<T> {};
template <class T> struct ZeroBytesAreZero<std::complex<T>> : ZeroBytesAreZero<T> {};
template <class T, size_t N> struct ZeroBytesAreZero<std::array<T, N>> : ZeroBytesAreZero<T> {};

template <class T> class ZeroedBuffer {
    static_assert(ZeroBytesAreZero<T>::value, "zero bytes must be the value 0");

public:
    explicit ZeroedBuffer(size_t n) : size_(n) {
        // calloc hands large blocks over as fresh mappings, without writing them.
        if (n > 0 && !(data_ = static_cast<T*>(std::calloc(n, sizeof(T))))) throw std::bad_alloc();
    }
    ~ZeroedBuffer() { std::free(data_); }
    ZeroedBuffer(const ZeroedBuffer&) = delete;
    ZeroedBuffer& operator=(const ZeroedBuffer&) = delete;

    T* data() { return data_; }
    const T* data() const { return data_; }
    size_t size() const { return size_; }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

private:
    T* data_ = nullptr;
    size_t size_;
};

} // namespace tarnix
