// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/**
 * The bytes of a file that the fake host serves, computed from its name and size alone, so that a
 * test or a script can tell whether a download arrived intact without keeping a copy. Any byte can
 * be computed without those before it, which lets the host answer from any offset.
 *
 * For anyone who reimplements the stream elsewhere (all arithmetic modulo 2^64):
 *   mix(z)   = SplitMix64's finaliser: z ^= z >> 30; z *= 0xBF58476D1CE4E5B9; z ^= z >> 27;
 *              z *= 0x94D049BB133111EB; z ^= z >> 31
 *   seed     = FNV-1a 64 of the name's bytes, xor mix(size)
 *   byte i   = byte (i mod 8), least significant first, of mix(seed + (i div 8 + 1) * 0x9E3779B97F4A7C15)
 *
 * The name is the file URL's last path segment exactly as it appears there (percent escapes
 * included), which is also the name a downloader gives the file.
 *
 * Thread contract: immutable after construction; share it freely.
 */
class FileContent final
{
public:
    FileContent(std::string_view name, std::uint64_t size) : m_size(size), m_seed(fnv1a(name) ^ mix(size)) {}

    std::uint64_t size() const { return m_size; }

    /** Writes bytes [offset, offset + length) to out. Past size() the stream simply goes on. */
    void fill(std::uint64_t offset, char *out, std::size_t length) const
    {
        std::size_t done = 0;
        while (done < length) {
            const std::uint64_t position = offset + done;
            const std::uint64_t word = mix(m_seed + (position / 8 + 1) * golden);
            for (unsigned k = position % 8; k < 8 && done < length; ++k, ++done)
                out[done] = static_cast<char>(static_cast<unsigned char>(word >> (8 * k)));
        }
    }

    std::string bytes(std::uint64_t offset, std::size_t length) const
    {
        std::string out(length, '\0');
        fill(offset, out.data(), length);
        return out;
    }

private:
    static constexpr std::uint64_t golden = 0x9E3779B97F4A7C15ULL;

    static constexpr std::uint64_t mix(std::uint64_t z)
    {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    static constexpr std::uint64_t fnv1a(std::string_view text)
    {
        std::uint64_t hash = 0xCBF29CE484222325ULL;
        for (const char c : text)
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
        return hash;
    }

    std::uint64_t m_size;
    std::uint64_t m_seed;
};
