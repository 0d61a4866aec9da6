// Seeded random texts for the property tests: code page 932 strings built
// from the pieces that trouble byte-wise text handling (double-byte
// characters whose second byte is a backslash, '|' or a comma-looking byte,
// lone lead bytes, 0xFF, separators, digits and signs). The seed is fixed so
// that a run is repeatable; ZK_FUZZ_SEED replaces it and ZK_FUZZ_SCALE
// multiplies the number of cases, for a longer search on a developer's
// machine. Every failure names the seed and the case number.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

inline uint32_t Seed(uint32_t fallback)
{
    const char* text = std::getenv("ZK_FUZZ_SEED");
    return text && *text ? static_cast<uint32_t>(std::strtoul(text, nullptr, 0)) : fallback;
}

inline int Cases(int base)
{
    const char* text = std::getenv("ZK_FUZZ_SCALE");
    const long scale = text && *text ? std::strtol(text, nullptr, 10) : 1;
    return base * static_cast<int>(scale > 0 ? scale : 1);
}

class Gen {
public:
    explicit Gen(uint32_t seed) : rng_(seed) {}

    // An integer in [lo, hi].
    long long Int(long long lo, long long hi) { return std::uniform_int_distribution<long long>(lo, hi)(rng_); }
    bool Chance(int percent) { return Int(1, 100) <= percent; }
    template <class T> const T& Pick(const std::vector<T>& from) { return from[Int(0, from.size() - 1)]; }

    // Any byte but NUL.
    char Byte() { return static_cast<char>(Int(1, 255)); }

    // One double-byte character; the second byte is often one a byte-wise
    // search would take for a single-byte character (0x5C '\', 0x7C '|',
    // 0x40 '@', 0x5B '[', 0x7E '~').
    std::string DoubleByte()
    {
        static const unsigned char kTrouble[] = {0x5C, 0x7C, 0x40, 0x5B, 0x7E, 0x80, 0xFC};
        const int leadPick = static_cast<int>(Int(0, 1));
        const unsigned char lead = static_cast<unsigned char>(leadPick ? Int(0xE0, 0xFC) : Int(0x81, 0x9F));
        unsigned char trail;
        if (Chance(50)) {
            trail = kTrouble[Int(0, sizeof kTrouble - 1)];
        } else {
            trail = static_cast<unsigned char>(Int(0x40, 0xFB));
            if (trail == 0x7F) trail = 0x80;
        }
        return std::string{static_cast<char>(lead), static_cast<char>(trail)};
    }

    // A decimal field as a caller might send it, or something that is not.
    std::string Number()
    {
        std::string s;
        switch (Int(0, 7)) {
        case 0: return std::to_string(Int(0, 65535));
        case 1: return std::to_string(Int(-2147483648LL, 4294967295LL));
        case 2: return std::string(static_cast<size_t>(Int(11, 30)), static_cast<char>('0' + Int(1, 9)));  // overlong
        case 3: return "";
        case 4: s = std::string(static_cast<size_t>(Int(0, 3)), " \t\n\v\f\r"[Int(0, 5)]); break;
        case 5: s = "+-"[Int(0, 1)]; break;
        case 6: s = "0"; break;
        default: return Text(6, "09ax+- \xFF");
        }
        s += std::to_string(Int(0, 99999));
        if (Chance(30)) s += Text(3, "x.\x83\x5C ");
        return s;
    }

    // Up to maxLen bytes mixing the characters of `alphabet`, double-byte
    // characters, lone lead bytes and arbitrary bytes.
    std::string Text(int maxLen, std::string_view alphabet)
    {
        std::string s;
        const long long len = Int(0, maxLen);
        while (static_cast<long long>(s.size()) < len) {
            const long long kind = Int(0, 9);
            if (kind < 5 && !alphabet.empty())
                s += alphabet[Int(0, alphabet.size() - 1)];
            else if (kind < 8)
                s += DoubleByte();
            else if (kind < 9)
                s += static_cast<char>(Int(0x81, 0x9F));  // a lead byte that may have no trail
            else
                s += Byte();
        }
        return s;
    }

    std::mt19937& Engine() { return rng_; }

private:
    std::mt19937 rng_;
};

}  // namespace fuzz
