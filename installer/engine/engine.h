// The installation engine of setup: finding the host applications, copying
// and removing files under the script's policies, and the installation run.
#pragma once
#include <cstddef>

#include "../platform/fs.h"
#include "../platform/types.h"
#include "../script/model.h"
#include "host_table.h"

// Working buffers.
enum {
    engineTextSize = 4096,  // composed messages, error and report texts
    registryTextSize = 512, // a registry value read for a directory
    registryNameSize = 260, // a host key name during enumeration
    dateTextSize = 256      // the date text of the overwrite question
};

// --- Host discovery and host choice ---

// Fills the table from the registry keys the Variant names (none: hostCount 0).
void discoverHosts(HostTable& table, const Variant* variant);
// The host step: discovery, then the no-host page or the choice page.
// Returns resultNext, resultBack or resultCancel.
int chooseHosts(const Variant* variant, ModuleHandle instance, WindowHandle owner, HostTable& table);
// The page shown when no host was found; resultNext or resultCancel.
int offerBrowse(const Variant* variant, ModuleHandle instance, WindowHandle owner, HostTable& table);
// The file-open dialog for the host's executable; on success buffer (size
// bytes) holds the chosen file's drive and directory. The current directory is
// put back afterwards.
bool browseForHost(WindowHandle owner, char* buffer, size_t size);
// A box with only OK, captioned with the Variant's title (empty without one).
int showInfo(const char* text, const Variant* variant);
// A Yes/No question; No is the default button unless defaultYes. Returns
// answerYes or answerNo.
int askYesNo(const char* text, bool defaultYes, const Variant* variant);

// --- Copying and removing files ---

// Copies the file called name from sourceDir to destDir (both prefixes ending
// in their own separator) under the overwrite keyword (a FileKeyword). True
// when copied or, by the policy, left alone.
bool copyWithPolicy(const char* name, const char* sourceDir, const char* destDir, int overwriteKeyword,
                    const Variant& variant);
// Deletes every file called name (ASCII case ignored) in the tree under
// directory (ending in a separator).
bool removeMatchingFiles(const char* name, const char* directory);
// The local last-write time of a file.
bool readFileDate(const char* path, SystemTime* date);
// First minus second by year, month, day, hour, minute: the first difference.
int compareFileDates(const SystemTime& first, const SystemTime& second);
// "March 05, 2005, 14:07" into text (size bytes).
void formatFileDate(char* text, size_t size, const SystemTime& date);
// The English month name, some with a trailing blank; "" outside 1..12.
const char* monthName(int month);

// --- Installation run ---

// Installs the chosen Variant into every checked host and shows the report.
void runInstallation(Script& script);
// One host: removal pass, application pass, plug-in directory, plug-in pass.
// On false errorText (errorSize bytes) holds the error message.
bool installIntoHost(HostEntry& host, char* errorText, size_t errorSize, const Variant& variant);
// The removal pass of one host; on false errorText holds the error message.
bool removeOldCopies(const HostEntry& host, char* errorText, size_t errorSize, const Variant& variant);
// The last page, headed by the report.
void showFinalPage(Script& script, const char* report);
