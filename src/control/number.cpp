// Printing numbers exactly without a C runtime: a double's decimal digits come from its binary
// value through a small fixed-size big number, as printf computes them.
#include "control/number.h"

#include "control/line.h"

namespace {

constexpr int Precision = 17;             // "%.17g"
constexpr int LowestExponent = -4;        // %g writes 0.0001 in full, 0.00001 with an exponent
constexpr int MantissaBits = 52;          // a double's fraction bits, besides the leading one
constexpr int ExponentBias = 1075;        // a double's exponent bias, with the fraction as a whole
constexpr unsigned ExponentMask = 0x7FF;  // all ones: infinite, or not a number
constexpr int LimbBits = 32;
constexpr int Limbs = 36;           // 1,152 bits: a double's largest value and its smallest part
constexpr int DigitCapacity = 400;  // more than a double's longest whole part, 309 digits
constexpr std::uint64_t ExactDigits = std::uint64_t{1} << 53;  // a double holds these whole numbers

// A number of Limbs 32-bit limbs, the lowest first.
struct Big {
    std::uint32_t limb[Limbs];
};

// Multiplies by a small number.
void Multiply(Big& big, std::uint32_t by) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : big.limb) {
        carry += static_cast<std::uint64_t>(limb) * by;
        limb = static_cast<std::uint32_t>(carry);
        carry >>= LimbBits;
    }
}

// Divides by a small number and gives the remainder.
std::uint32_t Divide(Big& big, std::uint32_t by) {
    std::uint64_t remainder = 0;
    for (int at = Limbs - 1; at >= 0; --at) {
        remainder = remainder << LimbBits | big.limb[at];
        big.limb[at] = static_cast<std::uint32_t>(remainder / by);
        remainder %= by;
    }
    return static_cast<std::uint32_t>(remainder);
}

bool IsZero(const Big& big) {
    for (std::uint32_t limb : big.limb)
        if (limb != 0) return false;
    return true;
}

// The mantissa shifted left by shift bits.
Big Shifted(std::uint64_t mantissa, int shift) {
    Big big{};
    for (int bit = 0; bit < MantissaBits + 1; ++bit)
        if ((mantissa >> bit & 1) != 0)
            big.limb[(bit + shift) / LimbBits] |= std::uint32_t{1} << ((bit + shift) % LimbBits);
    return big;
}

// The decimal digits of a value, the first significant one first, and where the point goes:
// after `point` digits (negative: that many zeros before them). Only as many as decide the
// rounding are kept; `more` says whether any digit after them is not 0.
struct Digits {
    char digit[DigitCapacity];
    int count, point;
    bool more;
};

// A whole number's digits.
void WholeDigits(Big whole, Digits& digits) {
    char reversed[DigitCapacity];
    int count = 0;
    while (!IsZero(whole))
        reversed[count++] = static_cast<char>('0' + Divide(whole, Decimal));
    for (int at = 0; at < count; ++at)
        digits.digit[at] = reversed[count - 1 - at];
    digits.count = digits.point = count;
}

// The digits of fraction / 2^bits after the whole part's, up to one past the precision.
void FractionDigits(Big fraction, int bits, Digits& digits) {
    const int top = bits / LimbBits, shift = bits % LimbBits;
    while (!IsZero(fraction) && digits.count <= Precision) {
        Multiply(fraction, Decimal);
        std::uint64_t above = fraction.limb[top] >> shift;
        if (top + 1 < Limbs && shift != 0)
            above |= std::uint64_t{fraction.limb[top + 1]} << (LimbBits - shift);
        fraction.limb[top] &= (std::uint32_t{1} << shift) - 1;  // 2^0 - 1 clears a whole limb
        if (top + 1 < Limbs) fraction.limb[top + 1] = 0;
        if (digits.count == 0 && above == 0) {
            --digits.point;  // a zero before the first significant digit
            continue;
        }
        digits.digit[digits.count++] = static_cast<char>('0' + above);
    }
    digits.more = !IsZero(fraction);
}

// Rounds to Precision digits, half to even, as printf does.
void Round(Digits& digits) {
    if (digits.count <= Precision) return;
    const char next = digits.digit[Precision];
    bool more = digits.more;
    for (int at = Precision + 1; at < digits.count; ++at)
        more = more || digits.digit[at] != '0';
    digits.count = Precision;
    const bool odd = (digits.digit[Precision - 1] - '0') % 2 != 0;
    if (next < '5' || (next == '5' && !more && !odd)) return;
    int at = Precision - 1;
    while (at >= 0 && digits.digit[at] == '9')
        digits.digit[at--] = '0';
    if (at >= 0) {
        ++digits.digit[at];
        return;
    }
    digits.digit[0] = '1';  // 99...9 became 100...0
    ++digits.point;
}

void Put(NumberText& text, char c) { text.text[text.length++] = c; }

