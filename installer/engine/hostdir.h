// Where setup may work: which directories may be a host's, judged by their
// text and by where they lead, and which names from the script may be joined
// to a host directory. Every rule keeps the removal walk and the copies inside
// the hosts, whatever the registry, the file system or the script holds.
#pragma once

// True when directory lies below a drive, share, volume or device root. An
// empty text, "\", "/", "X:", "X:\", "\\server\share\" (also spelt with "."
// or ".." parts) and the Win32 prefixed roots "\\?\X:\", "\\.\X:\", "\??\X:\",
// their "UNC\server\share\" forms, volume and device names ("\\?\Volume{..}\",
// "\\.\PhysicalDrive0\") and "\\?\GLOBALROOT\Device\Name\" are refused
// wherever a host directory is taken or used: a removal walk there would sweep
// the whole drive, or the package's own directory. A prefixed spelling whose
// ".." would climb above its drive or device is refused too.
bool isHostDirectory(const char* directory);
// True when directory, by its text or by where it leads (links, junctions and
// mount points resolved), is a root. One that cannot be resolved (a missing
// directory) is not a root by this test, but it is no host either
// (leadsToHostDirectory).
bool leadsToRoot(const char* directory);
// True when directory is a host directory by its text and by where it leads;
// false as well when it cannot be resolved.
bool leadsToHostDirectory(const char* directory);
// True when name, joined to a directory, stays inside it: no leading
// separator, no colon (a drive, or a stream of another file) and no part made
// only of dots and blanks that holds two dots or more (Windows reads ".. " and
// "..." as ".." or as nothing). A plain sub-folder ("Filters\x.8bf") and an
// empty or absent name are contained.
bool isContainedName(const char* name);
