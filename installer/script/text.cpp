// Text macros ($(NAME) lookup and expansion), the Variants' numbered message
// texts and the script's three error boxes.
#include "text.h"
#include <cstdio>
#include <cstring>
#include <string>
#include "../platform/ui.h"

const char* const versionErrorText = "Setup version error: v3.0";

const char* lookupMacro(const char* reference) {
    const Script* activeScript = scriptInUse();
    if (!activeScript || !reference) return nullptr;
    for (const TextRow& row : activeScript->macros.rows) {
        const char* name = cell(row, 0);
        if (name && std::strcmp(name, reference) == 0) return cell(row, 1);
    }
    return nullptr;
}

int expandMacros(char* line, int capacity) {
    if (!line || capacity <= 0) return expandResultTooLong;
    const size_t limit = static_cast<size_t>(capacity);
    std::string out;  // on the heap: the reader may run deep in readSet's recursion
    bool fits = true;
    auto append = [&](const char* text, size_t length) {
        if (length > limit) return false;
        if (out.size() + length >= limit) fits = false;  // no room for it and the NUL
        if (fits) out.append(text, length);
        return true;
    };
    const char* rest = line;
    for (;;) {
        const char* open = std::strstr(rest, "$(");
        if (!open) break;
        const char* close = std::strchr(open + 2, ')');
        if (!close) break;
        if (!append(rest, static_cast<size_t>(open - rest))) return expandPartTooLong;
        std::string reference(open, static_cast<size_t>(close + 1 - open));
        const char* text = lookupMacro(reference.c_str());
        bool ok = text ? append(text, std::strlen(text)) : append(reference.data(), reference.size());
        if (!ok) return expandPartTooLong;
        rest = close + 1;
    }
    if (!append(rest, std::strlen(rest))) return expandPartTooLong;
    if (!fits) return expandResultTooLong;
    std::memcpy(line, out.c_str(), out.size() + 1);
    return expandOk;
}

const char* messageText(const Variant& variant, int number, int column) {
    char key[16];
    std::snprintf(key, sizeof key, "%d", number);
    for (const TextRow& row : variant.messages.rows) {
        const char* n = cell(row, 0);
        if (n && std::strcmp(n, key) == 0) return cell(row, column);
    }
    return nullptr;
}

const char* messageText(const Variant& variant, int number) { return messageText(variant, number, 1); }

void showScriptError(const Script& script) {
    uiMessageBox(nullptr, cell(script.error, 0, 0), cell(script.title, 0, 0), boxOk | boxIconHand);
}

void showVersionError(const Script& script) {
    (void)script;
    uiMessageBox(nullptr, versionErrorText, nullptr, boxOk | boxIconHand);
}

void showVariantError(const Variant& variant) {
    uiMessageBox(nullptr, cell(variant.error, 0, 0), cell(variant.title, 0, 0), boxOk | boxIconHand);
}