// The digits from..to, or zeros past the last one.
void PutDigits(NumberText& text, const Digits& digits, int from, int to) {
    for (int at = from; at < to; ++at)
        Put(text, at < digits.count ? digits.digit[at] : '0');
}

// "%g": the significant digits without the zeros that end them, in full or with an exponent.
void PutShortest(NumberText& text, Digits& digits) {
    while (digits.count > 1 && digits.digit[digits.count - 1] == '0')
        --digits.count;
    const int exponent = digits.point - 1;
    if (exponent < LowestExponent || exponent >= Precision) {
        PutDigits(text, digits, 0, 1);
        if (digits.count > 1) Put(text, '.');
        PutDigits(text, digits, 1, digits.count);
        Put(text, 'e');
        Put(text, exponent < 0 ? '-' : '+');
        const int magnitude = exponent < 0 ? -exponent : exponent;
        NumberText power;
        FormatInteger(magnitude, power);
        if (power.length < 2) Put(text, '0');
        for (int at = 0; at < power.length; ++at)
            Put(text, power.text[at]);
        return;
    }
    if (digits.point <= 0) {
        Put(text, '0');
        Put(text, '.');
        for (int zero = digits.point; zero < 0; ++zero)
            Put(text, '0');
        PutDigits(text, digits, 0, digits.count);
        return;
    }
    PutDigits(text, digits, 0, digits.point);
    if (digits.count > digits.point) Put(text, '.');
    PutDigits(text, digits, digits.point, digits.count);
}

void PutWord(NumberText& text, const char* word) {
    while (*word != '\0')
        Put(text, *word++);
}

}  // namespace

void FormatInteger(std::int64_t number, NumberText& text) {
    char reversed[NumberTextCapacity];
    int count = 0;
    // Negative numbers are taken digit by digit as they are, so that the lowest one fits too.
    const bool negative = number < 0;
    do {
        const int digit = static_cast<int>(number % Decimal);
        reversed[count++] = static_cast<char>('0' + (negative ? -digit : digit));
        number /= Decimal;
    } while (number != 0);
    text.length = 0;
    if (negative) Put(text, '-');
    while (count > 0)
        Put(text, reversed[--count]);
}

void FormatReal(double number, NumberText& text) {
    std::uint64_t bits;
    __builtin_memcpy(&bits, &number, sizeof bits);
    const bool negative = bits >> (MantissaBits + 11) != 0;
    const unsigned exponentBits = bits >> MantissaBits & ExponentMask;
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << MantissaBits) - 1);
    text.length = 0;
    if (exponentBits == ExponentMask)
        return PutWord(text, mantissa != 0 ? "nan" : negative ? "-inf" : "inf");
    if (negative) Put(text, '-');
    if (exponentBits != 0) mantissa |= std::uint64_t{1} << MantissaBits;
    const int exponent = static_cast<int>(exponentBits == 0 ? 1 : exponentBits) - ExponentBias;
    Digits digits{};
    if (mantissa == 0) {
        digits.digit[0] = '0';
        digits.count = digits.point = 1;
    } else if (exponent >= 0) {
        WholeDigits(Shifted(mantissa, exponent), digits);
    } else {
        // The whole part, then the fraction's bits, `bits` of them below the point.
        const int bits = -exponent;
        const bool whole = bits <= MantissaBits;
        WholeDigits(Shifted(whole ? mantissa >> bits : 0, 0), digits);
        FractionDigits(Shifted(whole ? mantissa & ((std::uint64_t{1} << bits) - 1) : mantissa, 0),
                       bits, digits);
    }
    Round(digits);
    PutShortest(text, digits);
    for (int at = 0; at < text.length; ++at)
        if (text.text[at] == '.' || text.text[at] == 'e') return;
    PutWord(text, ".0");  // GLib's mark of a double that %g wrote as a whole number
}

bool ParseReal(const char16_t* text, int length, double& number) {
    std::uint64_t digits = 0;
    int scale = 0, points = 0, count = 0;
    for (int at = 0; at < length; ++at) {
        if (text[at] == u'.') {
            ++points;
            continue;
        }
        if (text[at] < u'0' || text[at] > u'9') return false;
        ++count;
        if (digits < ExactDigits / Decimal) {
            digits = digits * Decimal + (text[at] - u'0');
            scale -= points;  // a digit after the point
        } else if (points == 0) {
            ++scale;  // beyond what is kept, before the point: a power of ten more
        }
    }
    if (points > 1 || count == 0) return false;
    number = static_cast<double>(digits);
    double power = 1;
    for (int at = 0; at < (scale < 0 ? -scale : scale); ++at)
        power *= Decimal;
    // One rounding, and so exact, while the power is (up to 10^22).
    number = scale < 0 ? number / power : number * power;
    return true;
}
