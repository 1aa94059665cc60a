// Host discovery in the registry, the host step of the wizard, the file-open
// dialog for a host's executable, and the engine's information box.
#include <cstring>

#include "../platform/fs.h"
#include "../platform/registry.h"
#include "../platform/ui.h"
#include "../script/text.h"
#include "files.h"
#include "hostdir.h"
#include "hosts.h"
#include "format.h"

namespace {

const Variant noVariant;
const Set noSet;

const Variant& variantOrEmpty(const Variant* variant) { return variant ? *variant : noVariant; }

// Row 0 of the buttons of the Set that offered the Variant.
const TextTable& parentButtons(const Variant& variant) {
    return (variant.parentSet ? *variant.parentSet : noSet).buttons;
}

// Reads a registry value, whatever its type, as a directory: the text up to
// its first NUL with a backslash appended unless it ends in one. A value that
// is missing, larger than the buffer, too long for its backslash and NUL, or
// empty or a root (an empty text would become "\\") counts as not found; out
// is then untouched.
bool readDirectoryValue(RegistryKey key, const char* valueName, char* out) {
    unsigned char data[registryTextSize];
    unsigned long size = sizeof data;
    if (registryQueryValue(key, valueName, data, &size) != registrySuccess || size > sizeof data) return false;
    size_t length = strnlen(reinterpret_cast<const char*>(data), size);
    bool hasSlash = length > 0 && data[length - 1] == '\\';
    if (length + (hasSlash ? 0 : 1) + 1 > static_cast<size_t>(hostTextSize)) return false;
    char text[hostTextSize];
    std::memcpy(text, data, length);
    if (!hasSlash) text[length++] = '\\';
    text[length] = '\0';
    if (!isHostDirectory(text)) return false;
    std::memcpy(out, text, length + 1);
    return true;
}

// Enumerates at most five host key names. A name that does not fit takes its
// slot but stays empty and unusable, so that slot is never opened.
int enumerateHosts(RegistryKey root, char names[hostSlots][registryNameSize], bool usable[hostSlots],
                   const Variant& variant) {
    int count = 0;
    for (unsigned long index = 0; count < hostSlots; ++index) {
        unsigned long size = registryNameSize;
        long result = registryEnumKey(root, index, names[count], &size);
        if (result == registrySuccess) {
            names[count][registryNameSize - 1] = '\0';
            usable[count++] = true;
        } else if (result == registryMoreData) {
            names[count][0] = '\0';
            usable[count++] = false;
        } else {
            if (result == registryAccessDenied) showInfo(messageText(variant, 0), &variant);
            break;
        }
    }
    return count;
}

// Fills one slot from its host key; returns its kind.
int examineHost(RegistryKey root, const char* name, const Variant& variant, HostEntry& entry) {
    entry.kind = hostNone;
    RegistryKey host;
    if (registryOpenKey(root, name, &host) != registrySuccess) return hostNone;
    const char* plugName = cell(variant.pluginRegistryKey, 0, 0);
    RegistryKey plug;
    if (!plugName || registryOpenKey(host, plugName, &plug) != registrySuccess) {
        registryCloseKey(host);
        return hostNone;
    }
    bool plugFound = readDirectoryValue(plug, nullptr, entry.plugDir);
    registryCloseKey(plug);
    if (!plugFound) entry.plugDir[0] = '\0';

    bool appFound = false;
    if (const char* appName = cell(variant.applicationRegistryKey, 0, 0)) {
        RegistryKey app;
        if (registryOpenKey(host, appName, &app) == registrySuccess) {
            appFound = readDirectoryValue(app, nullptr, entry.appDir);
            registryCloseKey(app);
        } else {
            appFound = readDirectoryValue(host, appName, entry.appDir);
        }
    }
    if (appFound) {
        std::memcpy(entry.label, entry.appDir, sizeof entry.label);
        entry.checked = 1;
    } else {
        entry.appDir[0] = '\0';
    }
    entry.kind = !appFound ? hostNone : plugFound ? hostAppAndPlugDir : hostAppOnly;
    registryCloseKey(host);
    return entry.kind;
}

}  // namespace

void discoverHosts(HostTable& table, const Variant* variant) {
    table.hostCount = 0;
    if (!variant) return;
    uiSetCursor(cursorWait);
    const char* rootPath = cell(variant->adobeRegistryKey, 0, 0);
    RegistryKey root;
    if (!rootPath || registryOpenKey(registryLocalMachine(), rootPath, &root) != registrySuccess) {
        showInfo(messageText(*variant, 0), variant);
        return;
    }
    char names[hostSlots][registryNameSize];
    bool usable[hostSlots];
    int count = enumerateHosts(root, names, usable, *variant);
    bool anyFound = false;
    for (int i = 0; i < count; ++i) {
        HostEntry& entry = table.entries[i];
        entry.kind = hostNone;
        if (usable[i] && examineHost(root, names[i], *variant, entry) != hostNone) anyFound = true;
    }
    registryCloseKey(root);
    table.hostCount = anyFound ? count : 0;
}

