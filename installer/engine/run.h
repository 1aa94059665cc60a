// The installation run: the removal pass, the copies into each checked host's
// application and plug-in directories, and the report page.
#pragma once
#include <cstddef>

#include "../script/model.h"
#include "../script/host_table.h"

// Installs the chosen Variant into every checked host and shows the report.
// Message texts are filled by formatMessage (format.h), so a text whose
// conversions do not match its arguments is shown as written.
void runInstallation(Script& script);
// One host: removal pass, application pass, plug-in directory, plug-in pass.
// On false errorText (errorSize bytes) holds the error message. A failed
// removal ends the host's installation as a failed copy does. A plug-in
// directory that does not fit in 512 bytes once the filters name is appended
// is refused: the plug-in copies fail (an appOnly host then uses appDir). A
// directory that leads to a root (hostdir.h) and a file, plug-ins or filters
// name that would lead out of the host fail with message 12 as well, before
// anything is removed, copied or created for them.
bool installIntoHost(HostEntry& host, char* errorText, size_t errorSize, const Variant& variant);
// The removal pass of one host; on false errorText holds the error message.
bool removeOldCopies(const HostEntry& host, char* errorText, size_t errorSize, const Variant& variant);
// The last page, headed by the report.
void showFinalPage(Script& script, const char* report);
