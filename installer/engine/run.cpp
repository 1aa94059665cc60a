// The installation run: every checked host in turn, then the report page.
#include "../platform/ui.h"
#include "../script/reader.h"
#include "../script/text.h"
#include "files.h"
#include "hostdir.h"
#include "hosts.h"
#include "run.h"
#include "format.h"

namespace {

const Variant noVariant;

// One row of the Variant's file list, its keyword cells as codes.
struct FileEntry {
    const char* name;
    const char* sourceDir;
    int target, uninstallPolicy, installPolicy, overwritePolicy;
};

FileEntry fileEntry(const TextRow& row) {
    return FileEntry{orEmpty(cell(row, fileName)),
                     orEmpty(cell(row, fileSourceDir)),
                     keywordCode(cell(row, fileTarget)),
                     keywordCode(cell(row, fileUninstallPolicy)),
                     keywordCode(cell(row, fileInstallPolicy)),
                     keywordCode(cell(row, fileOverwritePolicy))};
}

void copyFailed(char* errorText, size_t errorSize, const Variant& variant, const char* name, const char* directory) {
    MessageArg args[] = {textArg(name), textArg(directory)};
    formatMessage(errorText, errorSize, messageText(variant, 12), args, 2);
}

// Settles the directory that receives the plug-in files, in host.plugDir.
// False when the composed directory does not fit, would be composed from a
// root, or a plug-ins or filters name would lead out of the host: nothing is
// created and the plug-in copies fail.
bool settlePluginDir(HostEntry& host, const Variant& variant) {
    const char* pluginsName = orEmpty(cell(variant.defaultPluginsDir, 0, 0));
    const char* filtersName = orEmpty(cell(variant.defaultFiltersDir, 0, 0));
    char directory[hostTextSize];
    bool contained = isContainedName(filtersName) && (host.kind != hostAppOnly || isContainedName(pluginsName));
    if (host.kind == hostAppOnly) {
        if (!contained || leadsToRoot(host.appDir)) {
            copyText(host.plugDir, sizeof host.plugDir, host.appDir);  // named by the error
            return false;
        }
        bool usable = joinText(directory, sizeof directory, host.appDir, pluginsName, "\\", filtersName, "\\") &&
                      (fsCreateDirectory(directory) || fsLastError() == fsErrorAlreadyExists);
        copyText(host.plugDir, sizeof host.plugDir, usable ? directory : host.appDir);
        return true;
    }
    if (host.kind == hostAppAndPlugDir) {
        if (!contained || leadsToRoot(host.plugDir)) return false;
        if (!joinText(directory, sizeof directory, host.plugDir, filtersName, "\\")) return false;
        copyText(host.plugDir, sizeof host.plugDir, directory);
    }
    return true;
}

}  // namespace

bool removeOldCopies(const HostEntry& host, char* errorText, size_t errorSize, const Variant& variant) {
    for (const TextRow& row : variant.files.rows) {
        FileEntry file = fileEntry(row);
        bool wanted = file.uninstallPolicy == keywordAsk || file.uninstallPolicy == keywordDoUninstall;
        // A root or empty directory, one that leads to a root, and a name
        // that would lead out of it are refused before anything is asked, as
        // a copy would be. A missing directory fails the walk (message 13).
        if (wanted && (leadsToRoot(host.appDir) || !isContainedName(file.name))) {
            copyFailed(errorText, errorSize, variant, file.name, host.appDir);
            return false;
        }
        if (file.uninstallPolicy == keywordAsk) {
            char question[engineTextSize];
            MessageArg arg = textArg(file.name);
            formatMessage(question, sizeof question, messageText(variant, 14), &arg, 1);
            if (askYesNo(question, true, &variant) != answerYes) continue;
        } else if (file.uninstallPolicy != keywordDoUninstall) {
            continue;
        }
        if (!removeMatchingFiles(file.name, host.appDir)) {
            MessageArg arg = textArg(file.name);
            formatMessage(errorText, errorSize, messageText(variant, 13), &arg, 1);
            return false;
        }
    }
    return true;
}

bool installIntoHost(HostEntry& host, char* errorText, size_t errorSize, const Variant& variant) {
    // A failed removal ends the host's installation like a failed copy.
    if (!removeOldCopies(host, errorText, errorSize, variant)) return false;
    for (const TextRow& row : variant.files.rows) {
        FileEntry file = fileEntry(row);
        if (file.installPolicy != keywordDoInstall || file.target != keywordProgdir) continue;
        if (!copyWithPolicy(file.name, file.sourceDir, host.appDir, file.overwritePolicy, variant)) {
            copyFailed(errorText, errorSize, variant, file.name, host.appDir);
            return false;
        }
    }
    bool pluginDirUsable = settlePluginDir(host, variant);
    for (const TextRow& row : variant.files.rows) {
        FileEntry file = fileEntry(row);
        if (file.installPolicy != keywordDoInstall || file.target != keywordPlugdir) continue;
        bool copied = false;
        if (pluginDirUsable) {
            copied = copyWithPolicy(file.name, file.sourceDir, host.plugDir, file.overwritePolicy, variant);
            if (!copied) {
                fsCreateDirectory(host.plugDir);
                copied = copyWithPolicy(file.name, file.sourceDir, host.plugDir, file.overwritePolicy, variant);
            }
        }
        if (!copied) {
            copyFailed(errorText, errorSize, variant, file.name, host.plugDir);
            return false;
        }
    }
    return true;
}

void runInstallation(Script& script) {
    const Variant* variant = script.chosenVariant;
    if (!variant || !variant->valid) return;
    uiSetCursor(cursorWait);
    int installed = 0;
    bool appOnly = false;
    HostTable& hosts = script.hosts;
    int count = hosts.hostCount < hostSlots ? hosts.hostCount : hostSlots;
    for (int i = 0; i < count; ++i) {
        HostEntry& host = hosts.entries[i];
        if (!host.checked) continue;
        if (host.kind == hostAppOnly)
            appOnly = true;
        else if (host.kind != hostAppAndPlugDir)
            continue;
        char errorText[engineTextSize] = "";
        if (!installIntoHost(host, errorText, sizeof errorText, *variant)) {
            uiMessageBox(nullptr, errorText, cell(variant->title, 0, 0), boxOk | boxIconHand);
            return;
        }
        ++installed;
    }
    char report[engineTextSize];
    if (installed >= 2) {
        MessageArg arg = numberArg(installed);
        formatMessage(report, sizeof report, messageText(*variant, 3), &arg, 1);
    } else {
        copyText(report, sizeof report, messageText(*variant, installed == 1 ? (appOnly ? 4 : 2) : 5));
    }
    uiSetCursor(cursorArrow);
    showFinalPage(script, report);
}

void showFinalPage(Script& script, const char* report) {
    const Variant& variant = script.chosenVariant ? *script.chosenVariant : noVariant;
    WizardPage page;
    page.instance = script.instance;
    page.ownerWindow = script.ownerWindow;
    page.caption = cell(variant.title, 0, 0);
    page.headingText = report;
    page.editText = "";
    page.backLabel = cell(variant.buttons, 0, 0);
    page.nextLabel = cell(variant.buttons, 0, 1);
    page.cancelLabel = cell(variant.buttons, 0, 2);
    page.cancelQuestion = cell(variant.buttons, 0, 3);
    showPage(&page, false);
}
