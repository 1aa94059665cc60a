// Bounded, checked filling of the script's printf-style message texts.
//
// A message text comes from the installation script, so its conversions are
// checked against the arguments the installer passes before anything is
// formatted. Accepted: "%%"; for a text argument %s with the flag '-', a width
// and a precision; for a number argument %d, %i, %u, %x, %X and %o with the
// flags '-', '+', ' ', '0' (and '#' for x, X and o), a width, a precision and
// the length modifier 'h' or 'l', and %c with '-', a width and 'h' or 'l'. The
// number is an int: 'l' changes nothing, 'h' cuts it to a short, %u, %x, %X
// and %o read it unsigned. A text may use fewer conversions than there are
// arguments (the rest are not shown), each one taking the next argument.
// Anything else (%n, %ls, '*', '$', "hh" or "ll", a number conversion where a
// text is passed or the reverse, more conversions than arguments, a lone '%'
// at the end) makes the whole text be shown as written, unformatted, so its
// '%' signs appear as they stand. Every result is cut to the buffer and always
// NUL-terminated.
#pragma once
#include <cstddef>

struct MessageArg {
    char kind;         // 's' a text, 'd' a number
    const char* text;  // for 's'; null shows as empty
    int number;        // for 'd'
};

inline MessageArg textArg(const char* text) { return MessageArg{'s', text, 0}; }
inline MessageArg numberArg(int number) { return MessageArg{'d', nullptr, number}; }

// Fills format (null: empty) with the arguments into out (size bytes, size > 0).
// Returns true when the text was formatted, false when its conversions did not
// match and it was copied unformatted.
bool formatMessage(char* out, size_t size, const char* format, const MessageArg* args, int count);

// An absent text (null) is used as an empty one.
inline const char* orEmpty(const char* text) { return text ? text : ""; }

// Copies text (null: empty) into out, cut to size - 1 characters.
void copyText(char* out, size_t size, const char* text);

// Writes the texts one after another into out (size bytes); false, with out
// cut to fit, when they do not fit whole. out must not be one of the texts.
bool joinText(char* out, size_t size, const char* first, const char* second, const char* third = "",
              const char* fourth = "", const char* fifth = "");