int chooseHosts(const Variant* variant, ModuleHandle instance, WindowHandle owner, HostTable& table) {
    discoverHosts(table, variant);
    if (table.hostCount == 0 && offerBrowse(variant, instance, owner, table) != resultNext) return resultCancel;
    if (table.hostCount <= 1) return resultNext;

    const Variant& chosen = variantOrEmpty(variant);
    const TextTable& buttons = parentButtons(chosen);
    WizardPage page;
    page.instance = instance;
    page.ownerWindow = owner;
    page.caption = cell(chosen.title, 0, 0);
    page.headingText = cell(chosen.fewappl, 0, 0);
    page.editText = "";
    page.backLabel = cell(buttons, 0, 0);
    page.nextLabel = cell(buttons, 0, 1);
    page.cancelLabel = cell(buttons, 0, 2);
    page.cancelQuestion = cell(buttons, 0, 3);
    int count = table.hostCount < hostSlots ? table.hostCount : hostSlots;
    for (int i = 0; i < count; ++i) {
        HostEntry& entry = table.entries[i];
        size_t length = strnlen(entry.label, sizeof entry.label);
        if (length == sizeof entry.label) entry.label[--length] = '\0';
        if (length > 0 && entry.label[length - 1] == '\\') entry.label[length - 1] = '\0';
        TextRow row;
        row.cells.push_back(entry.label);
        page.checks.rows.push_back(row);
        page.checked[i] = entry.checked;
    }
    int result = showPage(&page, false);
    if (result == resultNext) {
        for (int i = 0; i < hostSlots; ++i) table.entries[i].checked = page.checked[i];
        return resultNext;
    }
    return result == resultBack ? resultBack : resultCancel;
}

int offerBrowse(const Variant* variant, ModuleHandle instance, WindowHandle owner, HostTable& table) {
    const Variant& chosen = variantOrEmpty(variant);
    const TextTable& buttons = parentButtons(chosen);
    WizardPage page;
    page.instance = instance;
    page.ownerWindow = owner;
    page.caption = cell(chosen.title, 0, 0);
    page.headingText = orEmpty(messageText(chosen, 9));
    page.editText = " ";
    page.backLabel = "";
    page.nextLabel = cell(buttons, 0, 1);
    page.cancelLabel = cell(buttons, 0, 2);
    page.cancelQuestion = cell(buttons, 0, 3);
    for (int number : {10, 11}) {
        TextRow item;
        item.cells.push_back(orEmpty(messageText(chosen, number, 1)));
        item.cells.push_back(orEmpty(messageText(chosen, number, 2)));
        page.items.rows.push_back(item);
    }
    if (showPage(&page, false) != resultNext || page.selected != 0) return resultCancel;
    HostEntry& entry = table.entries[0];
    entry.appDir[0] = '\0';
    entry.plugDir[0] = '\0';
    table.hostCount = 0;
    if (browseForHost(nullptr, entry.appDir, sizeof entry.appDir)) {
        std::memcpy(entry.label, entry.appDir, sizeof entry.label);
        entry.kind = hostAppOnly;
        entry.checked = 1;
        table.hostCount = 1;
    }
    return resultNext;
}

bool browseForHost(WindowHandle owner, char* buffer, size_t size) {
    if (!buffer || size == 0) return false;
    char saved[fsMaxPath];
    unsigned long length = fsGetCurrentDirectory(saved, sizeof saved);
    bool restore = length > 0 && length < sizeof saved;  // a longer directory cannot be kept
    bool chosen = uiOpenFileDialog(owner, buffer, size);
    if (restore) fsSetCurrentDirectory(saved);
    if (!chosen) return false;
    buffer[size - 1] = '\0';
    fsDirectoryOfPath(buffer, buffer, size);  // a prefix of the path: it always fits
    // A program chosen at a drive's root would make the whole drive a host.
    if (isHostDirectory(buffer)) return true;
    buffer[0] = '\0';
    return false;
}

int showInfo(const char* text, const Variant* variant) {
    const char* caption = variant ? cell(variant->title, 0, 0) : nullptr;
    return uiMessageBox(nullptr, orEmpty(text), orEmpty(caption), boxOk);
}
