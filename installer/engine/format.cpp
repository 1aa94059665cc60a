// Filling the script's printf-style message texts, each conversion checked
// against the message's arguments first; the bounded copy and join of texts.
#include "format.h"

#include <cstring>

namespace {

const unsigned maxField = 65535;  // widths and precisions are clamped here

struct Spec {
    bool left = false, plus = false, space = false, zero = false, alternate = false;
    unsigned width = 0;
    bool hasPrecision = false;
    unsigned precision = 0;
    char length = 0;  // 'h', 'l' or none
    char conversion = 0;
};

unsigned readNumber(const char*& p) {
    unsigned value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > maxField) value = maxField;
        ++p;
    }
    return value;
}

// Reads one conversion after its '%'; false when it is not one of the accepted
// forms. p is left after the conversion character.
bool readSpec(const char*& p, Spec& spec) {
    for (;; ++p) {
        if (*p == '-') spec.left = true;
        else if (*p == '+') spec.plus = true;
        else if (*p == ' ') spec.space = true;
        else if (*p == '0') spec.zero = true;
        else if (*p == '#') spec.alternate = true;
        else break;
    }
    spec.width = readNumber(p);
    if (*p == '.') {
        ++p;
        spec.hasPrecision = true;
        spec.precision = readNumber(p);
    }
    if (*p == 'h' || *p == 'l') spec.length = *p++;
    spec.conversion = *p;
    if (*p) ++p;
    bool numberFlags = !spec.alternate;
    switch (spec.conversion) {
    case 's': return !spec.length && numberFlags && !spec.plus && !spec.space && !spec.zero;
    case 'c': return numberFlags && !spec.plus && !spec.space && !spec.zero && !spec.hasPrecision;
    case 'd': case 'i': case 'u': return numberFlags;
    case 'x': case 'X': case 'o': return true;
    default: return false;
    }
}

class Writer {
public:
    Writer(char* out, size_t size) : out_(out), size_(size) {}
    void put(char c) {
        if (length_ + 1 < size_) out_[length_++] = c;
    }
    void put(const char* text, size_t n) {
        for (size_t i = 0; i < n; ++i) put(text[i]);
    }
    void pad(char c, size_t n) {
        for (size_t i = 0; i < n && length_ + 1 < size_; ++i) put(c);
    }
    void finish() { out_[length_] = '\0'; }

private:
    char* out_;
    size_t size_;
    size_t length_ = 0;
};

void renderText(Writer& out, const Spec& spec, const char* text) {
    if (!text) text = "";
    size_t length = spec.hasPrecision ? strnlen(text, spec.precision) : std::strlen(text);
    size_t padding = spec.width > length ? spec.width - length : 0;
    if (!spec.left) out.pad(' ', padding);
    out.put(text, length);
    if (spec.left) out.pad(' ', padding);
}

// A number argument as an int of the conversion's kind: "h" makes it a short,
// u, x, X and o read it unsigned.
void renderNumber(Writer& out, const Spec& spec, int number) {
    if (spec.conversion == 'c') {
        // A NUL would end the text early; it shows as nothing.
        char c = static_cast<char>(number);
        size_t length = c ? 1 : 0;
        size_t padding = spec.width > length ? spec.width - length : 0;
        if (!spec.left) out.pad(' ', padding);
        if (c) out.put(c);
        if (spec.left) out.pad(' ', padding);
        return;
    }
    bool isSigned = spec.conversion == 'd' || spec.conversion == 'i';
    unsigned base = spec.conversion == 'o' ? 8 : spec.conversion == 'u' || isSigned ? 10 : 16;
    const char* digitSet = spec.conversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    long long value = number;
    if (spec.length == 'h') value = isSigned ? static_cast<short>(number) : static_cast<unsigned short>(number);
    else if (!isSigned) value = static_cast<unsigned>(number);
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    char digits[32];
    size_t count = 0;
    while (magnitude) {
        digits[count++] = digitSet[magnitude % base];
        magnitude /= base;
    }
    size_t minimum = spec.hasPrecision ? spec.precision : 1;
    // "#o" makes the first digit a 0; "#x" puts 0x before a non-zero value.
    if (spec.alternate && base == 8 && minimum <= count) minimum = count + 1;
    const char* prefix = spec.alternate && base == 16 && count ? (spec.conversion == 'X' ? "0X" : "0x") : "";
    size_t zeros = minimum > count ? minimum - count : 0;
    char sign = !isSigned ? 0 : value < 0 ? '-' : spec.plus ? '+' : spec.space ? ' ' : 0;
    size_t length = (sign ? 1 : 0) + std::strlen(prefix) + zeros + count;
    size_t padding = spec.width > length ? spec.width - length : 0;
    bool zeroPad = spec.zero && !spec.left && !spec.hasPrecision;
    if (!spec.left && !zeroPad) out.pad(' ', padding);
    if (sign) out.put(sign);
    out.put(prefix, std::strlen(prefix));
    if (zeroPad) out.pad('0', padding);
    out.pad('0', zeros);
    while (count) out.put(digits[--count]);
    if (spec.left) out.pad(' ', padding);
}

bool conversionsMatch(const char* format, const MessageArg* args, int count) {
    int next = 0;
    for (const char* p = format; *p;) {
        if (*p++ != '%') continue;
        if (*p == '%') {
            ++p;
            continue;
        }
        Spec spec;
        if (!readSpec(p, spec) || next >= count) return false;
        char wanted = spec.conversion == 's' ? 's' : 'd';
        if (args[next++].kind != wanted) return false;
    }
    return true;
}

}  // namespace

bool formatMessage(char* out, size_t size, const char* format, const MessageArg* args, int count) {
    if (!out || size == 0) return false;
    if (!format) format = "";
    if (!conversionsMatch(format, args, count)) {
        copyText(out, size, format);
        return false;
    }
    Writer writer(out, size);
    int next = 0;
    for (const char* p = format; *p;) {
        if (*p != '%') {
            writer.put(*p++);
            continue;
        }
        ++p;
        if (*p == '%') {
            writer.put(*p++);
            continue;
        }
        Spec spec;
        readSpec(p, spec);
        const MessageArg& arg = args[next++];
        if (spec.conversion == 's')
            renderText(writer, spec, arg.text);
        else
            renderNumber(writer, spec, arg.number);
    }
    writer.finish();
    return true;
}

void copyText(char* out, size_t size, const char* text) {
    if (!out || size == 0) return;
    size_t length = text ? strnlen(text, size - 1) : 0;
    if (length) std::memcpy(out, text, length);
    out[length] = '\0';
}

bool joinText(char* out, size_t size, const char* first, const char* second, const char* third,
              const char* fourth, const char* fifth) {
    const char* parts[] = {first, second, third, fourth, fifth};
    Writer writer(out, size);
    size_t total = 0;
    for (const char* part : parts) {
        size_t length = part ? std::strlen(part) : 0;
        writer.put(part, length);
        total += length;
    }
    writer.finish();
    return total < size;
}
