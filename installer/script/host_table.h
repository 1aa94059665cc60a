// The host installations found for the chosen Variant, as the host step fills
// them and the installation run consumes them.
#pragma once

enum { hostSlots = 5, hostTextSize = 512 };

// How much of a host installation is known.
enum HostKind {
    hostNone = 0,          // no usable application directory: never installed into
    hostAppOnly = 1,       // application directory known, plug-in directory composed from it
    hostAppAndPlugDir = 2  // both directories known from the registry
};

struct HostEntry {
    char appDir[hostTextSize];   // application directory, ends in '\' when set; empty when not found
    char plugDir[hostTextSize];  // plug-in directory as registered, later the directory plug-in files went to
    char label[hostTextSize];    // text of the host's check box: a copy of appDir when it was found
    unsigned char checked;       // 1: install into this host
    int kind;                    // a HostKind
};

struct HostTable {
    HostEntry entries[hostSlots];  // slots 0..hostCount-1 are in use
    int hostCount;                 // 0 to 5; slots at and beyond it are ignored
};
