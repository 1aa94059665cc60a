// Finding the installed host applications: the registry search, the host step
// of the wizard with its choice and no-host pages, the file-open dialog for a
// host's executable, and the engine's information box.
#pragma once
#include <cstddef>

#include "../platform/types.h"
#include "../script/model.h"
#include "../script/host_table.h"

// Working buffers of the registry search.
enum {
    registryTextSize = 512, // a registry value read for a directory
    registryNameSize = 260  // a host key name during enumeration
};

// Fills the table from the registry keys the Variant names (none: hostCount 0).
// A value that is larger than 512 bytes, that does not fit with its added
// backslash and NUL, or that is empty or a root (isHostDirectory), counts as
// not found. A host key name longer than 259
// characters takes its slot, which stays of kind hostNone. An absent key or
// value name in the script is a key or value that cannot be opened.
void discoverHosts(HostTable& table, const Variant* variant);
// The host step for the chosen Variant (none: no host is found): discovery,
// then the no-host page or the choice page. Returns resultNext, resultBack or resultCancel.
int chooseHosts(const Variant* variant, ModuleHandle instance, WindowHandle owner, HostTable& table);
// The page shown when no host was found; resultNext or resultCancel.
int offerBrowse(const Variant* variant, ModuleHandle instance, WindowHandle owner, HostTable& table);
// The file-open dialog for the host's executable; on success buffer (size
// bytes) holds the chosen file's drive and directory. A file at a root counts
// as no file chosen (buffer then empty). The current directory is
// put back afterwards (when it fits in MAX_PATH; a longer one cannot be kept).
bool browseForHost(WindowHandle owner, char* buffer, size_t size);
// A box with only OK, captioned with the Variant's title (empty without one).
int showInfo(const char* text, const Variant* variant);
