// Blowfish as published by Bruce Schneier (1993): 64-bit blocks, 16 rounds,
// P-array and S-boxes initialised from the hexadecimal digits of pi, the
// standard key schedule. Blocks are read and written as two big-endian
// 32-bit halves, so the results match every published test vector.
// Plain byte handling, no platform calls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class CBlowfish {
public:
    static constexpr size_t kBlockSize = 8;
    // The key schedule cycles through at most this many key bytes; later
    // bytes have no effect (as in the reference implementation).
    static constexpr size_t kMaxKeyBytes = 72;

    // Runs the key schedule (521 block encryptions). The key bytes are taken
    // cyclically; an empty key leaves the P-array as if the key were one zero
    // byte (there is nothing to XOR in), instead of reading out of bounds.
    CBlowfish(const uint8_t* key, size_t keyLength);

    // One block given as its two halves (left = first four bytes, big-endian).
    void EncryptBlock(uint32_t& left, uint32_t& right) const;
    void DecryptBlock(uint32_t& left, uint32_t& right) const;

    // ECB over whole blocks, in place. `length` must be a multiple of 8; a
    // trailing partial block is left untouched (callers pad first).
    void EncryptEcb(uint8_t* data, size_t length) const;
    void DecryptEcb(uint8_t* data, size_t length) const;

private:
    uint32_t F(uint32_t x) const;

    std::array<uint32_t, 18> p_;
    std::array<std::array<uint32_t, 256>, 4> s_;
};
