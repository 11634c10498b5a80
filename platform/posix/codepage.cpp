#include "codepage.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace winposix {
namespace {

// Wraps one conversion descriptor; iconv descriptors are not shared between
// threads, so each conversion opens its own.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns false and leaves 'in' at the
    // offending position when a character cannot be converted.
    bool Run(const char*& in, size_t& inLeft, std::string& out)
    {
        char buffer[1024];
        while (inLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            char* src = const_cast<char*>(in);
            size_t r = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
            in = src;
            out.append(buffer, dst - buffer);
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG)
                    continue;
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

bool IsUndefinedCp1252(unsigned char c)
{
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

void AppendUtf8(std::string& out, unsigned cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Length of the UTF-8 sequence at p (1 for a stray byte).
size_t SequenceLength(const char* p, size_t left)
{
    unsigned char c = static_cast<unsigned char>(*p);
    size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    return n > left ? left : n;
}

// Windows-1252 0x80..0x9F as code points (0 for the undefined ones).
const unsigned short kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

std::string Cp1252ToUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        size_t j = i;
        bool ascii = true;
        while (j < text.size() && !IsUndefinedCp1252(static_cast<unsigned char>(text[j]))) {
            ascii = ascii && static_cast<unsigned char>(text[j]) < 0x80;
            ++j;
        }
        if (ascii) {
            out.append(text, i, j - i);
        } else if (j > i) {
            Converter conv("UTF-8", "WINDOWS-1252");
            const char* in = text.data() + i;
            size_t left = j - i;
            if (!conv.Run(in, left, out))
                throw std::runtime_error("iconv failed on Windows-1252 text");
        }
        if (j < text.size())
            AppendUtf8(out, static_cast<unsigned char>(text[j++]));
        i = j;
    }
    return out;
}

bool Utf8ToCp1252(const std::string& text, std::string& out, bool substitute)
{
    out.clear();
    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        out = text;
        return true;
    }
    Converter conv("WINDOWS-1252", "UTF-8");
    const char* in = text.data();
    size_t left = text.size();
    while (!conv.Run(in, left, out)) {
        // U+0080..U+009F that Windows-1252 leaves undefined map to their own byte.
        unsigned char b0 = static_cast<unsigned char>(in[0]);
        if (left >= 2 && b0 == 0xC2) {
            unsigned char b1 = static_cast<unsigned char>(in[1]);
            if (IsUndefinedCp1252(b1)) {
                out += static_cast<char>(b1);
                in += 2;
                left -= 2;
                continue;
            }
        }
        if (!substitute)
            return false;
        size_t n = SequenceLength(in, left);
        out += '?';
        in += n;
        left -= n;
    }
    return true;
}

unsigned Cp1252ToCodePoint(unsigned char c)
{
    if (c >= 0x80 && c < 0xA0 && kHigh[c - 0x80] != 0)
        return kHigh[c - 0x80];
    return c;
}

bool CodePointToCp1252(unsigned codePoint, unsigned char& c)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint < 0x100)) {
        c = static_cast<unsigned char>(codePoint);
        return true;
    }
    for (unsigned i = 0; i < 32; ++i) {
        if ((kHigh[i] != 0 && kHigh[i] == codePoint) || (kHigh[i] == 0 && codePoint == 0x80 + i)) {
            c = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

char FoldCase(char ch)
{
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<char>(c + 32);
    switch (c) {
    case 0x8A: return static_cast<char>(0x9A); // Š
    case 0x8C: return static_cast<char>(0x9C); // Œ
    case 0x8E: return static_cast<char>(0x9E); // Ž
    case 0x9F: return static_cast<char>(0xFF); // Ÿ
    default: return ch;
    }
}

std::string FoldCase(const std::string& text)
{
    std::string out(text);
    for (char& c : out)
        c = FoldCase(c);
    return out;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

} // namespace winposix
