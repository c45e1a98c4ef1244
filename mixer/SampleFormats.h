#pragma once
// The four layouts of sample data and how a pair of output frames reads them with SSE2.
#include <cstdint>
#include <cstring>
#include <emmintrin.h>

namespace tolva {

// loadPair reads frames f and f+1 at `a` and at `b`, turned into unsigned 16-bit values in
// 16-bit lanes: a(f), a(f+1), b(f), b(f+1) for mono data, each as left, right for stereo.
// frameValues gives one frame's unsigned values (left, right) for the boundary cases.

struct Mono8 {
    static constexpr bool Stereo = false;
    static constexpr unsigned Shift = 0;
    static __m128i signMask(uint8_t signFlip) { return _mm_set1_epi8(static_cast<char>(signFlip)); }
    static __m128i loadPair(const uint8_t* a, const uint8_t* b, __m128i sign) {
        uint16_t x, y;
        std::memcpy(&x, a, 2);
        std::memcpy(&y, b, 2);
        const __m128i v = _mm_xor_si128(_mm_cvtsi32_si128(int(x | uint32_t(y) << 16)), sign);
        return _mm_unpacklo_epi8(_mm_setzero_si128(), v); // the byte in the high half
    }
    static void frameValues(const uint8_t* frame, uint8_t signFlip, uint32_t out[2]) {
        out[0] = uint32_t(frame[0] ^ signFlip) << 8;
        out[1] = 0;
    }
};

struct Mono16 {
    static constexpr bool Stereo = false;
    static constexpr unsigned Shift = 1;
    static __m128i signMask(uint8_t signFlip) {
        return _mm_set1_epi16(static_cast<short>(signFlip << 8));
    }
    static __m128i loadPair(const uint8_t* a, const uint8_t* b, __m128i sign) {
        uint32_t x, y;
        std::memcpy(&x, a, 4);
        std::memcpy(&y, b, 4);
        const __m128i v = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(x)), _mm_cvtsi32_si128(int(y)));
        return _mm_xor_si128(v, sign);
    }
    static void frameValues(const uint8_t* frame, uint8_t signFlip, uint32_t out[2]) {
        out[0] = (uint32_t(frame[0]) | uint32_t(frame[1]) << 8) ^ (uint32_t(signFlip) << 8);
        out[1] = 0;
    }
};

struct Stereo8 {
    static constexpr bool Stereo = true;
    static constexpr unsigned Shift = 1;
    static __m128i signMask(uint8_t signFlip) { return Mono8::signMask(signFlip); }
    static __m128i loadPair(const uint8_t* a, const uint8_t* b, __m128i sign) {
        uint32_t x, y;
        std::memcpy(&x, a, 4);
        std::memcpy(&y, b, 4);
        const __m128i v = _mm_xor_si128(
            _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(x)), _mm_cvtsi32_si128(int(y))), sign);
        return _mm_unpacklo_epi8(_mm_setzero_si128(), v);
    }
    static void frameValues(const uint8_t* frame, uint8_t signFlip, uint32_t out[2]) {
        out[0] = uint32_t(frame[0] ^ signFlip) << 8;
        out[1] = uint32_t(frame[1] ^ signFlip) << 8;
    }
};

struct Stereo16 {
    static constexpr bool Stereo = true;
    static constexpr unsigned Shift = 2;
    static __m128i signMask(uint8_t signFlip) { return Mono16::signMask(signFlip); }
    static __m128i loadPair(const uint8_t* a, const uint8_t* b, __m128i sign) {
        const __m128i x = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(a));
        const __m128i y = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b));
        return _mm_xor_si128(_mm_unpacklo_epi64(x, y), sign);
    }
    static void frameValues(const uint8_t* frame, uint8_t signFlip, uint32_t out[2]) {
        const uint32_t sign = uint32_t(signFlip) << 8;
        out[0] = (uint32_t(frame[0]) | uint32_t(frame[1]) << 8) ^ sign;
        out[1] = (uint32_t(frame[2]) | uint32_t(frame[3]) << 8) ^ sign;
    }
};

} // namespace tolva
